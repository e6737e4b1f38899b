#include "quiz/quiz_document.h"

#include <cstring>
#include <new>

namespace vidod {

namespace {

constexpr uint8_t kDefaultRed = 90;
constexpr uint8_t kDefaultGreen = 95;
constexpr uint8_t kDefaultBlue = 150;
constexpr int kDarkComponentLimit = 69;

}  // namespace

void SetDocumentDefaults(QuizDocument* document) {
  document->pictureFlag = 0;
  CopyText(document->title, "nom du quizz");
  CopyText(document->author, " createur");
  document->questionCount = 2;
  document->answersPerQuestion = 1;
  document->quizType = 0;
  document->completionFlag = 0;
  document->backgroundRed = kDefaultRed;
  document->backgroundGreen = kDefaultGreen;
  document->backgroundBlue = kDefaultBlue;
}

QuizDocument* CreateQuizDocument() {
  QuizDocument* document = new (std::nothrow) QuizDocument;
  if (!document) return nullptr;
  // Texts that nothing fills yet (explanation, labels, codes, slots) read empty.
  std::memset(document, 0, sizeof *document);
  SetDocumentDefaults(document);
  return document;
}

void DestroyQuizDocument(QuizDocument* document) {
  if (!document) return;
  ReleaseQuestions(document);
  delete document;
}

bool AppendQuestion(QuizDocument* document, const char* expected1, const char* expected2) {
  QuestionEntry* entry = new (std::nothrow) QuestionEntry;
  if (!entry) return false;
  CopyText(entry->expectedAnswer1, expected1);
  CopyText(entry->expectedAnswer2, expected2);
  entry->revealText[0] = '\0';
  entry->solved = 0;
  entry->next = nullptr;
  if (document->lastEntry) document->lastEntry->next = entry;
  if (!document->firstEntry) document->firstEntry = entry;
  document->lastEntry = entry;
  return true;
}

QuestionEntry* QuestionAt(const QuizDocument* document, int index) {
  QuestionEntry* entry = document->firstEntry;
  if (!entry) return nullptr;
  for (int step = 0; step < index && entry->next; ++step) entry = entry->next;
  return entry;
}

void ReleaseQuestions(QuizDocument* document) {
  QuestionEntry* entry = document->firstEntry;
  while (entry) {
    QuestionEntry* next = entry->next;
    delete entry;
    entry = next;
  }
  document->firstEntry = nullptr;
  document->lastEntry = nullptr;
}

bool BackgroundWantsBlackText(const QuizDocument* document) {
  return document->backgroundRed > kDarkComponentLimit ||
         document->backgroundGreen > kDarkComponentLimit;
}

}  // namespace vidod
