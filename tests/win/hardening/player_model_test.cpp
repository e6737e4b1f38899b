// Random player sessions checked against a model: seeded and reproducible.
// Each sequence starts the player on a progress file of its own, plays random
// actions in both views of a one-answer or a two-answer quiz, and compares the
// real windows with the model after every action; each close checks the
// saved file line by line, and each restart the verdicts, score and code
// read back from it.
//
// Seeds run in order from the first; after the first hundred sequences the
// run stops once its time is spent, so a loaded machine runs fewer (the count
// is printed). VIDOD_MODEL_SEED (first seed), VIDOD_MODEL_SEQUENCES (at most
// how many) and VIDOD_MODEL_SECONDS (the time, 0 for none) replay or widen a
// run; a failure names the seed of its sequence.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "player_driver.h"
#include "player_fixture.h"
#include "player_model.h"
#include "quiz/player_document.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr unsigned kDefaultFirstSeed = 20240611;
constexpr int kDefaultSequences = 300;
constexpr int kAlwaysRun = 100;       // sequences run whatever the time
constexpr unsigned kDefaultSeconds = 90;  // room for all 300 on an idle two-core machine
constexpr int kShortestSequence = 6;
constexpr int kLongestSequence = 24;
constexpr int kScoreLabelId = 32;
constexpr int kCodeFieldId = 30;
constexpr int kSingleVerdictId = 9500;
constexpr char kNoCode[] = "      ";

const ModelQuiz kOneAnswerQuiz = {4, 1, {"Paris", "Oui", "Berlin", "Rome"}, {"C1", "C2", "C3", "C4"}};
const ModelQuiz kTwoAnswerQuiz = {
    3, 2, {"Paris", "France", "Rome", "Italie", "Oslo", "Norv\xE8ge"}, {"D1", "D2", "D3"}};

struct QuizUnderTest {
  const char* module;
  const ModelQuiz* quiz;
};
const QuizUnderTest kQuizzes[] = {{"hardening_one", &kOneAnswerQuiz},
                                  {"hardening_two", &kTwoAnswerQuiz}};

unsigned EnvironmentNumber(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// Random draws from the sequence's own generator (modulo, so a seed means
// the same sequence wherever the test is built).
struct Draw {
  std::mt19937 engine;
  int Below(int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); }
  bool Percent(int p) { return Below(100) < p; }
};

// A text for a box whose expected answer is given: mostly right or nearly
// right, sometimes another box's answer, empty, accented or too long.
std::string AnswerText(Draw* draw, const ModelQuiz& quiz, int slot) {
  const std::string& expected = quiz.expected[slot];
  const int roll = draw->Below(100);
  if (roll < 30) return expected;
  if (roll < 45) {
    std::string loose = "  " + expected + " ";
    for (char& c : loose)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return loose;
  }
  if (roll < 58) return quiz.expected[draw->Below(SlotCount(quiz))];
  if (roll < 68) return expected.substr(0, expected.size() - 1);
  if (roll < 78) return "";
  if (roll < 86) return "Lyon";
  if (roll < 92) return "\xC9t\xE9 \xE0 N\xEEmes";
  // Past what a switch (254), a slot (259) or both carry.
  return std::string(static_cast<std::size_t>(250 + draw->Below(60)), static_cast<char>('k' + draw->Below(8)));
}

ModelAction NextAction(Draw* draw, const PlayerModel& model) {
  const bool single = model.view == ModelView::kSingle;
  const int count = SlotCount(model.quiz);
  for (;;) {
    const int roll = draw->Below(100);
    ModelAction action = {ActionKind::kEnter, -1, "", 0};
    if (roll < 36) {
      action.kind = ActionKind::kType;
      action.box = single ? -1 : draw->Below(count);
      const int slot = single ? model.current * model.quiz.perQuestion : action.box;
      action.text = AnswerText(draw, model.quiz, slot);
      return action;
    }
    if (roll < 44) return action;  // Enter
    if (roll < 51) return {ActionKind::kTab, -1, "", 0};
    if (roll < 55) return {ActionKind::kShiftTab, -1, "", 0};
    if (roll < 60) return {ActionKind::kF1, -1, "", 0};
    if (roll < 66) return {ActionKind::kF2, -1, "", 0};
    if (roll < 71) return {ActionKind::kF3, -1, "", 0};
    if (roll < 74) return {ActionKind::kSwitchButton, -1, "", 0};
    if (roll < 97 && !single) continue;  // the single view's controls are hidden
    if (roll < 83) return {ActionKind::kNext, -1, "", 0};
    if (roll < 88) return {ActionKind::kPrevious, -1, "", 0};
    if (roll < 97) return {ActionKind::kChoose, -1, "", draw->Below(model.quiz.questions)};
    return {ActionKind::kCloseAndRestart, -1, "", 0};
  }
}

std::vector<std::string> StartingLines(Draw* draw, const ModelQuiz& quiz) {
  std::vector<std::string> lines;
  if (draw->Percent(20)) return lines;  // no file: the first run
  for (int i = 0; i < SlotCount(quiz); ++i) lines.push_back(AnswerText(draw, quiz, i));
  return lines;
}

std::string ScoreText(int solved, int questions) {
  return " " + std::to_string(solved) + " / " + std::to_string(questions);
}

class PlayerModelTest : public PlayerTest {
 protected:
  void TearDown() override {
    StopPlayerNow();
    for (HMODULE module : modules_) FreeLibrary(module);
    PlayerTest::TearDown();
  }

