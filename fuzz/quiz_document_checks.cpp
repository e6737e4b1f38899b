#include "fuzz/quiz_document_checks.h"

#include <cstring>

#include "fuzz/fuzz_support.h"

namespace vidod {
namespace fuzz {

namespace {

bool Terminated(const char* text, std::size_t size) {
  return std::memchr(text, '\0', size) != nullptr;
}

}  // namespace

int CountQuestions(const QuizDocument& document) {
  int count = 0;
  for (const QuestionEntry* entry = document.firstEntry; entry; entry = entry->next) ++count;
  return count;
}

void CheckDocumentTexts(const QuizDocument& document) {
  Check(Terminated(document.title, kTextSize), "title terminated");
  Check(Terminated(document.author, kTextSize), "author terminated");
  Check(Terminated(document.explanation, kTextSize), "explanation terminated");
  Check(Terminated(document.answerLabels[0], kTextSize), "first answer label terminated");
  Check(Terminated(document.answerLabels[1], kTextSize), "second answer label terminated");
  Check(Terminated(document.statusText, kStatusTextSize), "status text terminated");
  for (const auto& code : document.rewardCodes)
    Check(Terminated(code, kTextSize), "reward code terminated");
  for (const QuestionEntry* entry = document.firstEntry; entry; entry = entry->next) {
    Check(Terminated(entry->expectedAnswer1, kTextSize), "expected answer 1 terminated");
    Check(Terminated(entry->expectedAnswer2, kTextSize), "expected answer 2 terminated");
    Check(Terminated(entry->revealText, kTextSize), "reveal text terminated");
  }
}

void CheckLoadedCounts(const QuizDocument& document) {
  Check(document.answersPerQuestion == 1 || document.answersPerQuestion == 2, "A is 1 or 2");
  Check(document.questionCount >= 0 && document.questionCount <= kMaxQuestions, "N within 0 to 96");
  Check(document.questionCount * document.answersPerQuestion <= kAnswerSlotCount,
        "N x A within the answer store");
  Check(CountQuestions(document) == document.questionCount, "one entry per question");
}

}  // namespace fuzz
}  // namespace vidod
