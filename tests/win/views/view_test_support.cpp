#include "view_test_support.h"

#include "painted_window.h"
#include "player_fixture.h"

namespace vidod::testing {

namespace {
constexpr LPARAM kAltHeld = 1 << 29;
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(0xC0000001);
}  // namespace

Place PlaceOf(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Place PlaceOf(HWND parent, int id) { return PlaceOf(GetDlgItem(parent, id)); }

std::vector<HWND> ChildrenWithId(HWND parent, int id) {
  std::vector<HWND> found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetDlgCtrlID(child) == id) found.push_back(child);
  return found;
}

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  CharLowerA(name);
  return name;
}

LONG_PTR StyleOf(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

void PressKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, kKeyReleased);
  PumpMessages();
}

void PressAltKey(HWND target, WPARAM key) {
  PostMessageA(target, WM_SYSKEYDOWN, key, 1 | kAltHeld);
  PostMessageA(target, WM_SYSKEYUP, key, kKeyReleased | kAltHeld);
  PumpMessages();
}

void HoldShift(bool held) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = held ? 0x80 : 0;
  keys[VK_LSHIFT] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

void SetText(HWND parent, int id, const std::string& text) {
  SetDlgItemTextA(parent, id, text.c_str());
}

void Click(HWND parent, int id) {
  SendDlgItemMessageA(parent, id, BM_CLICK, 0, 0);
  PumpMessages();
}

COLORREF PaintedColourAt(HWND window, int x, int y) { return PaintedWindow(window).At(x, y); }

COLORREF PaintedEdgeColour(HWND control) {
  RECT client;
  GetClientRect(control, &client);
  return PaintedColourAt(control, 1, client.bottom / 2);
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH info = {};
  GetObjectA(brush, sizeof info, &info);
  return info.lbColor;
}

SCROLLINFO ScrollInfo(HWND window, int bar) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  return info;
}

}  // namespace vidod::testing
