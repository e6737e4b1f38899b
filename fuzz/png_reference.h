// The pixels of a PNG as libpng reads them, and the pixels of a decoded DIB,
// both reduced to R G B bytes per pixel, top row first: what the two must
// agree on (alpha, gamma and the other ancillary chunks aside).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pictures/png_decoder.h"

namespace vidod {
namespace fuzz {

struct RgbPicture {
  uint32_t width;
  uint32_t height;
  std::vector<uint8_t> rgb;
};

// False when libpng refuses the file or warns about it (a warning marks a
// file that decoders may read differently); CRCs are not checked, as the
// decoder under test does not check them.
bool DecodeWithLibpng(const uint8_t* data, std::size_t size, RgbPicture* picture);

// Resolves the DIB that UnfilterAndConvert filled through its colour table.
RgbPicture ResolveDib(const BitmapInfo& info, const uint8_t* bits, uint32_t stride);

}  // namespace fuzz
}  // namespace vidod
