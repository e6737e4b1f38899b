#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <system_error>
#include <utility>

#include "common/cp1252.h"
#include "maker/file_io.h"
#include "maker/quiz_toml.h"
#include "maker/toml_errors.h"
#include "maker/toml_prescan.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr int64_t kByteMax = 255;
constexpr std::size_t kMaxSuggestionDistance = 2;

const char* const kTopKeys[] = {"titre",  "auteur", "explication",    "libelles", "type", "images_dans_liste",
                                "couleur", "codes",  "reduire_images", "tolerer",  "lien",     "question", "brut"};
const char* const kQuestionKeys[] = {"reponse", "reponse2", "revelation", "image", "rotation", "note", "note_revelation"};
const char* const kRawKeys[] = {"octet_0",        "octet_images",    "reponses_par_question",
                                "suite_reponses", "octets_apres_cr", "suite_codes"};
const char* const kColourNames[] = {"rouge", "vert", "bleu"};


std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string TypeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::string: return "une chaîne";
    case toml::node_type::integer: return "un entier";
    case toml::node_type::floating_point: return "un nombre à virgule";
    case toml::node_type::boolean: return "un booléen";
    case toml::node_type::array: return "une liste";
    case toml::node_type::table: return "une table";
    default: return "une date ou une heure";
  }
}

