#include "quiz/quiz_document.h"

#include <cmath>
#include <cstring>
#include <new>

namespace vidod {

namespace {

constexpr uint8_t kDefaultRed = 90;
constexpr uint8_t kDefaultGreen = 95;
constexpr uint8_t kDefaultBlue = 150;
// Relative luminance of sRGB colours and the contrast ratio of two of them,
// (lighter + 0.05) / (darker + 0.05), as accessibility guidelines define them.
constexpr double kChannelMax = 255.0;
constexpr double kLinearLimit = 0.04045;
constexpr double kLinearSlope = 12.92;
constexpr double kGammaOffset = 0.055;
constexpr double kGamma = 2.4;
constexpr double kRedWeight = 0.2126;
constexpr double kGreenWeight = 0.7152;
constexpr double kBlueWeight = 0.0722;
constexpr double kFlare = 0.05;
constexpr double kBlackLuminance = 0.0;
constexpr double kWhiteLuminance = 1.0;

double LinearChannel(uint8_t value) {
  const double c = value / kChannelMax;
  return c <= kLinearLimit ? c / kLinearSlope : std::pow((c + kGammaOffset) / (1 + kGammaOffset), kGamma);
}

double RelativeLuminance(uint8_t red, uint8_t green, uint8_t blue) {
  return kRedWeight * LinearChannel(red) + kGreenWeight * LinearChannel(green) +
         kBlueWeight * LinearChannel(blue);
}

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
  entry->otherAnswers[0] = nullptr;
  entry->otherAnswers[1] = nullptr;
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
  const double background = RelativeLuminance(document->backgroundRed, document->backgroundGreen,
                                              document->backgroundBlue);
  const double withBlack = (background + kFlare) / (kBlackLuminance + kFlare);
  const double withWhite = (kWhiteLuminance + kFlare) / (background + kFlare);
  return withBlack >= withWhite;
}

}  // namespace vidod
