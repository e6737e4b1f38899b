#include <cstring>

#include "answers/evaluation.h"
#include "answers/score.h"
#include "common/window_text.h"

namespace vidod {

void SetTextIfChanged(HWND control, const char* text) {
  // A control may hold more than the buffer: its length is compared first.
  const std::size_t length = std::strlen(text);
  char shown[kTextSize] = "";
  if (length < sizeof shown && static_cast<std::size_t>(GetWindowTextLengthW(control)) == length) {
    GetWindowText1252(control, shown, sizeof shown);
    if (std::strcmp(shown, text) == 0) return;
  }
  SetWindowText1252(control, text);
}

void RefreshScore(PlayerDocument* document) {
  const QuizDocument* quiz = document->quiz;
  const int solved = CountSolvedQuestions(quiz);
  char score[kScoreTextSize];
  FormatScoreText(solved, quiz->questionCount, score, sizeof score);
  SetTextIfChanged(GetDlgItem(document->headerBar, kScoreLabelId), score);
  SetTextIfChanged(GetDlgItem(document->headerBar, kCodeFieldId), RewardCodeText(quiz, solved));
}

}  // namespace vidod
