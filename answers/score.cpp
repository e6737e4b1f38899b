#include "answers/score.h"

#include <cstdio>

#include "quiz/quiz_document.h"

namespace vidod {

namespace {

constexpr char kNoRewardCode[] = "      ";
constexpr int kSolved = 1;

}  // namespace

int CountSolvedQuestions(const QuizDocument* document) {
  if (!document) return 0;
  int solved = 0;
  for (int index = 0; index < document->questionCount; ++index) {
    const QuestionEntry* entry = QuestionAt(document, index);
    if (!entry) break;
    if (entry->solved == kSolved) ++solved;
  }
  return solved;
}

void FormatScoreText(int solved, int questionCount, char* text, std::size_t size) {
  if (!text || size == 0) return;
  std::snprintf(text, size, " %d / %d", solved, questionCount);
}

const char* RewardCodeText(const QuizDocument* document, int solved) {
  if (!document || solved <= 0 || solved > kMaxQuestions) return kNoRewardCode;
  return document->rewardCodes[solved - 1];
}

RevealMode RevealModeOf(int quizType) {
  switch (quizType) {
    case 2:
    case 3:
      return RevealMode::kPerQuestion;
    case 4:
      return RevealMode::kAtCompletion;
    default:
      return RevealMode::kNone;
  }
}

}  // namespace vidod
