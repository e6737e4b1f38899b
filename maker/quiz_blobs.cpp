#include "maker/quiz_blobs.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "quiz/accepted_answers_blob.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

constexpr uint8_t kTextDelimiter = '|';
constexpr uint8_t kCarriageReturn = '\r';
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kPictureByte = 1;
constexpr std::size_t kCountByte = 2;
constexpr std::size_t kAnswersPerQuestionByte = 3;

void PutText(std::vector<uint8_t>* blob, const std::string& text) {
  blob->insert(blob->end(), text.begin(), text.end());
  blob->push_back(kTextDelimiter);
}

struct BlobCursor {
  const uint8_t* data;
  std::size_t size;
  std::size_t position;
  std::string* error;
};

std::string Where(const std::string& key, int question) {
  std::string where = "la clé « " + key + " »";
  if (question > 0) where += " de la question " + std::to_string(question);
  return where;
}

bool TakeText(BlobCursor* cursor, const std::string& key, int question, std::string* text) {
  const uint8_t* start = cursor->data + cursor->position;
  const void* delimiter = std::memchr(start, kTextDelimiter, cursor->size - cursor->position);
  if (!delimiter) {
    *cursor->error = "blob des réponses tronqué : pas de « | » à la fin de " + Where(key, question) +
                     " (octet " + std::to_string(cursor->position) + ")";
    return false;
  }
  const std::size_t length = static_cast<const uint8_t*>(delimiter) - start;
  text->assign(reinterpret_cast<const char*>(start), length);
  cursor->position += length + 1;
  return true;
}

bool TakeByte(BlobCursor* cursor, const std::string& key, uint8_t* value) {
  if (cursor->position >= cursor->size) {
    *cursor->error = "blob des réponses tronqué : il manque l'octet de " + Where(key, 0) + " (octet " +
                     std::to_string(cursor->position) + ")";
    return false;
  }
  *value = cursor->data[cursor->position++];
  return true;
}

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};

std::vector<std::string> OthersOf(const char* list) {
  std::vector<std::string> others;
  for (const char* text = list; text && *text; text += std::strlen(text) + 1) others.emplace_back(text);
  return others;
}

std::string DescribeAcceptedFault(const AcceptedBlobReading& reading) {
  const std::string where = reading.question > 0 ? " (question " + std::to_string(reading.question) + ")" : "";
  switch (reading.fault) {
    case AcceptedBlobFault::kCutShort: return "blob tronqué" + where;
    case AcceptedBlobFault::kUnknownFormat: return "format inconnu (octet 0)";
    case AcceptedBlobFault::kUnknownTolerance: return "tolérance inconnue (octet 1)";
    case AcceptedBlobFault::kOtherQuiz:
      return "nombre de questions ou de réponses par question différent de celui du blob des réponses";
    case AcceptedBlobFault::kTooManyAnswers:
      return "plus de " + std::to_string(kMaxOtherAnswersPerBox) + " autres réponses pour une case" + where;
    case AcceptedBlobFault::kEmptyAnswer: return "réponse vide" + where;
    case AcceptedBlobFault::kZeroByte: return "octet nul dans une réponse" + where;
    case AcceptedBlobFault::kLongAnswer:
      return "réponse de plus de " + std::to_string(kMaxTextLength) + " octets" + where;
    case AcceptedBlobFault::kTooLong:
      return "autres réponses de plus de " + std::to_string(kMaxOtherAnswerBytes) + " octets en tout" + where;
    case AcceptedBlobFault::kTrailingBytes: return "octets en trop après la dernière case";
    case AcceptedBlobFault::kNone: break;
  }
  return "blob refusé";
}

}  // namespace

