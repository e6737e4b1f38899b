// Whether the player can show a picture file, and how large it is. PNG goes
// through the player's own decoder; JPEG is decoded whole, as the system's
// picture service will; of GIF and BMP the header and the length are checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "maker/picture_format.h"

namespace vidod {

struct PictureInspection {
  PictureFormat format = PictureFormat::kUnknown;
  bool showable = false;  // false: the player shows an empty box instead
  uint32_t width = 0;     // known when showable
  uint32_t height = 0;
  uint32_t pngError = 0;  // PNG only: the decoder's failure code, 0 when it decoded
  std::string problem;    // French, when not showable
};

PictureInspection InspectPicture(const std::vector<uint8_t>& bytes);

// "0x2001 (bloc critique inconnu, ...)" for messages.
std::string DescribePngError(uint32_t code);
// What a failure code of the player's PNG decoder means to an author.
std::string PngProblem(uint32_t code);

}  // namespace vidod
