// The checks of a quiz model: the rules that keep it from being built, and
// what the player will do with it that surprises its author though it
// builds: answers that cannot or can hardly be found, pictures it cannot
// show or is slow to show, missing codes, reveal texts and labels.
#include <algorithm>
#include <cstring>
#include <map>
#include <system_error>

#include "answers/text_compare.h"
#include "answers/verdict.h"
#include "common/text_buffer.h"
#include "maker/cp1252.h"
#include "maker/file_io.h"
#include "maker/picture_check.h"
#include "maker/picture_format.h"
#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;

constexpr char kBlank = ' ';

// Pictures of more than this many pixels (four times the 640 x 480 of the
// single-question view) make the quiz slow to start: every picture is
// decoded whole each time it is shown.
constexpr uint64_t kSlowPicturePixels = 4ull * 640 * 480;

// Code page 1252 letters outside ASCII, and their counterparts: the other
// case, and the letter without its accent where there is one. The player
// compares them byte for byte and raises a to z only.
constexpr unsigned char kFirstLatin1Letter = 0xC0;
constexpr unsigned char kLatin1CaseDistance = 0x20;
constexpr unsigned char kMultiplication = 0xD7;
constexpr unsigned char kDivision = 0xF7;
constexpr unsigned char kSharpS = 0xDF;
constexpr unsigned char kLowerYDiaeresis = 0xFF;
constexpr unsigned char kUpperYDiaeresis = 0x9F;
// Base letters of 0xC0 to 0xFF; '-' where there is none (Æ, Ð, Þ, ß...).
constexpr char kLatin1BaseLetters[] = "AAAAAA-CEEEEIIII-NOOOOO-OUUUUY--aaaaaa-ceeeeiiii-nooooo-ouuuuy-y";
// The special letters of 0x80 to 0x9F, as (lower, upper, base) triples.
struct SpecialLetter {
  unsigned char lower, upper;
  char base;
};
constexpr SpecialLetter kSpecialLetters[] = {
    {0x9A, 0x8A, 's'},   // š Š
    {0x9C, 0x8C, '-'},   // œ Œ
    {0x9E, 0x8E, 'z'},   // ž Ž
    {kLowerYDiaeresis, kUpperYDiaeresis, 'y'},
};

struct LetterFacts {
  bool isLetter = false;
  int otherCase = -1;  // -1: none in the code page
  char base = '-';
};

LetterFacts FactsOf(unsigned char byte) {
  LetterFacts facts;
  for (const SpecialLetter& special : kSpecialLetters) {
    if (byte == special.lower || byte == special.upper) {
      facts.isLetter = true;
      facts.otherCase = byte == special.lower ? special.upper : special.lower;
      facts.base = special.base;
      return facts;
    }
  }
  if (byte < kFirstLatin1Letter || byte == kMultiplication || byte == kDivision) return facts;
  facts.isLetter = true;
  facts.base = kLatin1BaseLetters[byte - kFirstLatin1Letter];
  if (byte == kSharpS) return facts;
  if (byte == kLowerYDiaeresis) facts.otherCase = kUpperYDiaeresis;
  else facts.otherCase = byte < kFirstLatin1Letter + kLatin1CaseDistance ? byte + kLatin1CaseDistance
                                                                           : byte - kLatin1CaseDistance;
  return facts;
}

std::string Quoted(const std::string& cp1252) { return "« " + Cp1252ToUtf8(cp1252) + " »"; }

std::string Raised(const std::string& text) {
  char buffer[kTextSize];
  CopyTextBytes(buffer, text.data(), text.size());
  UppercaseAscii(buffer);
  return buffer;
}

