#include "answers/text_compare.h"

#include <cstring>

#include "common/text_buffer.h"

namespace vidod {

namespace {

constexpr char kBlank = ' ';
constexpr unsigned char kCaseOffset = 'a' - 'A';
// Code page 1252 keeps its accented letters in two runs 0x20 apart, like
// ASCII: 0xE0 to 0xFE (a grave to thorn) over 0xC0 to 0xDE, but for the
// division sign 0xF7 facing the multiplication sign 0xD7. Sharp s (0xDF) has
// no capital. Four more pairs lie scattered.
constexpr unsigned char kAccentedLowerFirst = 0xE0;
constexpr unsigned char kAccentedLowerLast = 0xFE;
constexpr unsigned char kDivisionSign = 0xF7;
struct ScatteredPair {
  unsigned char lower, upper;
};
constexpr ScatteredPair kScatteredPairs[] = {
    {0x9A, 0x8A},  // s caron
    {0x9C, 0x8C},  // oe ligature
    {0x9E, 0x8E},  // z caron
    {0xFF, 0x9F},  // y diaeresis
};

unsigned char RaisedLetter(unsigned char byte) {
  if (byte >= 'a' && byte <= 'z') return static_cast<unsigned char>(byte - kCaseOffset);
  if (byte >= kAccentedLowerFirst && byte <= kAccentedLowerLast && byte != kDivisionSign)
    return static_cast<unsigned char>(byte - kCaseOffset);
  for (const ScatteredPair& pair : kScatteredPairs)
    if (byte == pair.lower) return pair.upper;
  return byte;
}

}  // namespace

int BoundedTextLength(const char* text) {
  int length = 0;
  while (length < kMaxTextLength && text[length] != '\0') ++length;
  return length;
}

void TrimSpaces(char* text) {
  int end = BoundedTextLength(text);
  while (end > 0 && text[end - 1] == kBlank) --end;
  text[end] = '\0';
  int start = 0;
  while (text[start] == kBlank) ++start;
  if (start > 0) std::memmove(text, text + start, static_cast<std::size_t>(end - start) + 1);
}

void UppercaseAscii(char* text) {
  const int length = BoundedTextLength(text);
  for (int i = 0; i < length; ++i)
    text[i] = static_cast<char>(RaisedLetter(static_cast<unsigned char>(text[i])));
  text[length] = '\0';
}

int EditDistance(const char* first, const char* second) {
  const int rows = BoundedTextLength(first);
  const int columns = BoundedTextLength(second);
  if (rows == 0) return columns;
  if (columns == 0) return rows;

  // The whole table on the stack: at most 260 x 260 entries for one call.
  int table[kTextSize][kTextSize];
  for (int i = 0; i <= rows; ++i) table[i][0] = i;
  for (int j = 0; j <= columns; ++j) table[0][j] = j;
  for (int i = 1; i <= rows; ++i) {
    for (int j = 1; j <= columns; ++j) {
      const int cost = first[i - 1] == second[j - 1] ? 0 : 1;
      int best = table[i - 1][j] + 1;
      if (table[i][j - 1] + 1 < best) best = table[i][j - 1] + 1;
      if (table[i - 1][j - 1] + cost < best) best = table[i - 1][j - 1] + cost;
      table[i][j] = best;
    }
  }
  return table[rows][columns];
}

namespace {

// Neighbour exchanges until a pass changes nothing. Bytes compare as signed,
// so 0x80 to 0xFF come first; any fixed order serves the anagram test.
void SortBytes(char* text, int length) {
  bool exchanged = true;
  while (exchanged) {
    exchanged = false;
    for (int i = 0; i + 1 < length; ++i) {
      if (static_cast<signed char>(text[i]) > static_cast<signed char>(text[i + 1])) {
        const char held = text[i];
        text[i] = text[i + 1];
        text[i + 1] = held;
        exchanged = true;
      }
    }
  }
}

}  // namespace

bool IsAnagram(const char* first, const char* second) {
  char sortedFirst[kTextSize];
  char sortedSecond[kTextSize];
  CopyText(sortedFirst, first);
  CopyText(sortedSecond, second);
  const int firstLength = BoundedTextLength(sortedFirst);
  const int secondLength = BoundedTextLength(sortedSecond);
  if (firstLength != secondLength) return false;
  SortBytes(sortedFirst, firstLength);
  SortBytes(sortedSecond, secondLength);
  return std::memcmp(sortedFirst, sortedSecond, static_cast<std::size_t>(firstLength)) == 0;
}

int ContainmentScan(const char* expected, const char* typed) {
  const int expectedLength = BoundedTextLength(expected);
  const int typedLength = BoundedTextLength(typed);

  const bool typedShorter = typedLength < expectedLength;
  const char* searched = typedShorter ? typed : expected;
  const char* scanned = typedShorter ? expected : typed;
  const int searchedLength = typedShorter ? typedLength : expectedLength;
  const int scannedLength = typedShorter ? expectedLength : typedLength;

  if (searchedLength == 0) return typedShorter ? kTypedEmpty : kExpectedEmpty;

  int position = 0;
  while (position < scannedLength) {
    while (position < scannedLength && scanned[position] != searched[0]) ++position;
    if (position == scannedLength) return kNotContained;
    int matched = 0;
    while (matched < searchedLength && position < scannedLength &&
           scanned[position] == searched[matched]) {
      ++matched;
      ++position;
    }
    if (matched == searchedLength) {
      return typedShorter ? kTypedInsideExpected : kExpectedInsideTyped;
    }
    // Deliberately no step back: the next attempt starts on the character
    // that broke this one.
  }
  return kNotContained;
}

}  // namespace vidod
