// Byte-wise text operations on which every answer judgement rests. Texts are
// code page 1252, zero-terminated; one byte is one character and two
// characters are equal only when their bytes are. No locale; letter case is
// folded, accents never are. Every operation reads at most kMaxTextLength
// characters of a text, so a longer text is handled as its first
// kMaxTextLength characters.
#pragma once

namespace vidod {

// Removes the leading and trailing blanks (byte 0x20 only; tabs are ordinary
// characters). A longer text is cut to kMaxTextLength characters first.
void TrimSpaces(char* text);

// Raises every lower-case letter that has a capital in code page 1252: a to z
// and the accented letters (e acute to E acute, c cedilla, oe, y diaeresis...),
// each keeping its accent, so E acute and E stay different letters. Every
// other byte stays. A longer text is cut to kMaxTextLength characters.
void UppercaseAscii(char* text);

// Levenshtein distance with unit costs; rows follow the first text, so pass
// the expected answer first and the typed answer second.
int EditDistance(const char* first, const char* second);

// True when both texts hold the same bytes the same number of times.
bool IsAnagram(const char* first, const char* second);

// Results of ContainmentScan.
constexpr int kExpectedInsideTyped = 2;
constexpr int kTypedInsideExpected = -2;
constexpr int kNotContained = 0;
constexpr int kExpectedEmpty = 1;   // and the typed text is not shorter
constexpr int kTypedEmpty = -1;     // and the expected text is longer

// Looks for the shorter text inside the longer one with a forward scan that
// never steps back after a failed partial match, so it misses occurrences
// that start inside one (AAB in AAAB). The verdicts depend on that miss.
int ContainmentScan(const char* expected, const char* typed);

// Length of a text, never beyond kMaxTextLength.
int BoundedTextLength(const char* text);

}  // namespace vidod
