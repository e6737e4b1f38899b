// The quiz open in the Atelier: the maker model, where its source lives, and
// the texts the author typed that the player's code page cannot hold. Plain
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
  kTitle, kAuthor, kExplanation, kLabel1, kLabel2, kAnswer, kAnswer2, kReveal, kCode, kOtherAnswers, kOtherAnswers2
};
constexpr char kOtherAnswerSeparator = ';';

struct FieldRef {
  QuizField field = QuizField::kTitle;
  int index = 0;  // the question (answers, reveal) or the code (kCode), from 0
};
bool operator<(const FieldRef& a, const FieldRef& b);
bool operator==(const FieldRef& a, const FieldRef& b);

struct EditedQuiz {
  QuizSource quiz;
  std::filesystem::path sourceFile;  // quiz.toml, written or still to write
  bool onDisk = false;               // sourceFile holds what was opened or last saved here
  bool modified = false;
  unsigned revision = 0;  // raised at every change, so that work made for an older quiz can be told
  bool commentsOnDisk = false;  // sourceFile has comments of its own, which a save drops
  // Typed texts (UTF-8) holding a character that code page 1252 lacks. The
  // model holds them with "?" in its place until the author mends them; the
  // quiz is neither saved nor built meanwhile, so nothing typed is lost.
  std::map<FieldRef, std::string> pending;
  PictureCheckCache pictureChecks;  // so that checking at every keystroke reads each picture once
};

// The model's text of a field; a code past the last one reads empty.
std::string FieldText(const QuizSource& quiz, const FieldRef& field);
// What the field shows: the pending text, else the model's, as UTF-8.
std::string ShownFieldText(const EditedQuiz& edited, const FieldRef& field);
// Takes a typed text into the model (codes are added as needed, empty codes
// at the end dropped; other answers are split at each separator, their
// blanks around it dropped, and empty ones left out). True when the quiz
// changed.
bool SetFieldText(EditedQuiz* edited, const FieldRef& field, const std::string& utf8);

// Question order and membership; pending texts follow their questions.
void MoveQuestion(EditedQuiz* edited, int from, int to);
void RemoveQuestion(EditedQuiz* edited, int index);
void InsertQuestions(EditedQuiz* edited, int at, const std::vector<QuestionSource>& questions);

// The quiz's type numbers in the words the Atelier shows.
std::string QuizTypeWords(uint8_t quizType);

// Every problem of the quiz as vidod-make check finds it, and a
// character-set error per pending text.
std::vector<SourceIssue> CheckEditedQuiz(EditedQuiz* edited);

// Where an issue belongs on screen.
struct IssuePlace {
  int question = -1;     // from 0; -1 for the quiz's own keys and the codes
  bool onField = false;  // field is the text it marks
  FieldRef field;
  bool onPicture = false;  // the question's picture
  int code = -1;           // the code it is about, from 0 (key "codes")
  bool onCodes = false;    // the codes as a whole or one of them
};
IssuePlace PlaceOfIssue(const SourceIssue& issue);

// The picture keys of quiz, written for sourceFile, rewritten for a source
// saved at newSourceFile so that they name the same files.
void RebasePictureKeys(QuizSource* quiz, const std::filesystem::path& sourceFile,
                       const std::filesystem::path& newSourceFile);
// The key a question gives to picture in a source at sourceFile: relative to
// its folder when both share a root, with forward slashes.
std::string PictureKeyFor(const std::filesystem::path& picture, const std::filesystem::path& sourceFile);

// The questions that the chosen picture files give, by the rules of a new
// quiz (their order, the answer each name gives), named from sourceFile.
// *skipped receives the chosen files left out, and why.
std::vector<StarterQuestion> StarterQuestionsFor(const std::vector<std::filesystem::path>& files,
                                                 const std::filesystem::path& sourceFile,
                                                 std::vector<SkippedFile>* skipped);

// A file name made of the quiz title: characters that Windows refuses in
// names replaced, blanks and dots trimmed; "quiz" when nothing is left.
std::string FileNameFromTitle(const std::string& titleUtf8);

}  // namespace vidod
