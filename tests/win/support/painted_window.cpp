#include "painted_window.h"

namespace vidod::testing {

PaintedWindow::PaintedWindow(HWND window) {
  GetClientRect(window, &client_);
  HDC screen = GetDC(nullptr);
  dc_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, client_.right, client_.bottom);
  ReleaseDC(nullptr, screen);
  previous_ = SelectObject(dc_, bitmap_);
  SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
}

PaintedWindow::~PaintedWindow() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

}  // namespace vidod::testing
