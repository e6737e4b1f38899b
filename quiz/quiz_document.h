// The one in-memory record of the quiz and of the player's progress in it.
// Texts are code page 1252, zero-terminated, in fixed buffers. The brushes,
// fonts and window handles that go with it belong to the Windows side
// (app/player_state.h).
#pragma once

#include <cstdint>

#include "common/text_buffer.h"

namespace vidod {

constexpr int kMaxQuestions = 96;    // size of the reward code list
constexpr int kAnswerSlotCount = 96; // N x A at most
constexpr int kStatusTextSize = 263;
// Other answers a box accepts besides its expected answer (resource 106):
// at most kMaxAnswersPerBox answers per box in all, and at most
// kMaxOtherAnswerBytes characters for the other answers of the whole quiz.
constexpr int kMaxAnswersPerBox = 10;
constexpr int kMaxOtherAnswersPerBox = kMaxAnswersPerBox - 1;
constexpr int kMaxOtherAnswerBytes = 20000;
// Each other answer ends with a zero byte, each box's list with an empty text.
constexpr int kOtherAnswerStoreSize = kMaxOtherAnswerBytes + kAnswerSlotCount * (kMaxOtherAnswersPerBox + 1);

struct QuestionEntry {
  char expectedAnswer1[kTextSize];
  char expectedAnswer2[kTextSize];
  char revealText[kTextSize];
  int32_t solved;        // 1 = solved, 0 = not
  QuestionEntry* next;
  // The other answers of box 1 and box 2 in the document's store: texts ended
  // by a zero byte one after the other, the list by an empty text. nullptr:
  // the box accepts its expected answer only.
  const char* otherAnswers[2];
};

struct QuizDocument {
  int32_t pictureFlag;   // 1: the list view shows pictures
  char title[kTextSize];
  char author[kTextSize];
  char explanation[kTextSize];
  char answerLabels[2][kTextSize];
  int32_t questionCount;       // N, 0 to 255 as stored
  int32_t answersPerQuestion;  // A, 1 or 2
  char rewardCodes[kMaxQuestions][kTextSize];  // code k (from 1) at index k - 1
  int32_t quizType;
  int32_t completionFlag;
  // Stored in the order red, blue, green; the colour is RGB(red, green, blue).
  uint8_t backgroundRed;
  uint8_t backgroundBlue;
  uint8_t backgroundGreen;
  char statusText[kStatusTextSize];
  QuestionEntry* firstEntry;
  QuestionEntry* lastEntry;
  char answerSlots[kAnswerSlotCount][kTextSize];
  char homeLink[kTextSize];  // the header bar's web address; empty: no link
  uint8_t tolerances;  // what every comparison forgives (kTolerate... bits of accepted_answers_blob.h)
  char otherAnswerStore[kOtherAnswerStoreSize];
};

// Allocates a document with the creation defaults and an empty question list.
// Returns nullptr when memory is exhausted.
QuizDocument* CreateQuizDocument();
// Releases every entry and the document itself. Accepts nullptr.
void DestroyQuizDocument(QuizDocument* document);

// Gives a document the creation defaults (entries already listed are kept).
void SetDocumentDefaults(QuizDocument* document);

// Links a new entry at the end of the list. Returns false (and leaves the list
// as it was) when the entry cannot be allocated.
bool AppendQuestion(QuizDocument* document, const char* expected1, const char* expected2);
// The entry at index (from 0), clamped to the last entry; nullptr on an empty list.
QuestionEntry* QuestionAt(const QuizDocument* document, int index);
// Releases every entry, first to last, and empties the list.
void ReleaseQuestions(QuizDocument* document);

// Text colour the views put on the background: black or white, whichever
// contrasts more with it (white only when it contrasts strictly more).
bool BackgroundWantsBlackText(const QuizDocument* document);

}  // namespace vidod
