#include <windows.h>

#include <gtest/gtest.h>

#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "player_fixture.h"
#include "quiz/player_document.h"

namespace vidod::testing {
namespace {

class QuizLoaderTest : public PlayerTest {};

std::string Caption(HWND window) {
  char text[260] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH colour = {};
  GetObjectA(brush, sizeof colour, &colour);
  return colour.lbColor;
}

TEST_F(QuizLoaderTest, WithoutAnswersTheDefaultQuizOpensSilently) {
  MessageBoxCatcher catcher;
  StartPlayerOn("codes_only");
  EXPECT_TRUE(catcher.boxes().empty());
  const QuizDocument* quiz = g_document->quiz;
  EXPECT_EQ(Caption(g_shell.mainWindow), "Nom du quizz");
  EXPECT_EQ(quiz->questionCount, 7);
  EXPECT_EQ(quiz->quizType, 3);
  EXPECT_EQ(ControlText(g_shell.headerBar, 32), " 0 / 7");
  EXPECT_EQ(ControlText(g_shell.headerBar, 26), "Createur quizz");
  EXPECT_EQ(BrushColour(g_document->backgroundBrush), RGB(53, 203, 163));
  EXPECT_EQ(ControlText(g_shell.mainWindow, kStatusLineId), "R\xE9" "alis\xE9 avec la version 2.2");
  // Each question has an entry of its own: one right answer scores one.
  SetDlgItemTextA(g_shell.singleView, 9000, "Test");
  EvaluateSingleViewAnswer(g_document, g_shell.singleView, 1);
  EXPECT_EQ(ControlText(g_shell.headerBar, 32), " 1 / 7");
}

TEST_F(QuizLoaderTest, DamagedAnswersAreReportedAndLeaveAnEmptyQuiz) {
  MessageBoxCatcher catcher;
  StartPlayerOn("damaged_answers");
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, "Vidod");
  EXPECT_EQ(catcher.boxes()[0].text, "Erreur dans le d\xE9" "cryptage des reponses");
  // The creation defaults stay; no question, no code.
  const QuizDocument* quiz = g_document->quiz;
  EXPECT_EQ(quiz->questionCount, 0);
  EXPECT_EQ(Caption(g_shell.mainWindow), "nom du quizz");
  EXPECT_EQ(ControlText(g_shell.headerBar, 26), " createur");
  EXPECT_EQ(ControlText(g_shell.headerBar, 32), " 0 / 0");
  EXPECT_EQ(BrushColour(g_document->backgroundBrush), RGB(90, 95, 150));
  // The player still runs and closes normally.
  PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "");
}

TEST_F(QuizLoaderTest, LoadsTheQuizOfTheModule) {
  MessageBoxCatcher catcher;
  StartPlayerOn("twelve");
  EXPECT_TRUE(catcher.boxes().empty());
  const QuizDocument* quiz = g_document->quiz;
  EXPECT_EQ(Caption(g_shell.mainWindow), "Douze questions");
  EXPECT_EQ(quiz->questionCount, 12);
  EXPECT_EQ(quiz->answersPerQuestion, 1);
  EXPECT_EQ(quiz->pictureFlag, 0);
  EXPECT_STREQ(QuestionAt(quiz, 11)->expectedAnswer1, "douze");
  EXPECT_STREQ(quiz->rewardCodes[11], "C12");
  EXPECT_EQ(ControlText(g_shell.headerBar, 32), " 0 / 12");
  EXPECT_EQ(ControlText(g_shell.headerBar, 26), "Mme Martin");
  EXPECT_EQ(ControlText(g_shell.headerBar, 28), "Une question par ligne.");
  EXPECT_EQ(BrushColour(g_document->backgroundBrush), RGB(10, 20, 30));
}

TEST_F(QuizLoaderTest, DamagedCodesAreReportedAndTheAnswersStay) {
  MessageBoxCatcher catcher;
  StartPlayerOn("damaged_codes");
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, "Vidod");
  EXPECT_EQ(catcher.boxes()[0].text, "Erreur dans le d\xE9" "cryptage des codes");
  const QuizDocument* quiz = g_document->quiz;
  EXPECT_EQ(Caption(g_shell.mainWindow), "Douze questions");
  EXPECT_EQ(quiz->questionCount, 12);
  EXPECT_STREQ(quiz->rewardCodes[0], "");
}

// Other answers that cannot be read are told; the quiz plays, each box
// accepting its expected answer.
TEST_F(QuizLoaderTest, DamagedAcceptedAnswersAreReportedAndTheFirstAnswersStay) {
  MessageBoxCatcher catcher;
  StartPlayerOn("damaged_accepted");
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, "Vidod");
  EXPECT_EQ(catcher.boxes()[0].text,
            "Erreur dans le d\xE9" "cryptage des autres r\xE9" "ponses accept\xE9" "es : chaque case n'accepte que sa "
            "premi\xE8" "re r\xE9" "ponse, sans tol\xE9" "rance.");
  const QuizDocument* quiz = g_document->quiz;
  EXPECT_EQ(quiz->questionCount, 12);
  EXPECT_STREQ(quiz->rewardCodes[11], "C12");
  EXPECT_EQ(quiz->tolerances, 0);
  SetDlgItemTextA(g_shell.singleView, 9000, "DOUZE");
  EvaluateSingleViewAnswer(g_document, g_shell.singleView, 11);
  EXPECT_EQ(ControlText(g_shell.singleView, 9500), "BRAVO");
}

TEST_F(QuizLoaderTest, ReadsTheResourcesOfTheRunningExecutableByDefault) {
  // This test executable carries no quiz: the default quiz.
  PlayerDocument* document = CreatePlayerDocument();
  ASSERT_NE(document, nullptr);
  MessageBoxCatcher catcher;
  QuizResourceLoader(document, nullptr);
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_EQ(document->quiz->questionCount, 7);
  DestroyPlayerDocument(document);
}

}  // namespace
}  // namespace vidod::testing
