#include "answers/evaluation.h"
#include "answers/score.h"

namespace vidod {

void RefreshScore(PlayerDocument* document) {
  const QuizDocument* quiz = document->quiz;
  const int solved = CountSolvedQuestions(quiz);
  char score[kScoreTextSize];
  FormatScoreText(solved, quiz->questionCount, score, sizeof score);
  SetDlgItemTextA(document->headerBar, kScoreLabelId, score);
  SetDlgItemTextA(document->headerBar, kCodeFieldId, RewardCodeText(quiz, solved));
}

}  // namespace vidod
