// The progress file's text: one answer per line, each ended by CR LF, bytes as
// typed (code page 1252, no byte-order mark).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vidod {

// Reads the line at *position into line (a 260-byte buffer; longer lines are
// cut to 259 characters) and moves *position past it. A line ends at its first
// CR; whatever stands between that CR and the next LF is dropped; an LF with
// no CR before it belongs to the line. Past the end every line is empty.
void ReadProgressLine(const uint8_t* text, std::size_t length, std::size_t* position, char* line);

// The whole file for the given answers: "%s\r\n" for each.
std::string FormatProgressText(const char (*slots)[260], int count);

}  // namespace vidod
