// Conversion between Windows code page 1252 (every text the player reads and
// the progress file keeps) and UTF-8 (the quiz source, the console) or UTF-16
// (the texts of windows).
#pragma once

#include <string>
#include <string_view>

namespace vidod {

// Character reported for malformed UTF-8.
constexpr char32_t kMalformedUtf8 = 0xFFFD;

struct Cp1252Conversion {
  bool ok = true;
  std::string text;           // the 1252 bytes, complete only when ok
  char32_t rejected = 0;      // the first character 1252 cannot hold
  std::size_t rejectedAt = 0;  // its byte offset in the UTF-8 text
};

Cp1252Conversion Utf8ToCp1252(std::string_view utf8);
// Every byte has a character, so this cannot fail and Utf8ToCp1252 gives the
// bytes back.
std::string Cp1252ToUtf8(std::string_view cp1252);

// The offset of the first byte that starts no well-formed UTF-8 character,
// or std::string_view::npos when the whole text is UTF-8.
std::size_t FindMalformedUtf8(std::string_view text);

// The byte that a character typed outside the code page becomes: no answer
// holds it (the maker warns about control characters in answers), so it never
// matches, and it keeps its place in the answer.
constexpr char kOutsideCodePage = '\x7F';

// The texts of a quiz as windows show them, byte for byte as the system
// converts the code page: the five bytes that it leaves undefined become the
// C1 controls of the same value.
std::u16string Cp1252ToUtf16(std::string_view cp1252);
// A typed text back into the code page: each character it lacks (a pair of
// surrogates is one character) becomes kOutsideCodePage, except the modifier
// letter apostrophe, which the system hands over as its nearest form '.
std::string Utf16ToCp1252(std::u16string_view utf16);

// "U+0141 « Ł »", for messages; control characters are shown by code alone.
// An emoji or an invisible character, which a window may show as a box or
// not at all, is said to be one: "U+1F600 « 😀 » (un émoji)".
std::string DescribeCharacter(char32_t character);
// The character that the conversion of utf8 stopped at, described, with the
// words before it so that it can be found: "U+1F44F « 👏 » (un émoji),
// après « Bravo »".
std::string DescribeRejectedCharacter(std::string_view utf8, const Cp1252Conversion& conversion);

}  // namespace vidod
