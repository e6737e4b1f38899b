// The quiz resources in their decoded form: the answers blob (resource 104),
// the codes blob (resource 105) and the accepted-answers blob (resource
// 106), written from and read into a QuizSource without losing a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "maker/quiz_source.h"

namespace vidod {

// The source must be free of errors (ValidateQuizSource).
std::vector<uint8_t> WriteAnswersBlob(const QuizSource& quiz);
// One line per code and at least one per question (a missing code is an
// empty line), then the tail. Never empty: the player takes an empty
// resource for a damaged one.
std::vector<uint8_t> WriteCodesBlob(const QuizSource& quiz);

// Reads an answers blob as the player does and keeps every byte in *quiz
// (its codes are left alone). Refuses, with a French message in *error, what
// the player refuses: a blob cut short, a missing delimiter, A other than 1
// or 2, more than 96 questions or answer boxes.
bool ReadAnswersBlob(const uint8_t* data, std::size_t size, QuizSource* quiz, std::string* error);

struct CodesBlobReading {
  std::size_t linesRead = 0;  // codes taken from the blob, at most one per question
  // False when the blob ends before the line of the last question: the codes
  // are those the player shows, but writing them back completes the lines.
  bool exact = true;
};

// Reads the codes of the questions already in *quiz: the first N lines
// become the codes, everything after them the tail.
CodesBlobReading ReadCodesBlob(const uint8_t* data, std::size_t size, QuizSource* quiz);

// The other answers and tolerances (quiz/accepted_answers_blob.h); empty
// when the quiz has neither (HasAcceptedAnswers), and then no resource 106
// is written. The source must be free of errors.
std::vector<uint8_t> WriteAcceptedAnswersBlob(const QuizSource& quiz);
// Reads the blob into the questions already in *quiz, by the player's own
// rules: what the player refuses is refused, with a French *error, and *quiz
// is left as it was.
bool ReadAcceptedAnswersBlob(const uint8_t* data, std::size_t size, QuizSource* quiz, std::string* error);

}  // namespace vidod
