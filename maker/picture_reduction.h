// Pictures stored reduced to what the player's views show: the player
// decodes every picture whole at each start and fits it into a box of at
// most 640 x 480, so anything larger only costs time and memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_codec.h"

namespace vidod {

constexpr uint32_t kViewBoxWidth = 640;   // the single-question view's picture box
constexpr uint32_t kViewBoxHeight = 480;

bool FitsViewBox(uint32_t width, uint32_t height);

// The picture scaled down to the size the player fits it to in the view's
// box (aspect kept), each pixel the average of the area it covers.
RgbaPicture ShrinkToViewBox(const RgbaPicture& picture);

// The file to store in place of a JPEG or PNG larger than the view's box:
// a JPEG stays a JPEG; a PNG stays a PNG, with its transparency when it has
// any. False when the picture fits the box already (*problem then empty),
// or with a French *problem when it cannot be reduced (a GIF or BMP, a JPEG
// in printing colours).
bool ReducePictureFile(const std::vector<uint8_t>& bytes, std::vector<uint8_t>* reduced, std::string* problem);

}  // namespace vidod