// The file read and inspected, or what the cache kept of it when its size
// and time of last change are those seen then.
PictureInspection InspectPictureFile(const fs::path& file, PictureCheckCache* cache) {
  std::error_code sizeCode, timeCode;
  const std::uintmax_t size = fs::file_size(file, sizeCode);
  const fs::file_time_type modified = fs::last_write_time(file, timeCode);
  const bool cacheable = cache && !sizeCode && !timeCode;
  if (cacheable) {
    const auto found = cache->entries.find(file);
    if (found != cache->entries.end() && found->second.size == size && found->second.modified == modified)
      return found->second.inspection;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  PictureInspection inspection;
  if (!ReadFileBytes(file, &bytes, &error)) {
    inspection.problem = error;
    return inspection;  // not kept: the next check reads again
  }
  inspection = InspectPicture(bytes);
  if (cacheable) cache->entries[file] = PictureCheckCache::Entry{size, modified, inspection};
  return inspection;
}

class SurpriseFinder {
 public:
  SurpriseFinder(const QuizSource& quiz, const fs::path& sourceFile, PictureCheckCache* cache)
      : quiz_(quiz), sourceFile_(sourceFile), cache_(cache) {}

  std::vector<SourceIssue> Find() {
    CheckLabels();
    CheckCodes();
    std::map<std::string, int> firstWithAnswer;
    for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
      const QuestionSource& question = quiz_.questions[i];
      const int number = static_cast<int>(i + 1);
      CheckAnswer(question.answer, "reponse", number);
      if (quiz_.answersPerQuestion == 2) CheckAnswer(question.answer2, "reponse2", number);
      if (!question.answer.empty()) {
        const auto [first, inserted] = firstWithAnswer.emplace(Raised(question.answer), number);
        if (!inserted)
          Warn("reponse", number,
               "même réponse attendue que la question " + std::to_string(first->second) +
                   " (à la casse près) : la même réponse tapée résout les deux questions");
      }
      if (QuizTypeHasReveals(quiz_.quizType) && question.reveal.empty())
        Warn("revelation", number,
             "révélation vide : le type " + std::to_string(quiz_.quizType) +
                 " montre la révélation d'une question trouvée, celle-ci n'affichera rien");
      CheckPicture(question.image, number);
    }
    return issues_;
  }

 private:
  void Warn(const std::string& key, int question, const std::string& message) { Add(true, key, question, message); }
  void Error(const std::string& key, int question, const std::string& message) { Add(false, key, question, message); }
  void Add(bool warning, const std::string& key, int question, const std::string& message) {
    SourceIssue issue;
    issue.warning = warning;
    issue.key = key;
    issue.question = question;
    issue.message = message;
    issues_.push_back(issue);
  }

  void CheckLabels() {
    if (quiz_.answersPerQuestion != 2) return;
    const char* const which[] = {"premier", "second"};
    for (int k = 0; k < 2; ++k)
      if (quiz_.answerLabels[k].empty())
        Warn("libelles", 0,
             std::string(which[k]) +
                 " libellé vide : dans un quiz à deux réponses, la vue en liste le montre au-dessus de ses cases "
                 "de réponse, le joueur ne saura pas quoi y taper");
  }

  void CheckCodes() {
    const std::size_t count = quiz_.questions.size();
    if (quiz_.codes.size() >= count) return;
    if (quiz_.codes.empty()) {
      Warn("codes", 0, "aucun code de récompense : le bandeau n'affichera jamais de code");
      return;
    }
    Warn("codes", 0,
         std::to_string(quiz_.codes.size()) + " codes pour " + std::to_string(count) +
             " questions : à partir d'un score de " + std::to_string(quiz_.codes.size() + 1) +
             ", le bandeau n'affiche aucun code");
  }

  void CheckAnswer(const std::string& answer, const std::string& key, int number) {
    if (answer.empty()) return;  // the validation already warns of it
    if (answer.front() == kBlank || answer.back() == kBlank)
      Warn(key, number,
           "la réponse attendue " + Quoted(answer) +
               " commence ou finit par un blanc : le lecteur retire les blancs de la réponse tapée, jamais de "
               "la réponse attendue, elle ne pourra donc jamais être trouvée");
    CheckAccents(answer, key, number);
    if (answer.size() <= static_cast<std::size_t>(kShortAnswerLength))
      Warn(key, number,
           "réponse attendue de " + std::to_string(answer.size()) +
               " caractères : pour 3 caractères ou moins, la vue en liste ne donne aucun indice, seulement "
               "BRAVO ou FAUX");
  }

  void CheckAccents(const std::string& answer, const std::string& key, int number) {
    std::string explained;
    std::string seen;
    for (char c : answer) {
      const unsigned char byte = static_cast<unsigned char>(c);
      const LetterFacts facts = FactsOf(byte);
      if (!facts.isLetter || seen.find(c) != std::string::npos) continue;
      seen += c;
      std::vector<std::string> others;
      if (facts.base != '-') others.push_back(Quoted(std::string(1, facts.base)));
      if (facts.otherCase >= 0) others.push_back(Quoted(std::string(1, static_cast<char>(facts.otherCase))));
      explained += (explained.empty() ? "" : " ; ") + Quoted(std::string(1, c)) + " doit être tapé tel quel";
      if (others.size() == 1) explained += " (" + others[0] + " ne compte pas)";
      if (others.size() == 2) explained += " (ni " + others[0] + " ni " + others[1] + " ne comptent)";
    }
    if (explained.empty()) return;
    Warn(key, number,
         "lettres accentuées dans la réponse attendue " + Quoted(answer) +
             " : le lecteur ne met en majuscules que les lettres sans accent et compare les autres telles "
             "quelles ; " + explained);
  }

  void CheckPicture(const std::string& image, int number) {
    if (image.empty()) {
      Warn("image", number, "pas d'image : la question s'affiche avec une case d'image vide");
      return;
    }
    const fs::path file = PicturePath(sourceFile_, image);
    std::error_code code;
    if (!fs::is_regular_file(file, code)) {
      Error("image", number, "fichier image introuvable : « " + PathText(file) + " »");
      return;
    }
    const PictureInspection inspection = InspectPictureFile(file, cache_);
    if (inspection.format == PictureFormat::kUnknown) {
      Error("image", number, "« " + PathText(file) + " » : " + inspection.problem);
      return;
    }
    if (!inspection.showable) {
      Warn("image", number, "« " + PathText(file) + " » : " + inspection.problem +
                                " ; le lecteur n'affichera pas cette image");
      return;
    }
    const uint64_t pixels = uint64_t{inspection.width} * inspection.height;
    if (pixels > kSlowPicturePixels)
      Warn("image", number,
           "« " + PathText(file) + " » fait " + std::to_string(inspection.width) + " × " +
               std::to_string(inspection.height) +
               " pixels, bien plus que les 640 × 480 affichés : chaque image est décodée en entier, le quiz "
               "démarrera lentement ; réduisez-la");
  }

  const QuizSource& quiz_;
  const fs::path& sourceFile_;
  PictureCheckCache* cache_;
  std::vector<SourceIssue> issues_;
};

}  // namespace