  void Start(HMODULE module) {
    ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), module, ProgressFile()));
    running_ = true;
    PumpMessages();
  }

  // Closes the player as a user does; the loop must end with 0.
  void Close() {
    PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    StopPlayerNow();
  }

  void ExpectSameState(const PlayerModel& model) {
    const PlayerModel seen = ObservePlayer(model.quiz);
    EXPECT_EQ(seen.slots, model.slots) << "answer slots";
    EXPECT_EQ(seen.singleBox, model.singleBox) << "box 9000";
    EXPECT_EQ(seen.current, model.current) << "question shown";
    EXPECT_EQ(seen.listBoxes, model.listBoxes) << "list boxes";
    EXPECT_EQ(seen.listRight, model.listRight) << "list labels reading BRAVO";
    EXPECT_EQ(seen.view == ModelView::kSingle, model.view == ModelView::kSingle) << "view shown";
    EXPECT_TRUE(seen.focus == model.focus)
        << "focus: " << seen.focus.kind << "/" << seen.focus.box << ", expected "
        << model.focus.kind << "/" << model.focus.box;
  }

  // Right after a start: verdicts, score and code follow from the lines.
  void ExpectRestored(const ModelQuiz& quiz, const std::vector<std::string>& lines) {
    const PlayerModel expected = StartModel(quiz, lines);
    ExpectSameState(expected);
    EXPECT_EQ(ControlText(g_shell.singleView, kSingleVerdictId) == "BRAVO", expected.listRight[0])
        << "verdict of question 1";
    const int solved = ScoreAfterStart(quiz, lines);
    EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), ScoreText(solved, quiz.questions));
    EXPECT_EQ(ControlText(g_shell.headerBar, kCodeFieldId), solved ? quiz.codes[solved - 1] : kNoCode);
  }

  // One sequence; returns the number of actions played.
  int RunSequence(unsigned seed, HMODULE module, const ModelQuiz& quiz, int* restarts) {
    Draw draw{std::mt19937(seed)};
    const std::vector<std::string> lines = StartingLines(&draw, quiz);
    DeleteFileA(ProgressPath().c_str());
    if (!lines.empty()) WriteFileBytes(ProgressPath(), ProgressText(lines));
    Start(module);
    if (HasFatalFailure()) return 0;
    ExpectRestored(quiz, lines);
    PlayerModel model = StartModel(quiz, lines);

    const int length = kShortestSequence + draw.Below(kLongestSequence - kShortestSequence + 1);
    int played = 0;
    for (int step = 0; step < length && !HasFailure(); ++step, ++played) {
      const ModelAction action = NextAction(&draw, model);
      SCOPED_TRACE("step " + std::to_string(step + 1) + ": " + Describe(action));
      // F2 saves from an answer box only; the main window ignores it.
      const bool saves =
          action.kind == ActionKind::kF2 && model.focus.kind != ModelFocus::kMainWindow;
      ApplyAction(&model, action);
      if (action.kind == ActionKind::kCloseAndRestart) {
        Close();
        EXPECT_EQ(ReadFileBytes(ProgressPath()), ProgressText(model.slots));
        Start(module);
        if (HasFatalFailure()) return played;
        ExpectRestored(quiz, model.slots);
        ++*restarts;
        continue;
      }
      PerformAction(action);
      ExpectSameState(model);
      if (saves) {
        EXPECT_EQ(ReadFileBytes(ProgressPath()), ProgressText(model.slots)) << "saved by F2";
      }
    }
    if (!HasFailure()) {
      SCOPED_TRACE("closing at the end");
      const std::string saved = SaveModel(&model);
      Close();
      EXPECT_EQ(ReadFileBytes(ProgressPath()), saved);
    }
    StopPlayerNow();
    return played;
  }

  std::vector<HMODULE> modules_;
};

TEST_F(PlayerModelTest, RandomSessionsKeepEveryAnswerWhereItBelongs) {
  const unsigned firstSeed = EnvironmentNumber("VIDOD_MODEL_SEED", kDefaultFirstSeed);
  const int sequences = static_cast<int>(EnvironmentNumber("VIDOD_MODEL_SEQUENCES", kDefaultSequences));
  const double budget = EnvironmentNumber("VIDOD_MODEL_SECONDS", kDefaultSeconds);
  for (const QuizUnderTest& quiz : kQuizzes) {
    modules_.push_back(LoadQuizModule(quiz.module));
    ASSERT_NE(modules_.back(), nullptr) << quiz.module;
  }
  // Every save must succeed and nothing else may ask anything: any box is a fault.
  MessageBoxCatcher catcher(IDYES);
  const auto began = std::chrono::steady_clock::now();
  const auto elapsed = [&began] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  };
  int run = 0, actions = 0, restarts = 0;
  for (int i = 0; i < sequences; ++i) {
    if (i >= kAlwaysRun && budget > 0 && elapsed() > budget) break;
    const unsigned seed = firstSeed + static_cast<unsigned>(i);
    const int which = static_cast<int>(seed % 2);
    SCOPED_TRACE("sequence seed " + std::to_string(seed) + " on " + kQuizzes[which].module +
                 " (replay: VIDOD_MODEL_SEED=" + std::to_string(seed) + " VIDOD_MODEL_SEQUENCES=1)");
    actions += RunSequence(seed, modules_[which], *kQuizzes[which].quiz, &restarts);
    ++run;
    if (HasFailure()) break;
  }
  EXPECT_TRUE(catcher.boxes().empty()) << catcher.boxes().front().text;
  std::printf("[ model    ] %d sequences (seeds %u to %u), %d actions, %d restarts in %.1f s\n", run,
              firstSeed, firstSeed + static_cast<unsigned>(run) - 1, actions, restarts, elapsed());
}

}  // namespace
}  // namespace vidod::testing
