// Texts between the Atelier's wide controls and paths and the maker model,
// whose quiz texts are code page 1252 bytes and picture keys UTF-8.
#pragma once

#include <string>

namespace vidod {

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);

// Quiz text of the model shown in a control.
std::wstring WideFromCp1252(const std::string& cp1252);

struct QuizTextConversion {
  bool ok = true;
  std::string cp1252;     // complete only when ok
  char32_t rejected = 0;  // the first character the code page cannot hold
};
// Text typed into a control, as the quiz will hold it.
QuizTextConversion Cp1252FromWide(const std::wstring& wide);

}  // namespace vidod
