// The PNG decoder from the file's bytes to converted pixels, through every
// operation in its order of use. Each step leaves the record in its stated
// state, a failure always leaves a code, and nothing is held after Release.
// Decode and UnfilterAndConvert also meet an allocation failure, which must
// fail them cleanly; converting twice gives the same pixels; and whenever
// libpng reads the file without complaint, the colours agree. Images whose
// bitmap would pass kMaxBitmapBytes are skipped after opening, to keep one
// input fast.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/heap.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/png_reference.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr uint32_t kMaxBitmapBytes = 4u << 20;
// The inflated data of 16-bit samples is larger than the bitmap; the pixel
// cap bounds it too.
constexpr uint64_t kMaxPixels = 1u << 20;
constexpr uint8_t kUnwrittenByte = 0xA5;
// The row buffers of UnfilterAndConvert, plus the pass-row block of an
// interlaced image.
constexpr uint32_t kPlainConvertAllocations = 1;
constexpr uint32_t kInterlacedConvertAllocations = 2;

// The decoder takes a chunk whose type is a critical name with a lower-case
// first letter ("pLTE") as that critical chunk; libpng skips it as ancillary,
// so the two are compared only on files without such chunks.
bool ChunkNamesReadAlike(const uint8_t* data, std::size_t size) {
  static const char* const kCriticalNames[] = {"IHDR", "PLTE", "IDAT", "IEND"};
  constexpr std::size_t kSignatureSize = 8;
  constexpr std::size_t kChunkOverhead = 12;
  std::size_t position = kSignatureSize;
  while (position + kChunkOverhead <= size) {
    const uint8_t* chunk = data + position;
    const uint32_t length = (uint32_t{chunk[0]} << 24) | (uint32_t{chunk[1]} << 16) |
                            (uint32_t{chunk[2]} << 8) | uint32_t{chunk[3]};
    const uint8_t* type = chunk + 4;
    if (type[0] >= 'a' && type[0] <= 'z') {
      for (const char* name : kCriticalNames)
        if (type[0] - 'a' + 'A' == name[0] && std::equal(type + 1, type + 4, name + 1)) return false;
    }
    if (length > size - position - kChunkOverhead) break;
    position += kChunkOverhead + length;
  }
  return true;
}

