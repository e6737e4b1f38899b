// Reading bitmaps back for the picture tests: their size and their pixels as
// a memory device context shows them.
#pragma once

#include <windows.h>

namespace vidod::testing {

struct BitmapSize {
  int width;
  int height;
};

// Deletes the bitmap it holds when it goes out of scope (a test that fails
// half-way must not leave GDI objects behind for the next one).
struct OwnedBitmap {
  explicit OwnedBitmap(HBITMAP held) : bitmap(held) {}
  ~OwnedBitmap() {
    if (bitmap) DeleteObject(bitmap);
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  HBITMAP bitmap;
};

// {0, 0} when the handle is not a live bitmap.
BitmapSize SizeOf(HBITMAP bitmap);
COLORREF PixelAt(HBITMAP bitmap, int x, int y);
// Each of red, green and blue within tolerance of the expected value (JPEG
// pictures come back near their colour, not on it).
bool ColoursClose(COLORREF actual, COLORREF expected, int tolerance);

// The process's GDI object count; 0 where the platform does not report it.
DWORD GdiObjectCount();

}  // namespace vidod::testing
