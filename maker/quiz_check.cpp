#include "maker/quiz_check.h"

#include <cstring>
#include <map>

#include "answers/text_compare.h"
#include "answers/verdict.h"
#include "common/text_buffer.h"
#include "maker/cp1252.h"
#include "maker/file_io.h"
#include "maker/picture_check.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace {

constexpr char kBlank = ' ';

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

class SurpriseFinder {
 public:
  SurpriseFinder(const QuizSource& quiz, const std::filesystem::path& sourceFile)
      : quiz_(quiz), sourceFile_(sourceFile) {}

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
  void Warn(const std::string& key, int question, const std::string& message) {
    SourceIssue issue;
    issue.warning = true;
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
    const std::filesystem::path file = PicturePath(sourceFile_, image);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(file, &bytes, &error)) {
      Warn("image", number, error);
      return;
    }
    const PictureInspection inspection = InspectPicture(bytes);
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
  const std::filesystem::path& sourceFile_;
  std::vector<SourceIssue> issues_;
};

}  // namespace

std::vector<SourceIssue> FindSurprises(const QuizSource& quiz, const std::filesystem::path& sourceFile) {
  return SurpriseFinder(quiz, sourceFile).Find();
}

}  // namespace vidod