std::vector<uint8_t> WriteAnswersBlob(const QuizSource& quiz) {
  std::vector<uint8_t> blob;
  blob.push_back(quiz.leadByte);
  blob.push_back(quiz.pictureByte);
  blob.push_back(static_cast<uint8_t>(quiz.questions.size()));
  blob.push_back(quiz.answersPerQuestion);
  PutText(&blob, quiz.title);
  PutText(&blob, quiz.author);
  PutText(&blob, quiz.explanation);
  PutText(&blob, quiz.answerLabels[0]);
  PutText(&blob, quiz.answerLabels[1]);
  for (const QuestionSource& question : quiz.questions) {
    PutText(&blob, question.answer);
    if (quiz.answersPerQuestion == 2) PutText(&blob, question.answer2);
    PutText(&blob, question.note);
  }
  blob.push_back(quiz.quizType);
  if (QuizTypeHasReveals(quiz.quizType)) {
    for (const QuestionSource& question : quiz.questions) {
      PutText(&blob, question.reveal);
      if (quiz.quizType == kRevealPairsQuizType) PutText(&blob, question.revealNote);
    }
  }
  blob.push_back(quiz.red);
  blob.push_back(quiz.green);
  blob.push_back(quiz.blue);
  blob.insert(blob.end(), quiz.answersTail.begin(), quiz.answersTail.end());
  return blob;
}

std::vector<uint8_t> WriteCodesBlob(const QuizSource& quiz) {
  std::vector<uint8_t> blob;
  std::size_t lines = std::max(quiz.codes.size(), quiz.questions.size());
  if (lines == 0 && quiz.codesTail.empty()) lines = 1;
  for (std::size_t k = 0; k < lines; ++k) {
    RewardCode code;
    if (k < quiz.codes.size()) code = quiz.codes[k];
    blob.insert(blob.end(), code.text.begin(), code.text.end());
    blob.push_back(kCarriageReturn);
    blob.push_back(code.lineEnd);
  }
  blob.insert(blob.end(), quiz.codesTail.begin(), quiz.codesTail.end());
  return blob;
}

bool ReadAnswersBlob(const uint8_t* data, std::size_t size, QuizSource* quiz, std::string* error) {
  if (size < kHeaderSize) {
    *error = "blob des réponses de " + std::to_string(size) + " octets, trop court pour son en-tête de " +
             std::to_string(kHeaderSize) + " octets";
    return false;
  }
  const std::size_t count = data[kCountByte];
  const uint8_t perQuestion = data[kAnswersPerQuestionByte];
  if (perQuestion != 1 && perQuestion != 2) {
    *error = "blob des réponses : " + std::to_string(perQuestion) +
             " réponses par question (octet 3), le lecteur n'accepte que 1 ou 2";
    return false;
  }
  if (count > kMaxSourceQuestions || count * perQuestion > kMaxSourceAnswerBoxes) {
    *error = "blob des réponses : " + std::to_string(count) + " questions à " + std::to_string(perQuestion) +
             " réponses, le lecteur accepte " + std::to_string(kMaxSourceQuestions) + " questions et " +
             std::to_string(kMaxSourceAnswerBoxes) + " cases de réponse au plus";
    return false;
  }

  QuizSource read;
  read.leadByte = data[0];
  read.pictureByte = data[kPictureByte];
  read.answersPerQuestion = perQuestion;
  BlobCursor cursor = {data, size, kHeaderSize, error};
  if (!TakeText(&cursor, "titre", 0, &read.title) || !TakeText(&cursor, "auteur", 0, &read.author) ||
      !TakeText(&cursor, "explication", 0, &read.explanation) ||
      !TakeText(&cursor, "libelles", 0, &read.answerLabels[0]) ||
      !TakeText(&cursor, "libelles", 0, &read.answerLabels[1]))
    return false;

  read.questions.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    QuestionSource& question = read.questions[i];
    const int number = static_cast<int>(i + 1);
    if (!TakeText(&cursor, "reponse", number, &question.answer)) return false;
    if (perQuestion == 2 && !TakeText(&cursor, "reponse2", number, &question.answer2)) return false;
    if (!TakeText(&cursor, "note", number, &question.note)) return false;
  }
  if (!TakeByte(&cursor, "type", &read.quizType)) return false;
  if (QuizTypeHasReveals(read.quizType)) {
    for (std::size_t i = 0; i < count; ++i) {
      QuestionSource& question = read.questions[i];
      const int number = static_cast<int>(i + 1);
      if (!TakeText(&cursor, "revelation", number, &question.reveal)) return false;
      if (read.quizType == kRevealPairsQuizType &&
          !TakeText(&cursor, "note_revelation", number, &question.revealNote))
        return false;
    }
  }
  if (!TakeByte(&cursor, "couleur", &read.red) || !TakeByte(&cursor, "couleur", &read.green) ||
      !TakeByte(&cursor, "couleur", &read.blue))
    return false;
  read.answersTail.assign(reinterpret_cast<const char*>(data) + cursor.position, size - cursor.position);

  read.codes = std::move(quiz->codes);
  read.codesTail = std::move(quiz->codesTail);
  *quiz = std::move(read);
  return true;
}

