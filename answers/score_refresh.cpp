#include <cstring>

#include "answers/evaluation.h"
#include "answers/score.h"

namespace vidod {

namespace {

// A control is written only when its text changes: every judgement refreshes
// the score, few change it, and the code field fits its place and font to
// each text it is given, a costly step to take again for the same text.
void SetTextIfChanged(HWND parent, int id, const char* text) {
  char shown[kTextSize] = "";
  GetDlgItemTextA(parent, id, shown, sizeof shown);
  if (std::strcmp(shown, text) != 0) SetDlgItemTextA(parent, id, text);
}

}  // namespace

void RefreshScore(PlayerDocument* document) {
  const QuizDocument* quiz = document->quiz;
  const int solved = CountSolvedQuestions(quiz);
  char score[kScoreTextSize];
  FormatScoreText(solved, quiz->questionCount, score, sizeof score);
  SetTextIfChanged(document->headerBar, kScoreLabelId, score);
  SetTextIfChanged(document->headerBar, kCodeFieldId, RewardCodeText(quiz, solved));
}

}  // namespace vidod
