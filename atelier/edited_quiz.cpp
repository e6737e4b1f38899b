#include "atelier/edited_quiz.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include "common/cp1252.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kStandIn[] = "?";
constexpr char kNameStandIn = '_';
constexpr char kFallbackName[] = "quiz";
constexpr char kForbiddenInNames[] = "<>:\"/\\|?*";
const char* const kReservedNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                      "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                      "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
// A quiz of 96 questions is a few tens of kilobytes: this many steps back
// cost little and go further than any author looks.
constexpr std::size_t kMostSteps = 200;
constexpr int kNoQuestion = -1;

bool IsQuestionField(QuizField field) {
  return field == QuizField::kAnswer || field == QuizField::kAnswer2 || field == QuizField::kReveal ||
         field == QuizField::kOtherAnswers || field == QuizField::kOtherAnswers2;
}

// The list an other-answers field stands for; nullptr for any other field.
std::vector<std::string>* OtherAnswerList(QuizSource* quiz, const FieldRef& field) {
  if (field.field == QuizField::kOtherAnswers) return &quiz->questions.at(field.index).otherAnswers;
  if (field.field == QuizField::kOtherAnswers2) return &quiz->questions.at(field.index).otherAnswers2;
  return nullptr;
}

std::string JoinedOtherAnswers(const std::vector<std::string>& others) {
  std::string text;
  for (const std::string& other : others)
    text += (text.empty() ? "" : std::string(" ") + kOtherAnswerSeparator + " ") + other;
  return text;
}

std::vector<std::string> SplitOtherAnswers(const std::string& text) {
  std::vector<std::string> others;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(kOtherAnswerSeparator, start);
    if (end == std::string::npos) end = text.size();
    const std::string part = text.substr(start, end - start);
    const std::size_t first = part.find_first_not_of(' ');
    if (first != std::string::npos) others.push_back(part.substr(first, part.find_last_not_of(' ') - first + 1));
    start = end + 1;
  }
  return others;
}

std::string* MutableFieldText(QuizSource* quiz, const FieldRef& field) {
  switch (field.field) {
    case QuizField::kTitle:
      return &quiz->title;
    case QuizField::kAuthor:
      return &quiz->author;
    case QuizField::kExplanation:
      return &quiz->explanation;
    case QuizField::kLink:
      return &quiz->link;
    case QuizField::kLabel1:
      return &quiz->answerLabels[0];
    case QuizField::kLabel2:
      return &quiz->answerLabels[1];
    case QuizField::kAnswer:
      return &quiz->questions.at(field.index).answer;
    case QuizField::kAnswer2:
      return &quiz->questions.at(field.index).answer2;
    case QuizField::kReveal:
      return &quiz->questions.at(field.index).reveal;
    case QuizField::kCode:
      if (quiz->codes.size() <= static_cast<std::size_t>(field.index)) quiz->codes.resize(field.index + 1);
      return &quiz->codes[field.index].text;
    case QuizField::kOtherAnswers:
    case QuizField::kOtherAnswers2:
      break;  // lists, see OtherAnswerList
  }
  return &quiz->title;
}

// Every character the code page lacks becomes the stand-in.
std::string WithStandIns(const std::string& utf8) {
  std::string text;
  std::size_t at = 0;
  while (at < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[at]);
    std::size_t length = 1;
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    length = std::min(length, utf8.size() - at);
    const Cp1252Conversion one = Utf8ToCp1252(utf8.substr(at, length));
    text += one.ok ? one.text : kStandIn;
    at += length;
  }
  return text;
}

void DropEmptyTrailingCodes(QuizSource* quiz) {
  while (!quiz->codes.empty() && quiz->codes.back().text.empty() && quiz->codes.back().lineEnd == kDefaultCodeLineEnd)
    quiz->codes.pop_back();
}

