#include "fuzz/idat_container.h"

namespace vidod {
namespace fuzz {

namespace {

constexpr uint8_t kSignature[kPngSignatureSize] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kChunkSizeMask = 0x3F;
constexpr uint8_t kWholeStream = 0x3F;
constexpr uint8_t kEmptyChunksBetween = 0x40;
constexpr uint8_t kLowerCaseEveryOther = 0x80;

// CRCs are never verified by the decoder, so they are left zero.
void AppendChunk(std::vector<uint8_t>* out, const char* type, const uint8_t* data,
                 std::size_t size) {
  const uint32_t length = static_cast<uint32_t>(size);
  for (int shift = 24; shift >= 0; shift -= 8)
    out->push_back(static_cast<uint8_t>(length >> shift));
  out->insert(out->end(), type, type + 4);
  out->insert(out->end(), data, data + size);
  out->insert(out->end(), 4, 0);
}

}  // namespace

std::vector<uint8_t> BuildIdatContainer(const uint8_t* stream, std::size_t size, uint8_t layout) {
  std::vector<uint8_t> out(kSignature, kSignature + kPngSignatureSize);
  const std::size_t step = (layout & kChunkSizeMask) == kWholeStream
                               ? (size ? size : 1)
                               : (layout & kChunkSizeMask) + 1u;
  bool lowerCase = false;
  std::size_t offset = 0;
  do {
    const std::size_t take = size - offset < step ? size - offset : step;
    AppendChunk(&out, lowerCase ? "IDAt" : "IDAT", stream + offset, take);
    offset += take;
    if ((layout & kLowerCaseEveryOther) != 0) lowerCase = !lowerCase;
    if ((layout & kEmptyChunksBetween) != 0 && offset < size) AppendChunk(&out, "IDAT", nullptr, 0);
  } while (offset < size);
  AppendChunk(&out, "IEND", nullptr, 0);
  return out;
}

}  // namespace fuzz
}  // namespace vidod