bool IsDibBitCount(uint16_t bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

void CheckOpened(const PngDecoderState& state, const uint8_t* bytes, std::size_t size) {
  Check(state.state == kPngStateOpened, "opened record in state 1");
  Check(state.sourceKind == kPngSourceResource, "opened record has its source");
  Check(state.width != 0 && state.height != 0, "opened image has both sides");
  Check(state.interlaceMethod <= 1, "interlace method 0 or 1");
  Check(state.headerData > bytes && state.headerData < bytes + size, "header data in the source");
  if (state.firstImageData != nullptr) {
    Check(state.firstImageData > bytes && state.firstImageData < bytes + size,
          "first image-data chunk in the source");
  }
}

void CheckBitmapInfo(const PngDecoderState& state, const BitmapInfo& info, uint32_t stride) {
  const DibHeader& header = info.header;
  Check(header.size == kDibHeaderSize, "header size 40");
  Check(header.width == static_cast<int32_t>(state.width), "header width is the image's");
  Check(header.height == -static_cast<int32_t>(state.height), "rows stored top-down");
  Check(header.planes == 1 && header.compression == 0, "one plane, uncompressed");
  Check(IsDibBitCount(header.bitCount), "a bit count a DIB can hold");
  Check(header.coloursUsed <= kDibColourTableEntries, "at most 256 colours used");
  Check(stride % 4 == 0, "stride a multiple of 4");
  Check(uint64_t{stride} * 8 >= uint64_t{state.width} * header.bitCount, "stride holds a row");
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const long live = LiveAllocationCount();
  const std::vector<uint8_t> bytes(data, data + size);
  PngDecoderState state;
  PngDecoder::Reset(&state);

  if (!PngDecoder::OpenBytes(&state, bytes.data(), static_cast<uint32_t>(bytes.size()))) {
    Check(state.lastError != kPngErrorNone, "a failed open leaves a code");
    Check(state.state == kPngStateEmpty && state.sourceKind == kPngSourceNone,
          "a failed open leaves the record empty");
    PngDecoder::Release(&state);
    fuzz::CheckNoLeak(live, "a failed open");
    return 0;
  }
  CheckOpened(state, bytes.data(), bytes.size());
  Check(!PngDecoder::OpenBytes(&state, bytes.data(), static_cast<uint32_t>(bytes.size())) &&
            state.lastError == kPngErrorSourceInUse,
        "a second open is refused with 0x1002");

  uint32_t stride = 0;
  uint32_t bitmapBytes = 0;
  if (!PngDecoder::BitmapSize(&state, &stride, &bitmapBytes) || bitmapBytes > kMaxBitmapBytes ||
      uint64_t{state.width} * state.height > kMaxPixels) {
    PngDecoder::Release(&state);
    fuzz::CheckNoLeak(live, "an image too large to fuzz");
    return 0;
  }
  Check(bitmapBytes == uint64_t{stride} * state.height, "bitmap size is stride times height");

  SetAllocationFailureAfter(0);
  const bool decodedShort = PngDecoder::Decode(&state);
  SetAllocationFailureAfter(fuzz::kNoAllocationFailure);
  Check(!decodedShort && state.lastError != kPngErrorNone, "Decode fails without memory");
  Check(state.state == kPngStateOpened && state.inflatedData == nullptr,
        "a failed Decode leaves the record opened, without a buffer");
  fuzz::CheckNoLeak(live, "a Decode without memory");

  if (!PngDecoder::Decode(&state)) {
    Check(state.lastError != kPngErrorNone, "a failed Decode leaves a code");
    Check(state.state == kPngStateOpened && state.inflatedData == nullptr,
          "a failed Decode leaves the record opened, without a buffer");
    Check(
        !PngDecoder::UnfilterAndConvert(&state, nullptr) && state.lastError == kPngErrorWrongState,
        "converting an undecoded image fails with 0x2003");
    PngDecoder::Release(&state);
    fuzz::CheckNoLeak(live, "a failed Decode");
    return 0;
  }
  Check(state.state == kPngStateDecoded && state.inflatedData != nullptr,
        "a decoded record holds its inflated data");

  BitmapInfo info;
  Check(PngDecoder::BuildBitmapInfo(&state, &info), "a decoded image of a known size has a header");
  CheckBitmapInfo(state, info, stride);

  std::vector<uint8_t> bits(bitmapBytes, kUnwrittenByte);
  const uint32_t convertAllocations =
      state.interlaceMethod ? kInterlacedConvertAllocations : kPlainConvertAllocations;
  const long liveDecoded = LiveAllocationCount();
  SetAllocationFailureAfter(static_cast<long>(fuzz::InputHash(data, size) % convertAllocations));
  const bool convertedShort = PngDecoder::UnfilterAndConvert(&state, bits.data());
  SetAllocationFailureAfter(fuzz::kNoAllocationFailure);
  Check(!convertedShort && state.lastError == kPngErrorNoMemory,
        "converting without memory fails with 0x2005");
  fuzz::CheckNoLeak(liveDecoded, "a conversion without memory");

  std::fill(bits.begin(), bits.end(), kUnwrittenByte);
  const bool converted = PngDecoder::UnfilterAndConvert(&state, bits.data());
  Check(converted || state.lastError != kPngErrorNone, "a failed conversion leaves a code");
  std::vector<uint8_t> again(bitmapBytes, kUnwrittenByte);
  Check(PngDecoder::UnfilterAndConvert(&state, again.data()) == converted,
        "converting again gives the same outcome");
  if (converted) {
    Check(again == bits, "converting again gives the same pixels");
    fuzz::RgbPicture reference;
    if (ChunkNamesReadAlike(data, size) && fuzz::DecodeWithLibpng(data, size, &reference)) {
      const fuzz::RgbPicture decoded = fuzz::ResolveDib(info, bits.data(), stride);
      Check(decoded.width == reference.width && decoded.height == reference.height,
            "the size libpng reads");
      Check(decoded.rgb == reference.rgb, "the colours libpng reads");
    }
  }
  Check(state.state == kPngStateDecoded, "converting leaves the record decoded");
  fuzz::CheckNoLeak(liveDecoded, "a conversion");

  PngDecoder::Release(&state);
  Check(state.state == kPngStateEmpty && state.inflatedData == nullptr, "Release empties");
  fuzz::CheckNoLeak(live, "a whole decoding");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
