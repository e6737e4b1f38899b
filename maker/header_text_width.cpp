#include "maker/header_text_width.h"

#include <cstdint>

namespace vidod {
namespace {

constexpr unsigned kFirstMeasured = 0x20;

// GetTextExtentPoint32A of each character from 0x20 to 0xFF, measured once
// under Wine 8 in the fonts the player creates, where Liberation Sans stands
// for the default faces (so the widths on Windows differ by a pixel here and
// there). The fonts have no kerning there: a text is as wide as the sum of
// its characters.
constexpr uint8_t kGuiFontWidths[224] = {
     3,  3,  4,  6,  6, 10,  7,  2,  4,  4,  4,  6,  3,  4,  3,  3,  // 0x20
     6,  6,  6,  6,  6,  6,  6,  6,  6,  6,  3,  3,  6,  6,  6,  6,  // 0x30
    11,  7,  7,  8,  8,  7,  7,  9,  8,  3,  6,  7,  6,  9,  8,  9,  // 0x40
     7,  9,  8,  7,  7,  8,  7, 10,  7,  7,  7,  3,  3,  3,  5,  6,  // 0x50
     4,  6,  6,  6,  6,  6,  3,  6,  6,  2,  2,  6,  2,  9,  6,  6,  // 0x60
     6,  6,  4,  6,  3,  6,  6,  8,  6,  6,  6,  4,  3,  4,  6,  4,  // 0x70
     6,  4,  2,  6,  4, 11,  6,  6,  4, 11,  7,  4, 11,  4,  7,  4,  // 0x80
     4,  2,  2,  4,  4,  4,  6, 11,  4, 11,  6,  4, 10,  4,  6,  7,  // 0x90
     3,  4,  6,  6,  6,  6,  3,  6,  4,  8,  4,  6,  6,  4,  8,  6,  // 0xA0
     4,  6,  4,  4,  4,  6,  6,  3,  4,  4,  4,  6,  9,  9,  9,  7,  // 0xB0
     7,  7,  7,  7,  7,  7, 11,  8,  7,  7,  7,  7,  3,  3,  3,  3,  // 0xC0
     8,  8,  9,  9,  9,  9,  9,  6,  9,  8,  8,  8,  8,  7,  7,  7,  // 0xD0
     6,  6,  6,  6,  6,  6, 10,  6,  6,  6,  6,  6,  3,  3,  3,  3,  // 0xE0
     6,  6,  6,  6,  6,  6,  6,  6,  7,  6,  6,  6,  6,  6,  6,  6,  // 0xF0
};
constexpr uint8_t kTitleFontWidths[224] = {
     4,  5,  7,  8,  8, 13, 11,  4,  5,  5,  6,  9,  4,  5,  4,  4,  // 0x20
     8,  8,  8,  8,  8,  8,  8,  8,  8,  8,  5,  5,  9,  9,  9,  9,  // 0x30
    15, 11, 11, 11, 11, 10,  9, 12, 11,  4,  8, 11,  9, 13, 11, 12,  // 0x40
    10, 12, 11, 10,  9, 11, 10, 14, 10, 10,  9,  5,  4,  5,  9,  8,  // 0x50
     5,  8,  9,  8,  9,  8,  5,  9,  9,  4,  4,  8,  4, 13,  9,  9,  // 0x60
     9,  9,  6,  8,  5,  9,  8, 12,  8,  8,  8,  6,  4,  6,  9,  5,  // 0x70
     8,  5,  4,  8,  8, 15,  8,  8,  5, 15, 10,  5, 15,  5,  9,  5,  // 0x80
     5,  4,  4,  8,  8,  5,  8, 15,  5, 15,  8,  5, 14,  5,  8, 10,  // 0x90
     4,  5,  8,  8,  8,  8,  4,  8,  5, 11,  6,  8,  9,  5, 11,  8,  // 0xA0
     6,  8,  5,  5,  5,  9,  8,  4,  5,  5,  5,  8, 13, 13, 13,  9,  // 0xB0
    11, 11, 11, 11, 11, 11, 15, 11, 10, 10, 10, 10,  4,  4,  4,  4,  // 0xC0
    11, 11, 12, 12, 12, 12, 12,  9, 12, 11, 11, 11, 11, 10, 10,  9,  // 0xD0
     8,  8,  8,  8,  8,  8, 13,  8,  8,  8,  8,  8,  4,  4,  4,  4,  // 0xE0
     9,  9,  9,  9,  9,  9,  9,  8,  9,  9,  9,  9,  9,  8,  9,  8,  // 0xF0
};

constexpr uint8_t kLinkFontWidths[224] = {
     4,  4,  5,  7,  7, 12,  9,  2,  4,  4,  5,  8,  4,  4,  4,  4,  // 0x20
     7,  7,  7,  7,  7,  7,  7,  7,  7,  7,  4,  4,  8,  8,  8,  7,  // 0x30
    13,  9,  9,  9,  9,  9,  8, 10,  9,  4,  7,  9,  7, 11,  9, 10,  // 0x40
     9, 10,  9,  9,  8,  9,  9, 12,  9,  9,  8,  4,  4,  4,  6,  7,  // 0x50
     4,  7,  7,  7,  7,  7,  4,  7,  7,  3,  3,  7,  3, 11,  7,  7,  // 0x60
     7,  7,  4,  7,  4,  7,  7,  9,  7,  7,  7,  4,  3,  4,  8,  5,  // 0x70
     7,  5,  3,  7,  4, 13,  7,  7,  4, 13,  9,  4, 13,  5,  8,  5,  // 0x80
     5,  3,  3,  4,  4,  5,  7, 13,  4, 13,  7,  4, 12,  5,  7,  9,  // 0x90
     4,  4,  7,  7,  7,  7,  3,  7,  4, 10,  5,  7,  8,  4, 10,  7,  // 0xA0
     5,  7,  4,  4,  4,  7,  7,  4,  4,  4,  5,  7, 11, 11, 11,  8,  // 0xB0
     9,  9,  9,  9,  9,  9, 13,  9,  9,  9,  9,  9,  4,  4,  4,  4,  // 0xC0
     9,  9, 10, 10, 10, 10, 10,  8, 10,  9,  9,  9,  9,  9,  9,  8,  // 0xD0
     7,  7,  7,  7,  7,  7, 12,  7,  7,  7,  7,  7,  4,  4,  4,  4,  // 0xE0
     7,  7,  7,  7,  7,  7,  7,  7,  8,  7,  7,  7,  7,  7,  7,  7,  // 0xF0
};

int Width(const std::string& cp1252, const uint8_t* widths) {
  int width = 0;
  for (char c : cp1252) {
    const unsigned byte = static_cast<unsigned char>(c);
    if (byte >= kFirstMeasured) width += widths[byte - kFirstMeasured];
  }
  return width;
}

}  // namespace

int TitleTextWidth(const std::string& cp1252) { return Width(cp1252, kTitleFontWidths); }
int CodeTextWidth(const std::string& cp1252) { return Width(cp1252, kGuiFontWidths); }
int AuthorTextWidth(const std::string& cp1252) { return Width(cp1252, kGuiFontWidths); }
int LinkTextWidth(const std::string& cp1252) { return Width(cp1252, kLinkFontWidths); }

}  // namespace vidod
