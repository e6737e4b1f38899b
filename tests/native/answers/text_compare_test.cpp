#include "answers/text_compare.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

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

// Every lower-case letter of code page 1252 with its capital, each written
// out rather than computed.
TEST(UppercaseAsciiTest, RaisesTheLettersOfTheCodePageKeepingTheirAccents) {
  struct CasePair {
    unsigned char lower, upper;
  };
  std::vector<CasePair> pairs;
  for (int letter = 0; letter < 26; ++letter)
    pairs.push_back({static_cast<unsigned char>('a' + letter), static_cast<unsigned char>('A' + letter)});
  const CasePair accented[] = {
      {0xE0, 0xC0}, {0xE1, 0xC1}, {0xE2, 0xC2}, {0xE3, 0xC3},  // a grave, acute, circumflex, tilde
      {0xE4, 0xC4}, {0xE5, 0xC5}, {0xE6, 0xC6}, {0xE7, 0xC7},  // a diaeresis, ring, ae, c cedilla
      {0xE8, 0xC8}, {0xE9, 0xC9}, {0xEA, 0xCA}, {0xEB, 0xCB},  // e grave, acute, circumflex, diaeresis
      {0xEC, 0xCC}, {0xED, 0xCD}, {0xEE, 0xCE}, {0xEF, 0xCF},  // i grave, acute, circumflex, diaeresis
      {0xF0, 0xD0}, {0xF1, 0xD1}, {0xF2, 0xD2}, {0xF3, 0xD3},  // eth, n tilde, o grave, acute
      {0xF4, 0xD4}, {0xF5, 0xD5}, {0xF6, 0xD6}, {0xF8, 0xD8},  // o circumflex, tilde, diaeresis, stroke
      {0xF9, 0xD9}, {0xFA, 0xDA}, {0xFB, 0xDB}, {0xFC, 0xDC},  // u grave, acute, circumflex, diaeresis
      {0xFD, 0xDD}, {0xFE, 0xDE},                              // y acute, thorn
      {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F},  // s caron, oe, z caron, y diaeresis
  };
  pairs.insert(pairs.end(), std::begin(accented), std::end(accented));

  // Every byte value on its own: a lower-case letter becomes its capital,
  // everything else (capitals, the division sign, sharp s, digits) stays.
  for (int byte = 1; byte < 256; ++byte) {
    int expected = byte;
    for (const CasePair& pair : pairs)
      if (pair.lower == byte) expected = pair.upper;
    char single[2] = {static_cast<char>(byte), '\0'};
    UppercaseAscii(single);
    EXPECT_EQ(expected, static_cast<unsigned char>(single[0])) << "byte " << byte;
  }

  char text[kTextSize];
  CopyText(text, "\xE9t\xE9 d'\x9C" "uvre-1");
  UppercaseAscii(text);
  EXPECT_STREQ("\xC9T\xC9 D'\x8C" "UVRE-1", text);
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
