#include "answers/play_rules.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "answers/score.h"

namespace vidod {
namespace {

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using DocumentPtr = std::unique_ptr<QuizDocument, DocumentDeleter>;

// Two questions of two answers each: France / Paris and Italie / Rome (or Roma).
DocumentPtr PairQuiz(int quizType) {
  DocumentPtr quiz(CreateQuizDocument());
  quiz->questionCount = 2;
  quiz->answersPerQuestion = 2;
  quiz->quizType = quizType;
  AppendQuestion(quiz.get(), "France", "Paris");
  AppendQuestion(quiz.get(), "Italie", "Rome");
  static const char kRoma[] = "Roma\0";
  QuestionAt(quiz.get(), 1)->otherAnswers[1] = kRoma;
  return quiz;
}

// The list view as the web page keeps it: texts and the verdicts shown.
class Boxes : public ListViewBoxes {
 public:
  std::vector<std::string> texts = std::vector<std::string>(4);
  std::vector<const char*> shown = std::vector<const char*>(4, kVerdictEmpty);
  void ReadBox(int box, char* text) const override { CopyText(text, texts[box].c_str()); }
  bool ShowsRight(int box) const override { return shown[box] == kVerdictRight; }
};

TEST(PlayRulesTest, ListViewJudgementsMarkRevealAndComplete) {
  struct Step {
    int box;
    const char* typed;
    const char* verdict;
    int solved;  // the score after the step
    RevealChange reveal;
    bool completed;
  };
  struct Case {
    int quizType;
    std::vector<Step> steps;
  };
  const RevealChange keep = RevealChange::kKeep, show = RevealChange::kShow, hide = RevealChange::kHide;
  const Case cases[] = {
      // Reveals per question: shown once both boxes are right, hidden by any other verdict;
      // the mark follows the boxes, either of them right.
      {2, {{0, "france", kVerdictRight, 1, keep, false},
           {1, "paris", kVerdictRight, 1, show, false},
           {1, "pari", kVerdictOneEdit, 1, hide, false},
           {0, "", kVerdictEmpty, 0, hide, false},
           {3, "roma", kVerdictRight, 1, keep, false}}},
      // Reveals at the end: the judgement that leaves every box right completes the quiz,
      // any later wrong one clears it, and the next right one completes it again.
      {4, {{0, "France", kVerdictRight, 1, keep, false},
           {1, "Paris", kVerdictRight, 1, keep, false},
           {2, "Italie", kVerdictRight, 2, keep, false},
           {3, "Rome", kVerdictRight, 2, keep, true},
           {3, "Rome", kVerdictRight, 2, keep, false},
           {3, "Rom", kVerdictOneEdit, 2, hide, false},
           {3, "Roma", kVerdictRight, 2, keep, true}}},
      // No reveals: a right box changes nothing else.
      {0, {{1, "paris", kVerdictRight, 1, keep, false}}},
  };
  for (const Case& test : cases) {
    DocumentPtr quiz = PairQuiz(test.quizType);
    Boxes boxes;
    for (const Step& step : test.steps) {
      SCOPED_TRACE("type " + std::to_string(test.quizType) + ", box " + std::to_string(step.box) + " \"" +
                   step.typed + "\"");
      boxes.texts[step.box] = step.typed;
      const ListViewOutcome outcome = JudgeListViewBox(quiz.get(), step.box, boxes);
      boxes.shown[step.box] = outcome.judgement.verdict;
      EXPECT_STREQ(outcome.judgement.verdict, step.verdict);
      EXPECT_EQ(CountSolvedQuestions(quiz.get()), step.solved);
      EXPECT_EQ(outcome.reveal, step.reveal);
      EXPECT_EQ(outcome.completed, step.completed);
    }
  }
}

TEST(PlayRulesTest, SingleViewJudgesTheFirstAnswerAndCountsTheSecondFromItsSlot) {
  DocumentPtr quiz = PairQuiz(2);
  CopyText(quiz->answerSlots[3], "roma");  // question 2's second answer, right
  const SingleViewOutcome wrong = JudgeSingleViewQuestion(quiz.get(), 1, "Italy");
  EXPECT_STREQ(wrong.judgement.verdict, kVerdictTwoEdits);
  EXPECT_FALSE(wrong.reveal);
  EXPECT_EQ(QuestionAt(quiz.get(), 1)->solved, 1);
  CopyText(quiz->answerSlots[3], "");
  EXPECT_FALSE(JudgeSingleViewQuestion(quiz.get(), 1, "Italy").reveal);
  EXPECT_EQ(QuestionAt(quiz.get(), 1)->solved, 0);
  EXPECT_TRUE(JudgeSingleViewQuestion(quiz.get(), 1, " italie").reveal);
  // The single view gives hints where the list view's short-answer rule would not.
  EXPECT_STREQ(JudgeSingleViewSecondAnswer(quiz.get(), 1, "Rom").verdict, kVerdictOneEdit);
  // Outside the quiz nothing is judged and no mark moves.
  EXPECT_EQ(JudgeSingleViewQuestion(quiz.get(), 2, "France").judgement.verdict, nullptr);
  EXPECT_EQ(JudgeListViewBox(quiz.get(), 4, Boxes()).judgement.verdict, nullptr);
  EXPECT_EQ(CountSolvedQuestions(quiz.get()), 1);
}

}  // namespace
}  // namespace vidod
