#include "answers/verdict.h"

#include <cstring>

#include "answers/accepted_answers.h"
#include "answers/text_compare.h"

namespace vidod {

namespace {

// Thresholds as integer comparisons, exact for texts of at most 259
// characters: coverage above 70 % and 50 %, likeness above 80 %.
constexpr int kLongExpectedLength = 10;  // coverage hints need at least this
constexpr int kTooShortPercent = 70;
constexpr int kNotFarPercent = 50;
constexpr int kLikenessPercent = 80;
constexpr int kWholePercent = 100;

}  // namespace

const char* JudgeAnswer(const char* expected, const char* typed) {
  const int typedLength = BoundedTextLength(typed);
  if (typedLength == 0) return kVerdictEmpty;

  const int distance = EditDistance(expected, typed);
  if (distance == 0) return kVerdictRight;
  if (IsAnagram(expected, typed)) return kVerdictAnagram;
  if (distance == 1) return kVerdictOneEdit;
  if (distance == 2) return kVerdictTwoEdits;

  const int expectedLength = BoundedTextLength(expected);
  const int scan = ContainmentScan(expected, typed);
  if (scan == kTypedInsideExpected) {
    if (expectedLength < kLongExpectedLength) return kVerdictWrong;
    if (kWholePercent * typedLength > kTooShortPercent * expectedLength) return kVerdictTooShort;
    if (kWholePercent * typedLength > kNotFarPercent * expectedLength) return kVerdictNotFar;
    return kVerdictWrong;
  }
  if (scan == kExpectedInsideTyped) return kVerdictTooLong;

  const int longer = expectedLength > typedLength ? expectedLength : typedLength;
  if (kWholePercent * (longer - distance) > kLikenessPercent * longer) return kVerdictSomeIdea;
  return kVerdictWrong;
}

const char* JudgeListViewAnswer(const char* expected, const char* typed) {
  if (BoundedTextLength(expected) > kShortAnswerLength) return JudgeAnswer(expected, typed);
  if (BoundedTextLength(typed) == 0) return kVerdictEmpty;
  return std::strcmp(expected, typed) == 0 ? kVerdictRight : kVerdictWrong;
}

const char* JudgeRawAnswer(const char* rawExpected, const char* rawTyped, AnswerView view,
                           const AnswerRules& rules) {
  return JudgeAcceptedAnswers(AcceptedAnswers{rawExpected}, rawTyped, view, rules).verdict;
}

bool HoldsExpectedAnswer(const char* rawExpected, const char* rawTyped, const AnswerRules& rules) {
  return HoldsAcceptedAnswer(AcceptedAnswers{rawExpected}, rawTyped, rules);
}

}  // namespace vidod
