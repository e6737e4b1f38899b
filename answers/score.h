// The score shown in the header bar (solved questions over the question
// count), the reward code that goes with it, and when reveal texts appear.
#pragma once

#include <cstddef>

namespace vidod {

struct QuizDocument;

// Solved marks over the indexes 0 to N - 1 through QuestionAt: when the list
// holds fewer than N entries, the last entry is counted once per index that
// reaches it. An empty list counts 0.
int CountSolvedQuestions(const QuizDocument* document);

constexpr std::size_t kScoreTextSize = 32;  // room for " %d / %d" of any two ints

// " %d / %d" (a leading blank) into text, cut to fit size.
void FormatScoreText(int solved, int questionCount, char* text, std::size_t size);

// The code field's text for a score: six blanks for 0, otherwise reward code
// solved (counted from 1). A score with no code in the list (above 96, or
// negative) also gives the six blanks.
const char* RewardCodeText(const QuizDocument* document, int solved);

enum class RevealMode {
  kNone,          // quiz types 0, 1 and any unknown value
  kPerQuestion,   // types 2 and 3: shown once every answer of the question is right
  kAtCompletion,  // type 4: all shown once every answer of the quiz is right
};
RevealMode RevealModeOf(int quizType);

}  // namespace vidod
