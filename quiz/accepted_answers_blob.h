// The accepted-answers blob (resource 106, compressed like 104 and 105): the
// other answers each box accepts besides its expected answer, and what the
// comparisons of the quiz forgive. A quiz that uses neither has no such
// resource. Decoded, the blob is:
//   byte 0   format, kAcceptedBlobFormat
//   byte 1   tolerances, kTolerate... bits
//   byte 2   question count N, byte 3 answers per question A (as in 104)
//   then for each question in order, for each of its A boxes: one byte, the
//   number of other answers (0 to kMaxOtherAnswersPerBox), then each of them
//   as a text ended by '|'; nothing after the last box.
#pragma once

#include <cstddef>
#include <cstdint>

#include "quiz/quiz_document.h"

namespace vidod {

constexpr uint8_t kAcceptedBlobFormat = 1;

constexpr uint8_t kTolerateAccents = 1;      // é = e, ç = c
constexpr uint8_t kToleratePunctuation = 2;  // punctuation counts as blanks
constexpr uint8_t kTolerateArticles = 4;     // a leading French article is ignored
constexpr uint8_t kKnownTolerances = kTolerateAccents | kToleratePunctuation | kTolerateArticles;

// Why a blob was refused, for the authoring side's messages.
enum class AcceptedBlobFault {
  kNone,
  kCutShort,         // ends inside its header, a count or before a '|'
  kUnknownFormat,    // byte 0
  kUnknownTolerance, // a bit of byte 1 outside kKnownTolerances
  kOtherQuiz,        // N or A differ from the answers blob's
  kTooManyAnswers,   // a box with more than kMaxOtherAnswersPerBox others
  kEmptyAnswer,      // an empty other answer, which nothing typed could match
  kZeroByte,         // a zero byte in an other answer, which would end it, or its list, early
  kLongAnswer,       // an other answer past kMaxTextLength characters
  kTooLong,          // the other answers together past kMaxOtherAnswerBytes
  kTrailingBytes,    // bytes after the last box
};
struct AcceptedBlobReading {
  AcceptedBlobFault fault = AcceptedBlobFault::kNone;
  int question = 0;  // the question the fault is in, from 1; 0 outside the questions
};

// Reads a decoded blob into a document already filled from its answers
// blob: the tolerances and each entry's other answers, copied into the
// document's store. A refused blob leaves the document exactly as it was.
AcceptedBlobReading ParseAcceptedAnswersBlob(const uint8_t* data, std::size_t size, QuizDocument* document);

enum class AcceptedAnswersOutcome {
  kAbsent,   // no resource: every box accepts its expected answer only
  kLoaded,
  kRefused,  // undecodable or refused: the quiz plays as if it had none
};
// The compressed resource (nullptr or size 0 when missing) into the document.
AcceptedAnswersOutcome LoadAcceptedAnswers(QuizDocument* document, const uint8_t* packed, uint32_t size);

}  // namespace vidod
