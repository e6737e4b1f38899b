// The one way an answer, typed or expected, is made ready for comparison.
// Every judgement of the player, of vidod-make and of the Atelier goes
// through it, so that they never disagree on what counts as the same answer.
#pragma once

#include <cstdint>

namespace vidod {

// What a comparison forgives beyond the fixed rules below; a quiz chooses
// them, each is off unless it does.
struct AnswerRules {
  bool ignoreAccents = false;        // é = e, ç = c
  bool punctuationAsBlanks = false;  // "notre dame" = "Notre-Dame"
  bool ignoreArticles = false;       // "Panthéon" = "le Panthéon"
};

// The rules of a quiz's tolerance bits (kTolerate... of
// quiz/accepted_answers_blob.h).
AnswerRules AnswerRulesFromTolerances(uint8_t tolerances);

// Copies raw (nullptr counts as empty), cut to kMaxTextLength characters,
// into normalised (a kTextSize buffer) ready for comparison: the typographic
// apostrophes (single quotes) become ', the typographic double quotes ", and
// no-break spaces blanks, as phones, word processors and pasted texts write
// them where a keyboard writes the plain forms; the ligatures oe and ae
// become their two letters, which a French keyboard has no key for (the
// result is cut to kMaxTextLength characters again); then the blanks at both
// ends are removed and the letters raised (accents kept). Then, as the rules
// ask: accents are dropped, punctuation becomes blanks (runs of blanks one,
// none at the ends), and a leading article goes when something follows it.
void NormaliseAnswer(const char* raw, char* normalised, const AnswerRules& rules = AnswerRules{});

// The letter without its accent (an upper- or lower-case letter of code page
// 1252), or 0 when byte is no accented letter with a plain form: ligatures,
// eth, thorn and sharp s are letters of their own.
char UnaccentedLetter(unsigned char byte);

}  // namespace vidod