int LineOf(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

// Reads one quiz source; issues carry the line of the value they are about.
class SourceReader {
 public:
  SourceReader(std::string_view toml, QuizSource* quiz, std::vector<SourceIssue>* issues)
      : toml_(toml), quiz_(quiz), issues_(issues) {}

  void Read(const toml::table& root) {
    CheckKeys(root, kTopKeys, std::size(kTopKeys), std::string(), 0);
    ReadText(root.get("titre"), "titre", 0, &quiz_->title);
    ReadText(root.get("auteur"), "auteur", 0, &quiz_->author);
    ReadText(root.get("explication"), "explication", 0, &quiz_->explanation);
    ReadText(root.get("lien"), "lien", 0, &quiz_->link);
    ReadLabels(root.get("libelles"));
    ReadByte(root.get("type"), "type", &quiz_->quizType);
    ReadColour(root.get("couleur"));
    ReadCodes(root.get("codes"));
    ReadBoolean(root.get("reduire_images"), "reduire_images", &quiz_->reducePictures);
    ReadTolerances(root.get("tolerer"));
    ReadQuestions(root.get("question"));
    ReadRawTable(root.get("brut"), root.get("images_dans_liste"));
  }

  const SourceLines& lines() const { return lines_; }

 private:
  void Issue(int line, const std::string& key, int question, const std::string& message, bool warning = false) {
    SourceIssue issue;
    issue.warning = warning;
    issue.key = key;
    issue.question = question;
    issue.line = line;
    issue.message = message;
    issues_->push_back(issue);
  }

  void WrongType(const toml::node& node, const std::string& key, int question, const std::string& wanted,
                 const std::string& prefix = std::string()) {
    Issue(LineOf(node), key, question,
          prefix + "doit être " + wanted + ", pas " + TypeName(node) + UnquotedHint(node, wanted));
  }

  // type = "2" is the number meant, in quotes.
  static std::string UnquotedHint(const toml::node& node, const std::string& wanted) {
    if (!node.is_string()) return std::string();
    const std::string& text = node.as_string()->get();
    const std::size_t digits = text.rfind('-', 0) == 0 ? 1 : 0;
    const bool number = text.size() > digits && text.find_first_not_of("0123456789", digits) == std::string::npos;
    const bool choice = text == "true" || text == "false";
    if ((number && wanted.rfind("un entier", 0) == 0) || (choice && wanted.rfind("un booléen", 0) == 0))
      return " : écrivez " + text + " sans guillemets";
    return std::string();
  }

  // ", colonne N" where the character that the conversion of utf8 stopped
  // at is written as itself in the source, from the start of its value on
  // (in a text on several lines *line becomes the line it is on); nothing
  // when it is written as an escape.
  std::string ColumnOfCharacter(const toml::node& node, const std::string& utf8, const Cp1252Conversion& conversion,
                                int* line) const {
    const auto startsCharacter = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; };
    std::size_t at = 0;
    for (int i = 1; i < *line && at != std::string_view::npos; ++i) {
      at = toml_.find('\n', at);
      if (at != std::string_view::npos) ++at;
    }
    // The parser counts the value's column in characters.
    for (uint32_t column = 1; at < toml_.size() && column < node.source().begin.column; ++column)
      while (++at < toml_.size() && !startsCharacter(toml_[at])) {}
    std::size_t length = 1;
    while (conversion.rejectedAt + length < utf8.size() && !startsCharacter(utf8[conversion.rejectedAt + length]))
      ++length;
    const std::size_t found =
        at >= toml_.size() ? std::string_view::npos : toml_.find(utf8.substr(conversion.rejectedAt, length), at);
    if (found == std::string_view::npos) return std::string();
    *line += static_cast<int>(std::count(toml_.begin() + at, toml_.begin() + found, '\n'));
    const std::size_t lineStart = toml_.rfind('\n', found);
    std::size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    // An editor shows no byte-order mark.
    if (from == 0 && toml_.rfind(kUtf8ByteOrderMark, 0) == 0) from = std::string_view(kUtf8ByteOrderMark).size();
    int column = 1;
    for (std::size_t i = from; i < found; ++i) column += startsCharacter(toml_[i]) ? 1 : 0;
    return ", colonne " + std::to_string(column);
  }

  void Remember(const toml::node& node, const std::string& key, int question) {
    lines_.emplace(std::make_pair(question, key), LineOf(node));
  }

  void CheckKeys(const toml::table& table, const char* const* known, std::size_t knownCount,
                 const std::string& prefix, int question) {
    for (auto&& [key, node] : table) {
      const std::string_view name = key.str();
      if (std::find(known, known + knownCount, name) != known + knownCount) continue;
      std::string message = "clé inconnue";
      // TOML puts every key after a [[question]] header into that question.
      if (question > 0 && std::find(std::begin(kTopKeys), std::end(kTopKeys), name) != std::end(kTopKeys)) {
        Issue(static_cast<int>(key.source().begin.line), std::string(name), question,
              "clé du quiz écrite dans une question : placez-la avant le premier [[question]]");
        continue;
      }
      std::size_t best = kMaxSuggestionDistance + 1;
      for (std::size_t i = 0; i < knownCount; ++i) {
        const std::size_t distance = EditDistance(name, known[i]);
        if (distance < best) {
          best = distance;
          message = std::string("clé inconnue (vouliez-vous dire « ") + prefix + known[i] + " » ?)";
        }
      }
      Issue(static_cast<int>(key.source().begin.line), prefix + std::string(name), question, message);
    }
  }

  // A text of the quiz, converted to the player's code page.
  bool ReadText(const toml::node* node, const std::string& key, int question, std::string* text,
                const std::string& prefix = std::string()) {
    if (!node) return false;
    Remember(*node, key, question);
    if (!node->is_string()) {
      WrongType(*node, key, question, "une chaîne", prefix);
      return false;
    }
    const std::string& utf8 = node->as_string()->get();
    const Cp1252Conversion conversion = Utf8ToCp1252(utf8);
    if (!conversion.ok) {
      int line = LineOf(*node);
      const std::string column = ColumnOfCharacter(*node, utf8, conversion, &line);
      Issue(line, key, question,
            prefix + "le caractère " + DescribeRejectedCharacter(utf8, conversion) + column +
                ", n'existe pas dans la page de code 1252 (Windows occidental) : le lecteur ne peut pas l'afficher ; "
                "retirez-le ou remplacez-le");
      return false;
    }
    *text = conversion.text;
    return true;
  }

  bool ReadInteger(const toml::node* node, const std::string& key, int64_t low, int64_t high, int64_t* value,
                   const std::string& prefix = std::string()) {
    if (!node) return false;
    Remember(*node, key, 0);
    if (!node->is_integer()) {
      WrongType(*node, key, 0, "un entier", prefix);
      return false;
    }
    const int64_t read = node->as_integer()->get();
    if (read < low || read > high) {
      Issue(LineOf(*node), key, 0,
            prefix + std::to_string(read) + " hors de " + std::to_string(low) + " à " + std::to_string(high));
      return false;
    }
    *value = read;
    return true;
  }

  void ReadBoolean(const toml::node* node, const std::string& key, bool* value) {
    if (!node) return;
    Remember(*node, key, 0);
    if (node->is_boolean()) *value = node->as_boolean()->get();
    else WrongType(*node, key, 0, "un booléen (true ou false)");
  }

  bool ReadByte(const toml::node* node, const std::string& key, uint8_t* byte,
                const std::string& prefix = std::string()) {
    int64_t value = 0;
    if (!ReadInteger(node, key, 0, kByteMax, &value, prefix)) return false;
    *byte = static_cast<uint8_t>(value);
    return true;
  }

  const toml::array* ReadArray(const toml::node* node, const std::string& key, std::size_t wantedSize,
                               const std::string& what) {
    if (!node) return nullptr;
    Remember(*node, key, 0);
    const toml::array* array = node->as_array();
    if (!array) {
      WrongType(*node, key, 0, what);
      return nullptr;
    }
    if (wantedSize && array->size() != wantedSize) {
      Issue(LineOf(*node), key, 0,
            "doit être " + what + ", pas une liste de " + std::to_string(array->size()) + " éléments");
      return nullptr;
    }
    return array;
  }

  void ReadLabels(const toml::node* node) {
    const toml::array* labels = ReadArray(node, "libelles", 2, "une liste de deux chaînes");
    if (!labels) return;
    ReadText(labels->get(0), "libelles", 0, &quiz_->answerLabels[0], "premier libellé : ");
    ReadText(labels->get(1), "libelles", 0, &quiz_->answerLabels[1], "second libellé : ");
  }

  void ReadColour(const toml::node* node) {
    const toml::array* colour = ReadArray(node, "couleur", 3, "une liste [rouge, vert, bleu]");
    if (!colour) return;
    uint8_t* components[] = {&quiz_->red, &quiz_->green, &quiz_->blue};
    for (std::size_t i = 0; i < 3; ++i)
      ReadByte(colour->get(i), "couleur", components[i], std::string(kColourNames[i]) + " : ");
  }

  void ReadCodes(const toml::node* node) {
    const toml::array* codes = ReadArray(node, "codes", 0, "une liste de chaînes");
    if (!codes) return;
    for (std::size_t k = 0; k < codes->size(); ++k) {
      RewardCode code;
      ReadText(codes->get(k), "codes", 0, &code.text, "code " + std::to_string(k + 1) + " : ");
      quiz_->codes.push_back(code);
    }
  }

  void ReadTolerances(const toml::node* node) {
    const toml::array* words = ReadArray(node, "tolerer", 0, "une liste de mots parmi « accents », « ponctuation », « articles »");
    if (!words) return;
    for (std::size_t k = 0; k < words->size(); ++k) {
      const toml::node& word = *words->get(k);
      if (!word.is_string()) {
        WrongType(word, "tolerer", 0, "une chaîne", "élément " + std::to_string(k + 1) + " : ");
        continue;
      }
      const std::string& written = word.as_string()->get();
      if (const uint8_t bit = ToleranceOfWord(written)) {
        quiz_->tolerances |= bit;
        continue;
      }
      std::string message = "tolérance inconnue « " + written + " » : « accents », « ponctuation » ou « articles »";
      for (const ToleranceWord& w : kToleranceWords)
        if (EditDistance(written, w.word) <= kMaxSuggestionDistance)
          message = "tolérance inconnue « " + written + " » (vouliez-vous dire « " + w.word + " » ?)";
      Issue(LineOf(word), "tolerer", 0, message);
    }
  }

  // An answer, or a list of the answers a box accepts: the first is the
  // expected answer, the others go to *others.
  void ReadAnswerList(const toml::node* node, const std::string& key, int question, std::string* answer,
                      std::vector<std::string>* others) {
    if (!node) return;
    const toml::array* list = node->as_array();
    if (!list) {
      ReadText(node, key, question, answer);
      return;
    }
    Remember(*node, key, question);
    if (list->empty()) {
      Issue(LineOf(*node), key, question, "liste vide : donnez au moins la réponse attendue");
      return;
    }
    for (std::size_t k = 0; k < list->size(); ++k) {
      const std::size_t before = issues_->size();
      std::string text;
      const bool read = ReadText(list->get(k), key, question, &text, "réponse " + std::to_string(k + 1) + " de la liste : ");
      for (std::size_t i = before; i < issues_->size(); ++i) (*issues_)[i].item = static_cast<int>(k + 1);
      if (k == 0)
        *answer = text;
      else if (read)
        others->push_back(text);
    }
  }

  void ReadQuestions(const toml::node* node) {
    if (!node) return;
    const toml::array* questions = node->as_array();
    if (!questions || (!questions->empty() && !questions->is_array_of_tables())) {
      WrongType(*node, "question", 0, "une suite de tables [[question]]");
      return;
    }
    quiz_->questions.resize(questions->size());
    for (std::size_t i = 0; i < questions->size(); ++i) {
      const toml::table& table = *questions->get(i)->as_table();
      const int number = static_cast<int>(i + 1);
      QuestionSource& question = quiz_->questions[i];
      lines_.emplace(std::make_pair(number, std::string()), LineOf(table));
      CheckKeys(table, kQuestionKeys, std::size(kQuestionKeys), std::string(), number);
      if (!table.get("reponse")) Issue(LineOf(table), "reponse", number, "clé obligatoire absente");
      ReadAnswerList(table.get("reponse"), "reponse", number, &question.answer, &question.otherAnswers);
      if (table.get("reponse2")) {
        withSecondAnswer_.push_back(number);
        ReadAnswerList(table.get("reponse2"), "reponse2", number, &question.answer2, &question.otherAnswers2);
      } else {
        withoutSecondAnswer_.push_back(number);
      }
      ReadText(table.get("revelation"), "revelation", number, &question.reveal);
      ReadText(table.get("note"), "note", number, &question.note);
      ReadText(table.get("note_revelation"), "note_revelation", number, &question.revealNote);
      ReadImage(table.get("image"), number, &question.image);
      ReadRotation(table.get("rotation"), number, &question.rotation);
    }
  }

  // Quarter turns clockwise, as the Atelier's commands write them.
  void ReadRotation(const toml::node* node, int number, int* rotation) {
    if (!node) return;
    Remember(*node, "rotation", number);
    const std::optional<int64_t> degrees = node->value_exact<int64_t>();
    if (!degrees) {
      WrongType(*node, "rotation", number, "un entier (0, 90, 180 ou 270)");
      return;
    }
    if (*degrees != 0 && *degrees != 90 && *degrees != 180 && *degrees != 270) {
      Issue(LineOf(*node), "rotation", number,
            std::to_string(*degrees) + " : la rotation se donne en degrés dans le sens des aiguilles d'une "
            "montre, 0, 90, 180 ou 270");
      return;
    }
    *rotation = static_cast<int>(*degrees);
  }

  // The file itself is looked at by the checks, which an editor runs on a
  // model that was never read from a source.
  void ReadImage(const toml::node* node, int number, std::string* image) {
    if (!node) return;
    Remember(*node, "image", number);
    if (!node->is_string()) {
      WrongType(*node, "image", number, "une chaîne (chemin du fichier)");
      return;
    }
    const std::string& written = node->as_string()->get();
    if (written.empty()) {
      Issue(LineOf(*node), "image", number, "chemin vide");
      return;
    }
    // "images\tigre.png" is valid TOML and holds a tab.
    if (written.find_first_of("\t\n\r\b\f") != std::string::npos) {
      Issue(LineOf(*node), "image", number,
            "en TOML, « \\ » annonce un caractère spécial (" + EscapeReadIn(written) + ") ; les chemins s'écrivent "
            "avec « / » : écrivez image = \"" + PathMeantBy(written) + "\"");
      return;
    }
    *image = written;
  }

  void ReadRawTable(const toml::node* node, const toml::node* listPictures) {
    bool picturesInList = true;
    ReadBoolean(listPictures, "images_dans_liste", &picturesInList);
    quiz_->pictureByte = picturesInList ? kPictureByteWithList : kPictureByteWithoutList;
    DeriveAnswersPerQuestion();

    if (!node) return;
    const toml::table* raw = node->as_table();
    if (!raw) {
      WrongType(*node, "brut", 0, "une table [brut]");
      return;
    }
    CheckKeys(*raw, kRawKeys, std::size(kRawKeys), "brut.", 0);
    ReadByte(raw->get("octet_0"), "brut.octet_0", &quiz_->leadByte);

    uint8_t pictureByte = 0;
    if (ReadByte(raw->get("octet_images"), "brut.octet_images", &pictureByte)) {
      if (listPictures && listPictures->is_boolean() && picturesInList != (pictureByte == kPictureByteWithList))
        Issue(LineOf(*raw->get("octet_images")), "brut.octet_images", 0,
              "contredit images_dans_liste : le lecteur ne montre les images dans la liste que pour l'octet 2");
      quiz_->pictureByte = pictureByte;
    }

    int64_t perQuestion = 0;
    if (ReadInteger(raw->get("reponses_par_question"), "brut.reponses_par_question", 1, 2, &perQuestion)) {
      const bool contradicts = (perQuestion == 2 && !withoutSecondAnswer_.empty()) ||
                               (perQuestion == 1 && !withSecondAnswer_.empty());
      if (contradicts)
        Issue(LineOf(*raw->get("reponses_par_question")), "brut.reponses_par_question", 0,
              "contredit la présence de reponse2 dans les questions");
      else
        quiz_->answersPerQuestion = static_cast<uint8_t>(perQuestion);
    }

    ReadText(raw->get("suite_reponses"), "brut.suite_reponses", 0, &quiz_->answersTail);
    ReadText(raw->get("suite_codes"), "brut.suite_codes", 0, &quiz_->codesTail);
    ReadLineEnds(raw->get("octets_apres_cr"));
  }

  void ReadLineEnds(const toml::node* node) {
    const toml::array* ends = ReadArray(node, "brut.octets_apres_cr", 0, "une liste d'entiers");
    if (!ends) return;
    if (ends->size() != quiz_->codes.size()) {
      Issue(LineOf(*node), "brut.octets_apres_cr", 0,
            std::to_string(ends->size()) + " octets pour " + std::to_string(quiz_->codes.size()) +
                " codes : il en faut un par code");
      return;
    }
    for (std::size_t k = 0; k < ends->size(); ++k)
      ReadByte(ends->get(k), "brut.octets_apres_cr", &quiz_->codes[k].lineEnd,
               "code " + std::to_string(k + 1) + " : ");
  }

  // A two-answer quiz gives reponse2 on every question; mixing both kinds
  // would shift every later text of the blob.
  void DeriveAnswersPerQuestion() {
    if (!withSecondAnswer_.empty() && !withoutSecondAnswer_.empty()) {
      for (int number : withoutSecondAnswer_)
        Issue(lines_[{number, std::string()}], "reponse2", number,
              "absente alors que la question " + std::to_string(withSecondAnswer_.front()) +
                  " en a une : dans un quiz à deux réponses, chaque question a sa reponse2");
      quiz_->answersPerQuestion = 2;
      return;
    }
    quiz_->answersPerQuestion = withSecondAnswer_.empty() ? 1 : 2;
  }

  std::string_view toml_;
  QuizSource* quiz_;
  std::vector<SourceIssue>* issues_;
  SourceLines lines_;
  std::vector<int> withSecondAnswer_;
  std::vector<int> withoutSecondAnswer_;
};

}  // namespace

