// The quiz's texts and the judged answers are code page 1252 whatever the
// system's code page; windows hold UTF-16. Every text that goes into or comes
// out of a window of the player goes through here.
#pragma once

#include <windows.h>

#include <string>

namespace vidod {

std::wstring WideFromCp1252(const char* text);
std::string Cp1252FromWide(const wchar_t* text);

void SetWindowText1252(HWND window, const char* text);
void SetDlgItemText1252(HWND parent, int id, const char* text);
// The window's text in the code page, cut to size - 1 bytes and terminated;
// returns its length. A character the code page lacks becomes the byte that
// no answer holds.
int GetWindowText1252(HWND window, char* text, int size);
int GetDlgItemText1252(HWND parent, int id, char* text, int size);

// A message box of the player's, its text and caption in the code page.
int MessageBox1252(HWND owner, const char* text, const char* caption, UINT type);

}  // namespace vidod
