// Judging in the single-question view: the verdict and reveal labels, the
// question's solved mark, and the score and code in the header bar.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "answer_test_fixture.h"
#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr char kParisReveal[] = "La ville lumi\xE8re";
constexpr char kRomeReveal[] = "La ville \xE9ternelle";

using SingleViewEvaluationTest = AnswerEvaluationTest;

// One judgement after another on answers_score (Paris, Oui, Pari, Rome): each
// rewrites both labels from scratch and sets the mark to what it found.
TEST_F(SingleViewEvaluationTest, EachJudgementRewritesTheLabelsTheMarkAndTheScore) {
  StartPlayerOn("answers_score");
  EXPECT_EQ(Score(), " 0 / 4");
  EXPECT_EQ(Code(), kNoCode);
  const struct {
    int question;
    const char* typed;
    const char* verdict;
    const char* reveal;
    int solved;
    const char* score;
  } steps[] = {
      // Blanks trimmed and letters raised before comparing.
      {0, "  paris ", "BRAVO", kParisReveal, 1, " 1 / 4"},
      // A hint empties the reveal label and clears the mark.
      {0, "PARI", "Quasiment", "", 0, " 0 / 4"},
      {0, "sirap", "Anagramme", "", 0, " 0 / 4"},
      // The reveal shown is the judged question's.
      {3, "rome", "BRAVO", kRomeReveal, 1, " 1 / 4"},
      // Blanks only are nothing typed.
      {3, "   ", "?", "", 0, " 0 / 4"},
      {3, "Rome.", "Quasiment", "", 0, " 0 / 4"},
      {3, "Rome", "BRAVO", kRomeReveal, 1, " 1 / 4"},
  };
  for (const auto& s : steps) {
    JudgeSingle(s.question, s.typed);
    const std::string what = std::string("question ") + std::to_string(s.question + 1) +
                             ", typed \"" + s.typed + "\"";
    EXPECT_EQ(SingleVerdict(), s.verdict) << what;
    EXPECT_EQ(SingleReveal(), s.reveal) << what;
    EXPECT_EQ(Solved(s.question), s.solved) << what;
    EXPECT_EQ(Score(), s.score) << what;
  }
}

// Enter in the box judges the question shown. Each new solved
// question brings the code of the new count; a right answer turned wrong
// here takes the score back down and brings back the previous code, down to
// the six blanks.
TEST_F(SingleViewEvaluationTest, TheScoreFallsAgainWhenASolvedAnswerTurnsWrong) {
  StartPlayerOn("answers_score");
  HWND view = g_shell.singleView;
  HWND box = GetDlgItem(view, kAnswerBoxId);
  SetFocus(box);
  const auto enter = [&](int question, const char* typed) {
    SendDlgItemMessageA(view, kQuestionChooserId, CB_SETCURSEL, question, 0);
    SendMessageA(view, WM_COMMAND, MAKEWPARAM(kQuestionChooserId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(view, kQuestionChooserId)));
    SetText(view, kAnswerBoxId, typed);
    PressKey(box, VK_RETURN);
  };
  const struct {
    int question;
    const char* typed;
    const char* score;
    const char* code;
  } steps[] = {
      {0, "Paris", " 1 / 4", "ALPHA"}, {1, "oui", " 2 / 4", "BETA"},
      {2, "pari", " 3 / 4", "GAMMA"},  {3, "ROME", " 4 / 4", "DELTA"},
      {1, "non", " 3 / 4", "GAMMA"},   {0, "", " 2 / 4", "BETA"},
      {3, "Roma", " 1 / 4", "ALPHA"},  {2, "Paris", " 0 / 4", kNoCode},
  };
  for (const auto& s : steps) {
    enter(s.question, s.typed);
    const std::string what = std::string("question ") + std::to_string(s.question + 1) +
                             ", typed \"" + s.typed + "\"";
    EXPECT_EQ(Score(), s.score) << what;
    EXPECT_EQ(Code(), s.code) << what;
  }
}

// With two answers per question this view knows only the first: the second
// answer typed here is judged against the first.
TEST_F(SingleViewEvaluationTest, InATwoAnswerQuizOnlyTheFirstAnswerIsBravo) {
  StartPlayerOn("answers_rivers");
  JudgeSingle(0, "Atlantique");
  EXPECT_EQ(SingleVerdict(), "FAUX");
  EXPECT_EQ(Solved(0), 0);
  JudgeSingle(0, "loire");
  EXPECT_EQ(SingleVerdict(), "BRAVO");
  EXPECT_EQ(SingleReveal(), "Le plus long");
  EXPECT_EQ(Score(), " 1 / 3");
  EXPECT_EQ(Code(), "UN");
}

// An index outside 0 to N - 1 (N itself included, which the question list
// would clamp onto the last question) touches no label, mark or header text.
TEST_F(SingleViewEvaluationTest, AQuestionIndexOutsideTheQuizChangesNothing) {
  StartPlayerOn("answers_score");
  JudgeSingle(3, "Rome");
  ASSERT_EQ(SingleVerdict(), "BRAVO");
  // Markers that any rewrite of the header would replace.
  SetDlgItemTextA(g_shell.headerBar, kScoreLabelId, "score untouched");
  SetDlgItemTextA(g_shell.headerBar, kCodeFieldId, "code untouched");
  // A changed box shows no verdict until judged: the marker goes in after it.
  SetDlgItemTextA(g_shell.singleView, kAnswerBoxId, "xyz");
  SetDlgItemTextA(g_shell.singleView, kSingleVerdictLabelId, "verdict untouched");
  const int outside[] = {-1, 4, 5, INT_MIN, INT_MAX};
  for (int question : outside) {
    EvaluateSingleViewAnswer(g_document, g_shell.singleView, question);
    EXPECT_EQ(SingleVerdict(), "verdict untouched") << question;
    EXPECT_EQ(SingleReveal(), kRomeReveal) << question;
    EXPECT_EQ(Solved(3), 1) << question;
    EXPECT_EQ(Solved(0), 0) << question;
    EXPECT_EQ(Score(), "score untouched") << question;
    EXPECT_EQ(Code(), "code untouched") << question;
  }
}

}  // namespace
}  // namespace vidod::testing
