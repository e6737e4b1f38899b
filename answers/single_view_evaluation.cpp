#include "answers/evaluation.h"
#include "answers/play_rules.h"
#include "common/window_text.h"
#include "views/views.h"

namespace vidod {

void EvaluateSingleViewAnswer(PlayerDocument* document, HWND view, int question) {
  QuizDocument* quiz = document->quiz;
  if (question < 0 || question >= quiz->questionCount || !QuestionAt(quiz, question)) return;
  char typed[kTextSize] = "";
  GetDlgItemText1252(view, kAnswerBoxId, typed, sizeof typed);
  SetDlgItemText1252(view, kSingleRevealLabelId, "");
  const SingleViewOutcome outcome = JudgeSingleViewQuestion(quiz, question, typed);
  if (outcome.reveal) SetDlgItemText1252(view, kSingleRevealLabelId, QuestionAt(quiz, question)->revealText);
  SetDlgItemText1252(view, kSingleVerdictLabelId, outcome.judgement.verdict);
  RefreshScore(document);
}

}  // namespace vidod
