#include "atelier/edited_quiz.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <tuple>

#include "common/cp1252.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kStandIn[] = "?";
constexpr char kCodePrefix[] = "code ";
constexpr char kFirstLabelPrefix[] = "premier";
constexpr char kSecondLabelPrefix[] = "second";
constexpr char kNameStandIn = '_';
constexpr char kFallbackName[] = "quiz";
constexpr char kForbiddenInNames[] = "<>:\"/\\|?*";
const char* const kReservedNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                      "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                      "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

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
  std::map<FieldRef, std::string> renumbered;
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

// rejected: the character described, with where it stands in the field.
SourceIssue CharacterIssue(const FieldRef& field, const std::string& rejected) {
  SourceIssue issue;
  std::string prefix;
  switch (field.field) {
    case QuizField::kTitle:
      issue.key = "titre";
      break;
    case QuizField::kAuthor:
      issue.key = "auteur";
      break;
    case QuizField::kExplanation:
      issue.key = "explication";
      break;
    case QuizField::kLabel1:
      issue.key = "libelles";
      prefix = "premier libellé : ";
      break;
    case QuizField::kLabel2:
      issue.key = "libelles";
      prefix = "second libellé : ";
      break;
    case QuizField::kAnswer:
      issue.key = "reponse";
      break;
    case QuizField::kAnswer2:
      issue.key = "reponse2";
      break;
    case QuizField::kOtherAnswers:
      issue.key = "reponse";
      issue.item = 2;
      prefix = "autres réponses acceptées : ";
      break;
    case QuizField::kOtherAnswers2:
      issue.key = "reponse2";
      issue.item = 2;
      prefix = "autres réponses acceptées : ";
      break;
    case QuizField::kReveal:
      issue.key = "revelation";
      break;
    case QuizField::kCode:
      issue.key = "codes";
      prefix = kCodePrefix + std::to_string(field.index + 1) + " : ";
      break;
  }
  if (IsQuestionField(field.field)) issue.question = field.index + 1;
  issue.message = prefix + "le caractère " + rejected +
                  ", n'existe pas dans la page de code 1252 (Windows occidental) : le lecteur ne peut pas "
                  "l'afficher";
  return issue;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

bool operator<(const FieldRef& a, const FieldRef& b) { return std::tie(a.field, a.index) < std::tie(b.field, b.index); }
bool operator==(const FieldRef& a, const FieldRef& b) { return a.field == b.field && a.index == b.index; }

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
  if (changed) edited->modified = true;
  return changed;
}

void MoveQuestion(EditedQuiz* edited, int from, int to) {
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  const int count = static_cast<int>(questions.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
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
  edited->modified = true;
}

void RemoveQuestion(EditedQuiz* edited, int index) {
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  if (index < 0 || index >= static_cast<int>(questions.size())) return;
  questions.erase(questions.begin() + index);
  RenumberPending(edited, [index](int i) { return i == index ? -1 : (i > index ? i - 1 : i); });
  edited->modified = true;
}

void InsertQuestions(EditedQuiz* edited, int at, const std::vector<QuestionSource>& added) {
  std::vector<QuestionSource>& questions = edited->quiz.questions;
  at = std::clamp(at, 0, static_cast<int>(questions.size()));
  questions.insert(questions.begin() + at, added.begin(), added.end());
  const int count = static_cast<int>(added.size());
  RenumberPending(edited, [at, count](int i) { return i >= at ? i + count : i; });
  edited->modified = true;
}

std::string QuizTypeWords(uint8_t quizType) {
  switch (quizType) {
    case 0:
      return "Sans révélation";
    case 1:
      return "Sans révélation (type 1)";
    case 2:
      return "Révélation de chaque question trouvée";
    case kRevealPairsQuizType:
      return "Révélation de chaque question trouvée, avec une note (type 3)";
    case 4:
      return "Toutes les révélations quand tout le quiz est trouvé";
    default:
      return "Sans révélation (type " + std::to_string(quizType) + ")";
  }
}

std::vector<SourceIssue> CheckEditedQuiz(EditedQuiz* edited) {
  std::vector<SourceIssue> issues = CheckQuiz(edited->quiz, edited->sourceFile, &edited->pictureChecks, CheckAdvice::kAtelier);
  for (const auto& [field, text] : edited->pending)
    issues.push_back(CharacterIssue(field, DescribeRejectedCharacter(text, Utf8ToCp1252(text))));
  return issues;
}

IssuePlace PlaceOfIssue(const SourceIssue& issue) {
  IssuePlace place;
  const std::string& key = issue.key;
  if (issue.question > 0) {
    place.question = issue.question - 1;
    place.onPicture = key == "image";
    place.onField = key == "reponse" || key == "reponse2" || key == "revelation";
    // An issue about one of the other answers of a list marks their field.
    const bool other = issue.item > 1;
    const QuizField field = key == "reponse2"     ? (other ? QuizField::kOtherAnswers2 : QuizField::kAnswer2)
                            : key == "revelation" ? QuizField::kReveal
                            : other               ? QuizField::kOtherAnswers
                                                  : QuizField::kAnswer;
    place.field = FieldRef{field, place.question};
    return place;
  }
  if (key == "codes") {
    place.onCodes = true;
    if (StartsWith(issue.message, kCodePrefix)) {
      const int number = std::atoi(issue.message.c_str() + sizeof kCodePrefix - 1);
      if (number > 0) place.code = number - 1;
    }
    return place;
  }
  place.onField = true;
  if (key == "titre")
    place.field.field = QuizField::kTitle;
  else if (key == "auteur")
    place.field.field = QuizField::kAuthor;
  else if (key == "explication")
    place.field.field = QuizField::kExplanation;
  else if (key == "libelles" && StartsWith(issue.message, kFirstLabelPrefix))
    place.field.field = QuizField::kLabel1;
  else if (key == "libelles" && StartsWith(issue.message, kSecondLabelPrefix))
    place.field.field = QuizField::kLabel2;
  else
    place.onField = false;
  return place;
}

std::string PictureKeyFor(const fs::path& picture, const fs::path& sourceFile) {
  const fs::path relative = picture.lexically_relative(sourceFile.parent_path());
  return (relative.empty() ? picture : relative).generic_u8string();
}

void RebasePictureKeys(QuizSource* quiz, const fs::path& sourceFile, const fs::path& newSourceFile) {
  for (QuestionSource& question : quiz->questions)
    if (!question.image.empty()) question.image = PictureKeyFor(PicturePath(sourceFile, question.image), newSourceFile);
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
  // files kept: the same order and the same answers as a whole folder gives.
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
