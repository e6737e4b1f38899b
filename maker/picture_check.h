// Whether the player can show a picture file, and how large it is. PNG goes
// through the player's own decoder; JPEG is decoded whole, as the system's
// picture service will; GIF's first picture is decoded, of BMP the header
// and the length are checked. WebP, HEIC and AVIF are decoded as build will
// to store them as JPEG or PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_codec.h"
#include "maker/picture_format.h"

namespace vidod {

struct PictureInspection {
  PictureFormat format = PictureFormat::kUnknown;
  bool showable = false;  // false: the player shows an empty box instead, or build refuses it
  uint32_t width = 0;     // known when showable, as shown: a JPEG's orientation tag applied
  uint32_t height = 0;
  bool turned = false;    // the file's own orientation turns it
  uint32_t pngError = 0;  // PNG only: the decoder's failure code, 0 when it decoded
  std::string problem;    // French, when not showable
};

PictureInspection InspectPicture(const std::vector<uint8_t>& bytes);
// The same, keeping the pixels that the decoding gave, for a thumbnail or a
// preview: a JPEG's (as stored, not turned) at least minWidth x minHeight,
// a WebP, HEIC or AVIF's whole. *pixels is left empty for other formats.
PictureInspection InspectPicture(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                                 RgbaPicture* pixels);

// "0x2001 (bloc critique inconnu, ...)" for messages.
std::string DescribePngError(uint32_t code);
// What a failure code of the player's PNG decoder means to an author.
std::string PngProblem(uint32_t code);

}  // namespace vidod
