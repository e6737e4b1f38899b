// check --corriger on any text: a text that reads is never refused (its
// corrected text always reads back as the same quiz but for the answers
// corrected), and a second pass over the corrected text changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace {

using fuzz::Check;

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string corrected, error;
  std::vector<std::string> changes;
  const SourceCorrection first = CorrectAnswersInSource(text, &corrected, &changes, &error);
  Check(first != SourceCorrection::kRefused, "a source that reads is corrected as it reads");
  if (first == SourceCorrection::kNotToml) return 0;
  if (changes.empty()) {
    Check(corrected == text, "nothing to correct leaves the text as it is");
    return 0;
  }
  std::string again;
  std::vector<std::string> more;
  Check(CorrectAnswersInSource(corrected, &again, &more, &error) == SourceCorrection::kDone && more.empty() &&
            again == corrected,
        "a second pass changes nothing");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
