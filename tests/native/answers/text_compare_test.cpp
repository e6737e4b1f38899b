#include "answers/text_compare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text_buffer.h"

namespace vidod {
namespace {

struct TextCase {
  const char* input;
  const char* output;
};

TEST(TrimSpacesTest, RemovesOnlyOuterBlanks) {
  const TextCase cases[] = {
      {"   ", ""},               // blanks only
      {"", ""},                  // already empty
      {"  A B ", "A B"},         // inner blank stays
      {" A  B", "A  B"},         // several inner blanks stay
      {"\tA ", "\tA"},           // a tab is an ordinary character
      {"A\t", "A\t"},
      {"\xA0" "A", "\xA0" "A"},  // non-breaking space is not a blank either
      {"PARIS", "PARIS"},
  };
  for (const TextCase& c : cases) {
    char text[kTextSize];
    CopyText(text, c.input);
    TrimSpaces(text);
    EXPECT_STREQ(c.output, text) << "input \"" << c.input << "\"";
  }
}

TEST(UppercaseAsciiTest, RaisesExactlyTheUnaccentedLowerCaseLetters) {
  char text[kTextSize];
  CopyText(text, "\xE9t\xE9");
  UppercaseAscii(text);
  EXPECT_STREQ("\xE9T\xE9", text);

  // Every byte value on its own: only 0x61 to 0x7A move, by 0x20.
  for (int byte = 1; byte < 256; ++byte) {
    char single[2] = {static_cast<char>(byte), '\0'};
    UppercaseAscii(single);
    const int expected = (byte >= 'a' && byte <= 'z') ? byte - 0x20 : byte;
    EXPECT_EQ(expected, static_cast<unsigned char>(single[0])) << "byte " << byte;
  }
}

TEST(EditDistanceTest, CountsUnitEdits) {
  struct DistanceCase {
    const char* first;
    const char* second;
    int distance;
  };
  const DistanceCase cases[] = {
      {"PARIS", "PARI", 1},
      {"PARIS", "PAIRS", 2},  // exchanged neighbours cost two
      {"", "ABC", 3},
      {"ABC", "", 3},
      {"", "", 0},
      {"PARIS", "PARIS", 0},
      {"KITTEN", "SITTING", 3},
      {"\xC9T\xC9", "ETE", 2},  // accented and plain letters differ
      {"ABC", "abc", 3},        // no case folding here
  };
  for (const DistanceCase& c : cases) {
    EXPECT_EQ(c.distance, EditDistance(c.first, c.second)) << c.first << " / " << c.second;
    EXPECT_EQ(c.distance, EditDistance(c.second, c.first)) << c.second << " / " << c.first;
  }
}

TEST(EditDistanceTest, HandlesTheLongestTexts) {
  const std::string as(kMaxTextLength, 'A');
  const std::string bs(kMaxTextLength, 'B');
  EXPECT_EQ(kMaxTextLength, EditDistance(as.c_str(), bs.c_str()));
  EXPECT_EQ(1, EditDistance(as.c_str(), as.substr(1).c_str()));
  EXPECT_EQ(kMaxTextLength, EditDistance(as.c_str(), ""));
}

TEST(IsAnagramTest, ComparesByteCounts) {
  struct AnagramCase {
    const char* first;
    const char* second;
    bool anagram;
  };
  const AnagramCase cases[] = {
      {"PARIS", "PAIRS", true},
      {"PARIS", "SIRAP", true},
      {"PARIS", "PARI", false},        // lengths differ
      {"LA PAIX", "LAPAI X", true},    // the blank counts like a letter
      {"AAB", "ABB", false},           // same letters, other counts
      {"\xE9" "A\x80", "\x80" "A\xE9", true},  // bytes above 0x7F sort too
      {"\xE9", "E", false},
      {"", "", true},
      {"PARIS", "PARIS", true},
  };
  for (const AnagramCase& c : cases) {
    EXPECT_EQ(c.anagram, IsAnagram(c.first, c.second)) << c.first << " / " << c.second;
  }
}

TEST(ContainmentScanTest, ScansForwardWithoutSteppingBack) {
  struct ScanCase {
    const char* expected;
    const char* typed;
    int result;
  };
  const ScanCase cases[] = {
      {"PARIS", "PARIS FRANCE", 2},
      {"PARIS", "LA PARIS", 2},                    // found after a start
      {"PARIS", "PAR", -2},
      {"ABCDEF", "DEF", -2},                       // found at the very end
      {"PARIS", "LYON", 0},
      {"AAAB", "AAB", 0},                          // occurrence starts inside a failed attempt
      {"ABABAC", "ABAC", 0},                       // same miss, longer pattern
      {"XMAMAMIA PIZZERIA", "MAMIA PIZZERIA", 0},  // same miss in a real answer
      {"ABC", "XAB", 0},                           // the scanned text ends mid-match
      {"PARIS", "PARIS", 2},                       // equal lengths: expected is searched
      {"", "X", 1},
      {"", "", 1},
      {"X", "", -1},
  };
  for (const ScanCase& c : cases) {
    EXPECT_EQ(c.result, ContainmentScan(c.expected, c.typed)) << c.expected << " / " << c.typed;
  }
}

// Texts longer than the limit are handled as their first 259 characters: the
// operations neither read past that nor disagree with a cut copy.
TEST(TextCompareLimitTest, LongerTextsAreBoundedAt259) {
  std::string longA(400, 'A');
  std::string longB = longA;
  longB[300] = 'B';  // differs only beyond the limit
  EXPECT_EQ(0, EditDistance(longA.c_str(), longB.c_str()));
  EXPECT_TRUE(IsAnagram(longA.c_str(), longB.c_str()));
  EXPECT_EQ(2, ContainmentScan(longA.c_str(), longB.c_str()));

  std::string blanks = "  " + std::string(kMaxTextLength - 2, 'A') + std::string(50, ' ') + "Z";
  TrimSpaces(&blanks[0]);
  EXPECT_EQ(std::string(kMaxTextLength - 2, 'A'), std::string(blanks.c_str()));

  std::string lower(300, 'a');
  UppercaseAscii(&lower[0]);
  EXPECT_EQ(std::string(kMaxTextLength, 'A'), std::string(lower.c_str()));
}

}  // namespace
}  // namespace vidod
