// Whole decoding and encoding of JPEG and PNG files for the maker: a JPEG
// is decoded in full to know that the player's picture service will show it,
// and pictures far larger than the views are stored reduced. The system's
// imaging component does it on Windows; libjpeg-turbo and libpng elsewhere.
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

// A PNG with its transparency as alpha (tRNS included), for reducing it.
bool DecodePngWithAlpha(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem);

// Baseline JPEG of the picture's colours (alpha ignored).
bool EncodeJpeg(const RgbaPicture& picture, std::vector<uint8_t>* bytes, std::string* error);
// 8-bit PNG, truecolour, with alpha when withAlpha.
bool EncodePng(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes, std::string* error);

}  // namespace vidod
