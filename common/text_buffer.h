// Fixed single-byte texts (code page 1252), as every text of a quiz is held.
#pragma once

#include <cstddef>

namespace vidod {

constexpr int kTextSize = 260;          // buffer size of a text, terminator included
constexpr int kMaxTextLength = kTextSize - 1;

// Copies at most kMaxTextLength bytes of source (up to its terminator) into a
// kTextSize buffer and terminates it.
void CopyText(char* destination, const char* source);
// Same, from a byte run of known length that need not be terminated.
void CopyTextBytes(char* destination, const char* source, std::size_t length);

}  // namespace vidod
