#include "common/window_text.h"
#include "quiz/accepted_answers_blob.h"
#include "quiz/answers_blob.h"
#include "quiz/home_link.h"
#include "quiz/player_document.h"

namespace vidod {

namespace {

constexpr WORD kAnswersResource = 104;
constexpr WORD kCodesResource = 105;
constexpr WORD kAcceptedAnswersResource = 106;
constexpr char kResourceType[] = "PATCH";
constexpr char kCaption[] = "Vidod";
constexpr char kAnswersMessage[] = "Erreur dans le d\xE9" "cryptage des reponses";
constexpr char kCodesMessage[] = "Erreur dans le d\xE9" "cryptage des codes";
constexpr char kAcceptedAnswersMessage[] =
    "Erreur dans le d\xE9" "cryptage des autres r\xE9" "ponses accept\xE9" "es : chaque case n'accepte que sa "
    "premi\xE8" "re r\xE9" "ponse, sans tol\xE9" "rance.";

struct ResourceBytes {
  const uint8_t* bytes;
  uint32_t size;
};

// The bytes of a resource stay mapped with the module; nothing to release.
ResourceBytes FindQuizResource(HMODULE module, WORD id) {
  ResourceBytes found = {nullptr, 0};
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), kResourceType);
  if (!info) return found;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return found;
  found.bytes = static_cast<const uint8_t*>(LockResource(loaded));
  found.size = found.bytes ? SizeofResource(module, info) : 0;
  return found;
}

}  // namespace

void QuizResourceLoader(PlayerDocument* document, HMODULE module) {
  if (!module) module = GetModuleHandleA(nullptr);
  const ResourceBytes answers = FindQuizResource(module, kAnswersResource);
  // The codes blob is looked up only when the answers blob needs it.
  const ResourceBytes codes =
      answers.size ? FindQuizResource(module, kCodesResource) : ResourceBytes{nullptr, 0};
  const QuizLoadOutcome outcome = LoadQuizFromResources(document->quiz, answers.bytes, answers.size,
                                                        codes.bytes, codes.size);
  switch (outcome) {
    case QuizLoadOutcome::kAnswersRefused:
      MessageBox1252(nullptr, kAnswersMessage, kCaption, MB_OK);
      break;
    case QuizLoadOutcome::kLoadedWithoutCodes:
      MessageBox1252(nullptr, kCodesMessage, kCaption, MB_OK);
      break;
    case QuizLoadOutcome::kLoaded:
    case QuizLoadOutcome::kDefaultQuiz:
      break;
  }
  // The other answers, tolerances and link belong to the questions just read.
  // A damaged link is no reason to stop a pupil: the header bar then shows none.
  if (outcome == QuizLoadOutcome::kLoaded || outcome == QuizLoadOutcome::kLoadedWithoutCodes) {
    const ResourceBytes accepted = FindQuizResource(module, kAcceptedAnswersResource);
    if (LoadAcceptedAnswers(document->quiz, accepted.bytes, accepted.size) == AcceptedAnswersOutcome::kRefused)
      MessageBox1252(nullptr, kAcceptedAnswersMessage, kCaption, MB_OK);
    const ResourceBytes link = FindQuizResource(module, kHomeLinkResourceId);
    LoadHomeLink(document->quiz, link.bytes, link.size);
  }
  RefreshBackgroundBrush(document);
}

}  // namespace vidod
