#include "answers/accepted_answers.h"
#include "answers/evaluation.h"
#include "common/window_text.h"
#include "views/views.h"

namespace vidod {

void EvaluateSingleViewAnswer(PlayerDocument* document, HWND view, int question) {
  const QuizDocument* quiz = document->quiz;
  if (question < 0 || question >= quiz->questionCount) return;
  QuestionEntry* entry = QuestionAt(quiz, question);
  if (!entry) return;
  // The mark always follows the last judgement made in this view.
  entry->solved = 0;
  char typed[kTextSize] = "";
  GetDlgItemText1252(view, kAnswerBoxId, typed, sizeof typed);
  SetDlgItemText1252(view, kSingleRevealLabelId, "");
  // With two answers per question this view judges the first one only.
  const AnswerRules rules = AnswerRulesOf(quiz);
  const char* verdict =
      JudgeAcceptedAnswers(AcceptedAnswersOf(entry, 0), typed, AnswerView::kSingleQuestion, rules).verdict;
  if (verdict == kVerdictRight) {
    entry->solved = 1;
    SetDlgItemText1252(view, kSingleRevealLabelId, entry->revealText);
  } else if (quiz->answersPerQuestion == 2 &&
             HoldsAcceptedAnswer(AcceptedAnswersOf(entry, 1), quiz->answerSlots[question * 2 + 1], rules)) {
    // The question's second answer, kept in its slot, solves it as it does in
    // the list view: the same answers give the same score in both views.
    entry->solved = 1;
  }
  SetDlgItemText1252(view, kSingleVerdictLabelId, verdict);
  RefreshScore(document);
}

}  // namespace vidod
