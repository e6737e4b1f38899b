// The quiz source: a UTF-8 TOML file that teachers write, read into and
// written from a QuizSource. The keys are described in docs/source-quiz.md.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "maker/quiz_source.h"

namespace vidod {

// Reads the quiz source in toml. sourceFile names it in the issues and
// anchors the picture paths, which must name existing files. Every problem
// found goes to *issues with its line, the rules of ValidateQuizSource
// included; *quiz can be built when HasErrors(*issues) is false.
void ParseQuizSource(std::string_view toml, const std::filesystem::path& sourceFile, QuizSource* quiz,
                     std::vector<SourceIssue>* issues);
// Same, reading the file first.
void ReadQuizSourceFile(const std::filesystem::path& sourceFile, QuizSource* quiz,
                        std::vector<SourceIssue>* issues);

// The picture file named by a question's image key. Backslashes count as
// folder separators, so a source written on Windows builds anywhere.
std::filesystem::path PicturePath(const std::filesystem::path& sourceFile, const std::string& image);

// A source that ParseQuizSource reads back into the same blobs, headed by
// the given comment lines.
std::string WriteQuizSource(const QuizSource& quiz, const std::vector<std::string>& comment);

}  // namespace vidod