// Pending texts of questions renumbered by newIndex (-1: dropped).
template <typename Renumber>
void RenumberPending(EditedQuiz* edited, Renumber newIndex) {
  PendingTexts renumbered;
  for (const auto& [field, text] : edited->pending) {
    if (!IsQuestionField(field.field)) {
      renumbered.emplace(field, text);
      continue;
    }
    const int index = newIndex(field.index);
    if (index >= 0) renumbered.emplace(FieldRef{field.field, index}, text);
  }
  edited->pending.swap(renumbered);
}

int QuestionCount(const EditedQuiz& edited) { return static_cast<int>(edited.quiz.questions.size()); }
bool IsQuestion(const EditedQuiz& edited, int question) { return question >= 0 && question < QuestionCount(edited); }

bool MoveQuestion(EditedQuiz* edited, int from, int to) {
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  if (!IsQuestion(*edited, from) || !IsQuestion(*edited, to) || from == to) return false;
  if (from < to)
    std::rotate(questions.begin() + from, questions.begin() + from + 1, questions.begin() + to + 1);
  else
    std::rotate(questions.begin() + to, questions.begin() + from, questions.begin() + from + 1);
  RenumberPending(edited, [from, to](int i) {
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (from > to && i >= to && i < from) return i + 1;
    return i;
  });
  return true;
}

bool RemoveQuestion(EditedQuiz* edited, int index) {
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  if (!IsQuestion(*edited, index)) return false;
  questions.erase(questions.begin() + index);
  RenumberPending(edited, [index](int i) { return i == index ? -1 : (i > index ? i - 1 : i); });
  return true;
}

bool AddQuestions(EditedQuiz* edited, int at, const std::vector<StarterQuestion>& starters) {
  if (starters.empty()) return false;
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  at = std::clamp(at, 0, QuestionCount(*edited));
  std::vector<QuestionSource> added(starters.size());
  for (std::size_t i = 0; i < starters.size(); ++i) added[i].image = starters[i].image;
  questions.insert(questions.begin() + at, added.begin(), added.end());
  const int count = static_cast<int>(added.size());
  RenumberPending(edited, [at, count](int i) { return i >= at ? i + count : i; });
  for (int i = 0; i < count; ++i) SetFieldText(edited, FieldRef{QuizField::kAnswer, at + i}, starters[i].answer);
  return true;
}

bool SetAnswerCount(EditedQuiz* edited, int count) {
  if (count != 1 && count != 2) return false;
  if (count == edited->quiz.answersPerQuestion) return false;
  if (count == 1)
    for (int question = 0; question < QuestionCount(*edited); ++question) {
      SetFieldText(edited, FieldRef{QuizField::kAnswer2, question}, std::string());
      SetFieldText(edited, FieldRef{QuizField::kOtherAnswers2, question}, std::string());
    }
  edited->quiz.answersPerQuestion = static_cast<uint8_t>(count);
  return true;
}

bool SetQuizType(QuizSource* quiz, int type) {
  if (type < 0 || type > UINT8_MAX || type == quiz->quizType) return false;
  if (type != kRevealPairsQuizType)
    for (QuestionSource& question : quiz->questions) question.revealNote.clear();
  quiz->quizType = static_cast<uint8_t>(type);
  return true;
}

template <typename T>
bool Assign(T* target, T value) {
  if (*target == value) return false;
  *target = value;
  return true;
}

