// Parsing of the two quiz resources once decoded: the answers blob (resource
// 104: header bytes, texts ended by '|', question records, quiz type, reveal
// section, colour) and the codes blob (resource 105: one CR LF line per code).
#pragma once

#include <cstddef>
#include <cstdint>

#include "quiz/quiz_document.h"

namespace vidod {

constexpr char kStatusText[] = "R\xE9" "alis\xE9 avec la version 2.2";
constexpr char kTextDelimiter = '|';

enum class QuizLoadOutcome {
  kLoaded,             // both blobs read
  kLoadedWithoutCodes, // answers read; the codes blob missing or undecodable
  kDefaultQuiz,        // no answers blob: the built-in test quiz
  kAnswersRefused,     // answers blob undecodable or outside the format: N = 0
};

// Fills the document from a decoded answers blob. A blob that is cut short,
// misses a delimiter, has N above 96, N x A above 96 or A other than 1 or 2 is
// refused: false, and the document is left exactly as it was. Texts longer
// than 259 characters are cut.
bool ParseAnswersBlob(const uint8_t* data, std::size_t size, QuizDocument* document);
// Reads reward codes 1 to N from a decoded codes blob; a blob with fewer lines
// keeps the codes it has and leaves the rest empty.
void ParseCodesBlob(const uint8_t* data, std::size_t size, QuizDocument* document);
// The quiz shown when the executable carries no answers blob.
void InstallDefaultQuiz(QuizDocument* document);

// Decodes one compressed quiz resource: the codec's result, and in *decoded
// (release with LzwReleaseOutput, even on failure) its *decodedLength bytes.
int32_t DecodeResource(const uint8_t* bytes, uint32_t size, uint8_t** decoded, std::size_t* decodedLength);

// The whole load from the two compressed resources (nullptr or size 0 when a
// resource is missing). Sets the status text first. The caller shows the
// message that goes with the outcome and makes the background brush.
QuizLoadOutcome LoadQuizFromResources(QuizDocument* document, const uint8_t* answers,
                                      uint32_t answersSize, const uint8_t* codes,
                                      uint32_t codesSize);

}  // namespace vidod
