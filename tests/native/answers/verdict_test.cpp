#include "answers/verdict.h"

#include <gtest/gtest.h>

#include <string>

#include "common/text_buffer.h"

namespace vidod {
namespace {

// The verdict texts are spelled out here rather than taken from the header,
// so a misspelt constant fails.
struct RawCase {
  const char* expected;
  const char* typed;
  const char* verdict;
};

void ExpectVerdicts(const RawCase* cases, std::size_t count, AnswerView view) {
  for (std::size_t i = 0; i < count; ++i) {
    const RawCase& c = cases[i];
    EXPECT_STREQ(c.verdict, JudgeRawAnswer(c.expected, c.typed, view))
        << "expected \"" << c.expected << "\", typed \"" << c.typed << "\"";
  }
}

TEST(VerdictTest, SingleViewLadder) {
  const RawCase cases[] = {
      // normalisation: both texts trimmed and raised, accents kept
      {"Paris", "  paris ", "BRAVO"},
      {"\xC9" "cole", "\xE9" "cole", "BRAVO"},       // e acute raised to E acute
      {"\xC9" "cole", "ecole", "Quasiment"},          // but never to a plain E
      {"\xC9t\xE9", "ete", "Presque"},
      {"\x8C" "UVRE", "\x9C" "uvre", "BRAVO"},       // oe ligature
      {"   ", "ROME", "FAUX"},                    // three stored blanks trim to nothing
      // empty typed text
      {"PARIS", "", "?"},
      {"PARIS", "    ", "?"},
      {"", "", "?"},
      // anagram before the distance hints
      {"PARIS", "PAIRS", "Anagramme"},
      {"PARIS", "SIRAP", "Anagramme"},
      {"LA PAIX", "lapai x", "Anagramme"},
      // distance hints before the scan
      {"PARIS", "PARI", "Quasiment"},
      {"PARIS", "PAR", "Presque"},
      {"PARIS", "PARIS.", "Quasiment"},
      {"ROME", "ROMEO", "Quasiment"},
      {"PARIS", "PA", "FAUX"},                    // inside, but expected too short for hints
      // containment
      {"PARIS", "PARIS FRANCE", "Trop long"},
      {"CONSTANTINOPLE", "CONSTANTIN", "Trop court"},  // 71.4 %
      {"CONSTANTINOPLE", "CONSTANT", "pas loin"},      // 57.1 %
      {"CONSTANTINOPLE", "CONSTAN", "FAUX"},           // exactly 50 %
      {"NAPOLEON BONAPARTE", "NAPOLEON BONA", "Trop court"},
      {"NAPOLEON BONAPARTE", "NAPOLEON", "FAUX"},      // 44 %
      // likeness
      {"LEONARD DE VINCI", "LEONARDO DA VINCCI", "y a de l'id\xE9" "e"},  // 83.3 %
      {"LEONARD DE VINCI", "LEONARDO DA VINCI", "Presque"},
      {"LEONARD DE VINCI", "MICHEL-ANGE", "FAUX"},
      // the scan misses this occurrence, so likeness decides (82.4 %)
      {"XMAMAMIA PIZZERIA", "MAMIA PIZZERIA", "y a de l'id\xE9" "e"},
      // the expected answer is trimmed like the typed one
      {"ROME ", "rome", "BRAVO"},
      {"  ROME", "ROME ", "BRAVO"},
      {"ROME ", "ROM", "Quasiment"},
      // empty expected answer
      {"", "A", "Quasiment"},
      {"", "AB", "Presque"},
      {"", "ABC", "FAUX"},
  };
  ExpectVerdicts(cases, sizeof cases / sizeof cases[0], AnswerView::kSingleQuestion);
}

// Integer thresholds at their edges, on texts built so that only the rule
// under test applies (distance at least 3, not an anagram).
TEST(VerdictTest, ThresholdsAreStrict) {
  struct NormalisedCase {
    const char* expected;
    const char* typed;
    const char* verdict;
  };
  const NormalisedCase cases[] = {
      // coverage of a 20-character expected answer
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO", "Trop court"},  // 75 %
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMN", "pas loin"},    // exactly 70 %
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJK", "pas loin"},       // 55 %
      {"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJ", "FAUX"},            // exactly 50 %
      {"ABCDEFGHIJKLMNOPQRST", "GHIJKLMNOPQRST", "pas loin"},    // found at the end
      // 10 characters are enough for coverage hints, 9 are not
      {"ABCDEFGHIJ", "ABCDEFG", "pas loin"},  // 70 %
      // 9 characters are too few for coverage hints
      {"ABCDEFGHI", "ABCDEF", "FAUX"},
      // likeness: longer text 16 with distance 3 is above 80 %, 15 is exactly 80 %
      {"ABCDEFGHIJKLMNOP", "XBCDEFGYIJKLMNOZ", "y a de l'id\xE9" "e"},
      {"ABCDEFGHIJKLMNO", "XBCDEFGYIJKLMNZ", "FAUX"},
      // likeness is taken over the longer text, whichever it is (16, distance 3)
      {"ABCDEFGHIJKLMNOP", "XBCDEFGHIJKLMN", "y a de l'id\xE9" "e"},
      {"XBCDEFGHIJKLMN", "ABCDEFGHIJKLMNOP", "y a de l'id\xE9" "e"},
  };
  for (const NormalisedCase& c : cases) {
    EXPECT_STREQ(c.verdict, JudgeAnswer(c.expected, c.typed))
        << "expected \"" << c.expected << "\", typed \"" << c.typed << "\"";
  }
}

TEST(VerdictTest, ListViewShortRule) {
  const RawCase cases[] = {
      {"OUI", "oui", "BRAVO"},
      {"OUI", "OU", "FAUX"},        // the single view would say Quasiment
      {"OUI", "", "?"},
      {"OUI", "  ", "?"},
      {"OUI", "IOU", "FAUX"},       // no anagram hint either
      {"oui", "OUI", "BRAVO"},      // expected raised too
      {"AB ", "ab", "BRAVO"},       // stored blank trimmed
      {"PAR ", "PA", "FAUX"},       // 3 characters once trimmed: short rule
      {"\xC7" "A", "\xE7" "a", "BRAVO"},  // c cedilla raised
      {"", "A", "FAUX"},
      {"", "", "?"},
      // from 4 characters on, the full ladder
      {"PARI", "PAR", "Quasiment"},
      {"PARIS", "PARI", "Quasiment"},
      {"PARIS", "PARIS FRANCE", "Trop long"},
      {"PARIS", "PAIRS", "Anagramme"},
  };
  ExpectVerdicts(cases, sizeof cases / sizeof cases[0], AnswerView::kList);
  EXPECT_STREQ("Quasiment", JudgeRawAnswer("OUI", "OU", AnswerView::kSingleQuestion));
}

TEST(VerdictTest, LongestTextsAndLongerInputsAreCut) {
  const std::string full(kMaxTextLength, 'A');
  EXPECT_STREQ("BRAVO", JudgeRawAnswer(full.c_str(), full.c_str(), AnswerView::kSingleQuestion));
  EXPECT_STREQ("BRAVO", JudgeRawAnswer(full.c_str(), full.c_str(), AnswerView::kList));
  EXPECT_STREQ("Quasiment",
               JudgeRawAnswer(full.c_str(), full.substr(1).c_str(), AnswerView::kSingleQuestion));

  // Both longer than the limit, differing only past it: judged on the cut copies.
  std::string longExpected(600, 'A');
  std::string longTyped(600, 'a');
  longTyped[kMaxTextLength] = 'Z';
  longTyped[500] = 'Q';
  EXPECT_STREQ("BRAVO",
               JudgeRawAnswer(longExpected.c_str(), longTyped.c_str(), AnswerView::kSingleQuestion));
  EXPECT_TRUE(HoldsExpectedAnswer(longExpected.c_str(), longTyped.c_str()));

  // The cut comes before the trim: blanks past the limit never reach it, and
  // the ones just before it are trimmed from the cut copy.
  const std::string typed = " " + std::string(kMaxTextLength - 2, 'b') + " " + std::string(20, 'X');
  const std::string expected(kMaxTextLength - 2, 'B');
  EXPECT_STREQ("BRAVO",
               JudgeRawAnswer(expected.c_str(), typed.c_str(), AnswerView::kSingleQuestion));

  // The caller's texts are not changed.
  char raw[] = "  paris ";
  JudgeRawAnswer("Paris", raw, AnswerView::kSingleQuestion);
  EXPECT_STREQ("  paris ", raw);
}

// Typographic forms, typed or pasted, on either side: the plain forms for
// comparison, in both views and in the test that every box is right.
TEST(VerdictTest, TypographicFormsCompareAsTheirPlainForms) {
  const RawCase cases[] = {
      {"C\xF4te d'Azur", "c\xF4te d\x92" "azur", "BRAVO"},       // right single quote typed
      {"C\xF4te d\x92" "Azur", "c\xF4te d'azur", "BRAVO"},       // ... or stored
      {"L'\xEEle", "L\x91\xEEle", "BRAVO"},                     // left single quote
      {"\"Titanic\"", "\x93Titanic\x94", "BRAVO"},              // double quotes
      {"NEW YORK", "new\xA0york", "BRAVO"},                      // no-break space
      {"NEW YORK", "\xA0new york\xA0", "BRAVO"},                 // trimmed like a blank
      {"\xA0\xA0", "", "?"},                                     // nothing but no-break spaces
      {"C\xF4te d'Azur", "c\xF4te d\x92" "azu", "Quasiment"},     // hints on the plain forms
      {"C\xF4te d'Azur", "C\xF4te d`Azur", "Quasiment"},          // a grave accent is no apostrophe
  };
  for (AnswerView view : {AnswerView::kSingleQuestion, AnswerView::kList})
    ExpectVerdicts(cases, sizeof cases / sizeof cases[0], view);
  EXPECT_TRUE(HoldsExpectedAnswer("Aujourd'hui", "aujourd\x92hui"));
}

TEST(VerdictTest, HoldsExpectedAnswerNormalisesLikeTheViews) {
  EXPECT_TRUE(HoldsExpectedAnswer("Paris", "  pARIS  "));
  EXPECT_TRUE(HoldsExpectedAnswer("\xC9t\xE9", "\xE9T\xC9"));
  EXPECT_FALSE(HoldsExpectedAnswer("\xC9t\xE9", "ETE"));
  EXPECT_TRUE(HoldsExpectedAnswer(" ROME ", "rome"));
  EXPECT_FALSE(HoldsExpectedAnswer("PARIS", "PARI"));
  EXPECT_TRUE(HoldsExpectedAnswer("", "   "));
  EXPECT_TRUE(HoldsExpectedAnswer(nullptr, nullptr));
}

}  // namespace
}  // namespace vidod
