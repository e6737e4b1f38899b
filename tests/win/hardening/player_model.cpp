#include "player_model.h"

namespace vidod::testing {

namespace {

constexpr std::size_t kSlotText = 259;  // what a slot, a judged text, F1 and the switch take

std::string Cut(const std::string& text, std::size_t length) { return text.substr(0, length); }

std::string Raised(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int SingleSlot(const PlayerModel& model) { return model.current * model.quiz.perQuestion; }

void JudgeListBox(PlayerModel* model, int box) {
  model->listRight[box] =
      IsRightAnswer(model->quiz.expected[box], Cut(model->listBoxes[box], kSlotText));
  SaveIfChanged(model);
}

// The box that loses the focus stores and judges (single view) or judges
// (list view).
void MoveFocus(PlayerModel* model, ModelFocus target) {
  if (model->focus == target) return;
  const ModelFocus left = model->focus;
  model->focus = target;
  if (left.kind == ModelFocus::kSingleBox) {
    model->slots[SingleSlot(*model)] = Cut(model->singleBox, kSlotText);
    SaveIfChanged(model);
  }
  if (left.kind == ModelFocus::kListBox) JudgeListBox(model, left.box);
}

void ShowQuestion(PlayerModel* model, int question) {
  model->slots[SingleSlot(*model)] = Cut(model->singleBox, kSlotText);
  model->current = question;
  model->singleBox = model->slots[SingleSlot(*model)];
  SaveIfChanged(model);
}

// Each box gets its slot and is judged; the box that had the focus is left
// on the way (the single view's stores its answer), and the keys go on in
// the view shown: its box, or the list box of the question the single view
// shows. The file is written once, at the end, if at all.
void SwitchViews(PlayerModel* model) {
  const int count = SlotCount(model->quiz);
  if (model->view == ModelView::kSingle) {
    if (model->focus.kind == ModelFocus::kSingleBox)
      model->slots[SingleSlot(*model)] = Cut(model->singleBox, kSlotText);
    for (int i = 0; i < count; ++i) {
      model->listBoxes[i] = model->slots[i];
      model->listRight[i] = IsRightAnswer(model->quiz.expected[i], model->listBoxes[i]);
    }
    model->view = ModelView::kList;
    model->focus = {ModelFocus::kListBox, model->current * model->quiz.perQuestion};
  } else {
    for (int i = 0; i < count; ++i) model->slots[i] = Cut(model->listBoxes[i], kSlotText);
    model->singleBox = model->slots[SingleSlot(*model)];
    if (model->focus.kind == ModelFocus::kListBox) {
      const int box = model->focus.box;
      model->listRight[box] = IsRightAnswer(model->quiz.expected[box], Cut(model->listBoxes[box], kSlotText));
    }
    model->view = ModelView::kSingle;
    model->focus = {ModelFocus::kSingleBox, 0};
  }
  SaveIfChanged(model);
}

// Saved once, at the end.
void CopyToUnsolved(PlayerModel* model, int from) {
  const std::string answer = Cut(model->listBoxes[from], kSlotText);
  for (int i = 0; i < SlotCount(model->quiz); ++i) {
    if (model->listRight[i]) continue;
    model->listBoxes[i] = answer;
    MoveFocus(model, {ModelFocus::kListBox, i});
  }
  MoveFocus(model, {ModelFocus::kListBox, from});
}

void OnKey(PlayerModel* model, ActionKind key) {
  const ModelFocus focus = model->focus;
  const int count = SlotCount(model->quiz);
  if (focus.kind == ModelFocus::kMainWindow) {
    // The main window knows F3 only.
    if (key == ActionKind::kF3) SwitchViews(model);
    return;
  }
  if (focus.kind == ModelFocus::kSingleBox) {
    // Enter stores, judges and saves as leaving the box does; Tab and F1 do
    // nothing here.
    if (key == ActionKind::kEnter) {
      model->slots[SingleSlot(*model)] = Cut(model->singleBox, kSlotText);
      SaveIfChanged(model);
    }
    if (key == ActionKind::kF2) SaveModel(model);
    if (key == ActionKind::kF3) SwitchViews(model);
    return;
  }
  switch (key) {
    case ActionKind::kEnter:
      JudgeListBox(model, focus.box);
      break;
    case ActionKind::kTab:
      MoveFocus(model, {ModelFocus::kListBox, (focus.box + 1) % count});
      break;
    case ActionKind::kShiftTab:
      MoveFocus(model, {ModelFocus::kListBox, (focus.box + count - 1) % count});
      break;
    case ActionKind::kF1:
      CopyToUnsolved(model, focus.box);
      break;
    case ActionKind::kF2:
      SaveModel(model);
      break;
    case ActionKind::kF3:
      SwitchViews(model);
      break;
    default:
      break;
  }
}

}  // namespace

std::string Describe(const ModelAction& action) {
  switch (action.kind) {
    case ActionKind::kType:
      return "type \"" + Cut(action.text, 20) + (action.text.size() > 20 ? "...\"" : "\"") +
             " (" + std::to_string(action.text.size()) + " chars) into " +
             (action.box < 0 ? std::string("box 9000") : "box " + std::to_string(4001 + action.box));
    case ActionKind::kEnter: return "Enter";
    case ActionKind::kTab: return "Tab";
    case ActionKind::kShiftTab: return "Shift+Tab";
    case ActionKind::kF1: return "F1";
    case ActionKind::kF2: return "F2";
    case ActionKind::kF3: return "F3";
    case ActionKind::kNext: return "next";
    case ActionKind::kPrevious: return "previous";
    case ActionKind::kChoose: return "choose question " + std::to_string(action.question + 1);
    case ActionKind::kSwitchButton: return "Switch button";
    case ActionKind::kCloseAndRestart: return "close and restart";
  }
  return "?";
}

bool IsRightAnswer(const std::string& expected, const std::string& typed) {
  return Raised(Trimmed(typed)) == Raised(expected);
}

int SlotCount(const ModelQuiz& quiz) { return quiz.questions * quiz.perQuestion; }

PlayerModel StartModel(const ModelQuiz& quiz, const std::vector<std::string>& lines) {
  PlayerModel model;
  model.quiz = quiz;
  const int count = SlotCount(quiz);
  for (int i = 0; i < count; ++i) {
    const std::string line = i < static_cast<int>(lines.size()) ? Cut(lines[i], kSlotText) : "";
    model.slots.push_back(line);
    model.listBoxes.push_back(line);
    model.listRight.push_back(IsRightAnswer(quiz.expected[i], line));
  }
  model.current = 0;
  model.singleBox = model.slots[0];
  model.view = ModelView::kSingle;
  model.focus = {ModelFocus::kSingleBox, 0};  // the keys go to the answer from the start
  model.saved = ProgressText(model.slots);
  model.savedIsFile = static_cast<int>(lines.size()) >= count && ProgressText(lines) == model.saved;
  return model;
}

std::string SaveModel(PlayerModel* model) {
  // Saving from the list view takes its boxes in first, and the hidden single
  // view's box follows them.
  if (model->view == ModelView::kList) {
    for (int i = 0; i < SlotCount(model->quiz); ++i)
      model->slots[i] = Cut(model->listBoxes[i], kSlotText);
    model->singleBox = model->slots[SingleSlot(*model)];
  }
  model->slots[SingleSlot(*model)] = Cut(model->singleBox, kSlotText);
  model->saved = ProgressText(model->slots);
  model->savedIsFile = true;
  return model->saved;
}

void SaveIfChanged(PlayerModel* model) {
  std::vector<std::string> answers = model->slots;
  if (model->view == ModelView::kList)
    for (std::size_t i = 0; i < answers.size(); ++i) answers[i] = Cut(model->listBoxes[i], kSlotText);
  if (!model->savedIsFile || ProgressText(answers) != model->saved) SaveModel(model);
}

void ApplyAction(PlayerModel* model, const ModelAction& action) {
  const int questions = model->quiz.questions;
  switch (action.kind) {
    case ActionKind::kType:
      if (action.box < 0) {
        MoveFocus(model, {ModelFocus::kSingleBox, 0});
        model->singleBox = action.text;
      } else {
        MoveFocus(model, {ModelFocus::kListBox, action.box});
        model->listBoxes[action.box] = action.text;
        model->listRight[action.box] = false;  // no verdict until it is judged again
      }
      break;
    case ActionKind::kNext:
      ShowQuestion(model, (model->current + 1) % questions);
      MoveFocus(model, {ModelFocus::kSingleBox, 0});  // back where the answer keys work
      break;
    case ActionKind::kPrevious:
      ShowQuestion(model, (model->current + questions - 1) % questions);
      MoveFocus(model, {ModelFocus::kSingleBox, 0});
      break;
    case ActionKind::kChoose:
      ShowQuestion(model, action.question);
      break;
    case ActionKind::kSwitchButton:
      SwitchViews(model);
      break;
    case ActionKind::kCloseAndRestart: {
      SaveModel(model);
      const std::vector<std::string> saved = model->slots;
      *model = StartModel(model->quiz, saved);
      break;
    }
    default:
      OnKey(model, action.kind);
      break;
  }
}

std::string ProgressText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

int ScoreAfterStart(const ModelQuiz& quiz, const std::vector<std::string>& lines) {
  int solved = 0;
  for (int n = 0; n < quiz.questions; ++n) {
    bool right = false;
    for (int a = 0; a < quiz.perQuestion; ++a) {
      const std::size_t slot = static_cast<std::size_t>(n * quiz.perQuestion + a);
      const std::string line = slot < lines.size() ? Cut(lines[slot], kSlotText) : "";
      right = right || IsRightAnswer(quiz.expected[slot], line);
    }
    if (right) ++solved;
  }
  return solved;
}

}  // namespace vidod::testing
