// Question pictures from the resources, decoded and fitted into a box while
// keeping their aspect ratio. Every bitmap returned is new and belongs to the
// caller.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vidod {

constexpr int kScrambledPictureIdLimit = 10000;  // ids above are stored nibble-swapped

// The picture id (resource type, falling back to a PNG raw-data resource of
// the same id) fitted into boxWidth x boxHeight; nullptr when there is none.
HBITMAP LoadPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight);
// Full-size bitmap of the picture bytes (JPEG, GIF, BMP) through the system's
// picture service; nullptr when they do not decode.
HBITMAP DecodePicture(const void* bytes, uint32_t length);
// A new bitmap of the source scaled into the box (aspect kept, halftone);
// deletes the source. nullptr given, nullptr returned.
HBITMAP FitBitmapToBox(HBITMAP source, int boxWidth, int boxHeight);
// Exchanges the two halves of every byte.
void SwapNibbles(uint8_t* bytes, uint32_t length);
// The PNG route: a raw-data resource of that id decoded and fitted.
HBITMAP LoadPngPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight);

// The picture service needs COM on the thread: it is initialised on the first
// decoding and released here, once, when the player ends.
void ReleasePictureService();

}  // namespace vidod
