#include "maker/answer_batch.h"

namespace vidod {
namespace {

constexpr char kFieldSeparator = '\t';

struct BatchLine {
  std::string_view text;  // without its ending
  bool crlf = false;
};

std::vector<BatchLine> SplitLines(std::string_view input) {
  std::vector<BatchLine> lines;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t end = input.find('\n', start);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = input.size();
    BatchLine line;
    line.text = input.substr(start, end - start);
    if (ended && !line.text.empty() && line.text.back() == '\r') {
      line.text.remove_suffix(1);
      line.crlf = true;
    }
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

bool JudgeAnswerLines(std::string_view input, AnswerView view, std::string* verdicts,
                      std::vector<BatchLineProblem>* problems, const AnswerRules& rules) {
  verdicts->clear();
  const std::vector<BatchLine> lines = SplitLines(input);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].text.find(kFieldSeparator) == std::string_view::npos)
      problems->push_back({i + 1, "pas de tabulation entre la réponse attendue et la réponse tapée"});
    else if (lines[i].text.find('\0') != std::string_view::npos)
      // The player's texts end at their first zero byte; such a line would be
      // judged on a part of itself.
      problems->push_back({i + 1, "la ligne contient un octet nul"});
  }
  if (!problems->empty()) return false;

  for (const BatchLine& line : lines) {
    const std::size_t tab = line.text.find(kFieldSeparator);
    const std::string expected(line.text.substr(0, tab));
    const std::string typed(line.text.substr(tab + 1));
    *verdicts += JudgeRawAnswer(expected.c_str(), typed.c_str(), view, rules);
    *verdicts += line.crlf ? "\r\n" : "\n";
  }
  return true;
}

}  // namespace vidod