// The change itself: what it changed, 0 when nothing.
unsigned Change(EditedQuiz* edited, const QuizEdit& edit) {
  QuizSource& quiz = edited->quiz;
  switch (edit.kind) {
    case EditKind::kText:
      if (IsQuestionField(edit.field.field) && !IsQuestion(*edited, edit.field.index)) return 0;
      return SetFieldText(edited, edit.field, edit.text) ? kTextsChanged : 0;
    case EditKind::kMoveQuestion:
      return MoveQuestion(edited, edit.question, edit.to) ? kQuestionsChanged : 0;
    case EditKind::kRemoveQuestion:
      return RemoveQuestion(edited, edit.question) ? kQuestionsChanged | kPicturesChanged : 0;
    case EditKind::kAddQuestions:
      return AddQuestions(edited, edit.question, edit.starters) ? kQuestionsChanged | kPicturesChanged : 0;
    case EditKind::kPicture: {
      if (!IsQuestion(*edited, edit.question)) return 0;
      QuestionSource& question = quiz.questions[edit.question];
      const bool changed = Assign(&question.image, edit.image) | Assign(&question.rotation, edit.rotation);
      return changed ? kPicturesChanged : 0;
    }
    case EditKind::kAnswerCount:
      return SetAnswerCount(edited, edit.value) ? kSettingsChanged | kTextsChanged : 0;
    case EditKind::kQuizType:
      return SetQuizType(&quiz, edit.value) ? kSettingsChanged : 0;
    case EditKind::kListPictures:
      return Assign(&quiz.pictureByte, edit.value ? kPictureByteWithList : kPictureByteWithoutList) ? kSettingsChanged
                                                                                                     : 0;
    case EditKind::kReducePictures:
      return Assign(&quiz.reducePictures, edit.value != 0) ? kSettingsChanged : 0;
    case EditKind::kTolerances:
      return Assign(&quiz.tolerances, static_cast<uint8_t>(edit.value)) ? kSettingsChanged : 0;
    case EditKind::kColour: {
      const bool changed = Assign(&quiz.red, edit.red) | Assign(&quiz.green, edit.green) | Assign(&quiz.blue, edit.blue);
      return changed ? kSettingsChanged | kPicturesChanged : 0;
    }
    case EditKind::kTypableAnswers:
      return CorrectAnswers(&quiz) > 0 ? kTextsChanged : 0;
  }
  return 0;
}

// The question a step is about, before and after it.
void StepQuestions(const EditedQuiz& edited, const QuizEdit& edit, int* before, int* after) {
  *before = *after = kNoQuestion;
  switch (edit.kind) {
    case EditKind::kText:
      if (IsQuestionField(edit.field.field)) *before = *after = edit.field.index;
      break;
    case EditKind::kMoveQuestion:
      *before = edit.question;
      *after = edit.to;
      break;
    case EditKind::kRemoveQuestion:
      *before = edit.question;
      *after = std::min(edit.question, QuestionCount(edited) - 1);
      break;
    case EditKind::kAddQuestions:
      *before = std::max(0, edit.question - 1);
      *after = edit.question;
      break;
    case EditKind::kPicture:
      *before = *after = edit.question;
      break;
    default:
      break;
  }
}

void Restore(EditedQuiz* edited, const QuizStep& step) {
  edited->quiz = step.quiz;
  edited->pending = step.pending;
  edited->revision = step.revision;
}

QuizStep Snapshot(const EditedQuiz& edited, int before, int after) {
  return QuizStep{edited.quiz, edited.pending, edited.revision, before, after};
}

}  // namespace

bool operator<(const FieldRef& a, const FieldRef& b) { return std::tie(a.field, a.index) < std::tie(b.field, b.index); }
bool operator==(const FieldRef& a, const FieldRef& b) { return a.field == b.field && a.index == b.index; }
bool operator!=(const FieldRef& a, const FieldRef& b) { return !(a == b); }

bool IsModified(const EditedQuiz& edited) { return edited.revision != edited.savedRevision; }

void MarkSaved(EditedQuiz* edited) {
  edited->savedRevision = edited->revision;
  // A step typed on goes to a new revision from here.
  edited->typing = false;
}

QuizEdit TextEdit(const FieldRef& field, const std::string& utf8) {
  QuizEdit edit;
  edit.kind = EditKind::kText;
  edit.field = field;
  edit.text = utf8;
  return edit;
}

QuizEdit MoveEdit(int from, int to) {
  QuizEdit edit;
  edit.kind = EditKind::kMoveQuestion;
  edit.question = from;
  edit.to = to;
  return edit;
}

QuizEdit RemoveEdit(int question) {
  QuizEdit edit;
  edit.kind = EditKind::kRemoveQuestion;
  edit.question = question;
  return edit;
}

