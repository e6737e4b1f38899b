// Judging in the list view: one verdict label per box, marks that follow
// the boxes, the reveal labels by quiz type, and the short-answer rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "answer_test_fixture.h"
#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "quiz/player_document.h"

namespace vidod::testing {
namespace {

// Box ids: 4000 + (n - 1) x A + a.
constexpr int kBox1 = 4001;
constexpr int kBox2 = 4002;
constexpr int kBox3 = 4003;
constexpr int kBox4 = 4004;
constexpr int kBox5 = 4005;
constexpr int kBox6 = 4006;

using ListViewEvaluationTest = AnswerEvaluationTest;

// A box whose answer stops being right lowers the score and the code at
// once, and hides its reveal: the header counts what the boxes hold, as the
// same answers give after a restart.
TEST_F(ListViewEvaluationTest, ABoxTurningWrongLowersTheScoreAsARestartWould) {
  StartPlayerOn("answers_score");
  ShowList();
  EnterInBox(kBox1, "paris");
  EnterInBox(kBox4, "rome");
  EXPECT_EQ(ListVerdict(kBox1), "BRAVO");
  EXPECT_TRUE(RevealShown(1));
  EXPECT_EQ(Score(), " 2 / 4");
  EXPECT_EQ(Code(), "BETA");
  const char* wrongs[] = {"Lyon", "", "Pari"};
  const char* verdicts[] = {"FAUX", "?", "Quasiment"};
  for (int i = 0; i < 3; ++i) {
    EnterInBox(kBox1, wrongs[i]);
    EXPECT_EQ(ListVerdict(kBox1), verdicts[i]) << wrongs[i];
    EXPECT_FALSE(RevealShown(1)) << wrongs[i];
    EXPECT_EQ(Solved(0), 0) << wrongs[i];
    EXPECT_EQ(Score(), " 1 / 4") << wrongs[i];
    EXPECT_EQ(Code(), "ALPHA") << wrongs[i];
  }
  RestartPlayerOn("answers_score");
  EXPECT_EQ(Score(), " 1 / 4");
  EXPECT_EQ(Code(), "ALPHA");
}

// Expected answers of three characters or fewer get no hints in the list;
// from four characters on the whole ladder applies, as in the single view,
// which gives hints for short answers too.
TEST_F(ListViewEvaluationTest, ShortExpectedAnswersGetNoHintsInTheListOnly) {
  StartPlayerOn("answers_score");
  ShowList();
  const struct {
    int box;
    const char* typed;
    const char* verdict;
  } cases[] = {
      {kBox2, "OU", "FAUX"},          {kBox2, "OUIS", "FAUX"},
      {kBox2, "IOU", "FAUX"},         {kBox2, "", "?"},
      {kBox2, " oui ", "BRAVO"},      {kBox3, "PAR", "Quasiment"},
      {kBox1, "PARI", "Quasiment"},   {kBox1, "PARIS FRANCE", "Trop long"},
  };
  for (const auto& c : cases) {
    JudgeBox(c.box, c.typed);
    EXPECT_EQ(ListVerdict(c.box), c.verdict) << c.box << " \"" << c.typed << "\"";
  }
  EXPECT_EQ(Solved(1), 1);
  JudgeSingle(1, "OU");
  EXPECT_EQ(SingleVerdict(), "Quasiment");
}

// Type 2 with two answers: a "BRAVO" in either box marks the question, but
// its reveal label waits until both boxes hold their answers. The check
// reads the boxes, not their labels.
TEST_F(ListViewEvaluationTest, TwoAnswersShowTheRevealOnceBothBoxesHoldTheirAnswers) {
  StartPlayerOn("answers_rivers");
  ShowList();
  JudgeBox(kBox5, "rhone");
  EXPECT_EQ(ListVerdict(kBox5), "BRAVO");
  EXPECT_EQ(Solved(2), 1);
  EXPECT_EQ(Score(), " 1 / 3");
  EXPECT_EQ(Code(), "UN");
  EXPECT_FALSE(RevealShown(3));

  JudgeBox(kBox6, "Mediterrane");
  EXPECT_EQ(ListVerdict(kBox6), "Quasiment");
  EXPECT_FALSE(RevealShown(3));
  JudgeBox(kBox6, "MEDITERRANEE");
  EXPECT_EQ(ListVerdict(kBox6), "BRAVO");
  EXPECT_TRUE(RevealShown(3));
  EXPECT_FALSE(RevealShown(1));
  EXPECT_FALSE(RevealShown(2));

  JudgeBox(kBox5, "Danube");
  EXPECT_EQ(ListVerdict(kBox5), "FAUX");
  EXPECT_FALSE(RevealShown(3));
  EXPECT_EQ(Score(), " 1 / 3");

  // Box 4005 right again but not judged: its label still reads "FAUX", yet
  // the next "BRAVO" of the question finds both boxes right.
  SetDlgItemTextA(g_shell.listView, kBox5, "Rhone");
  JudgeBox(kBox6, "Mediterranee");
  EXPECT_EQ(ListVerdict(kBox5), "FAUX");
  EXPECT_TRUE(RevealShown(3));

  // The second box alone marks its question, in both views and after a
  // restart alike.
  JudgeBox(kBox4, "manche");
  EXPECT_EQ(Solved(1), 1);
  EXPECT_FALSE(RevealShown(2));
  EXPECT_EQ(Score(), " 2 / 3");
  EXPECT_EQ(Code(), "DEUX");
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  EXPECT_EQ(Score(), " 2 / 3");
  SavePlayerAnswers();
  RestartPlayerOn("answers_rivers");
  EXPECT_EQ(Score(), " 2 / 3");
  // Neither box right any more: the question is no longer counted.
  ShowList();
  JudgeBox(kBox4, "Loire");
  EXPECT_EQ(Solved(1), 0);
  EXPECT_EQ(Score(), " 1 / 3");
}

// Type 4: every reveal appears at once when the last label turns "BRAVO";
// one wrong answer hides its own reveal only, and the next completion shows
// all of them again.
TEST_F(ListViewEvaluationTest, TypeFourShowsEveryRevealAtCompletion) {
  StartPlayerOn("answers_completion");
  ShowList();
  const auto reveals = [this]() {
    return std::string(RevealShown(1) ? "1" : "-") + (RevealShown(2) ? "2" : "-") +
           (RevealShown(3) ? "3" : "-");
  };
  EnterInBox(kBox1, "lyon");
  EnterInBox(kBox2, "Nice");
  EXPECT_EQ(reveals(), "---");
  EXPECT_EQ(g_document->quiz->completionFlag, 0);
  EnterInBox(kBox3, "LILLE");
  EXPECT_EQ(reveals(), "123");
  EXPECT_EQ(g_document->quiz->completionFlag, 1);
  EXPECT_EQ(Score(), " 3 / 3");
  EXPECT_EQ(Code(), "TROIS");

  EnterInBox(kBox2, "Brest");
  EXPECT_EQ(ListVerdict(kBox2), "FAUX");
  EXPECT_EQ(reveals(), "1-3");
  EXPECT_EQ(g_document->quiz->completionFlag, 0);
  EXPECT_EQ(Score(), " 2 / 3");

  EnterInBox(kBox2, "nice");
  EXPECT_EQ(reveals(), "123");
  EXPECT_EQ(g_document->quiz->completionFlag, 1);
}

// Type 4 with two answers: the completion counts all 2 x N labels.
TEST_F(ListViewEvaluationTest, TypeFourWithTwoAnswersNeedsEveryBoxRight) {
  StartPlayerOn("answers_completion_pair");
  ShowList();
  JudgeBox(kBox1, "Paris");
  JudgeBox(kBox3, "Rome");
  JudgeBox(kBox4, "Italie");
  EXPECT_EQ(Score(), " 2 / 2");
  EXPECT_FALSE(RevealShown(1));
  EXPECT_FALSE(RevealShown(2));
  JudgeBox(kBox2, "France");
  EXPECT_TRUE(RevealShown(1));
  EXPECT_TRUE(RevealShown(2));
}

// Ids that stand for no box of the quiz (before the first, past the last,
// a verdict label's, a reveal label's) judge nothing.
TEST_F(ListViewEvaluationTest, IdsOutsideTheBoxesChangeNothing) {
  StartPlayerOn("answers_score");
  ShowList();
  JudgeBox(kBox4, "Rome");
  ASSERT_TRUE(RevealShown(4));
  g_document->quiz->completionFlag = 1;
  // Markers that any rewrite of the header would replace.
  SetDlgItemTextA(g_shell.headerBar, kScoreLabelId, "score untouched");
  SetDlgItemTextA(g_shell.headerBar, kCodeFieldId, "code untouched");
  const int outside[] = {4000, 3999, kBox4 + 1, 5001, 8004, 0, -1};
  for (int id : outside) {
    EvaluateListViewAnswer(g_document, g_shell.listView, id);
    EXPECT_EQ(ListVerdict(kBox4), "BRAVO") << id;
    EXPECT_TRUE(RevealShown(4)) << id;
    EXPECT_EQ(g_document->quiz->completionFlag, 1) << id;
    EXPECT_EQ(Score(), "score untouched") << id;
    EXPECT_EQ(Code(), "code untouched") << id;
  }
}

}  // namespace
}  // namespace vidod::testing
