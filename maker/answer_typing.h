// Expected answers as a keyboard writes them. A text pasted from a word
// processor brings characters that no key produces (a no-break space, a
// typographic apostrophe, a soft hyphen...): the player compares bytes, so
// such an answer can never be found.
#pragma once

#include <string>
#include <vector>

namespace vidod {

struct AnswerTyping {
  // Each kind of problem once, in order of appearance, French and UTF-8:
  // "« ’ » (apostrophe typographique) : écrivez « ' »".
  std::vector<std::string> problems;
  // The answer as a keyboard writes it, in code page 1252: every such
  // character replaced, blanks at the ends removed, doubled blanks single.
  std::string typable;
};

// The cp1252 answer examined; no problems when it can be typed as it is.
AnswerTyping ExamineAnswerTyping(const std::string& cp1252);

}  // namespace vidod
