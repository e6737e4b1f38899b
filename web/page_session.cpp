#include "web/page_session.h"

#include <cstring>
#include <string>
#include <vector>

#include "answers/accepted_answers.h"
#include "answers/answer_normalisation.h"
#include "answers/play_rules.h"
#include "answers/score.h"
#include "answers/verdict.h"
#include "common/cp1252.h"
#include "lzw/lzw.h"
#include "quiz/accepted_answers_blob.h"
#include "quiz/answers_blob.h"
#include "quiz/quiz_document.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define VIDOD_PAGE_EXPORT EMSCRIPTEN_KEEPALIVE
#else
#define VIDOD_PAGE_EXPORT
#endif

namespace vidod {

namespace {

enum Figure {
  kFigureQuestions = 0,
  kFigureAnswersPerQuestion = 1,
  kFigureQuizType = 2,
  kFigurePictures = 3,      // 1: the grid shows pictures
  kFigureColour = 4,        // 0xRRGGBB
  kFigureBlackText = 5,     // 1: texts on the quiz colour are black
  kFigureRevealMode = 6,    // 0 none, 1 per question, 2 at completion
};

enum Text { kTextTitle = 0, kTextAuthor = 1, kTextExplanation = 2, kTextAnswerLabel = 3, kTextReveal = 4,
            kTextStatus = 5 };

// Flags over a verdict number in a judgement's result.
constexpr int kVerdictMask = 0x0F;
constexpr int kFlagReveal = 0x10;      // show the question's reveal text
constexpr int kFlagHide = 0x20;        // hide it
constexpr int kFlagCompleted = 0x40;   // every reveal text shows
constexpr int kNoVerdict = kVerdictMask;

enum Kind { kKindEmpty = 0, kKindRight = 1, kKindAnagram = 2, kKindWrong = 3, kKindHint = 4 };

const char* const kVerdicts[] = {kVerdictEmpty,    kVerdictRight,   kVerdictAnagram, kVerdictOneEdit,
                                 kVerdictTwoEdits, kVerdictTooShort, kVerdictNotFar, kVerdictTooLong,
                                 kVerdictSomeIdea, kVerdictWrong};
constexpr int kVerdictCount = sizeof kVerdicts / sizeof kVerdicts[0];
constexpr int kOutSize = 2 * kTextSize;

struct PageSession {
  QuizDocument* quiz = nullptr;
  std::vector<uint8_t> codes;  // compressed, as the executable keeps them
  // The verdict each grid box shows, a number of kVerdicts.
  int listVerdicts[kAnswerSlotCount] = {};
  char16_t out[kOutSize] = {};
};

PageSession g_session;

int VerdictNumber(const char* verdict) {
  for (int number = 0; number < kVerdictCount; ++number)
    if (verdict == kVerdicts[number]) return number;
  return kNoVerdict;
}

// The grid as the list view's rules read it.
class PageBoxes : public ListViewBoxes {
 public:
  void ReadBox(int box, char* text) const override { CopyText(text, g_session.quiz->answerSlots[box]); }
  bool ShowsRight(int box) const override { return kVerdicts[g_session.listVerdicts[box]] == kVerdictRight; }
};

const char16_t* Out(const char* cp1252) {
  const std::u16string text = Cp1252ToUtf16(cp1252 ? cp1252 : "");
  const std::size_t length = text.size() < kOutSize - 1 ? text.size() : kOutSize - 1;
  std::memcpy(g_session.out, text.data(), length * sizeof(char16_t));
  g_session.out[length] = 0;
  return g_session.out;
}

int BoxCount() {
  const QuizDocument* quiz = g_session.quiz;
  if (!quiz) return 0;
  const int count = quiz->questionCount * quiz->answersPerQuestion;
  return count > kAnswerSlotCount ? kAnswerSlotCount : count;
}

bool HasQuestion(int question) {
  return g_session.quiz && question >= 0 && question < g_session.quiz->questionCount;
}

void ClearPlay(QuizDocument* quiz) {
  std::memset(quiz->answerSlots, 0, sizeof quiz->answerSlots);
  for (int index = 0; index < quiz->questionCount; ++index)
    if (QuestionEntry* entry = QuestionAt(quiz, index)) entry->solved = 0;
  quiz->completionFlag = 0;
  for (int& verdict : g_session.listVerdicts) verdict = 0;
}

}  // namespace

}  // namespace vidod

