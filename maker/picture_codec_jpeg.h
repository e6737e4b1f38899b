// JPEG through libjpeg-turbo on every platform: the one decoder that scales
// in the DCT, so that a thumbnail of a photo never costs its whole size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_codec.h"

namespace vidod {

// The JPEG's pixels at the smallest of 1/8, 1/4, 1/2 of its size that is
// still at least minWidth x minHeight (0 x 0: the whole size). False with a
// French *problem when it is damaged, cut short or in printing colours.
bool DecodeJpegPixels(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                      RgbaPicture* picture, std::string* problem);

}  // namespace vidod
