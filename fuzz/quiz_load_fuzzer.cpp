// The whole quiz load from the two compressed resources (the input split into
// the answers and the codes resource): each outcome leaves the document in
// its stated shape, no decoder output is kept, and a load that meets an
// allocation failure is refused or goes without codes, never reported loaded.
// The codes resource also stands for the link's: what is kept of it is a web
// address or nothing.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/heap.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/quiz_document_checks.h"
#include "quiz/answers_blob.h"
#include "quiz/home_link.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr int kDefaultQuizQuestions = 7;

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using Document = std::unique_ptr<QuizDocument, DocumentDeleter>;

QuizLoadOutcome Load(const fuzz::SplitInput& resources, QuizDocument* document) {
  return LoadQuizFromResources(
      document, resources.first.data(), static_cast<uint32_t>(resources.first.size()),
      resources.second.data(), static_cast<uint32_t>(resources.second.size()));
}

void CheckOutcome(QuizLoadOutcome outcome, const QuizDocument& document) {
  fuzz::CheckDocumentTexts(document);
  Check(std::string(document.statusText) == kStatusText, "status text set");
  switch (outcome) {
    case QuizLoadOutcome::kDefaultQuiz:
      Check(document.questionCount == kDefaultQuizQuestions, "default quiz has seven questions");
      Check(fuzz::CountQuestions(document) == kDefaultQuizQuestions, "and one entry each");
      break;
    case QuizLoadOutcome::kAnswersRefused:
      Check(document.questionCount == 0, "a refused quiz has no questions");
      Check(fuzz::CountQuestions(document) == 0, "and no entries");
      break;
    case QuizLoadOutcome::kLoadedWithoutCodes:
      fuzz::CheckLoadedCounts(document);
      for (const auto& code : document.rewardCodes) Check(code[0] == '\0', "no codes were set");
      break;
    case QuizLoadOutcome::kLoaded:
      fuzz::CheckLoadedCounts(document);
      break;
  }
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const fuzz::SplitInput resources = fuzz::SplitAtLengthPrefix(data, size);
  const long live = LiveAllocationCount();
  const long attemptsBefore = AllocationAttemptCount();

  Document document(CreateQuizDocument());
  Check(document != nullptr, "document created");
  const QuizLoadOutcome outcome = Load(resources, document.get());
  Check((outcome == QuizLoadOutcome::kDefaultQuiz) == resources.first.empty(),
        "the default quiz exactly when the answers resource is missing");
  CheckOutcome(outcome, *document);
  const long attempts = AllocationAttemptCount() - attemptsBefore;
  const bool linked =
      LoadHomeLink(document.get(), resources.second.data(), static_cast<uint32_t>(resources.second.size()));
  const std::string link = document->homeLink;
  Check(linked ? link.empty() == resources.second.empty() : link.empty(), "a refused link leaves none");
  Check(link.empty() || IsWebAddress(link), "only a web address is kept");
  fuzz::CheckNoLeak(live, "a quiz load");

  if (attempts == 0) return 0;
  Document failing(CreateQuizDocument());
  Check(failing != nullptr, "document created");
  SetAllocationFailureAfter(static_cast<long>(fuzz::InputHash(data, size) % attempts));
  const QuizLoadOutcome failed = Load(resources, failing.get());
  SetAllocationFailureAfter(fuzz::kNoAllocationFailure);
  Check(
      failed == QuizLoadOutcome::kAnswersRefused || failed == QuizLoadOutcome::kLoadedWithoutCodes,
      "a load short of memory is refused or goes without codes");
  CheckOutcome(failed, *failing);
  fuzz::CheckNoLeak(live, "a quiz load whose allocation failed");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