QuizEdit AddEdit(int at, const std::vector<StarterQuestion>& starters) {
  QuizEdit edit;
  edit.kind = EditKind::kAddQuestions;
  edit.question = at;
  edit.starters = starters;
  return edit;
}

QuizEdit PictureEdit(int question, const std::string& image, int rotation) {
  QuizEdit edit;
  edit.kind = EditKind::kPicture;
  edit.question = question;
  edit.image = image;
  edit.rotation = rotation;
  return edit;
}

QuizEdit SettingEdit(EditKind kind, int value) {
  QuizEdit edit;
  edit.kind = kind;
  edit.value = value;
  return edit;
}

QuizEdit ColourEdit(uint8_t red, uint8_t green, uint8_t blue) {
  QuizEdit edit;
  edit.kind = EditKind::kColour;
  edit.red = red;
  edit.green = green;
  edit.blue = blue;
  return edit;
}

unsigned ApplyEdit(EditedQuiz* edited, const QuizEdit& edit) {
  const bool typingOn = edit.kind == EditKind::kText && edited->typing && edited->typingField == edit.field &&
                        !edited->undo.empty();
  int before = kNoQuestion, after = kNoQuestion;
  StepQuestions(*edited, edit, &before, &after);
  QuizStep step = Snapshot(*edited, before, after);
  const unsigned changes = Change(edited, edit);
  if (changes == 0) return 0;
  if (!typingOn) {
    edited->undo.push_back(std::move(step));
    if (edited->undo.size() > kMostSteps) edited->undo.erase(edited->undo.begin());
  }
  edited->redo.clear();
  edited->revision = ++edited->lastRevision;
  edited->typing = edit.kind == EditKind::kText;
  edited->typingField = edit.field;
  if (edit.kind == EditKind::kRemoveQuestion)
    edited->undo.back().questionAfter = std::min(edit.question, QuestionCount(*edited) - 1);
  return changes;
}

void EndTyping(EditedQuiz* edited) { edited->typing = false; }

namespace {

// The quiz as the step on top of from held it; the quiz as it is goes on
// top of to, so that the step can be crossed back.
bool CrossStep(EditedQuiz* edited, std::vector<QuizStep>* from, std::vector<QuizStep>* to, QuizStep* crossed) {
  edited->typing = false;
  if (from->empty()) return false;
  *crossed = std::move(from->back());
  from->pop_back();
  to->push_back(Snapshot(*edited, crossed->questionBefore, crossed->questionAfter));
  Restore(edited, *crossed);
  return true;
}

}  // namespace

bool UndoEdit(EditedQuiz* edited, int* question) {
  QuizStep step;
  if (!CrossStep(edited, &edited->undo, &edited->redo, &step)) return false;
  *question = step.questionBefore;
  return true;
}

bool RedoEdit(EditedQuiz* edited, int* question) {
  QuizStep step;
  if (!CrossStep(edited, &edited->redo, &edited->undo, &step)) return false;
  *question = step.questionAfter;
  return true;
}

std::string FieldText(const QuizSource& quiz, const FieldRef& field) {
  if (field.field == QuizField::kCode && quiz.codes.size() <= static_cast<std::size_t>(field.index)) return {};
  QuizSource* model = const_cast<QuizSource*>(&quiz);
  if (const std::vector<std::string>* others = OtherAnswerList(model, field)) return JoinedOtherAnswers(*others);
  return *MutableFieldText(model, field);
}

std::string ShownFieldText(const EditedQuiz& edited, const FieldRef& field) {
  const auto pending = edited.pending.find(field);
  if (pending != edited.pending.end()) return pending->second;
  return Cp1252ToUtf8(FieldText(edited.quiz, field));
}

