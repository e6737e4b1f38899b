// The progress file's line reader over a whole file: each call moves forward
// until the end is reached, every line is the text from where it starts up to
// its first CR (cut to 259 characters) and ends inside its 260-byte buffer;
// past the end lines read empty. The lines read, written back with
// FormatProgressText, read back as the same lines.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/text_buffer.h"
#include "fuzz/fuzz_support.h"
#include "views/progress_lines.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
constexpr std::size_t kMaxLength = static_cast<std::size_t>(kMaxTextLength);

using Line = std::array<char, kTextSize>;

// Reads into a block of exactly one text buffer, so that a write past its end
// is caught.
std::vector<Line> ReadAllLines(const uint8_t* text, std::size_t length) {
  std::vector<Line> lines;
  auto buffer = std::make_unique<char[]>(kTextSize);
  std::size_t position = 0;
  while (position < length) {
    const std::size_t start = position;
    ReadProgressLine(text, length, &position, buffer.get());
    Check(position > start, "every line read moves forward");
    Check(position <= length, "the position stays within the text");
    const std::size_t kept = std::strlen(buffer.get());
    Check(kept <= kMaxLength, "a line holds at most 259 characters");
    Check(std::memcmp(buffer.get(), text + start, kept) == 0, "a line is the text where it starts");
    Check(std::memchr(buffer.get(), kCarriageReturn, kept) == nullptr, "a line ends at its CR");
    if (kept < kMaxLength) {
      // A zero byte in the text shortens the line as a text; only the full
      // run up to the CR is checked when there is none.
      const std::size_t end = start + kept;
      const bool endsAtCr = end == length || text[end] == kCarriageReturn;
      Check(endsAtCr || text[end] == '\0', "a line stops only at a CR, the end or a zero byte");
    }
    Check(position == length || text[position - 1] == kLineFeed, "a line is left past its LF");
    Line line;
    std::memcpy(line.data(), buffer.get(), kTextSize);
    lines.push_back(line);
  }
  std::size_t past = position;
  ReadProgressLine(text, length, &past, buffer.get());
  Check(buffer[0] == '\0' && past >= position, "past the end a line is empty");
  return lines;
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<Line> lines = ReadAllLines(data, size);

  auto slots = std::make_unique<char[][kTextSize]>(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) std::memcpy(slots[i], lines[i].data(), kTextSize);
  const std::string written = FormatProgressText(slots.get(), static_cast<int>(lines.size()));
  const std::vector<Line> again =
      ReadAllLines(reinterpret_cast<const uint8_t*>(written.data()), written.size());
  Check(again.size() == lines.size(), "written lines read back as many lines");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Check(std::strcmp(again[i].data(), lines[i].data()) == 0, "written lines read back unchanged");
  }
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
