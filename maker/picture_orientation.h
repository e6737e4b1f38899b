// Which way up a picture is shown. Cameras store a photo as the sensor read
// it and say in the EXIF orientation tag how to turn it; the player's
// picture service ignores the tag, so build turns the pixels themselves.
#pragma once

#include <cstdint>
#include <vector>

#include "maker/picture_codec.h"

namespace vidod {

// The turn from the stored pixels to the upright picture: a mirror across
// the vertical axis first when mirrored, then quarterTurns quarter turns
// clockwise.
struct PictureTurn {
  uint8_t quarterTurns = 0;  // 0 to 3
  bool mirrored = false;
};
bool operator==(const PictureTurn& a, const PictureTurn& b);
inline bool IsUpright(const PictureTurn& turn) { return turn.quarterTurns == 0 && !turn.mirrored; }
// True when the turn swaps width and height.
inline bool SwapsSides(const PictureTurn& turn) { return turn.quarterTurns % 2 == 1; }

// The turn of an EXIF orientation value (1 to 8; any other value is upright).
PictureTurn TurnOfExifOrientation(uint16_t orientation);
// The orientation tag of a JPEG's EXIF segment, 1 when there is none. Only
// the markers before the first scan are read, each within its length.
uint16_t ReadJpegOrientation(const uint8_t* bytes, std::size_t size);
// The turn followed by degrees (0, 90, 180 or 270) clockwise.
PictureTurn ThenRotate(PictureTurn turn, int degrees);

// The picture turned.
RgbaPicture TurnPicture(const RgbaPicture& picture, PictureTurn turn);

}  // namespace vidod
