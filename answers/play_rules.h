// The rules of a play session that need no window: what judging a box does
// to its question's solved mark, to the reveal texts and to the quiz's
// completion, in each of the two views. The player's views read their boxes
// and labels and call these; the web page keeps its boxes in memory and
// calls the same, so that the two never judge differently.
#pragma once

#include "answers/accepted_answers.h"
#include "quiz/quiz_document.h"

namespace vidod {

// The single-question view's judgement of its box.
struct SingleViewOutcome {
  Judgement judgement;  // verdict nullptr: the question is outside the quiz
  bool reveal;          // the question's reveal text shows (a "BRAVO")
};

// Judges typed against the first box of question (from 0) and sets the
// question's solved mark from scratch: solved when typed is right, or, in a
// quiz of two answers per question, when its second answer kept in answer
// slot question x 2 + 1 is right, as the list view counts it.
SingleViewOutcome JudgeSingleViewQuestion(QuizDocument* quiz, int question, const char* typed);

// A question's second box where a single-question view shows it (the web
// page does): judged with the same ladder against the question's second
// answers. The mark stays JudgeSingleViewQuestion's, which reads that
// answer from its slot.
Judgement JudgeSingleViewSecondAnswer(const QuizDocument* quiz, int question, const char* typed);

// The list view as its rules read it, boxes counted from 0 in the view's
// order (question n's answer a is box (n - 1) x A + a - 1, slot and line of
// the progress file alike).
class ListViewBoxes {
 public:
  // The text of box into a kTextSize buffer.
  virtual void ReadBox(int box, char* text) const = 0;
  // Whether the verdict shown for box is "BRAVO".
  virtual bool ShowsRight(int box) const = 0;

 protected:
  ~ListViewBoxes() = default;
};

enum class RevealChange { kKeep, kShow, kHide };

struct ListViewOutcome {
  Judgement judgement;  // verdict nullptr: the box is outside the quiz
  RevealChange reveal;  // of the box's question
  bool completed;       // the quiz is complete at this judgement: every reveal text shows
};

// Judges box with the list view's rules (no hints for an answer of three
// characters or fewer). The question's mark becomes solved while any of its
// boxes holds a right answer; a right box whose question is wholly right
// shows its reveal text in quizzes of reveals per question; any other
// verdict hides it and clears the completion flag; in quizzes that reveal
// everything at the end, the first judgement that leaves every box shown
// right completes the quiz. The judged box counts with its new verdict.
ListViewOutcome JudgeListViewBox(QuizDocument* quiz, int box, const ListViewBoxes& boxes);

}  // namespace vidod
