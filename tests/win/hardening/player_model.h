// What the player should hold after a sequence of user actions: the answer
// slots, the texts of both views' boxes, which list labels read "BRAVO", the
// question shown, the view shown and which box has the keyboard focus. Plain
// data and free functions, no windows: the tests compare it with the real
// player after every action.
#pragma once

#include <string>
#include <vector>

namespace vidod::testing {

struct ModelQuiz {
  int questions;    // N
  int perQuestion;  // A
  // expected[i] is the expected answer of slot i (question i / A + 1, answer i % A + 1).
  std::vector<std::string> expected;
  std::vector<std::string> codes;  // reward code k at k - 1
};

enum class ModelView { kSingle, kList };

// Where the keyboard focus is: the main window, box 9000 or list box 4001 + box.
struct ModelFocus {
  enum Kind { kMainWindow, kSingleBox, kListBox } kind;
  int box;  // list boxes only, from 0
  bool operator==(const ModelFocus& other) const {
    return kind == other.kind && (kind != kListBox || box == other.box);
  }
};

struct PlayerModel {
  ModelQuiz quiz;
  std::vector<std::string> slots;      // N x A, the answer store
  std::string singleBox;               // box 9000
  int current;                         // question shown in the single view, from 0
  std::vector<std::string> listBoxes;  // boxes 4001 to 4000 + N x A
  std::vector<bool> listRight;         // their labels read "BRAVO"
  ModelView view;
  ModelFocus focus;
  std::string saved;  // the answers the progress file holds (as read at start)
  bool savedIsFile;   // the file holds exactly saved (not so when missing or malformed)
};

enum class ActionKind {
  kType,        // focus a box of the shown view, then set its text
  kEnter,       // the key released in the focused window
  kTab,
  kShiftTab,
  kF1,
  kF2,
  kF3,
  kNext,        // the single view's buttons and chooser (single view shown)
  kPrevious,
  kChoose,
  kSwitchButton,      // the header bar's Switch button
  kCloseAndRestart,   // WM_CLOSE, then a new player on the saved file
};

struct ModelAction {
  ActionKind kind;
  int box;           // kType: -1 for box 9000, else the list box from 0
  std::string text;  // kType
  int question;      // kChoose, from 0
};

std::string Describe(const ModelAction& action);

// The verdict "BRAVO" in either view: the typed text, trimmed of blanks and
// raised, equals the expected answer raised (ASCII letters only).
bool IsRightAnswer(const std::string& expected, const std::string& typed);

int SlotCount(const ModelQuiz& quiz);

// The player just started on a progress file holding these lines (missing
// lines empty; no lines at all: no file), each as the player reads it.
PlayerModel StartModel(const ModelQuiz& quiz, const std::vector<std::string>& lines);

// Applies an action. For kCloseAndRestart the model saves, then starts again
// from what it saved.
void ApplyAction(PlayerModel* model, const ModelAction& action);

// What a save writes now, taking in the boxes as the player does; the model
// is changed as the player's state is.
std::string SaveModel(PlayerModel* model);
// After a judgement: the player saves when the answers (the list view's boxes
// while it is shown, else the slots) differ from what the file holds, or the
// file does not hold them in the player's own form.
void SaveIfChanged(PlayerModel* model);

// The progress file's text for these answers.
std::string ProgressText(const std::vector<std::string>& lines);

// The score the header shows right after a start on these lines: a question
// is solved when any of its answers is right.
int ScoreAfterStart(const ModelQuiz& quiz, const std::vector<std::string>& lines);

}  // namespace vidod::testing
