#include "answers/accepted_answers.h"

#include <cstring>

#include "answers/text_compare.h"
#include "common/text_buffer.h"

namespace vidod {

AcceptedAnswers AcceptedAnswersOf(const QuestionEntry* entry, int box) {
  AcceptedAnswers accepted;
  accepted.first = box == 0 ? entry->expectedAnswer1 : entry->expectedAnswer2;
  accepted.others = entry->otherAnswers[box == 0 ? 0 : 1];
  return accepted;
}

AnswerRules AnswerRulesOf(const QuizDocument* document) { return AnswerRulesFromTolerances(document->tolerances); }

const char* AcceptedAnswerAt(const AcceptedAnswers& accepted, int index) {
  if (index == 0) return accepted.first ? accepted.first : "";
  if (index < 0 || !accepted.others) return nullptr;
  const char* text = accepted.others;
  for (int step = 1; step < index && *text; ++step) text += std::strlen(text) + 1;
  return *text ? text : nullptr;
}

int AcceptedAnswerCount(const AcceptedAnswers& accepted) {
  int count = 1;
  while (AcceptedAnswerAt(accepted, count)) ++count;
  return count;
}

Judgement JudgeAcceptedAnswers(const AcceptedAnswers& accepted, const char* rawTyped, AnswerView view,
                               const AnswerRules& rules) {
  char typed[kTextSize];
  NormaliseAnswer(rawTyped, typed, rules);
  char expected[kTextSize];
  char nearest[kTextSize];
  int nearestIndex = 0;
  int nearestDistance = 0;
  for (int index = 0;; ++index) {
    const char* raw = AcceptedAnswerAt(accepted, index);
    if (!raw) break;
    NormaliseAnswer(raw, expected, rules);
    const int distance = EditDistance(expected, typed);
    if (distance == 0 && typed[0] != '\0') return {kVerdictRight, index};
    if (index == 0 || distance < nearestDistance) {
      nearestIndex = index;
      nearestDistance = distance;
      std::memcpy(nearest, expected, sizeof nearest);
    }
  }
  const char* verdict =
      view == AnswerView::kList ? JudgeListViewAnswer(nearest, typed) : JudgeAnswer(nearest, typed);
  return {verdict, typed[0] == '\0' ? 0 : nearestIndex};
}

bool HoldsAcceptedAnswer(const AcceptedAnswers& accepted, const char* rawTyped, const AnswerRules& rules) {
  char typed[kTextSize];
  NormaliseAnswer(rawTyped, typed, rules);
  char expected[kTextSize];
  for (int index = 0;; ++index) {
    const char* raw = AcceptedAnswerAt(accepted, index);
    if (!raw) return false;
    NormaliseAnswer(raw, expected, rules);
    if (std::strcmp(expected, typed) == 0) return true;
  }
}

}  // namespace vidod
