// The running player on one of the answer quizzes, with the header bar's
// score and code, the solved marks and both views' controls at hand.
#pragma once

#include <windows.h>

#include <string>

#include "player_fixture.h"

namespace vidod::testing {

constexpr char kNoCode[] = "      ";  // the code field while nothing is solved

class AnswerEvaluationTest : public PlayerTest {
 protected:
  // Header bar.
  std::string Score() const;
  std::string Code() const;
  // Solved mark of question q (from 0).
  int Solved(int question) const;

  // Single-question view: types into its box and judges question q directly.
  void JudgeSingle(int question, const char* typed);
  std::string SingleVerdict() const;
  std::string SingleReveal() const;

  // List view, shown with F3 as the player would.
  void ShowList();
  // Types into list box id and judges it directly.
  void JudgeBox(int boxId, const char* typed);
  // Types into list box id and releases Enter in it.
  void EnterInBox(int boxId, const char* typed);
  std::string ListVerdict(int boxId) const;
  bool RevealShown(int question) const;  // question from 1
};

}  // namespace vidod::testing