std::vector<uint8_t> WriteAcceptedAnswersBlob(const QuizSource& quiz) {
  std::vector<uint8_t> blob;
  if (!HasAcceptedAnswers(quiz)) return blob;
  blob.push_back(kAcceptedBlobFormat);
  blob.push_back(quiz.tolerances);
  blob.push_back(static_cast<uint8_t>(quiz.questions.size()));
  blob.push_back(quiz.answersPerQuestion);
  for (const QuestionSource& question : quiz.questions) {
    for (int box = 0; box < quiz.answersPerQuestion; ++box) {
      const std::vector<std::string>& others = box == 0 ? question.otherAnswers : question.otherAnswers2;
      blob.push_back(static_cast<uint8_t>(others.size()));
      for (const std::string& other : others) PutText(&blob, other);
    }
  }
  return blob;
}

bool ReadAcceptedAnswersBlob(const uint8_t* data, std::size_t size, QuizSource* quiz, std::string* error) {
  // The player's own reader, on a document holding the questions of *quiz.
  std::unique_ptr<QuizDocument, DocumentDeleter> document(CreateQuizDocument());
  if (!document) {
    *error = "blob des autres réponses : mémoire insuffisante";
    return false;
  }
  document->questionCount = static_cast<int32_t>(quiz->questions.size());
  document->answersPerQuestion = quiz->answersPerQuestion;
  for (std::size_t k = 0; k < quiz->questions.size(); ++k) {
    if (!AppendQuestion(document.get(), "", "")) {
      *error = "blob des autres réponses : mémoire insuffisante";
      return false;
    }
  }
  const AcceptedBlobReading reading = ParseAcceptedAnswersBlob(data, size, document.get());
  if (reading.fault != AcceptedBlobFault::kNone) {
    *error = "blob des autres réponses acceptées refusé par le lecteur : " + DescribeAcceptedFault(reading);
    return false;
  }
  quiz->tolerances = document->tolerances;
  const QuestionEntry* entry = document->firstEntry;
  for (QuestionSource& question : quiz->questions) {
    question.otherAnswers = OthersOf(entry->otherAnswers[0]);
    question.otherAnswers2 = OthersOf(entry->otherAnswers[1]);
    entry = entry->next;
  }
  return true;
}

CodesBlobReading ReadCodesBlob(const uint8_t* data, std::size_t size, QuizSource* quiz) {
  CodesBlobReading reading;
  quiz->codes.clear();
  std::size_t position = 0;
  for (std::size_t k = 0; k < quiz->questions.size() && position < size; ++k) {
    const uint8_t* start = data + position;
    const void* found = std::memchr(start, kCarriageReturn, size - position);
    const std::size_t length = found ? static_cast<const uint8_t*>(found) - start : size - position;
    RewardCode code;
    code.text.assign(reinterpret_cast<const char*>(start), length);
    // The player skips the CR and the byte after it, whatever that byte is;
    // a line cut short still gives its code.
    if (position + length + 1 < size) {
      code.lineEnd = data[position + length + 1];
      position += length + 2;
    } else {
      reading.exact = false;
      position = size;
    }
    quiz->codes.push_back(code);
  }
  if (quiz->codes.size() < quiz->questions.size()) reading.exact = false;
  reading.linesRead = quiz->codes.size();
  quiz->codesTail.assign(reinterpret_cast<const char*>(data) + position, size - position);
  return reading;
}

}  // namespace vidod
