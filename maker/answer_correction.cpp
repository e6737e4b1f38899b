// Expected answers rewritten as a keyboard types them, in a model or in the
// text of a source (where nothing else of the file changes).
#include <toml++/toml.h>

#include <algorithm>

#include "maker/answer_typing.h"
#include "maker/cp1252.h"
#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"
#include "maker/toml_errors.h"

namespace vidod {
namespace {

const char* const kAnswerKeys[] = {"reponse", "reponse2"};

// The byte offset of a parser position: lines counted from 1, columns in
// characters from 1.
std::size_t OffsetOf(std::string_view text, const toml::source_position& position) {
  std::size_t offset = 0;
  for (toml::source_index line = 1; line < position.line && offset < text.size(); ++line) {
    const std::size_t end = text.find('\n', offset);
    offset = end == std::string_view::npos ? text.size() : end + 1;
  }
  for (toml::source_index column = 1; column < position.column && offset < text.size(); ++column) {
    ++offset;
    while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) ++offset;
  }
  return offset;
}

struct Replacement {
  std::size_t begin;
  std::size_t end;
  std::string text;
};

}  // namespace

std::size_t CorrectAnswers(QuizSource* quiz) {
  std::size_t changed = 0;
  for (QuestionSource& question : quiz->questions) {
    for (std::string* answer : {&question.answer, &question.answer2}) {
      const std::string typable = ExamineAnswerTyping(*answer).typable;
      if (typable == *answer) continue;
      *answer = typable;
      ++changed;
    }
  }
  return changed;
}

bool CorrectAnswersInSource(std::string_view toml, std::string* corrected, std::vector<std::string>* changes,
                            std::string* error) {
  int line = 0;
  if (FindProblemBeforeParsing(toml, &line, error)) {
    *error = "ligne " + std::to_string(line) + " : " + *error;
    return false;
  }
  toml::table root;
  try {
    root = toml::parse(toml);
  } catch (const toml::parse_error& failure) {
    const int failedLine = static_cast<int>(failure.source().begin.line);
    *error = "ligne " + std::to_string(failedLine) + " : " +
             ExplainTomlError(toml, failure.description(), failedLine, static_cast<int>(failure.source().begin.column));
    return false;
  }
  std::vector<Replacement> replacements;
  const toml::array* questions = root["question"].as_array();
  for (std::size_t i = 0; questions && i < questions->size(); ++i) {
    const toml::table* question = questions->get(i)->as_table();
    if (!question) continue;
    for (const char* key : kAnswerKeys) {
      const toml::node* node = question->get(key);
      if (!node || !node->is_string()) continue;
      const Cp1252Conversion answer = Utf8ToCp1252(node->as_string()->get());
      if (!answer.ok) continue;
      const std::string typable = ExamineAnswerTyping(answer.text).typable;
      if (typable == answer.text) continue;
      const std::string utf8 = Cp1252ToUtf8(typable);
      replacements.push_back(
          {OffsetOf(toml, node->source().begin), OffsetOf(toml, node->source().end), QuoteTomlString(utf8)});
      changes->push_back("question " + std::to_string(i + 1) + ", clé « " + key + " » : « " +
                         Cp1252ToUtf8(answer.text) + " » devient « " + utf8 + " »");
    }
  }
  std::sort(replacements.begin(), replacements.end(),
            [](const Replacement& a, const Replacement& b) { return a.begin > b.begin; });
  corrected->assign(toml);
  for (const Replacement& replacement : replacements)
    corrected->replace(replacement.begin, replacement.end - replacement.begin, replacement.text);
  return true;
}

}  // namespace vidod
