#include "text_buffer.h"

#include <cstring>

namespace vidod {

void CopyText(char* destination, const char* source) {
  std::size_t length = 0;
  while (length < static_cast<std::size_t>(kMaxTextLength) && source[length] != '\0') ++length;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
}

void CopyTextBytes(char* destination, const char* source, std::size_t length) {
  if (length > static_cast<std::size_t>(kMaxTextLength)) length = kMaxTextLength;
  std::memcpy(destination, source, length);
  destination[length] = '\0';
}

}  // namespace vidod