fs::path PicturePath(const fs::path& sourceFile, const std::string& image) {
  std::string portable = image;
  std::replace(portable.begin(), portable.end(), '\\', '/');
  return (sourceFile.parent_path() / fs::u8path(portable)).lexically_normal();
}

void PlaceIssues(const SourceLines& lines, std::vector<SourceIssue>* issues) {
  for (SourceIssue& issue : *issues) {
    if (issue.line > 0) continue;
    auto found = lines.find({issue.question, issue.key});
    if (found == lines.end()) found = lines.find({issue.question, std::string()});
    if (found != lines.end()) issue.line = found->second;
  }
}

bool ReadQuizSource(std::string_view toml, const fs::path& sourceFile, QuizSource* quiz,
                    std::vector<SourceIssue>* issues, SourceLines* lines) {
  *quiz = QuizSource();
  SourceIssue syntax;
  toml::table root;
  if (!ParseTomlSource(toml, PathText(sourceFile), &root, &syntax.line, &syntax.message)) {
    issues->push_back(syntax);
    return false;
  }
  SourceReader reader(toml, quiz, issues);
  reader.Read(root);
  if (lines) *lines = reader.lines();
  return true;
}

void ParseQuizSource(std::string_view toml, const fs::path& sourceFile, QuizSource* quiz,
                     std::vector<SourceIssue>* issues, SourceLines* lines) {
  SourceLines read;
  if (!ReadQuizSource(toml, sourceFile, quiz, issues, &read)) return;
  std::vector<SourceIssue> validation = ValidateQuizSource(*quiz);
  PlaceIssues(read, &validation);
  issues->insert(issues->end(), validation.begin(), validation.end());
  if (lines) *lines = std::move(read);
}

bool ReadSourceFileText(const fs::path& sourceFile, std::string* text, std::vector<SourceIssue>* issues) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(sourceFile, &bytes, &error, kMaxSourceFileBytes, "une source de quiz")) {
    SourceIssue issue;
    issue.message = error;
    issues->push_back(issue);
    return false;
  }
  text->assign(bytes.begin(), bytes.end());
  return true;
}

void ReadQuizSourceFile(const fs::path& sourceFile, QuizSource* quiz, std::vector<SourceIssue>* issues,
                        SourceLines* lines) {
  std::string text;
  if (ReadSourceFileText(sourceFile, &text, issues)) ParseQuizSource(text, sourceFile, quiz, issues, lines);
}

}  // namespace vidod
