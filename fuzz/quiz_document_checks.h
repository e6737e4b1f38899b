// What every quiz document must satisfy after any load, whatever the blobs
// held: counts within the answer store, a question list as long as the count,
// and every text terminated inside its buffer.
#pragma once

#include "quiz/quiz_document.h"

namespace vidod {
namespace fuzz {

int CountQuestions(const QuizDocument& document);
// Aborts when a text of the document or of its entries runs past its buffer.
void CheckDocumentTexts(const QuizDocument& document);
// Aborts unless N, A and the question list are those of a loaded quiz.
void CheckLoadedCounts(const QuizDocument& document);

}  // namespace fuzz
}  // namespace vidod