using namespace vidod;

extern "C" {

VIDOD_PAGE_EXPORT int vidod_load(const uint8_t* answers, uint32_t answersSize, const uint8_t* accepted,
                                 uint32_t acceptedSize, const uint8_t* codes, uint32_t codesSize) {
  DestroyQuizDocument(g_session.quiz);
  g_session.quiz = CreateQuizDocument();
  if (!g_session.quiz || !answers || answersSize == 0) return -1;
  // The codes are left compressed: they are decoded one at a time, when earned.
  const QuizLoadOutcome outcome = LoadQuizFromResources(g_session.quiz, answers, answersSize, nullptr, 0);
  if (outcome != QuizLoadOutcome::kLoadedWithoutCodes) return -1;
  // A damaged list of other answers leaves each box its first answer, as in the player.
  const bool refused =
      LoadAcceptedAnswers(g_session.quiz, accepted, acceptedSize) == AcceptedAnswersOutcome::kRefused;
  g_session.codes.assign(codes, codes + codesSize);
  ClearPlay(g_session.quiz);
  return refused ? 1 : 0;
}

VIDOD_PAGE_EXPORT int vidod_figure(int figure) {
  const QuizDocument* quiz = g_session.quiz;
  if (!quiz) return 0;
  switch (figure) {
    case kFigureQuestions:
      return quiz->questionCount;
    case kFigureAnswersPerQuestion:
      return quiz->answersPerQuestion;
    case kFigureQuizType:
      return quiz->quizType;
    case kFigurePictures:
      return quiz->pictureFlag == 1 ? 1 : 0;
    case kFigureColour:
      return (quiz->backgroundRed << 16) | (quiz->backgroundGreen << 8) | quiz->backgroundBlue;
    case kFigureBlackText:
      return BackgroundWantsBlackText(quiz) ? 1 : 0;
    case kFigureRevealMode:
      return static_cast<int>(RevealModeOf(quiz->quizType));
    default:
      return 0;
  }
}

VIDOD_PAGE_EXPORT const char16_t* vidod_text(int text, int index) {
  const QuizDocument* quiz = g_session.quiz;
  if (!quiz) return Out("");
  switch (text) {
    case kTextTitle:
      return Out(quiz->title);
    case kTextAuthor:
      return Out(quiz->author);
    case kTextExplanation:
      return Out(quiz->explanation);
    case kTextAnswerLabel:
      return Out(index == 1 ? quiz->answerLabels[1] : quiz->answerLabels[0]);
    case kTextReveal: {
      if (!HasQuestion(index)) return Out("");
      const QuestionEntry* entry = QuestionAt(quiz, index);
      return Out(entry && (entry->solved || quiz->completionFlag) ? entry->revealText : "");
    }
    case kTextStatus:
      return Out(quiz->statusText);
    default:
      return Out("");
  }
}

VIDOD_PAGE_EXPORT void vidod_set_answer(int slot, const char16_t* text) {
  if (slot < 0 || slot >= BoxCount()) return;
  std::u16string typed;
  for (const char16_t* unit = text; unit && *unit; ++unit) typed += *unit;
  CopyText(g_session.quiz->answerSlots[slot], Utf16ToCp1252(typed).c_str());
}

VIDOD_PAGE_EXPORT int vidod_judge_single(int question) {
  if (!HasQuestion(question)) return kNoVerdict;
  QuizDocument* quiz = g_session.quiz;
  const SingleViewOutcome outcome =
      JudgeSingleViewQuestion(quiz, question, quiz->answerSlots[question * quiz->answersPerQuestion]);
  return VerdictNumber(outcome.judgement.verdict) | (outcome.reveal ? kFlagReveal : kFlagHide);
}

VIDOD_PAGE_EXPORT int vidod_judge_single_second(int question) {
  if (!HasQuestion(question) || g_session.quiz->answersPerQuestion != 2) return kNoVerdict;
  const Judgement judgement =
      JudgeSingleViewSecondAnswer(g_session.quiz, question, g_session.quiz->answerSlots[question * 2 + 1]);
  return VerdictNumber(judgement.verdict);
}

VIDOD_PAGE_EXPORT int vidod_judge_list(int box) {
  if (box < 0 || box >= BoxCount()) return kNoVerdict;
  const ListViewOutcome outcome = JudgeListViewBox(g_session.quiz, box, PageBoxes());
  const int verdict = VerdictNumber(outcome.judgement.verdict);
  if (verdict == kNoVerdict) return kNoVerdict;
  g_session.listVerdicts[box] = verdict;
  int flags = outcome.reveal == RevealChange::kShow   ? kFlagReveal
              : outcome.reveal == RevealChange::kHide ? kFlagHide
                                                      : 0;
  if (outcome.completed) flags |= kFlagCompleted;
  return verdict | flags;
}

VIDOD_PAGE_EXPORT const char16_t* vidod_verdict_text(int verdict) {
  return Out(verdict >= 0 && verdict < kVerdictCount ? kVerdicts[verdict] : "");
}

VIDOD_PAGE_EXPORT int vidod_verdict_kind(int verdict) {
  if (verdict < 0 || verdict >= kVerdictCount) return kKindEmpty;
  // In the order the player's labels test them.
  const char* text = kVerdicts[verdict];
  if (text == kVerdictAnagram) return kKindAnagram;
  if (text == kVerdictRight) return kKindRight;
  if (text == kVerdictWrong) return kKindWrong;
  if (text == kVerdictEmpty) return kKindEmpty;
  return kKindHint;
}

VIDOD_PAGE_EXPORT int vidod_solved() { return CountSolvedQuestions(g_session.quiz); }

VIDOD_PAGE_EXPORT const char16_t* vidod_score_text() {
  char score[kScoreTextSize];
  FormatScoreText(vidod_solved(), g_session.quiz ? g_session.quiz->questionCount : 0, score, sizeof score);
  return Out(score);
}

VIDOD_PAGE_EXPORT const char16_t* vidod_reward_code() {
  const int solved = vidod_solved();
  if (!g_session.quiz || solved <= 0) return Out(RewardCodeText(nullptr, 0));
  // Decoded into a scratch document that is wiped at once: the page's
  // memory holds no code but the one shown.
  QuizDocument* scratch = CreateQuizDocument();
  if (!scratch) return Out("");
  scratch->questionCount = g_session.quiz->questionCount;
  uint8_t* decoded = nullptr;
  std::size_t length = 0;
  const int32_t result =
      DecodeResource(g_session.codes.data(), static_cast<uint32_t>(g_session.codes.size()), &decoded, &length);
  if (result == kLzwOk) ParseCodesBlob(decoded, length, scratch);
  if (decoded) std::memset(decoded, 0, length);
  LzwReleaseOutput(decoded);
  const char16_t* code = Out(result == kLzwOk ? RewardCodeText(scratch, solved) : "");
  std::memset(scratch->rewardCodes, 0, sizeof scratch->rewardCodes);
  DestroyQuizDocument(scratch);
  return code;
}

VIDOD_PAGE_EXPORT void vidod_restart() {
  if (g_session.quiz) ClearPlay(g_session.quiz);
}

VIDOD_PAGE_EXPORT int vidod_judge_bytes(const uint8_t* input, int listView, int tolerances) {
  const char* typed = reinterpret_cast<const char*>(input);
  AcceptedAnswers accepted;
  accepted.first = typed + std::strlen(typed) + 1;
  const char* others = accepted.first + std::strlen(accepted.first) + 1;
  accepted.others = *others ? others : nullptr;
  const AnswerView view = listView ? AnswerView::kList : AnswerView::kSingleQuestion;
  const Judgement judgement =
      JudgeAcceptedAnswers(accepted, typed, view, AnswerRulesFromTolerances(static_cast<uint8_t>(tolerances)));
  return VerdictNumber(judgement.verdict);
}

}  // extern "C"
