// The quiz open in the Atelier, as a document: the maker model, where its
// source lives, the texts the author typed that the player's code page
// cannot hold, and the steps to undo and redo. Every change of the quiz goes
// through ApplyEdit, which records the step and says what changed. Plain
// C++, no window code.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "maker/quiz_project.h"
#include "maker/quiz_source.h"

namespace vidod {

// The texts an author edits, by what they belong to. The other answers a box
// accepts are edited as one text, separated by kOtherAnswerSeparator.
enum class QuizField {
  kTitle, kAuthor, kExplanation, kLink, kLabel1, kLabel2, kAnswer, kAnswer2, kReveal, kCode, kOtherAnswers,
  kOtherAnswers2
};
constexpr char kOtherAnswerSeparator = ';';

struct FieldRef {
  QuizField field = QuizField::kTitle;
  int index = 0;  // the question (answers, reveal) or the code (kCode), from 0
};
bool operator<(const FieldRef& a, const FieldRef& b);
bool operator==(const FieldRef& a, const FieldRef& b);
bool operator!=(const FieldRef& a, const FieldRef& b);

// Typed texts (UTF-8) holding a character that code page 1252 lacks. The
// model holds them with "?" in its place until the author mends them; the
// quiz is neither saved nor built meanwhile, so nothing typed is lost.
using PendingTexts = std::map<FieldRef, std::string>;

// The quiz as it was before a step, and which question the step was about
// (-1: none in particular), to show when it is undone or redone.
struct QuizStep {
  QuizSource quiz;
  PendingTexts pending;
  unsigned revision = 0;
  int questionBefore = -1;
  int questionAfter = -1;
};

constexpr unsigned kNeverSaved = ~0u;

struct EditedQuiz {
  QuizSource quiz;
  std::filesystem::path sourceFile;  // quiz.toml, written or still to write
  bool onDisk = false;               // sourceFile holds what was opened or last saved here
  bool commentsOnDisk = false;       // sourceFile has comments written by hand, which a save drops
  // What the source held when it was opened or last saved (a fingerprint of
  // its bytes): the same file found elsewhere is this quiz's, moved.
  uint64_t sourceFingerprint = 0;
  // Where the quiz came from when it was taken out of an executable: the
  // comment line the source keeps at its head (UTF-8); empty otherwise.
  std::string origin;
  PendingTexts pending;
  PictureCheckCache pictureChecks;  // so that checking at every keystroke reads each picture once

  // Every state of the quiz has its own revision; the quiz is modified when
  // the one shown is not the one saved, so undoing back to it clears the
  // mark.
  unsigned revision = 0;
  unsigned savedRevision = kNeverSaved;
  unsigned lastRevision = 0;
  std::vector<QuizStep> undo, redo;
  bool typing = false;  // the last step is typing into typingField, and goes on
  FieldRef typingField;
};

bool IsModified(const EditedQuiz& edited);
// The quiz as shown is the one on disk now.
void MarkSaved(EditedQuiz* edited);

// What an edit changed, for the window to refresh: a set of these.
constexpr unsigned kTextsChanged = 1u << 0;
constexpr unsigned kQuestionsChanged = 1u << 1;  // order or membership
constexpr unsigned kPicturesChanged = 1u << 2;   // a picture, its rotation, or what pictures are shown on
constexpr unsigned kSettingsChanged = 1u << 3;   // answers per question, reveals, list pictures, reduction, colour
constexpr unsigned kEverythingChanged = kTextsChanged | kQuestionsChanged | kPicturesChanged | kSettingsChanged;

// One change of the quiz, as the author makes it.
enum class EditKind {
  kText,            // field, text (UTF-8)
  kMoveQuestion,    // question to the place of to
  kRemoveQuestion,  // question
  kAddQuestions,    // starters inserted at question
  kPicture,         // question gets image (a key of the source) and rotation
  kAnswerCount,     // value: 1 or 2; a single answer drops the second ones
  kQuizType,        // value; leaving type 3 drops the reveal notes
  kListPictures,    // value: 0 or 1
  kReducePictures,  // value: 0 or 1
  kTolerances,      // value: the kTolerate... bits
  kColour,          // red, green, blue
  kTypableAnswers,  // expected answers rewritten as a keyboard types them
};
struct QuizEdit {
  EditKind kind = EditKind::kText;
  FieldRef field;
  std::string text;
  int question = 0;
  int to = 0;
  std::vector<StarterQuestion> starters;
  std::string image;
  int rotation = 0;
  int value = 0;
  uint8_t red = 0, green = 0, blue = 0;
};
QuizEdit TextEdit(const FieldRef& field, const std::string& utf8);
QuizEdit MoveEdit(int from, int to);
QuizEdit RemoveEdit(int question);
QuizEdit AddEdit(int at, const std::vector<StarterQuestion>& starters);
QuizEdit PictureEdit(int question, const std::string& image, int rotation);
QuizEdit SettingEdit(EditKind kind, int value);
QuizEdit ColourEdit(uint8_t red, uint8_t green, uint8_t blue);

// Makes the change, as one step to undo: what changed (0: nothing, and no
// step). Typing in one field goes on being one step until EndTyping or an
// edit of anything else.
unsigned ApplyEdit(EditedQuiz* edited, const QuizEdit& edit);
void EndTyping(EditedQuiz* edited);

// The quiz back as it was before the last step, or again as after the step
// undone last. False when there is none; *question receives the question
// the step was about (-1: none in particular).
bool UndoEdit(EditedQuiz* edited, int* question);
bool RedoEdit(EditedQuiz* edited, int* question);

// The model's text of a field; a code past the last one reads empty.
std::string FieldText(const QuizSource& quiz, const FieldRef& field);
// What the field shows: the pending text, else the model's, as UTF-8.
std::string ShownFieldText(const EditedQuiz& edited, const FieldRef& field);
// Sets a text without a step: for a quiz being made, before it is shown
// (codes are added as needed, empty codes at the end dropped; other answers
// are split at each separator, their blanks around it dropped, and empty
// ones left out). True when the quiz changed.
bool SetFieldText(EditedQuiz* edited, const FieldRef& field, const std::string& utf8);

// Questions whose second box has an answer or other answers, which a single
// box would drop.
int QuestionsWithSecondAnswer(const EditedQuiz& edited);
// Whether leaving type 3 would drop notes kept with the reveal texts.
bool HasRevealNotes(const QuizSource& quiz);

// The picture keys of quiz, written for sourceFile, rewritten for a source
// saved at newSourceFile so that they name the same files. A picture that
// is no longer where the old source names it, but is where the new one
// would find it by the same key (the quiz's folder renamed or moved with
// its pictures), keeps its key.
void RebasePictureKeys(QuizSource* quiz, const std::filesystem::path& sourceFile,
                       const std::filesystem::path& newSourceFile);
// The key a question gives to picture in a source at sourceFile: relative to
// its folder when both share a root, with forward slashes.
std::string PictureKeyFor(const std::filesystem::path& picture, const std::filesystem::path& sourceFile);

// The questions that the chosen picture files give, by the rules of a new
// quiz (their order, the answer each name gives, names a source can hold),
// named from sourceFile. *skipped receives the chosen files left out, and
// why.
std::vector<StarterQuestion> StarterQuestionsFor(const std::vector<std::filesystem::path>& files,
                                                 const std::filesystem::path& sourceFile,
                                                 std::vector<SkippedFile>* skipped);

// A file name made of the quiz title: characters that Windows refuses in
// names replaced, blanks and dots trimmed; "quiz" when nothing is left.
std::string FileNameFromTitle(const std::string& titleUtf8);

}  // namespace vidod
