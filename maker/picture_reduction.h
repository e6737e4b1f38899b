// Pictures stored as the player shows them: upright, in a format it decodes,
// and, when asked, reduced to what its views show (the player decodes every
// picture whole at each start and fits it into a box of at most 640 x 480,
// so anything larger only costs time and memory).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_codec.h"
#include "maker/picture_format.h"
#include "maker/picture_orientation.h"

namespace vidod {

constexpr uint32_t kViewBoxWidth = 640;   // the single-question view's picture box
constexpr uint32_t kViewBoxHeight = 480;
// Reduced or converted photos; a turned JPEG that cannot be turned losslessly
// is written again at a higher quality, its size unchanged.
constexpr int kReducedJpegQuality = 90;
constexpr int kTurnedJpegQuality = 95;

bool FitsViewBox(uint32_t width, uint32_t height);

struct PictureSize {
  uint32_t width = 0;
  uint32_t height = 0;
};
// The size the player fits width x height to in a box: the smaller of the
// two ratios, sizes truncated, at least one pixel.
PictureSize FittedSize(uint32_t width, uint32_t height, uint32_t boxWidth, uint32_t boxHeight);

// The picture scaled down to width x height, each pixel the average of the
// area it covers, colours weighted by their alpha.
RgbaPicture ShrinkTo(const RgbaPicture& picture, uint32_t width, uint32_t height);
// The same to the size the player fits it to in the view's box.
RgbaPicture ShrinkToViewBox(const RgbaPicture& picture);

// The turn of a picture file as the author means it: its own orientation
// (a JPEG's EXIF tag), then the question's rotation in degrees clockwise.
PictureTurn PictureFileTurn(const std::vector<uint8_t>& bytes, int rotation);

// What build stores for a picture file: the file itself when the player
// shows it as it is; otherwise a JPEG (PNG when transparent, or when the
// original was a PNG) made upright, and with reduce at most the view's size.
enum class StoredPicture { kAsIs, kRewritten, kFailed };
StoredPicture PreparePictureForPlayer(const std::vector<uint8_t>& bytes, int rotation, bool reduce,
                                      std::vector<uint8_t>* stored, PictureFormat* storedFormat,
                                      std::string* problem);

}  // namespace vidod
