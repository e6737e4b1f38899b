#include "atelier/text_convert.h"

#include <windows.h>

#include "common/cp1252.h"

namespace vidod {

std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
  return utf8;
}

// Through UTF-8 and the maker's own table rather than the system's code page
// 1252, so that the Atelier accepts exactly what vidod-make accepts.
std::wstring WideFromCp1252(const std::string& cp1252) { return WideFromUtf8(Cp1252ToUtf8(cp1252)); }

}  // namespace vidod
