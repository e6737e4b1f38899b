// Photos as cameras store them, for the tests of turned pictures: an upright
// picture of four coloured quarters (no turn or mirror of it looks the
// same), stored turned the other way with an EXIF orientation tag that
// says how to turn it back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_codec.h"
#include "maker/picture_orientation.h"

namespace vidod::testing {

struct QuarterColour {
  uint8_t r, g, b;
};
// Left to right, top to bottom.
constexpr QuarterColour kQuarters[4] = {{220, 30, 30}, {30, 200, 40}, {30, 40, 220}, {240, 240, 240}};

inline RgbaPicture UprightQuarters(uint32_t width, uint32_t height) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const QuarterColour& c = kQuarters[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)];
      picture.pixels.insert(picture.pixels.end(), {c.r, c.g, c.b, 255});
    }
  return picture;
}

// The quarter whose colour is nearest (red, green, blue), or -1 when none is
// within tolerance.
inline int QuarterOf(unsigned r, unsigned g, unsigned b, unsigned tolerance = 40) {
  for (int quarter = 0; quarter < 4; ++quarter) {
    const QuarterColour& c = kQuarters[quarter];
    const auto within = [tolerance](unsigned a, unsigned want) { return a + tolerance >= want && a <= want + tolerance; };
    if (within(r, c.r) && within(g, c.g) && within(b, c.b)) return quarter;
  }
  return -1;
}

// The quarter whose colour each quarter's middle shows, left to right and
// top to bottom: {0, 1, 2, 3} when the picture is upright.
inline std::vector<int> QuartersAtMiddles(const RgbaPicture& picture) {
  std::vector<int> seen;
  for (int quarter = 0; quarter < 4 && !picture.pixels.empty(); ++quarter) {
    const uint32_t x = picture.width / 4 + (quarter % 2) * picture.width / 2;
    const uint32_t y = picture.height / 4 + (quarter / 2) * picture.height / 2;
    const uint8_t* pixel = &picture.pixels[(std::size_t{y} * picture.width + x) * 4];
    seen.push_back(QuarterOf(pixel[0], pixel[1], pixel[2]));
  }
  return seen;
}

// Quality 95, as turned pictures are stored; empty when it cannot be written.
inline std::vector<uint8_t> JpegOf(const RgbaPicture& picture) {
  std::vector<uint8_t> jpeg;
  std::string error;
  EncodeJpeg(picture, 95, &jpeg, &error);
  return jpeg;
}

// Every pixel of a picture file; none when it cannot be decoded.
inline RgbaPicture WholePixels(const std::vector<uint8_t>& bytes) {
  RgbaPicture picture;
  std::string problem;
  DecodePicturePixels(bytes, 0, 0, &picture, &problem);
  return picture;
}

// The inverse turn: a mirrored turn undoes itself.
inline PictureTurn InverseTurn(PictureTurn turn) {
  if (!turn.mirrored) turn.quarterTurns = static_cast<uint8_t>((4 - turn.quarterTurns) % 4);
  return turn;
}

// A camera's EXIF segment with one orientation entry, little-endian,
// placed after the start-of-image marker.
inline std::vector<uint8_t> WithOrientation(const std::vector<uint8_t>& jpeg, uint16_t orientation) {
  const uint8_t low = static_cast<uint8_t>(orientation & 0xFF), high = static_cast<uint8_t>(orientation >> 8);
  const std::vector<uint8_t> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
                                     0x12, 0x01, 3, 0, 1, 0, 0, 0, low, high, 0, 0, 0, 0, 0, 0};
  std::vector<uint8_t> bytes(jpeg.begin(), jpeg.begin() + 2);
  bytes.insert(bytes.end(), {0xFF, 0xE1, 0, static_cast<uint8_t>(exif.size() + 2)});
  bytes.insert(bytes.end(), exif.begin(), exif.end());
  bytes.insert(bytes.end(), jpeg.begin() + 2, jpeg.end());
  return bytes;
}

// The upright picture as a camera would store it with that orientation,
// then turned by the author's rotation on top: a JPEG that shows upright.
inline std::vector<uint8_t> OrientedJpeg(uint32_t width, uint32_t height, uint16_t orientation, int rotation = 0) {
  const PictureTurn turn = ThenRotate(TurnOfExifOrientation(orientation), rotation);
  return WithOrientation(JpegOf(TurnPicture(UprightQuarters(width, height), InverseTurn(turn))), orientation);
}

}  // namespace vidod::testing
