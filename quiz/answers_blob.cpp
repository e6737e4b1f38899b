#include "quiz/answers_blob.h"

#include <cstring>

#include "lzw/lzw.h"

namespace vidod {

namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kPictureByte = 1;
constexpr std::size_t kCountByte = 2;
constexpr std::size_t kAnswersPerQuestionByte = 3;
constexpr int kRevealPairsType = 3;
constexpr int kRevealTextType = 2;
constexpr int kRevealAllType = 4;
constexpr std::size_t kLzwLengthExtra = 2;  // the decoder reports decoded + 2
constexpr int kDefaultQuizQuestions = 7;

// The parser runs twice over a blob: once to check it, once to fill the
// document, so a refused blob leaves the document untouched.
struct BlobReader {
  const uint8_t* data;
  std::size_t size;
  std::size_t position;
  bool failed;
};

bool ReadByte(BlobReader* reader, uint8_t* value) {
  if (reader->position >= reader->size) {
    reader->failed = true;
    return false;
  }
  *value = reader->data[reader->position++];
  return true;
}

// Copies the text up to the next delimiter into destination (when given) and
// steps past the delimiter.
bool ReadText(BlobReader* reader, char* destination) {
  const uint8_t* start = reader->data + reader->position;
  const std::size_t left = reader->size - reader->position;
  const void* delimiter = std::memchr(start, kTextDelimiter, left);
  if (!delimiter) {
    reader->failed = true;
    return false;
  }
  const std::size_t length = static_cast<const uint8_t*>(delimiter) - start;
  if (destination) CopyTextBytes(destination, reinterpret_cast<const char*>(start), length);
  reader->position += length + 1;
  return true;
}

bool WalkAnswersBlob(BlobReader* reader, QuizDocument* document) {
  if (reader->size < kHeaderSize) return false;
  const uint8_t* header = reader->data;
  const int count = header[kCountByte];
  const int perQuestion = header[kAnswersPerQuestionByte];
  if (perQuestion != 1 && perQuestion != 2) return false;
  if (count > kMaxQuestions || count * perQuestion > kAnswerSlotCount) return false;
  reader->position = kHeaderSize;

  const bool fill = document != nullptr;
  if (fill) {
    document->pictureFlag = static_cast<int32_t>(header[kPictureByte]) - 1;
    document->questionCount = count;
    document->answersPerQuestion = perQuestion;
  }
  char* headerTexts[5] = {nullptr, nullptr, nullptr, nullptr, nullptr};
  if (fill) {
    headerTexts[0] = document->title;
    headerTexts[1] = document->author;
    headerTexts[2] = document->explanation;
    headerTexts[3] = document->answerLabels[0];
    headerTexts[4] = document->answerLabels[1];
  }
  for (char* text : headerTexts)
    if (!ReadText(reader, text)) return false;

  char expected1[kTextSize];
  char expected2[kTextSize];
  for (int question = 0; question < count; ++question) {
    expected2[0] = '\0';
    if (!ReadText(reader, expected1)) return false;
    if (perQuestion == 2 && !ReadText(reader, expected2)) return false;
    if (!ReadText(reader, nullptr)) return false;  // the question's note, unused
    if (fill) AppendQuestion(document, expected1, expected2);
  }

  uint8_t quizType = 0;
  if (!ReadByte(reader, &quizType)) return false;
  if (fill) document->quizType = quizType;
  if (quizType == kRevealPairsType || quizType == kRevealTextType || quizType == kRevealAllType) {
    for (int question = 0; question < count; ++question) {
      QuestionEntry* entry = fill ? QuestionAt(document, question) : nullptr;
      if (!ReadText(reader, entry ? entry->revealText : nullptr)) return false;
      if (quizType == kRevealPairsType && !ReadText(reader, nullptr)) return false;
    }
  }

  uint8_t red = 0, green = 0, blue = 0;
  if (!ReadByte(reader, &red) || !ReadByte(reader, &green) || !ReadByte(reader, &blue))
    return false;
  if (fill) {
    document->backgroundRed = red;
    document->backgroundGreen = green;
    document->backgroundBlue = blue;
  }
  return !reader->failed;
}

}  // namespace

