#include "answer_test_fixture.h"

#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {

std::string AnswerEvaluationTest::Score() const {
  return ControlText(g_shell.headerBar, kScoreLabelId);
}

std::string AnswerEvaluationTest::Code() const {
  return ControlText(g_shell.headerBar, kCodeFieldId);
}

int AnswerEvaluationTest::Solved(int question) const {
  return QuestionAt(g_document->quiz, question)->solved;
}

void AnswerEvaluationTest::JudgeSingle(int question, const char* typed) {
  SetDlgItemTextA(g_shell.singleView, kAnswerBoxId, typed);
  EvaluateSingleViewAnswer(g_document, g_shell.singleView, question);
}

std::string AnswerEvaluationTest::SingleVerdict() const {
  return ControlText(g_shell.singleView, kSingleVerdictLabelId);
}

std::string AnswerEvaluationTest::SingleReveal() const {
  return ControlText(g_shell.singleView, kSingleRevealLabelId);
}

void AnswerEvaluationTest::ShowList() {
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  ASSERT_TRUE(IsWindowVisible(g_shell.listView));
}

void AnswerEvaluationTest::JudgeBox(int boxId, const char* typed) {
  SetDlgItemTextA(g_shell.listView, boxId, typed);
  EvaluateListViewAnswer(g_document, g_shell.listView, boxId);
}

void AnswerEvaluationTest::EnterInBox(int boxId, const char* typed) {
  SetWindowTextA(GetDlgItem(g_shell.listView, boxId), typed);
  PressKey(GetDlgItem(g_shell.listView, boxId), VK_RETURN);
}

std::string AnswerEvaluationTest::ListVerdict(int boxId) const {
  return ControlText(g_shell.listView, boxId + kListLabelOffset);
}

bool AnswerEvaluationTest::RevealShown(int question) const {
  return IsWindowVisible(GetDlgItem(g_shell.listView, kListRevealLabelBase + question)) != FALSE;
}

}  // namespace vidod::testing
