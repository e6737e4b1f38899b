#include "quiz/accepted_answers_blob.h"

#include <cstring>

#include "lzw/lzw.h"
#include "quiz/answers_blob.h"

namespace vidod {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kFormatByte = 0;
constexpr std::size_t kTolerancesByte = 1;
constexpr std::size_t kCountByte = 2;
constexpr std::size_t kAnswersPerQuestionByte = 3;

// Like the answers blob, walked once to check and once to fill, so that a
// refused blob changes nothing.
struct AcceptedWalk {
  const uint8_t* data;
  std::size_t size;
  std::size_t position;
  std::size_t storeUsed;
  int otherBytes;
  AcceptedBlobReading reading;
};

bool Refuse(AcceptedWalk* walk, AcceptedBlobFault fault, int question) {
  walk->reading.fault = fault;
  walk->reading.question = question;
  return false;
}

// One box's list: its count, then its texts, copied into the document's
// store when a document is given (*list then points at the copy).
bool WalkBox(AcceptedWalk* walk, int question, QuizDocument* document, const char** list) {
  if (walk->position >= walk->size) return Refuse(walk, AcceptedBlobFault::kCutShort, question);
  const int count = walk->data[walk->position++];
  if (count > kMaxOtherAnswersPerBox) return Refuse(walk, AcceptedBlobFault::kTooManyAnswers, question);
  if (count == 0) return true;
  char* store = document ? document->otherAnswerStore : nullptr;
  if (list) *list = store + walk->storeUsed;
  for (int answer = 0; answer < count; ++answer) {
    const uint8_t* start = walk->data + walk->position;
    const void* delimiter = std::memchr(start, kTextDelimiter, walk->size - walk->position);
    if (!delimiter) return Refuse(walk, AcceptedBlobFault::kCutShort, question);
    const std::size_t length = static_cast<const uint8_t*>(delimiter) - start;
    if (length == 0) return Refuse(walk, AcceptedBlobFault::kEmptyAnswer, question);
    if (std::memchr(start, '\0', length)) return Refuse(walk, AcceptedBlobFault::kZeroByte, question);
    if (length > static_cast<std::size_t>(kMaxTextLength))
      return Refuse(walk, AcceptedBlobFault::kLongAnswer, question);
    walk->otherBytes += static_cast<int>(length);
    if (walk->otherBytes > kMaxOtherAnswerBytes) return Refuse(walk, AcceptedBlobFault::kTooLong, question);
    // The limits above keep every copy inside the store: at most
    // kMaxOtherAnswerBytes characters, one end per text and per box.
    if (store) {
      std::memcpy(store + walk->storeUsed, start, length);
      store[walk->storeUsed + length] = '\0';
    }
    walk->storeUsed += length + 1;
    walk->position += length + 1;
  }
  if (store) store[walk->storeUsed] = '\0';  // the empty text that ends the list
  walk->storeUsed += 1;
  return true;
}

bool WalkAcceptedBlob(AcceptedWalk* walk, QuizDocument* document, int count, int perQuestion) {
  if (walk->size < kHeaderSize) return Refuse(walk, AcceptedBlobFault::kCutShort, 0);
  const uint8_t* header = walk->data;
  if (header[kFormatByte] != kAcceptedBlobFormat) return Refuse(walk, AcceptedBlobFault::kUnknownFormat, 0);
  if (header[kTolerancesByte] & ~kKnownTolerances)
    return Refuse(walk, AcceptedBlobFault::kUnknownTolerance, 0);
  if (header[kCountByte] != count || header[kAnswersPerQuestionByte] != perQuestion ||
      count * perQuestion > kAnswerSlotCount)
    return Refuse(walk, AcceptedBlobFault::kOtherQuiz, 0);
  walk->position = kHeaderSize;
  for (int question = 0; question < count; ++question) {
    // Entries shared by several questions (a list shorter than N) cannot
    // happen in a loaded quiz; the lookup stays safe all the same.
    QuestionEntry* entry = document ? QuestionAt(document, question) : nullptr;
    for (int box = 0; box < perQuestion; ++box) {
      const char* list = nullptr;
      if (!WalkBox(walk, question + 1, document, entry ? &list : nullptr)) return false;
      if (entry) entry->otherAnswers[box] = list;
    }
  }
  if (walk->position != walk->size) return Refuse(walk, AcceptedBlobFault::kTrailingBytes, 0);
  if (document) document->tolerances = header[kTolerancesByte];
  return true;
}

}  // namespace

AcceptedBlobReading ParseAcceptedAnswersBlob(const uint8_t* data, std::size_t size, QuizDocument* document) {
  const int count = document->questionCount;
  const int perQuestion = document->answersPerQuestion;
  AcceptedWalk check = {data, size, 0, 0, 0, {}};
  if (!WalkAcceptedBlob(&check, nullptr, count, perQuestion)) return check.reading;
  AcceptedWalk fill = {data, size, 0, 0, 0, {}};
  WalkAcceptedBlob(&fill, document, count, perQuestion);
  return fill.reading;
}

AcceptedAnswersOutcome LoadAcceptedAnswers(QuizDocument* document, const uint8_t* packed, uint32_t size) {
  if (!packed || size == 0) return AcceptedAnswersOutcome::kAbsent;
  uint8_t* decoded = nullptr;
  std::size_t length = 0;
  const int32_t result = DecodeResource(packed, size, &decoded, &length);
  const bool read = result == kLzwOk &&
                    ParseAcceptedAnswersBlob(decoded, length, document).fault == AcceptedBlobFault::kNone;
  LzwReleaseOutput(decoded);
  return read ? AcceptedAnswersOutcome::kLoaded : AcceptedAnswersOutcome::kRefused;
}

}  // namespace vidod
