// Expected answers rewritten as a keyboard types them, in a model or in the
// text of a source (where nothing else of the file changes).
#include <toml++/toml.h>

#include <algorithm>

#include "maker/answer_typing.h"
#include "common/cp1252.h"
#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"
#include "maker/toml_errors.h"
#include "maker/toml_prescan.h"

namespace vidod {
namespace {

const char* const kAnswerKeys[] = {"reponse", "reponse2"};

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// A parser position (line from 1, column in characters from 1, counted after
// the byte-order mark) and the byte offset it stands for.
struct Place {
  toml::source_position position;
  std::size_t offset = 0;
};

bool Before(const toml::source_position& a, const toml::source_position& b) {
  return a.line != b.line ? a.line < b.line : a.column < b.column;
}

// Every place's offset, found in one walk through the text: the places are
// taken in text order and the walk never goes back.
void FindOffsets(std::string_view text, std::vector<Place*>* places) {
  std::sort(places->begin(), places->end(), [](const Place* a, const Place* b) { return Before(a->position, b->position); });
  std::size_t offset = text.rfind(kUtf8ByteOrderMark, 0) == 0 ? std::string_view(kUtf8ByteOrderMark).size() : 0;
  toml::source_index line = 1, column = 1;
  for (Place* place : *places) {
    while (line < place->position.line && offset < text.size()) {
      const std::size_t end = text.find('\n', offset);
      offset = end == std::string_view::npos ? text.size() : end + 1;
      ++line;
      column = 1;
    }
    while (column < place->position.column && offset < text.size() && text[offset] != '\n') {
      ++offset;
      while (offset < text.size() && IsContinuationByte(text[offset])) ++offset;
      ++column;
    }
    place->offset = offset;
  }
}

struct Replacement {
  Place begin;
  Place end;
  std::string text;
};

// The text with every replacement made, written once from start to end.
std::string Replaced(std::string_view text, std::vector<Replacement>* replacements) {
  std::vector<Place*> places;
  for (Replacement& replacement : *replacements) {
    places.push_back(&replacement.begin);
    places.push_back(&replacement.end);
  }
  FindOffsets(text, &places);
  std::sort(replacements->begin(), replacements->end(),
            [](const Replacement& a, const Replacement& b) { return a.begin.offset < b.begin.offset; });
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t copied = 0;
  for (const Replacement& replacement : *replacements) {
    out.append(text.substr(copied, replacement.begin.offset - copied));
    out += replacement.text;
    copied = replacement.end.offset;
  }
  out.append(text.substr(copied));
  return out;
}

// The quiz of a source text, its reading problems aside; false when the
// text is no TOML.
bool QuizOf(std::string_view text, QuizSource* quiz) {
  std::vector<SourceIssue> ignored;
  return ReadQuizSource(text, std::filesystem::path(), quiz, &ignored);
}

}  // namespace

std::size_t CorrectAnswers(QuizSource* quiz) {
  std::size_t changed = 0;
  for (QuestionSource& question : quiz->questions) {
    std::vector<std::string*> answers = {&question.answer, &question.answer2};
    for (std::vector<std::string>* others : {&question.otherAnswers, &question.otherAnswers2})
      for (std::string& other : *others) answers.push_back(&other);
    for (std::string* answer : answers) {
      const std::string typable = ExamineAnswerTyping(*answer).typable;
      if (typable == *answer) continue;
      *answer = typable;
      ++changed;
    }
  }
  return changed;
}

SourceCorrection CorrectAnswersInSource(std::string_view toml, std::string* corrected,
                                        std::vector<std::string>* changes, std::string* error) {
  toml::table root;
  int line = 0;
  if (!ParseTomlSource(toml, std::string_view(), &root, &line, error)) {
    *error = "ligne " + std::to_string(line) + " : " + *error;
    return SourceCorrection::kNotToml;
  }
  std::vector<Replacement> replacements;
  const toml::array* questions = root["question"].as_array();
  for (std::size_t i = 0; questions && i < questions->size(); ++i) {
    const toml::table* question = questions->get(i)->as_table();
    if (!question) continue;
    for (const char* key : kAnswerKeys) {
      const toml::node* node = question->get(key);
      if (!node) continue;
      // A text, or each text of a list of accepted answers.
      std::vector<const toml::node*> values = {node};
      if (const toml::array* list = node->as_array()) {
        values.clear();
        for (const toml::node& element : *list) values.push_back(&element);
      }
      for (const toml::node* value : values) {
        if (!value->is_string()) continue;
        const Cp1252Conversion answer = Utf8ToCp1252(value->as_string()->get());
        if (!answer.ok) continue;
        const std::string typable = ExamineAnswerTyping(answer.text).typable;
        if (typable == answer.text) continue;
        const std::string utf8 = Cp1252ToUtf8(typable);
        replacements.push_back({{value->source().begin}, {value->source().end}, QuoteTomlString(utf8)});
        changes->push_back("question " + std::to_string(i + 1) + ", clé « " + key + " » : « " +
                           Cp1252ToUtf8(answer.text) + " » devient « " + utf8 + " »");
      }
    }
  }
  *corrected = Replaced(toml, &replacements);
  if (replacements.empty()) return SourceCorrection::kDone;

  // The corrected text must be the same quiz but for the answers corrected.
  QuizSource wanted, got;
  if (QuizOf(toml, &wanted)) CorrectAnswers(&wanted);
  if (!QuizOf(*corrected, &got) || !SameQuizContent(got, wanted)) {
    changes->clear();
    *error = "les réponses corrigées ne se relisent pas comme prévu : la source n'a pas été modifiée ; corrigez "
             "ces réponses à la main (vidod-make check les montre)";
    return SourceCorrection::kRefused;
  }
  return SourceCorrection::kDone;
}

}  // namespace vidod
