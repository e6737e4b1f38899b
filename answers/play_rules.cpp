#include "answers/play_rules.h"

#include "answers/score.h"

namespace vidod {

namespace {

constexpr int kSolved = 1;

// Every box of the question holds one of its accepted answers (the boxes are
// read, not their verdicts).
bool QuestionWhollyRight(const QuestionEntry* entry, int firstBox, int perQuestion, const AnswerRules& rules,
                         const ListViewBoxes& boxes) {
  for (int answer = 0; answer < perQuestion; ++answer) {
    char typed[kTextSize] = "";
    boxes.ReadBox(firstBox + answer, typed);
    if (!HoldsAcceptedAnswer(AcceptedAnswersOf(entry, answer), typed, rules)) return false;
  }
  return true;
}

// Whether a box of the question other than the one judged holds its right
// answer (the boxes are read: their verdicts may not be judged yet).
bool OtherBoxRight(const QuestionEntry* entry, int firstBox, int judged, int perQuestion, const AnswerRules& rules,
                   const ListViewBoxes& boxes) {
  for (int answer = 0; answer < perQuestion; ++answer) {
    if (answer == judged) continue;
    char typed[kTextSize] = "";
    boxes.ReadBox(firstBox + answer, typed);
    if (HoldsAcceptedAnswer(AcceptedAnswersOf(entry, answer), typed, rules)) return true;
  }
  return false;
}

bool EveryBoxShownRight(int boxCount, int judged, const ListViewBoxes& boxes) {
  for (int box = 0; box < boxCount; ++box)
    if (box != judged && !boxes.ShowsRight(box)) return false;
  return true;
}

}  // namespace

SingleViewOutcome JudgeSingleViewQuestion(QuizDocument* quiz, int question, const char* typed) {
  SingleViewOutcome outcome = {{nullptr, 0}, false};
  if (question < 0 || question >= quiz->questionCount) return outcome;
  QuestionEntry* entry = QuestionAt(quiz, question);
  if (!entry) return outcome;
  // The mark always follows the last judgement made in this view.
  entry->solved = 0;
  // With two answers per question this view judges the first one only.
  const AnswerRules rules = AnswerRulesOf(quiz);
  outcome.judgement = JudgeAcceptedAnswers(AcceptedAnswersOf(entry, 0), typed, AnswerView::kSingleQuestion, rules);
  if (outcome.judgement.verdict == kVerdictRight) {
    entry->solved = kSolved;
    outcome.reveal = true;
  } else if (quiz->answersPerQuestion == 2 && question * 2 + 1 < kAnswerSlotCount &&
             HoldsAcceptedAnswer(AcceptedAnswersOf(entry, 1), quiz->answerSlots[question * 2 + 1], rules)) {
    // The question's second answer, kept in its slot, solves it as it does in
    // the list view: the same answers give the same score in both views.
    entry->solved = kSolved;
  }
  return outcome;
}

Judgement JudgeSingleViewSecondAnswer(const QuizDocument* quiz, int question, const char* typed) {
  if (question < 0 || question >= quiz->questionCount || quiz->answersPerQuestion != 2) return {nullptr, 0};
  const QuestionEntry* entry = QuestionAt(quiz, question);
  if (!entry) return {nullptr, 0};
  return JudgeAcceptedAnswers(AcceptedAnswersOf(entry, 1), typed, AnswerView::kSingleQuestion, AnswerRulesOf(quiz));
}

ListViewOutcome JudgeListViewBox(QuizDocument* quiz, int box, const ListViewBoxes& boxes) {
  ListViewOutcome outcome = {{nullptr, 0}, RevealChange::kKeep, false};
  const int perQuestion = quiz->answersPerQuestion;
  if (perQuestion != 1 && perQuestion != 2) return outcome;
  int boxCount = quiz->questionCount * perQuestion;
  if (boxCount > kAnswerSlotCount) boxCount = kAnswerSlotCount;
  if (box < 0 || box >= boxCount) return outcome;
  const int question = box / perQuestion;
  const int answer = box % perQuestion;
  const int firstBox = question * perQuestion;
  QuestionEntry* entry = QuestionAt(quiz, question);
  if (!entry) return outcome;

  char typed[kTextSize] = "";
  boxes.ReadBox(box, typed);
  const AnswerRules rules = AnswerRulesOf(quiz);
  outcome.judgement = JudgeAcceptedAnswers(AcceptedAnswersOf(entry, answer), typed, AnswerView::kList, rules);
  const bool right = outcome.judgement.verdict == kVerdictRight;
  // The mark follows the answers, as judging them again at the next start
  // would: solved while any box of the question holds its right answer. (Only
  // setting marks here left the score above what the boxes show.)
  entry->solved = right || OtherBoxRight(entry, firstBox, answer, perQuestion, rules, boxes) ? kSolved : 0;

  const RevealMode reveal = RevealModeOf(quiz->quizType);
  if (!right) {
    outcome.reveal = RevealChange::kHide;
    quiz->completionFlag = 0;
  } else if (reveal == RevealMode::kPerQuestion && QuestionWhollyRight(entry, firstBox, perQuestion, rules, boxes)) {
    outcome.reveal = RevealChange::kShow;
  }
  if (reveal == RevealMode::kAtCompletion && !quiz->completionFlag && right &&
      EveryBoxShownRight(boxCount, box, boxes)) {
    quiz->completionFlag = 1;
    outcome.completed = true;
  }
  return outcome;
}

}  // namespace vidod
