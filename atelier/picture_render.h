// The pictures of a quiz's questions as the player will show them, read
// from their files: upright (the file's own orientation and the question's
// rotation), PNG through the player's own decoder so that a picture the
// player cannot show does not show here either, the others through the
// maker's decoders at no more than the size shown. Safe on any thread: no
// message box, COM taken for the call.
#pragma once

#include <windows.h>

#include <filesystem>
#include <map>
#include <string>

#include "maker/quiz_project.h"

namespace vidod {

// The picture of the single-question view.
constexpr int kPlayerPictureWidth = 640;
constexpr int kPlayerPictureHeight = 480;

// A picture to draw: its file, turned by rotation, fitted into box with its
// transparent pixels on background.
struct PictureRequest {
  std::filesystem::path file;
  int rotation = 0;
  SIZE box = {};
  COLORREF background = CLR_INVALID;
  bool inspect = false;  // also the checks' inspection, from the same decoding
};

// The picture fitted into its box (a new bitmap, the caller's), or nullptr
// when the file is missing or shows nothing; the file's size and time of
// last change as read, and with request.inspect the checks' findings.
struct RenderedPicture {
  HBITMAP fitted = nullptr;
  bool opaque = false;  // no pixel shows the background: good on any colour
  bool inspected = false;
  PictureCheckCache::Entry inspection;
};
RenderedPicture RenderPicture(const PictureRequest& request);

// A new width x height bitmap of the colour with picture (which may be
// nullptr) centred on it. The picture stays the caller's.
HBITMAP ComposeOnColour(HBITMAP picture, COLORREF colour, int width, int height);

// Pictures already fitted into one box size on one background colour, by
// file and rotation, kept while the files stay as they were. Opaque ones
// stay good when the colour changes.
struct FittedPictures {
  SIZE box = {};
  COLORREF background = CLR_INVALID;
  // A file is known by its size and time of last change: the time alone
  // may keep the same second through a quick replacement.
  struct Entry {
    std::filesystem::file_time_type written;
    std::uintmax_t size = 0;
    HBITMAP fitted = nullptr;  // nullptr: the file did not decode
    bool opaque = false;
  };
  std::map<std::wstring, Entry> entries;
};
// Whether the cache has the picture as its file is now, in *fitted (which
// stays the cache's, nullptr when it shows nothing). A new box size empties
// the cache first, a new colour takes out the pictures that show it.
bool FindFittedPicture(FittedPictures* cache, const std::filesystem::path& file, int rotation, SIZE box,
                       COLORREF background, HBITMAP* fitted);
// Keeps a picture rendered from the file as it was written then (the cache
// takes the bitmap) when it was made for the cache's box and colour;
// deletes it otherwise.
void KeepFittedPicture(FittedPictures* cache, const PictureRequest& request, const RenderedPicture& rendered,
                       HBITMAP fitted);
void ClearFittedPictures(FittedPictures* cache);

}  // namespace vidod