bool SetFieldText(EditedQuiz* edited, const FieldRef& field, const std::string& utf8) {
  const Cp1252Conversion conversion = Utf8ToCp1252(utf8);
  const std::string before = ShownFieldText(*edited, field);
  const bool pendingBefore = edited->pending.count(field) > 0;
  if (conversion.ok)
    edited->pending.erase(field);
  else
    edited->pending[field] = utf8;
  const std::string text = conversion.ok ? conversion.text : WithStandIns(utf8);
  bool changed = before != utf8;
  if (std::vector<std::string>* others = OtherAnswerList(&edited->quiz, field)) {
    // Blanks and a separator typed on the way to the next answer change no
    // answer yet.
    const std::vector<std::string> split = SplitOtherAnswers(text);
    changed = *others != split || pendingBefore || !conversion.ok;
    *others = split;
  } else {
    *MutableFieldText(&edited->quiz, field) = text;
  }
  if (field.field == QuizField::kCode) DropEmptyTrailingCodes(&edited->quiz);
  return changed;
}

int QuestionsWithSecondAnswer(const EditedQuiz& edited) {
  int count = 0;
  for (int question = 0; question < QuestionCount(edited); ++question)
    count += ShownFieldText(edited, FieldRef{QuizField::kAnswer2, question}).empty() &&
                     ShownFieldText(edited, FieldRef{QuizField::kOtherAnswers2, question}).empty()
                 ? 0
                 : 1;
  return count;
}

bool HasRevealNotes(const QuizSource& quiz) {
  return std::any_of(quiz.questions.begin(), quiz.questions.end(),
                     [](const QuestionSource& question) { return !question.revealNote.empty(); });
}

std::string PictureKeyFor(const fs::path& picture, const fs::path& sourceFile) {
  const fs::path relative = picture.lexically_relative(sourceFile.parent_path());
  return (relative.empty() ? picture : relative).generic_u8string();
}

void RebasePictureKeys(QuizSource* quiz, const fs::path& sourceFile, const fs::path& newSourceFile) {
  for (QuestionSource& question : quiz->questions) {
    if (question.image.empty()) continue;
    const fs::path named = PicturePath(sourceFile, question.image);
    std::error_code code;
    if (!fs::exists(named, code) && fs::exists(PicturePath(newSourceFile, question.image), code)) continue;
    question.image = PictureKeyFor(named, newSourceFile);
  }
}

std::vector<StarterQuestion> StarterQuestionsFor(const std::vector<fs::path>& files, const fs::path& sourceFile,
                                                 std::vector<SkippedFile>* skipped) {
  const auto chosen = [&files](const fs::path& file) {
    return std::any_of(files.begin(), files.end(), [&file](const fs::path& one) {
      std::error_code ignored;
      return fs::equivalent(one, file, ignored);
    });
  };
  // Each folder is scanned as a new quiz's folder would be, and the chosen
  // files kept: the same order, the same answers and the same names left out
  // as a whole folder gives.
  std::vector<fs::path> folders;
  for (const fs::path& file : files)
    if (std::find(folders.begin(), folders.end(), file.parent_path()) == folders.end())
      folders.push_back(file.parent_path());
  std::vector<StarterQuestion> questions;
  for (const fs::path& folder : folders) {
    PictureFolder scan;
    std::string error;
    if (!ScanPictureFolder(folder, sourceFile, true, &scan, &error)) {
      for (const fs::path& file : files)
        if (file.parent_path() == folder) skipped->push_back({file, error});
      continue;
    }
    for (const StarterQuestion& question : scan.questions)
      if (chosen(PicturePath(sourceFile, question.image))) questions.push_back(question);
    for (const SkippedFile& file : scan.skipped)
      if (chosen(file.file)) skipped->push_back(file);
  }
  return questions;
}

std::string FileNameFromTitle(const std::string& titleUtf8) {
  std::string name;
  for (char c : titleUtf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const bool forbidden = byte < 0x20 || std::string(kForbiddenInNames).find(c) != std::string::npos;
    name += forbidden ? kNameStandIn : c;
  }
  const std::size_t first = name.find_first_not_of(" .");
  if (first == std::string::npos) return kFallbackName;
  name = name.substr(first, name.find_last_not_of(" .") - first + 1);
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const char* reserved : kReservedNames)
    if (upper == reserved) return name + kNameStandIn + kFallbackName;
  return name;
}

}  // namespace vidod
