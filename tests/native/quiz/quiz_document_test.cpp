#include "quiz/quiz_document.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vidod {
namespace {

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using Document = std::unique_ptr<QuizDocument, DocumentDeleter>;

TEST(QuizDocument, StartsWithTheCreationDefaults) {
  Document document(CreateQuizDocument());
  ASSERT_TRUE(document);
  EXPECT_EQ(document->pictureFlag, 0);
  EXPECT_STREQ(document->title, "nom du quizz");
  EXPECT_STREQ(document->author, " createur");
  EXPECT_EQ(document->questionCount, 2);
  EXPECT_EQ(document->answersPerQuestion, 1);
  EXPECT_EQ(document->quizType, 0);
  EXPECT_EQ(document->completionFlag, 0);
  EXPECT_EQ(document->backgroundRed, 90);
  EXPECT_EQ(document->backgroundGreen, 95);
  EXPECT_EQ(document->backgroundBlue, 150);
  EXPECT_EQ(document->firstEntry, nullptr);
  EXPECT_EQ(document->lastEntry, nullptr);
  EXPECT_STREQ(document->explanation, "");
  EXPECT_STREQ(document->answerSlots[95], "");
  EXPECT_STREQ(document->rewardCodes[0], "");
}

TEST(QuizDocument, QuestionAtClampsToTheLastEntry) {
  Document document(CreateQuizDocument());
  EXPECT_EQ(QuestionAt(document.get(), 0), nullptr);  // empty list

  ASSERT_TRUE(AppendQuestion(document.get(), "UN", ""));
  EXPECT_STREQ(QuestionAt(document.get(), 0)->expectedAnswer1, "UN");
  EXPECT_EQ(QuestionAt(document.get(), 3), document->firstEntry);

  ASSERT_TRUE(AppendQuestion(document.get(), "DEUX", "BIS"));
  QuestionEntry* second = QuestionAt(document.get(), 1);
  EXPECT_STREQ(second->expectedAnswer1, "DEUX");
  EXPECT_STREQ(second->expectedAnswer2, "BIS");
  EXPECT_STREQ(second->revealText, "");
  EXPECT_EQ(second->solved, 0);
  EXPECT_EQ(second->next, nullptr);
  EXPECT_EQ(QuestionAt(document.get(), 5), second);
  EXPECT_EQ(document->lastEntry, second);
  EXPECT_EQ(document->firstEntry->next, second);
  EXPECT_EQ(QuestionAt(document.get(), -1), document->firstEntry);
}

TEST(QuizDocument, AppendCutsLongTextsAndReleaseEmptiesTheList) {
  Document document(CreateQuizDocument());
  const std::string longText(400, 'A');
  ASSERT_TRUE(AppendQuestion(document.get(), longText.c_str(), longText.c_str()));
  EXPECT_EQ(std::string(QuestionAt(document.get(), 0)->expectedAnswer1), std::string(259, 'A'));
  ReleaseQuestions(document.get());
  EXPECT_EQ(document->firstEntry, nullptr);
  EXPECT_EQ(document->lastEntry, nullptr);
}

// Black or white, whichever has the higher contrast ratio with the
// background (relative luminance); white only when strictly higher.
TEST(QuizDocument, TextColourIsTheOneOfHigherContrast) {
  Document document(CreateQuizDocument());
  const struct {
    uint8_t red, green, blue;
    bool black;
  } cases[] = {
      {40, 90, 160, false},    // the demo's blue: white 6.9:1, black 3.1:1
      {90, 95, 150, false},    // the default colour: white 6.0:1, black 3.5:1
      {117, 117, 117, false},  // the greys cross between these two
      {118, 118, 118, true},
      {255, 0, 0, true},       // red is light enough for black
      {0, 0, 255, false},      // blue weighs little
      {70, 0, 0, false},       // a dark red: any red or green above 69 no longer decides
      {250, 240, 170, true},
      {0, 0, 0, false},
      {255, 255, 255, true},
  };
  for (const auto& c : cases) {
    document->backgroundRed = c.red;
    document->backgroundGreen = c.green;
    document->backgroundBlue = c.blue;
    EXPECT_EQ(BackgroundWantsBlackText(document.get()), c.black)
        << int(c.red) << "," << int(c.green) << "," << int(c.blue);
  }
}

}  // namespace
}  // namespace vidod
