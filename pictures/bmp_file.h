// A decoded picture as the bytes of a .bmp file, and the whole portable PNG
// route ending in one.
#pragma once

#include <cstdint>
#include <vector>

#include "pictures/png_decoder.h"

namespace vidod {

constexpr uint32_t kBmpFileHeaderSize = 14;

// File header, the info header unchanged, the colour-table entries in use
// (coloursUsed, or 2^bitCount when that is 0, for 8 bits or fewer; none
// above) and the rows as they lie in bits (top-down when the height is
// negative). bits holds the stride-aligned rows of the header's size. Returns
// 0, or 0x2004 when the file would pass 4 GiB, 0x2005 when memory runs out.
uint32_t BuildBmpFile(const BitmapInfo& info, const uint8_t* bits, std::vector<uint8_t>* file);

// Reset, open, decode, build the header, allocate and fill the bits, release:
// returns 0 with *file holding the .bmp bytes, or the failing step's code.
// With a background, transparent pixels are drawn on it, as the player does.
uint32_t ConvertPngToBmp(const uint8_t* png, uint32_t size, std::vector<uint8_t>* file,
                         const PngBackground* background = nullptr);

}  // namespace vidod
