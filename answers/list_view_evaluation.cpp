#include <cstring>

#include "answers/accepted_answers.h"
#include "answers/evaluation.h"
#include "answers/list_view_controls.h"
#include "answers/score.h"
#include "common/window_text.h"
#include "views/views.h"

namespace vidod {

namespace {

void ShowRevealLabel(HWND listView, int question, bool shown) {
  HWND label = ListControl(listView, kListRevealLabelBase + question);
  if (label) ShowWindow(label, shown ? SW_SHOW : SW_HIDE);
}

// Every box of the question holds its expected answer (the boxes are read,
// not their labels).
bool QuestionWhollyRight(HWND listView, const QuestionEntry* entry, int question, int perQuestion,
                         const AnswerRules& rules) {
  for (int answer = 0; answer < perQuestion; ++answer) {
    char typed[kTextSize] = "";
    GetWindowText1252(ListControl(listView, kFirstListBoxId + (question - 1) * perQuestion + answer),
                   typed, sizeof typed);
    if (!HoldsAcceptedAnswer(AcceptedAnswersOf(entry, answer), typed, rules)) return false;
  }
  return true;
}

// Whether a box of the question other than the one judged holds its right
// answer (the boxes are read, not their labels, which may not be judged yet).
bool OtherBoxRight(HWND listView, const QuestionEntry* entry, int question, int judged,
                   int perQuestion, const AnswerRules& rules) {
  for (int answer = 0; answer < perQuestion; ++answer) {
    if (answer == judged) continue;
    char typed[kTextSize] = "";
    GetWindowText1252(ListControl(listView, kFirstListBoxId + (question - 1) * perQuestion + answer),
                   typed, sizeof typed);
    if (HoldsAcceptedAnswer(AcceptedAnswersOf(entry, answer), typed, rules)) return true;
  }
  return false;
}

// The quiz is complete when every verdict label of the view reads "BRAVO".
bool EveryLabelRight(HWND listView, int boxCount) {
  for (int i = 0; i < boxCount; ++i) {
    char label[kTextSize] = "";
    GetWindowText1252(ListControl(listView, kFirstListBoxId + kListLabelOffset + i), label,
                   sizeof label);
    if (std::strcmp(label, kVerdictRight) != 0) return false;
  }
  return true;
}

}  // namespace

void EvaluateListViewAnswer(PlayerDocument* document, HWND listView, int boxId) {
  QuizDocument* quiz = document->quiz;
  const int perQuestion = quiz->answersPerQuestion;
  if (perQuestion != 1 && perQuestion != 2) return;
  const int boxCount = quiz->questionCount * perQuestion;
  const int k = boxId - kFirstListBoxId;
  if (k < 0 || k >= boxCount) return;
  const int question = k / perQuestion + 1;
  const int answer = k % perQuestion + 1;
  QuestionEntry* entry = QuestionAt(quiz, question - 1);
  if (!entry) return;

  char typed[kTextSize] = "";
  GetWindowText1252(ListControl(listView, boxId), typed, sizeof typed);
  const AnswerRules rules = AnswerRulesOf(quiz);
  const char* verdict =
      JudgeAcceptedAnswers(AcceptedAnswersOf(entry, answer - 1), typed, AnswerView::kList, rules).verdict;
  const bool right = verdict == kVerdictRight;
  // The mark follows the answers, as judging them again at the next start
  // would: solved while any box of the question holds its right answer. (Only
  // setting marks here left the score above what the boxes show.)
  entry->solved = right || OtherBoxRight(listView, entry, question, answer - 1, perQuestion, rules) ? 1 : 0;
  SetTextIfChanged(ListControl(listView, boxId + kListLabelOffset), verdict);

  const RevealMode reveal = RevealModeOf(quiz->quizType);
  if (!right) {
    ShowRevealLabel(listView, question, false);
    quiz->completionFlag = 0;
  } else if (reveal == RevealMode::kPerQuestion &&
             QuestionWhollyRight(listView, entry, question, perQuestion, rules)) {
    ShowRevealLabel(listView, question, true);
  }

  if (reveal == RevealMode::kAtCompletion && !quiz->completionFlag &&
      EveryLabelRight(listView, boxCount)) {
    quiz->completionFlag = 1;
    for (int n = 1; n <= quiz->questionCount; ++n) ShowRevealLabel(listView, n, true);
  }
  RefreshScore(document);
}

}  // namespace vidod
