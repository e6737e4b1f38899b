#include "answers/accepted_answers.h"

#include <gtest/gtest.h>

#include <string>

#include "quiz/accepted_answers_blob.h"

namespace vidod {
namespace {

constexpr uint8_t kNone = 0;
constexpr uint8_t kAccents = kTolerateAccents;
constexpr uint8_t kPunctuation = kToleratePunctuation;
constexpr uint8_t kArticles = kTolerateArticles;

// Texts in code page 1252: é is \xE9, É \xC9, è \xE8, ç \xE7, œ \x9C, Œ \x8C,
// æ \xE6, ’ \x92, « \xAB, » \xBB.
TEST(AcceptedAnswersTest, NormalisationUnderEachTolerance) {
  struct Case {
    const char* raw;
    uint8_t tolerances;
    const char* normalised;
  };
  const Case cases[] = {
      // Ligatures always compare as their two letters, whatever the quiz.
      {"Sacr\xE9-C\x9Cur", kNone, "SACR\xC9-COEUR"},
      {"\x8C" "dipe", kNone, "OEDIPE"},
      {"Lae\xE6titia", kNone, "LAEAETITIA"},
      // No tolerance: accents, punctuation and articles stay.
      {"le Panth\xE9on", kNone, "LE PANTH\xC9ON"},
      // Accents: every letter of the code page loses its accent, not others.
      {"\xC9t\xE9 \xE0 No\xEBl, \xE7\xE0 et l\xE0", kAccents, "ETE A NOEL, CA ET LA"},
      {"\x8A\x9A\x8E\x9E\xFF\xD1\xF8", kAccents, "SSZZYNO"},
      {"Stra\xDF" "e \xD0\xDE", kAccents, "STRA\xDF" "E \xD0\xDE"},  // sharp s, eth, thorn have no plain form
      // Punctuation: as blanks, runs of blanks one, none at the ends.
      {"Notre-Dame", kPunctuation, "NOTRE DAME"},
      {"  Saint-Jean-de-Luz. ", kPunctuation, "SAINT JEAN DE LUZ"},
      {"\xABL\x92" "\xE9t\xE9\xBB !", kPunctuation, "L \xC9T\xC9"},
      {"New   York", kPunctuation, "NEW YORK"},
      {"New   York", kNone, "NEW   YORK"},  // blanks between words stay without it
      {"--", kPunctuation, ""},
      // Articles: one leading article, when something follows it.
      {"le Panth\xE9on", kArticles, "PANTH\xC9ON"},
      {"L\x92" "Arc de Triomphe", kArticles, "ARC DE TRIOMPHE"},
      {"de la Concorde", kArticles, "CONCORDE"},
      {"de l'Europe", kArticles, "EUROPE"},
      {"Les Mis\xE9rables", kArticles, "MIS\xC9RABLES"},
      {"des  fleurs", kArticles, "FLEURS"},
      {"une fois", kArticles, "FOIS"},
      {"Le Le Havre", kArticles, "LE HAVRE"},  // one article only
      {"Le", kArticles, "LE"},                 // an article alone is the answer
      {"Lesotho", kArticles, "LESOTHO"},       // a word that starts like one
      {"Lhassa", kArticles, "LHASSA"},
      // Punctuation first: an elided article then ends with a blank.
      {"l'Arc", kArticles | kPunctuation, "ARC"},
      {"l arc", kArticles | kPunctuation, "ARC"},
      {"l arc", kArticles, "L ARC"},
      // All three.
      {"L\x92\xC9glise Saint-\xC9tienne", kAccents | kPunctuation | kArticles, "EGLISE SAINT ETIENNE"},
  };
  for (const Case& c : cases) {
    char normalised[kTextSize];
    NormaliseAnswer(c.raw, normalised, AnswerRulesFromTolerances(c.tolerances));
    EXPECT_STREQ(c.normalised, normalised) << "\"" << c.raw << "\", tolerances " << int(c.tolerances);
  }
  // Ligatures spelt out past the limit are cut to it.
  const std::string ligatures(kMaxTextLength, '\x9C');
  char normalised[kTextSize];
  NormaliseAnswer(ligatures.c_str(), normalised);
  EXPECT_EQ(std::string(normalised).size(), static_cast<std::size_t>(kMaxTextLength));
}

// A list as "first|second|...": the others packed as the player holds them.
struct PackedList {
  std::string first;
  std::string others;
  AcceptedAnswers accepted;
  explicit PackedList(const std::string& list) {
    const std::size_t bar = list.find('|');
    first = list.substr(0, bar);
    if (bar != std::string::npos) {
      others = list.substr(bar + 1) + '|' + '|';
      for (char& c : others)
        if (c == '|') c = '\0';
    }
    accepted.first = first.c_str();
    accepted.others = others.empty() ? nullptr : others.data();
  }
};

TEST(AcceptedAnswersTest, VerdictsAgainstTheAnswersOfABox) {
  struct Case {
    const char* list;
    uint8_t tolerances;
    AnswerView view;
    const char* typed;
    const char* verdict;
    int answer;  // the accepted answer the verdict is about
  };
  constexpr AnswerView kSingle = AnswerView::kSingleQuestion;
  constexpr AnswerView kList = AnswerView::kList;
  const Case cases[] = {
      // BRAVO for any answer of the list, naming the first that matches.
      {"Notre-Dame de Paris|Notre-Dame", kNone, kSingle, "notre-dame", "BRAVO", 1},
      {"Notre-Dame de Paris|Notre-Dame", kNone, kList, "NOTRE-DAME DE PARIS", "BRAVO", 0},
      {"Paris|Lutece|paris", kNone, kSingle, "PARIS", "BRAVO", 0},
      // Otherwise the nearest one's verdict: here the second is 1 away.
      {"Notre-Dame de Paris|Notre-Dame", kNone, kSingle, "notre dame", "Quasiment", 1},
      {"Notre-Dame de Paris|Notre-Dame", kNone, kSingle, "Notre-Dame de Pari", "Quasiment", 0},
      // A tie goes to the first listed: PARIS and PARIX are both 1 from PARIZ.
      {"Paris|Parix", kNone, kSingle, "pariz", "Quasiment", 0},
      {"Parix|Paris", kNone, kSingle, "pariz", "Quasiment", 0},
      // The nearest by distance, though a farther one would give a kinder
      // hint: ROMA is 1 from ROME ("Quasiment"), not an anagram.
      {"Amor|Roma", kNone, kSingle, "rome", "Quasiment", 1},
      // The short-answer rule of the list view follows the nearest answer.
      {"Royaume-Uni|UK", kNone, kList, "UX", "FAUX", 1},
      {"Royaume-Uni|UK", kNone, kSingle, "UX", "Quasiment", 1},
      {"Royaume-Uni|UK", kNone, kList, "Royaume-Un", "Quasiment", 0},
      {"UK|Royaume-Uni", kNone, kList, "uk", "BRAVO", 0},
      // Nothing typed: "?" against the first.
      {"Paris|Lutece", kNone, kSingle, "   ", "?", 0},
      {"Paris|Lutece", kNone, kList, "", "?", 0},
      // Each tolerance, on its own and not without it.
      {"Gen\xE8ve", kNone, kSingle, "geneve", "Quasiment", 0},
      {"Gen\xE8ve", kAccents, kSingle, "geneve", "BRAVO", 0},
      {"Notre-Dame", kNone, kSingle, "notre dame", "Quasiment", 0},
      {"Notre-Dame", kPunctuation, kSingle, "notre dame", "BRAVO", 0},
      {"Notre-Dame", kPunctuation, kList, "notre  dame", "BRAVO", 0},
      {"le Panth\xE9on", kNone, kSingle, "Panth\xE9on", "Trop court", 0},
      {"le Panth\xE9on", kArticles, kSingle, "Panth\xE9on", "BRAVO", 0},
      {"Panth\xE9on", kArticles, kList, "le panth\xE9on", "BRAVO", 0},
      {"le Panth\xE9on", kArticles | kAccents, kSingle, "pantheo", "Quasiment", 0},
      // Ligatures without any tolerance.
      {"Sacr\xE9-C\x9Cur", kNone, kSingle, "sacr\xE9-coeur", "BRAVO", 0},
      {"Sacr\xE9-C\x9Cur", kNone, kList, "sacre coeur", "Presque", 0},
      {"Sacr\xE9-C\x9Cur", kAccents | kPunctuation, kList, "sacre coeur", "BRAVO", 0},
      // Tolerances leave the ladder's hints to what remains.
      {"Saint-\xC9tienne", kAccents | kPunctuation, kSingle, "saint etiene", "Quasiment", 0},
      {"Saint-\xC9tienne", kAccents | kPunctuation, kSingle, "etienne saint", "Anagramme", 0},
  };
  for (const Case& c : cases) {
    const PackedList list(c.list);
    const Judgement judgement =
        JudgeAcceptedAnswers(list.accepted, c.typed, c.view, AnswerRulesFromTolerances(c.tolerances));
    const std::string where = std::string(c.list) + " / " + c.typed + ", tolerances " + std::to_string(c.tolerances);
    EXPECT_STREQ(c.verdict, judgement.verdict) << where;
    EXPECT_EQ(c.answer, judgement.answer) << where;
    EXPECT_EQ(judgement.verdict == kVerdictRight,
              HoldsAcceptedAnswer(list.accepted, c.typed, AnswerRulesFromTolerances(c.tolerances)))
        << where;
  }
}

TEST(AcceptedAnswersTest, ListsAreWalkedAsThePlayerHoldsThem) {
  const PackedList three("A|B|C");
  EXPECT_EQ(AcceptedAnswerCount(three.accepted), 3);
  EXPECT_STREQ(AcceptedAnswerAt(three.accepted, 2), "C");
  EXPECT_EQ(AcceptedAnswerAt(three.accepted, 3), nullptr);
  const PackedList one("A");
  EXPECT_EQ(AcceptedAnswerCount(one.accepted), 1);
  EXPECT_EQ(AcceptedAnswerAt(one.accepted, 1), nullptr);
}

}  // namespace
}  // namespace vidod
