// The blob parsers on raw bytes (the input split into an answers blob and a
// second blob, read both as a codes blob and as an accepted-answers blob): a
// refused answers blob leaves the document exactly as it was; an accepted one
// gives counts within the answer store and a question list of N entries;
// every text stays terminated inside its buffer. A refused accepted-answers
// blob leaves no other answer and no tolerance; an accepted one gives each
// box at most nine non-empty answers inside the document's store.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_support.h"
#include "fuzz/quiz_document_checks.h"
#include "quiz/accepted_answers_blob.h"
#include "quiz/answers_blob.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

using fuzz::Check;

// The stored question count reaches 255; the codes parser must stop at the
// 96 codes the document holds even when it is handed such a count.
constexpr int32_t kLargestStoredCount = 255;

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using Document = std::unique_ptr<QuizDocument, DocumentDeleter>;

void CheckAcceptedAnswers(QuizDocument& document, const uint8_t* data, std::size_t size) {
  const bool read = ParseAcceptedAnswersBlob(data, size, &document).fault == AcceptedBlobFault::kNone;
  const char* store = document.otherAnswerStore;
  for (int question = 0; question < document.questionCount; ++question) {
    const QuestionEntry* entry = QuestionAt(&document, question);
    for (const char* list : entry->otherAnswers) {
      Check(read || list == nullptr, "a refused blob gives no other answer");
      if (!list) continue;
      Check(list >= store && list < store + kOtherAnswerStoreSize, "a list starts in the store");
      int count = 0;
      for (const char* text = list; *text; text += std::strlen(text) + 1) {
        ++count;
        Check(std::memchr(text, '\0', store + kOtherAnswerStoreSize - text) != nullptr, "an answer ends in the store");
        Check(std::strlen(text) <= static_cast<std::size_t>(kMaxTextLength), "an answer fits a box");
      }
      Check(count >= 1 && count <= kMaxOtherAnswersPerBox, "a list holds one to nine answers");
    }
  }
  Check(read || document.tolerances == 0, "a refused blob gives no tolerance");
  Check((document.tolerances & ~kKnownTolerances) == 0, "only known tolerances");
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const fuzz::SplitInput blobs = fuzz::SplitAtLengthPrefix(data, size);
  Document document(CreateQuizDocument());
  Check(document != nullptr, "document created");

  // The record holds no pointers until questions are appended, so a byte copy
  // tells whether a refusal touched anything.
  auto before = std::make_unique<QuizDocument>();
  std::memcpy(before.get(), document.get(), sizeof(QuizDocument));
  const bool accepted = ParseAnswersBlob(blobs.first.data(), blobs.first.size(), document.get());
  if (accepted) {
    fuzz::CheckLoadedCounts(*document);
    CheckAcceptedAnswers(*document, blobs.second.data(), blobs.second.size());
  } else {
    Check(std::memcmp(before.get(), document.get(), sizeof(QuizDocument)) == 0,
          "a refused blob leaves the document as it was");
    document->questionCount = kLargestStoredCount;
  }

  ParseCodesBlob(blobs.second.data(), blobs.second.size(), document.get());
  fuzz::CheckDocumentTexts(*document);
  for (int code = 0; code < kMaxQuestions; ++code) {
    const char* text = document->rewardCodes[code];
    Check(std::strchr(text, '\r') == nullptr, "a code ends at its carriage return");
    if (code >= document->questionCount) Check(text[0] == '\0', "no code past the N-th");
  }
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
