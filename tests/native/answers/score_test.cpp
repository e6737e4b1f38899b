#include "answers/score.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "quiz/quiz_document.h"

namespace vidod {
namespace {

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using DocumentPtr = std::unique_ptr<QuizDocument, DocumentDeleter>;

DocumentPtr MakeDocument(int questionCount, int entryCount) {
  DocumentPtr document(CreateQuizDocument());
  document->questionCount = questionCount;
  for (int i = 0; i < entryCount; ++i) {
    const std::string answer = "Q" + std::to_string(i + 1);
    AppendQuestion(document.get(), answer.c_str(), "");
  }
  for (int k = 0; k < kMaxQuestions; ++k) {
    CopyText(document->rewardCodes[k], ("CODE" + std::to_string(k + 1)).c_str());
  }
  return document;
}

void MarkSolved(QuizDocument* document, int index, int mark) {
  QuestionAt(document, index)->solved = mark;
}

TEST(CountSolvedQuestionsTest, CountsEachIndexThroughTheClampedList) {
  struct CountCase {
    int questionCount;
    int entryCount;
    int solvedIndex;  // -1: none marked
    int count;
  };
  const CountCase cases[] = {
      {3, 0, -1, 0},  // empty list
      {3, 3, -1, 0},
      {3, 3, 1, 1},
      {7, 2, 1, 6},   // indexes 1 to 6 all reach the last entry
      {7, 2, 0, 1},
      {2, 3, 2, 0},   // entries past N are not counted
      {0, 2, 0, 0},   // no questions
  };
  for (const CountCase& c : cases) {
    DocumentPtr document = MakeDocument(c.questionCount, c.entryCount);
    if (c.solvedIndex >= 0) MarkSolved(document.get(), c.solvedIndex, 1);
    EXPECT_EQ(c.count, CountSolvedQuestions(document.get()))
        << "N " << c.questionCount << ", entries " << c.entryCount << ", solved "
        << c.solvedIndex;
  }
}

TEST(ScoreTextTest, LeadingBlankThenCountSlashTotal) {
  char text[kScoreTextSize];
  FormatScoreText(0, 12, text, sizeof text);
  EXPECT_STREQ(" 0 / 12", text);
  FormatScoreText(3, 10, text, sizeof text);
  EXPECT_STREQ(" 3 / 10", text);

  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  FormatScoreText(3, 10, small, sizeof small);
  EXPECT_STREQ(" 3 /", small);
}

TEST(RewardCodeTextTest, CodeNumberEqualsScore) {
  DocumentPtr document = MakeDocument(96, 96);
  struct CodeCase {
    int solved;
    const char* code;
  };
  const CodeCase cases[] = {
      {0, "      "},   // nothing solved: six blanks
      {1, "CODE1"},
      {12, "CODE12"},
      {96, "CODE96"},  // the last code of the list
      {97, "      "},  // no code beyond the list
      {255, "      "},
      {-1, "      "},
  };
  for (const CodeCase& c : cases) {
    EXPECT_STREQ(c.code, RewardCodeText(document.get(), c.solved)) << "score " << c.solved;
  }
}

TEST(RevealModeTest, ByQuizType) {
  struct ModeCase {
    int quizType;
    RevealMode mode;
  };
  const ModeCase cases[] = {
      {0, RevealMode::kNone},         {1, RevealMode::kNone},
      {2, RevealMode::kPerQuestion},  {3, RevealMode::kPerQuestion},
      {4, RevealMode::kAtCompletion}, {5, RevealMode::kNone},
      {-1, RevealMode::kNone},        {255, RevealMode::kNone},
  };
  for (const ModeCase& c : cases) {
    EXPECT_EQ(c.mode, RevealModeOf(c.quizType)) << "type " << c.quizType;
  }
}

}  // namespace
}  // namespace vidod
