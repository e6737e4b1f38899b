#include "app/screen_scale.h"

#include "app/player_shell.h"
#include "common/layout_scale.h"
#include "quiz/player_document.h"

namespace vidod {

namespace {

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

int g_layoutDpi = kDesignDpi;

HFONT FontOf(FontRole role) {
  switch (role) {
    case FontRole::kSystem:
      return g_document->systemFont;
    case FontRole::kGui:
      return g_document->guiFont ? g_document->guiFont
                                 : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    case FontRole::kTitle:
      return g_document->titleFont;
    case FontRole::kScore:
      return g_document->scoreFont;
    case FontRole::kAnswer:
      return g_document->answerFont;
    case FontRole::kNone:
      break;
  }
  return nullptr;
}

BOOL CALLBACK RefreshFont(HWND control, LPARAM) {
  const auto role = static_cast<FontRole>(GetWindowLongPtrW(control, GWLP_USERDATA));
  // A control of the system's font that has none goes back to the system's.
  if (role != FontRole::kNone)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(role)), TRUE);
  return TRUE;
}

}  // namespace

int Scaled(int figure) { return ScaleFigure(figure, g_layoutDpi); }

int LayoutDpi() { return g_layoutDpi; }

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : kDesignDpi;
}

// Windows 10 and Wine 8 have it; earlier systems keep to the system DPI.
int WindowDpi(HWND window) {
  static const auto dpiForWindow = reinterpret_cast<DpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = dpiForWindow && window ? dpiForWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int FittingLayoutDpi(int dpi, const RECT& place) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) return dpi;
  const RECT& work = monitor.rcWork;
  return FittingDpi(dpi, kMainWindowWidth, kMainWindowHeight, work.right - work.left,
                    work.bottom - work.top);
}

int UseLayoutDpi(int dpi, HFONT* retired) {
  g_layoutDpi = dpi > 0 ? dpi : kDesignDpi;
  return g_document ? MakeScaledFonts(g_document, g_layoutDpi, SystemDpi(), retired) : 0;
}

void UseFont(HWND control, FontRole role, bool redraw) {
  if (!control) return;
  SetWindowLongPtrW(control, GWLP_USERDATA, static_cast<LONG_PTR>(role));
  HFONT font = FontOf(role);
  if (role == FontRole::kSystem && !font) return;
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

void RefreshFonts(HWND window) { EnumChildWindows(window, RefreshFont, 0); }

}  // namespace vidod
