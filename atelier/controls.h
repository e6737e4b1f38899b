// Small helpers for the Atelier's child controls: creation, texts as wide
// strings, and placement in device pixels.
#pragma once

#include <windows.h>

#include <string>

namespace vidod {

HWND AddControl(HWND parent, int id, const wchar_t* windowClass, const wchar_t* text, DWORD style,
                DWORD extendedStyle = 0);
// A label whose text names the control that follows it for a screen reader;
// "&" marks its access key.
HWND AddLabel(HWND parent, int id, const wchar_t* text);
HWND AddEdit(HWND parent, int id, DWORD extraStyle = ES_AUTOHSCROLL);
HWND AddButton(HWND parent, int id, const wchar_t* text, DWORD extraStyle = BS_PUSHBUTTON);
// A read-only box of several lines for remarks.
HWND AddRemarksBox(HWND parent, int id);
// The mark beside a field: "Erreur" or "Attention", empty when all is well.
HWND AddMark(HWND parent, int id);

std::wstring WindowTextOf(HWND window);
void SetWindowTextIfOther(HWND window, const std::wstring& text);
void Place(HWND parent, int id, int x, int y, int width, int height);
// The control's own visible style, whatever its parents show.
bool HasVisibleStyle(HWND control);

// Sets the font on every descendant of window.
void ApplyFontToChildren(HWND window, HFONT font);
// The height of a line of text in that font, in pixels.
int LineHeight(HWND window, HFONT font);

}  // namespace vidod
