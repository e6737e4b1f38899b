// Texts between the Atelier's wide controls and paths and the maker model,
// whose quiz texts are code page 1252 bytes and picture keys UTF-8.
#pragma once

#include <string>

namespace vidod {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

// Quiz text of the model shown in a control.
std::wstring WideFromCp1252(const std::string& cp1252);

}  // namespace vidod
