// Judging many answers at once: lines "expected<TAB>typed" of raw code page
// 1252 bytes in, one verdict per line out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "answers/verdict.h"

namespace vidod {

struct BatchLineProblem {
  std::size_t line;     // from 1
  std::string message;  // French, UTF-8
};

// The expected answer runs up to the first tab, the typed answer is the rest
// of the line (further tabs included). A line ending in CR LF gets its verdict
// ended by CR LF, every other line by LF; a last line without an ending still
// gets one. Nothing is judged when a line has no tab: *problems lists every
// such line and the result is false, with *verdicts empty.
// rules are the tolerances the quiz would have.
bool JudgeAnswerLines(std::string_view input, AnswerView view, std::string* verdicts,
                      std::vector<BatchLineProblem>* problems, const AnswerRules& rules = AnswerRules{});

}  // namespace vidod