int32_t DecodeResource(const uint8_t* bytes, uint32_t size, uint8_t** decoded, std::size_t* decodedLength) {
  uint32_t reported = 0;
  *decoded = nullptr;
  const int32_t result = LzwDecoder::Decode(bytes, size, decoded, &reported);
  *decodedLength = reported >= kLzwLengthExtra ? reported - kLzwLengthExtra : 0;
  return result;
}

bool ParseAnswersBlob(const uint8_t* data, std::size_t size, QuizDocument* document) {
  BlobReader check = {data, size, 0, false};
  if (!WalkAnswersBlob(&check, nullptr)) return false;
  BlobReader fill = {data, size, 0, false};
  return WalkAnswersBlob(&fill, document);
}

void ParseCodesBlob(const uint8_t* data, std::size_t size, QuizDocument* document) {
  std::size_t position = 0;
  for (int code = 0; code < document->questionCount && code < kMaxQuestions; ++code) {
    if (position >= size) {
      document->rewardCodes[code][0] = '\0';
      continue;
    }
    const uint8_t* start = data + position;
    const void* carriageReturn = std::memchr(start, '\r', size - position);
    const std::size_t length = carriageReturn
                                   ? static_cast<std::size_t>(static_cast<const uint8_t*>(carriageReturn) - start)
                                   : size - position;
    CopyTextBytes(document->rewardCodes[code], reinterpret_cast<const char*>(start), length);
    // The carriage return and the byte after it are skipped, whatever it is.
    position += length + 2;
  }
}

void InstallDefaultQuiz(QuizDocument* document) {
  CopyText(document->title, "Nom du quizz");
  CopyText(document->author, "Createur quizz");
  CopyText(document->explanation, "Explications du quizz");
  CopyText(document->answerLabels[0], "TEST");
  CopyText(document->answerLabels[1], "TEST");
  document->questionCount = kDefaultQuizQuestions;
  document->answersPerQuestion = 1;
  document->quizType = 3;
  document->pictureFlag = 1;
  document->backgroundRed = 53;
  document->backgroundGreen = 203;
  document->backgroundBlue = 163;
  // One entry per question: entries shared by several questions would count
  // one right answer several times in the score.
  for (int question = 0; question < kDefaultQuizQuestions; ++question)
    AppendQuestion(document, "test", "test");
}

QuizLoadOutcome LoadQuizFromResources(QuizDocument* document, const uint8_t* answers,
                                      uint32_t answersSize, const uint8_t* codes,
                                      uint32_t codesSize) {
  CopyText(document->statusText, kStatusText);
  if (!answers || answersSize == 0) {
    InstallDefaultQuiz(document);
    return QuizLoadOutcome::kDefaultQuiz;
  }

  uint8_t* decoded = nullptr;
  std::size_t decodedLength = 0;
  const int32_t answersResult = DecodeResource(answers, answersSize, &decoded, &decodedLength);
  const bool parsed = answersResult == kLzwOk && ParseAnswersBlob(decoded, decodedLength, document);
  LzwReleaseOutput(decoded);
  if (!parsed) {
    document->questionCount = 0;
    return QuizLoadOutcome::kAnswersRefused;
  }

  const int32_t codesResult = DecodeResource(codes, codes ? codesSize : 0, &decoded, &decodedLength);
  if (codesResult != kLzwOk) {
    LzwReleaseOutput(decoded);
    return QuizLoadOutcome::kLoadedWithoutCodes;
  }
  ParseCodesBlob(decoded, decodedLength, document);
  LzwReleaseOutput(decoded);
  return QuizLoadOutcome::kLoaded;
}

}  // namespace vidod
