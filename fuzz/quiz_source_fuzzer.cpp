// The quiz source reader on any text, with the TOML parser's own assertions
// in force: nothing the pre-scan lets through crashes the parser or trips
// one of them. A text that is no TOML gives one issue and an empty quiz;
// any quiz read from a text is written back into a source that reads into
// the same quiz.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace {

using fuzz::Check;

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  if (!ReadQuizSource(text, "quiz.toml", &quiz, &issues)) {
    Check(issues.size() == 1 && !issues[0].message.empty() && issues[0].line >= 1, "one issue, with its line");
    Check(quiz.questions.empty() && quiz.title.empty(), "no quiz from a text that is no TOML");
    return 0;
  }
  std::string written, error;
  Check(WriteCheckedQuizSource(quiz, {"relu"}, &written, &error), "the quiz read is written back into the same quiz");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