std::vector<SourceIssue> CheckQuiz(const QuizSource& quiz, const fs::path& sourceFile, PictureCheckCache* cache) {
  std::vector<SourceIssue> issues = ValidateQuizSource(quiz);
  const std::vector<SourceIssue> surprises = SurpriseFinder(quiz, sourceFile, cache).Find();
  issues.insert(issues.end(), surprises.begin(), surprises.end());
  std::stable_sort(issues.begin(), issues.end(),
                   [](const SourceIssue& a, const SourceIssue& b) { return a.question < b.question; });
  return issues;
}

void CheckQuizSourceText(std::string_view toml, const fs::path& sourceFile, PictureCheckCache* cache,
                         QuizSource* quiz, std::vector<SourceIssue>* issues) {
  SourceLines lines;
  std::vector<SourceIssue> found;
  if (ReadQuizSource(toml, sourceFile, quiz, &found, &lines)) {
    const bool readingFailed = HasErrors(found);
    std::vector<SourceIssue> checks = CheckQuiz(*quiz, sourceFile, cache);
    PlaceIssues(lines, &checks);
    // Warnings about a quiz that was not read whole would mostly be about
    // the values left out.
    for (const SourceIssue& check : checks)
      if (!readingFailed || !check.warning) found.push_back(check);
  }
  std::stable_sort(found.begin(), found.end(), [](const SourceIssue& a, const SourceIssue& b) { return a.line < b.line; });
  issues->insert(issues->end(), found.begin(), found.end());
}

void CheckQuizSourceFile(const fs::path& sourceFile, PictureCheckCache* cache, QuizSource* quiz,
                         std::vector<SourceIssue>* issues) {
  std::string text;
  if (ReadSourceFileText(sourceFile, &text, issues)) CheckQuizSourceText(text, sourceFile, cache, quiz, issues);
}

}  // namespace vidod
