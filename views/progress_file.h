// The progress file as the views read it during their set-up.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vidod {

struct ProgressText {
  HANDLE file;
  HANDLE mapping;
  const uint8_t* bytes;  // nullptr when there is no text
  std::size_t length;
  std::size_t position;  // where the next line starts
};

// Opens and maps the progress file read-only. A missing or unmappable file
// gives no text, and every line read from it is empty.
void ReadProgressFile(ProgressText* text);
// The next line (cut to 259 characters) into a 260-byte buffer.
void ReadNextProgressLine(ProgressText* text, char* line);
void CloseProgressFile(ProgressText* text);

}  // namespace vidod
