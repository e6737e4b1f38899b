// The one way an answer, typed or expected, is made ready for comparison.
// Every judgement of the player, of vidod-make and of the Atelier goes
// through it, so that they never disagree on what counts as the same answer.
#pragma once

namespace vidod {

// What a comparison forgives beyond the fixed rules below. A quiz may one day
// choose among such rules; for now there are none to choose, and the default
// value stands for the fixed rules alone.
struct AnswerRules {};

// Copies raw (nullptr counts as empty), cut to kMaxTextLength characters,
// into normalised (a kTextSize buffer) ready for comparison: the typographic
// apostrophes (single quotes) become ', the typographic double quotes ", and
// no-break spaces blanks, as phones, word processors and pasted texts write
// them where a keyboard writes the plain forms; then the blanks at both ends
// are removed and the letters raised (accents kept).
void NormaliseAnswer(const char* raw, char* normalised, const AnswerRules& rules = AnswerRules{});

}  // namespace vidod
