// Question pictures from the resources, decoded and fitted into a box while
// keeping their aspect ratio. Every bitmap returned is new and belongs to the
// caller.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vidod {

constexpr int kScrambledPictureIdLimit = 10000;  // ids above are stored nibble-swapped
// No background: transparent PNG pixels keep the colour stored with them.
constexpr COLORREF kNoBackground = CLR_INVALID;

// The picture id (resource type, falling back to a PNG raw-data resource of
// the same id) fitted into boxWidth x boxHeight; nullptr when there is none.
// Transparent pixels (PNG, GIF) are drawn on background.
HBITMAP LoadPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                    COLORREF background = kNoBackground);
// The size of the bitmap that LoadPicture gives for the same arguments, read
// from the picture's header without decoding it. False when there is no
// picture or its header cannot be read; a picture whose header reads and
// whose data is damaged has a size here and no bitmap from LoadPicture.
bool PictureSizeInBox(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                      SIZE* size);
// Full-size bitmap of the picture bytes (JPEG, GIF, BMP) through the system's
// picture service; nullptr when they do not decode. A transparent picture's
// transparent pixels are drawn on background when one is given.
HBITMAP DecodePicture(const void* bytes, uint32_t length, COLORREF background = kNoBackground);
// A new bitmap of the source scaled into the box (aspect kept, halftone);
// deletes the source. nullptr given, nullptr returned.
HBITMAP FitBitmapToBox(HBITMAP source, int boxWidth, int boxHeight);
// A new bitmap of width x height filled with background, the picture centred
// on it (as a centred-image control places it); deletes the picture. Without
// a picture, the background alone: an empty box.
HBITMAP CentreOnBackground(HBITMAP picture, int width, int height, HBRUSH background);
// Exchanges the two halves of every byte.
void SwapNibbles(uint8_t* bytes, uint32_t length);
// The bytes of picture resource id of that type as the decoders read them,
// in *bytes (size *length). Ids past kScrambledPictureIdLimit are stored with
// their nibbles swapped: resource bytes are read-only on Windows, so those
// are unscrambled into *plain, which *bytes then points into, afresh at every
// call. False when the module has no such resource.
bool ReadPictureResource(HMODULE module, int id, const char* type, std::vector<uint8_t>* plain,
                         const uint8_t** bytes, uint32_t* length);
// The PNG route: a raw-data resource of that id decoded and fitted.
HBITMAP LoadPngPicture(HMODULE module, int id, const char* type, int boxWidth, int boxHeight,
                       COLORREF background = kNoBackground);

// The window that owns the pictures' messages (nullptr: none), so that they
// stay in front of the player and keep it from being closed under them.
void SetPictureMessageOwner(HWND owner);
HWND PictureMessageOwner();

// The picture service needs COM on the thread: it is initialised on the first
// decoding and released here, once, when the player ends.
void ReleasePictureService();

}  // namespace vidod
