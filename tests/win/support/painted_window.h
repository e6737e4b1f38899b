// A window's client area as it paints itself into a bitmap, as it would on
// the screen (its children left out), to read its pixels back.
#pragma once

#include <windows.h>

namespace vidod::testing {

class PaintedWindow {
 public:
  explicit PaintedWindow(HWND window);
  ~PaintedWindow();
  PaintedWindow(const PaintedWindow&) = delete;
  PaintedWindow& operator=(const PaintedWindow&) = delete;

  int width() const { return client_.right; }
  int height() const { return client_.bottom; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  RECT client_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace vidod::testing
