// A typed answer judged as the player judges it against every answer a box
// accepts, with the words that say which answer the verdict is about: the
// authoring tools show both, so that an author sees how tolerant a box is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "answers/verdict.h"

namespace vidod {

struct ListJudgement {
  std::string verdict;  // UTF-8
  // Empty for a box that accepts one answer or for an empty typed answer;
  // otherwise "réponse reconnue : « … »" or "réponse la plus proche : « … »".
  std::string answerNote;
};

// accepted holds the box's answers, the expected one first, typed what the
// player's box holds, both in code page 1252; tolerances are the quiz's
// kTolerate... bits.
ListJudgement JudgeAgainstList(const std::vector<std::string>& accepted, const std::string& typed, AnswerView view,
                               uint8_t tolerances);

}  // namespace vidod
