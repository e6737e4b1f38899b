// The forms of a quiz source that must never reach the TOML parser. The
// version Debian ships meets undefined behaviour when it asks whether a
// character between U+00A1 and U+0499 is a blank (a table of its own is one
// entry short), and asserts (or, in optimised builds of some compilers,
// assumes) on some typos and on badly written times. Its tokens are read here
// the way it reads them, so that each such form is told to the author
// instead. A quiz has no date or time anywhere: every value that the parser
// would read as a time is refused.
#pragma once

#include <cstddef>
#include <string_view>

namespace vidod {

// What Notepad puts first in a UTF-8 file; the parser skips it, and counts
// the columns of the first line after it.
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

enum class TomlHazard {
  kStrayCharacter,      // a character outside ASCII where only a text may hold one
  kQuoteInValue,        // a quote inside a value that starts as a number: 7"é"
  kDateOrTime,          // a time, or a date and a time: 07:32, 1979-05-27 7
  kBadTableHeader,      // "[" not followed by a table name: [=], [.], [[[question]]
  kBraceInList,         // "}" where a list expects a value: q = [}
  kAccentAfterBackslash,  // in a multi-line text, "\" (and blanks) before a character outside ASCII
};

struct TomlHazardFound {
  TomlHazard kind;
  std::size_t at;       // byte offset of the offending character
  std::size_t valueAt;  // kQuoteInValue: where the value starts
  bool inKey;           // kStrayCharacter: before the "=" of its line
};

// The first hazard of a well-formed UTF-8 text; false when there is none.
bool FindTomlHazard(std::string_view toml, TomlHazardFound* found);

}  // namespace vidod
