#include "common/window_text.h"

#include <cstring>

#include "common/cp1252.h"

namespace vidod {

// wchar_t is the UTF-16 unit on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 window texts");

std::wstring WideFromCp1252(const char* text) {
  const std::u16string wide = Cp1252ToUtf16(text ? text : "");
  return std::wstring(wide.begin(), wide.end());
}

std::string Cp1252FromWide(const wchar_t* text) {
  const std::wstring wide = text ? text : L"";
  return Utf16ToCp1252(std::u16string(wide.begin(), wide.end()));
}

void SetWindowText1252(HWND window, const char* text) {
  SetWindowTextW(window, WideFromCp1252(text).c_str());
}

void SetDlgItemText1252(HWND parent, int id, const char* text) {
  SetWindowText1252(GetDlgItem(parent, id), text);
}

int GetWindowText1252(HWND window, char* text, int size) {
  if (size <= 0) return 0;
  text[0] = '\0';
  const int length = window ? GetWindowTextLengthW(window) : 0;
  if (length <= 0) return 0;
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(GetWindowTextW(window, &wide[0], length + 1)));
  const std::string bytes = Cp1252FromWide(wide.c_str());
  const std::size_t kept = bytes.size() < static_cast<std::size_t>(size) ? bytes.size() : size - 1;
  std::memcpy(text, bytes.data(), kept);
  text[kept] = '\0';
  return static_cast<int>(kept);
}

int GetDlgItemText1252(HWND parent, int id, char* text, int size) {
  return GetWindowText1252(GetDlgItem(parent, id), text, size);
}

int MessageBox1252(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxW(owner, WideFromCp1252(text).c_str(), WideFromCp1252(caption).c_str(), type);
}

}  // namespace vidod
