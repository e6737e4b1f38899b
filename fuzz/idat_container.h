// Lays a zlib stream out as the image data of a PNG, the way the inflater
// reads it: a run of IDAT chunks after the signature, closed by IEND. How the
// stream is cut into chunks is itself part of what is fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vidod {
namespace fuzz {

constexpr std::size_t kPngSignatureSize = 8;

// Layout byte: the low six bits plus one give the data bytes per chunk (63:
// the whole stream in one chunk), 0x40 puts an empty IDAT between chunks,
// 0x80 spells every other chunk type with its last letter in lower case.
std::vector<uint8_t> BuildIdatContainer(const uint8_t* stream, std::size_t size, uint8_t layout);

}  // namespace fuzz
}  // namespace vidod
