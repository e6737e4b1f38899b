#include "atelier/controls.h"

#include <commctrl.h>

#include <vector>

#include "atelier/pages.h"

namespace vidod {

HWND AddControl(HWND parent, int id, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                DWORD extendedStyle) {
  return CreateWindowExW(extendedStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

HWND AddLabel(HWND parent, int id, const wchar_t* text) { return AddControl(parent, id, WC_STATICW, text, SS_LEFT); }

HWND AddEdit(HWND parent, int id, DWORD extraStyle) {
  return AddControl(parent, id, WC_EDITW, L"", WS_TABSTOP | extraStyle, WS_EX_CLIENTEDGE);
}

HWND AddButton(HWND parent, int id, const wchar_t* text, DWORD extraStyle) {
  return AddControl(parent, id, WC_BUTTONW, text, WS_TABSTOP | extraStyle);
}

namespace {

// A box of several lines asks for every key, Tab included; read-only, it
// has no use for them, and Tab must go on to the next control.
LRESULT CALLBACK RemarksBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(box, GWLP_USERDATA));
  switch (message) {
    case WM_GETDLGCODE:
      return CallWindowProcW(original, box, message, wParam, lParam) &
             ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    case WM_DESTROY:
      SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      return CallWindowProcW(original, box, message, wParam, lParam);
    default:
      return CallWindowProcW(original, box, message, wParam, lParam);
  }
}

}  // namespace

HWND AddRemarksBox(HWND parent, int id) {
  HWND box = AddControl(parent, id, WC_EDITW, L"",
                        WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, WS_EX_CLIENTEDGE);
  SetWindowLongPtrW(box, GWLP_USERDATA,
                    SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemarksBoxProc)));
  return box;
}

HWND AddMark(HWND parent, int id) { return AddControl(parent, id, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX); }

std::wstring WindowTextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  return text.data();
}

// Setting the same text again would move the caret and send a change
// notification for nothing.
void SetWindowTextIfOther(HWND window, const std::wstring& text) {
  if (WindowTextOf(window) != text) SetWindowTextW(window, text.c_str());
}

// On a scrolled page, the controls sit that much higher.
void Place(HWND parent, int id, int x, int y, int width, int height) {
  HWND control = GetDlgItem(parent, id);
  if (control)
    SetWindowPos(control, nullptr, x, y - PageScroll(parent), width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool HasVisibleStyle(HWND control) { return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

namespace {

BOOL CALLBACK SetFontOn(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

void ApplyFontToChildren(HWND window, HFONT font) {
  EnumChildWindows(window, SetFontOn, reinterpret_cast<LPARAM>(font));
}

int LineHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

}  // namespace vidod
