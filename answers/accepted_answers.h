// Judging a typed answer against every answer a box accepts: its expected
// answer and the others the quiz lists for it, under the quiz's rules.
#pragma once

#include "answers/answer_normalisation.h"
#include "answers/verdict.h"
#include "quiz/quiz_document.h"

namespace vidod {

struct AcceptedAnswers {
  const char* first;   // the expected answer, the one F1 copies
  // The others, each ended by a zero byte, one after the other, the list
  // ended by an empty text; nullptr when there are none.
  const char* others = nullptr;
};

// The answers box (0 or 1) of the entry accepts.
AcceptedAnswers AcceptedAnswersOf(const QuestionEntry* entry, int box);
// The rules of the document's quiz.
AnswerRules AnswerRulesOf(const QuizDocument* document);

int AcceptedAnswerCount(const AcceptedAnswers& accepted);
// Answer index (0 the first, then the others in order); nullptr past the last.
const char* AcceptedAnswerAt(const AcceptedAnswers& accepted, int index);

struct Judgement {
  const char* verdict;  // one of the verdict texts of verdict.h
  int answer;           // the accepted answer it was given against, by index
};

// "BRAVO" when the typed answer, normalised under rules, equals one of the
// accepted answers (the first that does); otherwise the view's verdict
// against the nearest of them: the smallest edit distance once normalised,
// the first listed on a tie. Each answer gets the view's own rules (the list
// view's short-answer rule follows the length of the nearest). An empty
// typed answer gives "?" against the first.
Judgement JudgeAcceptedAnswers(const AcceptedAnswers& accepted, const char* rawTyped, AnswerView view,
                               const AnswerRules& rules);

// Whether the typed answer equals one of the accepted answers once both are
// normalised under rules.
bool HoldsAcceptedAnswer(const AcceptedAnswers& accepted, const char* rawTyped, const AnswerRules& rules);

}  // namespace vidod
