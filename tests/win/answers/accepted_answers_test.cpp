// A quiz whose boxes accept several answers, with accents and articles
// forgiven, judged by both views and again from its progress file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "answer_test_fixture.h"

namespace vidod::testing {
namespace {

using AcceptedAnswersTest = AnswerEvaluationTest;

// Code page 1252: é \xE9, è \xE8.
struct Trial {
  int box;  // list view box; the single view judges box 1 of its question
  const char* typed;
  const char* verdict;
};
const Trial kListTrials[] = {
    {4001, "notre-dame", "BRAVO"},                     // the second answer of the list
    {4002, "lutece", "BRAVO"},                         // accents forgiven
    {4003, "la basilique du sacre-coeur", "BRAVO"},    // article, accents and ligature
    {4004, "Pari", "Quasiment"},                       // the only answer, one edit away
    {4005, "UX", "FAUX"},                              // nearest is UK: no hints for it here
    {4006, "Londre", "Quasiment"},
};

TEST_F(AcceptedAnswersTest, EveryAcceptedAnswerIsRightInBothViewsAndAfterARestart) {
  StartPlayerOn("answers_accepted");
  const struct {
    int question;
    const char* typed;
    const char* verdict;
  } singleTrials[] = {
      {0, "NOTRE-DAME DE PARIS", "BRAVO"},  // the first answer
      {0, "Notre-Dame", "BRAVO"},           // the second
      {0, "notre-dam", "Quasiment"},        // the nearest is the second
      {0, "Notre-Dame de Pari", "Quasiment"},
      {1, "le sacr\xE9-coeur", "BRAVO"},
      {2, "UX", "Quasiment"},               // this view gives hints for short answers
      {2, "Royaume Uni", "Quasiment"},      // punctuation is not forgiven here
  };
  for (const auto& trial : singleTrials) {
    JudgeSingle(trial.question, trial.typed);
    EXPECT_EQ(SingleVerdict(), trial.verdict) << trial.typed;
  }
  EXPECT_EQ(Score(), " 1 / 3");  // the last answer given to each question counts: only the second's

  ShowList();
  for (const Trial& trial : kListTrials) EnterInBox(trial.box, trial.typed);
  for (const Trial& trial : kListTrials) EXPECT_EQ(ListVerdict(trial.box), trial.verdict) << trial.typed;
  EXPECT_EQ(Score(), " 2 / 3");
  EXPECT_EQ(Code(), "DEUX");
  EXPECT_TRUE(RevealShown(1));
  EXPECT_FALSE(RevealShown(2));  // its second box is not right

  // The answers judged again at the next start, from the progress file.
  RestartPlayerOn("answers_accepted");
  EXPECT_EQ(Score(), " 2 / 3");
  EXPECT_EQ(SingleVerdict(), "BRAVO");  // the first question is shown
  ShowList();
  for (const Trial& trial : kListTrials) EXPECT_EQ(ListVerdict(trial.box), trial.verdict) << trial.typed;
  EXPECT_TRUE(RevealShown(1));
}

}  // namespace
}  // namespace vidod::testing
