// The natural size of a picture, read from its header without decoding it:
// JPEG (the frame header), PNG (IHDR), GIF (the logical screen) and BMP (the
// info header). Lets a layout place a picture before its pixels exist. Every
// read is checked against the end of the data.
//
// A GIF whose first image covers less than its logical screen: Wine 8's
// picture service gives the image's own size, not the screen's.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vidod {

enum PictureHeaderResult : int32_t {
  kPictureHeaderOk = 0,
  kPictureHeaderUnknownFormat = -1,  // none of the four signatures
  kPictureHeaderTruncated = -2,      // the data ends before the size
  kPictureHeaderDamaged = -3,        // a malformed structure on the way to the size,
                                     // or a negative BMP width
  kPictureHeaderNoSize = -4,         // a width or height of 0
  kPictureHeaderTooLarge = -5,       // a side past 2^31 - 1
};

enum class PictureHeaderFormat { kUnknown, kJpeg, kPng, kGif, kBmp };

struct PictureHeader {
  PictureHeaderFormat format;  // known whenever the signature was
  uint32_t width;              // both 1 to 2^31 - 1 when the result is kPictureHeaderOk
  uint32_t height;
};

// Reads the format and size; width and height are 0 unless the result is
// kPictureHeaderOk. A PNG is read as the player's decoder reads it (the first
// chunk a complete IHDR, the first letter of its type in either case).
int32_t ReadPictureHeader(const uint8_t* bytes, std::size_t size, PictureHeader* header);

}  // namespace vidod
