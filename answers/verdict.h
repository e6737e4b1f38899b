// The verdict ladder: a typed answer against an expected one gives one of ten
// fixed texts. A verdict label's text is the only record of a verdict (labels
// are coloured and counted by it), so these texts are exact and callers get
// pointers to them.
#pragma once

#include "answers/answer_normalisation.h"

namespace vidod {

inline constexpr char kVerdictEmpty[] = "?";
inline constexpr char kVerdictRight[] = "BRAVO";
inline constexpr char kVerdictAnagram[] = "Anagramme";
inline constexpr char kVerdictOneEdit[] = "Quasiment";
inline constexpr char kVerdictTwoEdits[] = "Presque";
inline constexpr char kVerdictTooShort[] = "Trop court";
inline constexpr char kVerdictNotFar[] = "pas loin";
inline constexpr char kVerdictTooLong[] = "Trop long";
inline constexpr char kVerdictSomeIdea[] = "y a de l'id\xE9" "e";
inline constexpr char kVerdictWrong[] = "FAUX";

// The full ladder. Both texts already normalised: trimmed, then raised.
const char* JudgeAnswer(const char* expected, const char* typed);

// The list view's rule on normalised texts: an expected answer of
// kShortAnswerLength characters or fewer gets no hints ("?", "BRAVO" or
// "FAUX"), a longer one the full ladder.
constexpr int kShortAnswerLength = 3;
const char* JudgeListViewAnswer(const char* expected, const char* typed);

enum class AnswerView { kSingleQuestion, kList };

// Judges raw texts as the given view does, both made ready by
// NormaliseAnswer under rules. nullptr counts as empty. (A box that accepts
// several answers is judged by JudgeAcceptedAnswers, accepted_answers.h.)
const char* JudgeRawAnswer(const char* rawExpected, const char* rawTyped, AnswerView view,
                           const AnswerRules& rules = AnswerRules{});

// True when the two raw texts, normalised as above, are equal.
bool HoldsExpectedAnswer(const char* rawExpected, const char* rawTyped, const AnswerRules& rules = AnswerRules{});

}  // namespace vidod
