// The quiz source: a UTF-8 TOML file that teachers write, read into and
// written from a QuizSource. The keys are described in docs/source-quiz.md.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "maker/quiz_source.h"

namespace vidod {

// Where the values of a source were written: (question from 1, or 0 for the
// quiz's own keys; key) to its line. The key "" stands for the question's
// [[question]] header.
using SourceLines = std::map<std::pair<int, std::string>, int>;

// Reads the quiz source in toml: its syntax, keys, value types and
// characters. Every problem goes to *issues with its line; sourceFile names
// the source in them. False when the text is no TOML at all (one issue says
// where), *quiz then being empty. *lines, when given, receives the lines of
// the values read. The picture files are not looked at.
bool ReadQuizSource(std::string_view toml, const std::filesystem::path& sourceFile, QuizSource* quiz,
                    std::vector<SourceIssue>* issues, SourceLines* lines = nullptr);
// ReadQuizSource, then the rules of ValidateQuizSource on the lines of their
// keys: *quiz can be packed when HasErrors(*issues) is false.
void ParseQuizSource(std::string_view toml, const std::filesystem::path& sourceFile, QuizSource* quiz,
                     std::vector<SourceIssue>* issues, SourceLines* lines = nullptr);
// The bytes of a source file; false with an issue saying why not.
bool ReadSourceFileText(const std::filesystem::path& sourceFile, std::string* text,
                        std::vector<SourceIssue>* issues);
// ParseQuizSource of the file's text.
void ReadQuizSourceFile(const std::filesystem::path& sourceFile, QuizSource* quiz,
                        std::vector<SourceIssue>* issues, SourceLines* lines = nullptr);

// Gives every issue without a line the line of its key in its question, or
// else of its question.
void PlaceIssues(const SourceLines& lines, std::vector<SourceIssue>* issues);

// The picture file named by a question's image key. Backslashes count as
// folder separators, so a source written on Windows builds anywhere.
std::filesystem::path PicturePath(const std::filesystem::path& sourceFile, const std::string& image);

// The UTF-8 text as a one-line TOML string, quotes and escapes included.
std::string QuoteTomlString(const std::string& utf8);

// A source that ParseQuizSource reads back into the same blobs, headed by
// the given comment lines (a character a comment cannot hold, such as a line
// break in a file name, is written "?").
std::string WriteQuizSource(const QuizSource& quiz, const std::vector<std::string>& comment);
// WriteQuizSource, read back before anything is written: false with a French
// *error when the text does not give the same quiz again (SameQuizContent).
bool WriteCheckedQuizSource(const QuizSource& quiz, const std::vector<std::string>& comment, std::string* text,
                            std::string* error);

// A question of a starting source: its expected answer and picture path,
// both UTF-8 as the source holds them.
struct StarterQuestion {
  std::string answer;
  std::string image;
};

// The source that init writes: every key of the quiz with its default (the
// given title aside), each with a French comment saying what it does, and
// one [[question]] per picture.
std::string WriteStarterSource(const std::string& title, const std::string& picturesFolder,
                               const std::vector<StarterQuestion>& questions);

}  // namespace vidod
