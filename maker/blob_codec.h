// The LZW codec run on whole byte vectors, with its results in words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vidod {

struct CodecRun {
  int32_t result = 0;          // the codec's result code; 0 on success
  std::vector<uint8_t> bytes;  // the output, complete only on success
};

CodecRun CompressBytes(const std::vector<uint8_t>& input);
CodecRun DecompressBytes(const std::vector<uint8_t>& input);

// French explanation of a result code, e.g. "entrée vide".
std::string DescribeLzwResult(int32_t result, bool compressing);

}  // namespace vidod
