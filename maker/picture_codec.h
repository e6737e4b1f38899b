// Decoding and encoding of picture files for the maker: a JPEG is decoded
// in full to know that the player's picture service will show it, pictures
// far larger than the views are stored reduced, turned ones upright, and
// web and phone formats as JPEG or PNG. JPEG goes through libjpeg-turbo
// everywhere; the other formats through the system's imaging component on
// Windows, libpng, giflib, libwebp and libheif elsewhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vidod {

// 4 bytes per pixel, red, green, blue, alpha (not premultiplied), rows
// top-down without padding.
struct RgbaPicture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;
};

// Decodes every scan of the JPEG. picture may be nullptr when only the check
// matters (nothing of the size of the image is then kept). False with a
// French *problem when the file is damaged or cut short.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem);

// Decodes every pixel of the GIF's first picture, nothing of it kept. False
// with a French *problem when it is damaged or cut short.
bool DecodeGif(const std::vector<uint8_t>& bytes, std::string* problem);

// The pixels of a picture file, as they are stored (a JPEG's orientation tag
// is not applied; a HEIC or AVIF comes turned by its own properties), at
// the smallest scale the decoder offers that is at least minWidth x
// minHeight: a JPEG decodes at 1/8, 1/4 or 1/2 of its size where that is
// enough (0 x 0: the whole size). False with a French *problem, which for
// a format this machine cannot decode says how to get a JPEG or PNG.
bool DecodePicturePixels(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                         RgbaPicture* picture, std::string* problem);

// Baseline JPEG of the picture's colours (alpha ignored), quality 1 to 100.
bool EncodeJpeg(const RgbaPicture& picture, int quality, std::vector<uint8_t>* bytes, std::string* error);
// 8-bit PNG, truecolour, with alpha when withAlpha.
bool EncodePng(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes, std::string* error);

// The JPEG turned without decoding it (a quarter turn moves whole blocks):
// only where its sides are whole blocks; false otherwise, *turned then
// untouched. quarterTurns clockwise after a mirror when mirrored.
bool TurnJpegLosslessly(const std::vector<uint8_t>& bytes, uint8_t quarterTurns, bool mirrored,
                        std::vector<uint8_t>* turned);

// What to say about a format that cannot be decoded here: how to get a JPEG
// or a PNG of the picture.
std::string HowToGetJpegOrPng(const char* formatName);

}  // namespace vidod
