// The picture header reader on any bytes: the result is one of its codes, a
// size is given exactly when the result is a success and lies within 1 to
// 2^31 - 1, the format follows the signature, and the reader only looks at a
// prefix: once it reads a size, more bytes after the input change nothing,
// and a cut copy gives the same size or says it is cut. Wherever the PNG
// decoder opens the input, the header gives the decoder's size (or calls a
// side past 2^31 - 1 too large).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "pictures/picture_header.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr uint32_t kLargestSide = 0x7FFFFFFF;

bool IsResultCode(int32_t result) {
  switch (result) {
    case kPictureHeaderOk:
    case kPictureHeaderUnknownFormat:
    case kPictureHeaderTruncated:
    case kPictureHeaderDamaged:
    case kPictureHeaderNoSize:
    case kPictureHeaderTooLarge:
      return true;
    default:
      return false;
  }
}

PictureHeaderFormat FormatBySignature(const uint8_t* data, std::size_t size) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 2 && data[0] == 0xFF && data[1] == 0xD8) return PictureHeaderFormat::kJpeg;
  if (size >= sizeof kPng && std::memcmp(data, kPng, sizeof kPng) == 0) return PictureHeaderFormat::kPng;
  if (size >= 4 && std::memcmp(data, "GIF8", 4) == 0) return PictureHeaderFormat::kGif;
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') return PictureHeaderFormat::kBmp;
  return PictureHeaderFormat::kUnknown;
}

// Reads from an exactly sized copy, so that any read past the end is caught.
int32_t ReadCopy(const uint8_t* data, std::size_t size, PictureHeader* header) {
  const std::vector<uint8_t> copy(data, data + size);
  return ReadPictureHeader(copy.empty() ? nullptr : copy.data(), copy.size(), header);
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  PictureHeader header;
  const int32_t result = ReadCopy(data, size, &header);
  Check(IsResultCode(result), "the result is one of the reader's codes");
  Check(header.format == FormatBySignature(data, size), "the format follows the signature");
  Check((result == kPictureHeaderUnknownFormat) == (header.format == PictureHeaderFormat::kUnknown),
        "an unknown format exactly when no signature matches");
  if (result != kPictureHeaderOk) {
    Check(header.width == 0 && header.height == 0, "no size without a success");
  } else {
    Check(header.width >= 1 && header.width <= kLargestSide, "a width from 1 to 2^31 - 1");
    Check(header.height >= 1 && header.height <= kLargestSide, "a height from 1 to 2^31 - 1");

    std::vector<uint8_t> longer(data, data + size);
    longer.insert(longer.end(), 64, 0xFF);
    PictureHeader again;
    Check(ReadPictureHeader(longer.data(), longer.size(), &again) == kPictureHeaderOk &&
              again.width == header.width && again.height == header.height,
          "bytes after a readable header change nothing");

    for (const std::size_t cut : {size / 2, size - 1}) {
      const int32_t cutResult = ReadCopy(data, cut, &again);
      Check(cutResult == kPictureHeaderTruncated || cutResult == kPictureHeaderUnknownFormat ||
                (cutResult == kPictureHeaderOk && again.width == header.width &&
                 again.height == header.height),
            "a cut copy gives the same size or says it is cut");
    }
  }

  if (size <= UINT32_MAX) {
    PngDecoderState state;
    PngDecoder::Reset(&state);
    if (PngDecoder::OpenBytes(&state, data, static_cast<uint32_t>(size))) {
      // Opening takes any side; decoding refuses those past 2^31 - 1.
      if (state.width > kLargestSide || state.height > kLargestSide) {
        Check(result == kPictureHeaderTooLarge, "a PNG side past 2^31 - 1 is too large");
      } else {
        Check(result == kPictureHeaderOk && header.width == state.width && header.height == state.height,
              "a PNG the decoder opens has the decoder's size");
      }
    }
    PngDecoder::Release(&state);
  }
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
