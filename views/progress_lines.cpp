#include "views/progress_lines.h"

#include "common/text_buffer.h"

namespace vidod {

namespace {
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
}  // namespace

void ReadProgressLine(const uint8_t* text, std::size_t length, std::size_t* position, char* line) {
  std::size_t p = *position;
  std::size_t kept = 0;
  while (p < length && text[p] != kCarriageReturn) {
    if (kept < static_cast<std::size_t>(kMaxTextLength)) line[kept++] = static_cast<char>(text[p]);
    ++p;
  }
  line[kept] = '\0';
  while (p < length && text[p] != kLineFeed) ++p;
  // Past the LF; past the end the position only grows, which reads as empty.
  if (p < length) ++p;
  *position = p;
}

std::string FormatProgressText(const char (*slots)[260], int count) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    text += slots[i];
    text += "\r\n";
  }
  return text;
}

}  // namespace vidod
