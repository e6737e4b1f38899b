// The pictures of a quiz's questions as the player will show them, read
// from their files: JPEG, GIF and BMP through the system's picture service,
// PNG through the player's own decoder, so that a picture the player cannot
// show does not show here either.
#pragma once

#include <windows.h>

#include <filesystem>
#include <map>
#include <string>

namespace vidod {

// The picture of the single-question view.
constexpr int kPlayerPictureWidth = 640;
constexpr int kPlayerPictureHeight = 480;

// The whole picture, its transparent PNG pixels drawn on background as the
// player draws them on the quiz colour; nullptr when the file is missing or
// the player could not show it. The bitmap belongs to the caller.
HBITMAP DecodePictureFile(const std::filesystem::path& file, COLORREF background);
// A new width x height bitmap of the colour with picture (which may be
// nullptr) centred on it. The picture stays the caller's.
HBITMAP ComposeOnColour(HBITMAP picture, COLORREF colour, int width, int height);

// Pictures already fitted into one box size on one background colour, by
// file, kept while the files stay as they were.
struct FittedPictures {
  SIZE box = {};
  COLORREF background = CLR_INVALID;
  struct Entry {
    std::filesystem::file_time_type written;
    HBITMAP fitted = nullptr;  // nullptr: the file did not decode
  };
  std::map<std::wstring, Entry> entries;
};
// The picture fitted into the cache's box, transparent pixels on background
// (a new box size or colour empties the cache first). The bitmap stays the
// cache's; nullptr when the file shows nothing.
HBITMAP FittedPicture(FittedPictures* cache, const std::filesystem::path& file, SIZE box, COLORREF background);
void ClearFittedPictures(FittedPictures* cache);

}  // namespace vidod
