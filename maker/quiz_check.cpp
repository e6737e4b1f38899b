// The checks of a quiz model: the rules that keep it from being built, and
// what the player will do with it that surprises its author though it
// builds: answers that cannot or can hardly be found, pictures it cannot
// show or is slow to show, missing codes, reveal texts and labels.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <system_error>

#include "answers/answer_normalisation.h"
#include "answers/verdict.h"
#include "common/text_buffer.h"
#include "maker/answer_typing.h"
#include "common/cp1252.h"
#include "maker/file_io.h"
#include "maker/header_text_width.h"
#include "maker/picture_check.h"
#include "maker/picture_format.h"
#include "maker/picture_reduction.h"
#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;

// Pictures of more than this many pixels (four times the 640 x 480 of the
// single-question view) make the quiz slow to start: every picture is
// decoded whole each time it is shown.
constexpr uint64_t kViewPixels = uint64_t{kViewBoxWidth} * kViewBoxHeight;
constexpr uint64_t kSlowPicturePixels = 4 * kViewPixels;
constexpr uint64_t kDecodedBytesPerPixel = 4;  // the screen's 32-bit bitmaps
constexpr uint64_t kBytesPerMegabyte = 1000 * 1000;

// Letters of code page 1252 that have no plain form and no key on a French
// keyboard: eth, thorn, sharp s. (The ligatures compare as their two letters.)
constexpr unsigned char kLettersOfTheirOwn[] = {0xD0, 0xF0, 0xDE, 0xFE, 0xDF};

bool IsLetterOfItsOwn(unsigned char byte) {
  return std::find(std::begin(kLettersOfTheirOwn), std::end(kLettersOfTheirOwn), byte) != std::end(kLettersOfTheirOwn);
}

std::string Quoted(const std::string& cp1252) { return "« " + Cp1252ToUtf8(cp1252) + " »"; }

// The answer as the player compares it under the quiz's rules.
std::string AsJudged(const std::string& text, const AnswerRules& rules) {
  char raw[kTextSize];
  char judged[kTextSize];
  CopyTextBytes(raw, text.data(), text.size());
  NormaliseAnswer(raw, judged, rules);
  return judged;
}

const char* const kAnswerKeys[] = {"reponse", "reponse2"};

// The file read and inspected, or what the cache kept of it when its size
// and time of last change are those seen then.
// Pictures that a reducing build decodes to redraw them: it checks them from
// that same decoding.
bool Redrawn(const fs::path& file) {
  const PictureFormat format = DetectPictureFileFormat(file);
  return format != PictureFormat::kUnknown && format != PictureFormat::kGif && format != PictureFormat::kBmp;
}

// False when a cache that does not decode has no inspection of the file
// as it is now: it is then named in the cache's pending files.
bool InspectPictureFile(const fs::path& file, PictureCheckCache* cache, bool reduced, PictureInspection* inspection) {
  std::error_code sizeCode, timeCode;
  const std::uintmax_t size = fs::file_size(file, sizeCode);
  const fs::file_time_type modified = fs::last_write_time(file, timeCode);
  const bool cacheable = cache && !sizeCode && !timeCode;
  if (cacheable) {
    const auto found = cache->entries.find(file);
    if (found != cache->entries.end() && found->second.size == size && found->second.modified == modified) {
      *inspection = found->second.inspection;
      return true;
    }
  }
  if (cache && (!cache->decodeMissing || (cache->leaveRedrawnToBuild && reduced && Redrawn(file)))) {
    cache->pending.push_back(file);
    return false;
  }
  PictureCheckCache::Entry entry;
  if (!InspectPictureFileNow(file, &entry)) {
    *inspection = entry.inspection;
    return true;  // not kept: the next check reads again
  }
  *inspection = entry.inspection;
  if (cacheable) cache->entries[file] = PictureCheckCache::Entry{size, modified, entry.inspection};
  return true;
}

}  // namespace

bool InspectPictureFileNow(const fs::path& file, PictureCheckCache::Entry* entry) {
  std::error_code sizeCode, timeCode;
  entry->size = fs::file_size(file, sizeCode);
  entry->modified = fs::last_write_time(file, timeCode);
  std::vector<uint8_t> bytes;
  std::string error;
  if (sizeCode || timeCode || !ReadFileBytes(file, &bytes, &error)) {
    entry->inspection = PictureInspection();
    entry->inspection.problem = error.empty() ? "fichier illisible" : error;
    return false;
  }
  entry->inspection = InspectPicture(bytes);
  return true;
}

void StorePictureInspection(PictureCheckCache* cache, const fs::path& file, const PictureCheckCache::Entry& entry) {
  cache->entries[file] = entry;
}

namespace {

class SurpriseFinder {
 public:
  SurpriseFinder(const QuizSource& quiz, const fs::path& sourceFile, PictureCheckCache* cache, CheckAdvice advice)
      : quiz_(quiz),
        sourceFile_(sourceFile),
        cache_(cache),
        advice_(advice),
        rules_(AnswerRulesFromTolerances(quiz.tolerances)) {}

  std::vector<SourceIssue> Find() {
    CheckTitleWidth();
    CheckAuthorWidth();
    CheckLinkWidth();
    CheckLabels();
    CheckCodes();
    CheckCodeWidths();
    for (std::size_t i = 0; i < quiz_.questions.size(); ++i) {
      const QuestionSource& question = quiz_.questions[i];
      const int number = static_cast<int>(i + 1);
      for (int box = 0; box < quiz_.answersPerQuestion && box < 2; ++box) {
        const std::vector<std::string> list = AcceptedAnswerList(question, box);
        for (std::size_t k = 0; k < list.size(); ++k) CheckAnswer(list[k], kAnswerKeys[box], number, static_cast<int>(k + 1));
        CheckListRepeats(list, kAnswerKeys[box], number);
      }
      if (quiz_.answersPerQuestion == 2) CheckBoxesApart(question, number);
      CheckAnswerShared(question, number);
      if (QuizTypeHasReveals(quiz_.quizType) && question.reveal.empty()) Warn("revelation", number, EmptyReveal());
      CheckPicture(question.image, question.rotation, number);
    }
    return issues_;
  }

 private:
  std::string EmptyReveal() const {
    if (advice_ == CheckAdvice::kCommandLine)
      return "révélation vide : le type " + std::to_string(quiz_.quizType) +
             " montre la révélation d'une question trouvée, celle-ci n'affichera rien";
    return RevealKindOf(quiz_.quizType) == RevealKind::kAllAtEnd
               ? "vide : quand le quiz sera fini, rien n'apparaîtra pour cette question"
               : "vide : quand cette question sera trouvée, rien n'apparaîtra";
  }

  void Warn(const std::string& key, int question, const std::string& message, int item = 0) {
    Add(true, key, question, message, item);
  }
  void Error(const std::string& key, int question, const std::string& message) { Add(false, key, question, message); }
  void Add(bool warning, const std::string& key, int question, const std::string& message, int item = 0) {
    SourceIssue issue;
    issue.warning = warning;
    issue.key = key;
    issue.question = question;
    issue.message = message;
    issue.item = item;
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
                 "de réponse, le joueur ne saura pas quoi y taper",
             k + 1);
  }

  void CheckTitleWidth() {
    const int width = TitleTextWidth(quiz_.title);
    if (width <= kTitleLabelWidth) return;
    Warn("titre", 0,
         "le titre " + Quoted(quiz_.title) + " fait environ " + std::to_string(width) +
             " pixels dans la police du bandeau, son cadre en a " + std::to_string(kTitleLabelWidth) +
             " : la fin n'en sera pas visible ; raccourcissez-le");
  }

  // The author's label wraps its words: what does not fit its one line is cut.
  void CheckAuthorWidth() {
    const int width = AuthorTextWidth(quiz_.author);
    if (width <= kAuthorLabelWidth) return;
    Warn("auteur", 0,
         "« " + Cp1252ToUtf8(quiz_.author) + " » fait environ " + std::to_string(width) +
             " pixels dans le bandeau, qui en montre " + std::to_string(kAuthorLabelWidth) +
             " après « Par : » : la fin sera coupée ; gardez le nom (« Mme Lefèvre, CM2 ») et mettez l'école dans "
             "l'explication");
  }

  void CheckLinkWidth() {
    const int width = LinkTextWidth(quiz_.link);
    if (quiz_.link.empty() || width <= kLinkLabelWidth) return;
    Warn("lien", 0,
         "le lien « " + Cp1252ToUtf8(quiz_.link) + " » fait environ " + std::to_string(width) +
             " pixels dans le bandeau, qui en montre " + std::to_string(kLinkLabelWidth) +
             " : la fin ne sera pas visible (le lien s'ouvre quand même en entier) ; une adresse courte se lit mieux");
  }

  // Codes shown beyond the questions never appear; their width does not matter.
  void CheckCodeWidths() {
    std::string wide;
    const std::size_t shown = std::min(quiz_.codes.size(), quiz_.questions.size());
    for (std::size_t k = 0; k < shown; ++k) {
      const std::string& code = quiz_.codes[k].text;
      if (CodeTextWidth(code) <= kCodeFieldTextWidth) continue;
      std::size_t fits = 0;
      while (fits < code.size() && CodeTextWidth(code.substr(0, fits + 1)) <= kCodeFieldTextWidth) ++fits;
      wide += (wide.empty() ? "" : ", ") + std::string("code ") + std::to_string(k + 1) + " " + Quoted(code) +
              " (seul " + Quoted(code.substr(0, fits)) + " y tient)";
    }
    if (wide.empty()) return;
    Warn("codes", 0,
         "trop long pour le champ du code du bandeau : " + wide +
             " ; le lecteur écrit un tel code en plus petit et, s'il ne tient toujours pas, l'élève doit le "
             "faire défiler pour le lire en entier ; un code d'environ 7 lettres ou chiffres tient");
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

  // item 1 is the expected answer, the others are the further answers its
  // box accepts.
  void CheckAnswer(const std::string& answer, const std::string& key, int number, int item) {
    if (answer.empty()) return;  // the validation already warns of it
    const std::string which = item <= 1 ? "la réponse attendue " : "la réponse acceptée ";
    const AnswerTyping typing = ExamineAnswerTyping(answer);
    if (!typing.problems.empty()) {
      std::string listed;
      for (const std::string& problem : typing.problems) listed += (listed.empty() ? "" : " ; ") + problem;
      Warn(key, number,
           which + Quoted(answer) + " ne peut pas être tapée telle quelle au clavier : " + listed + ". Écrivez " +
               Quoted(typing.typable) +
               (advice_ == CheckAdvice::kAtelier
                    ? " (Question > Rendre les réponses tapables au clavier le fait pour vous)"
                    : " (vidod-make check --corriger le fait pour vous)"),
           item);
    }
    CheckAccents(answer, key, number, item);
    // As the player counts it: trimmed, and under the quiz's tolerances
    // ("l'Ain" is "AIN" once its article goes).
    const std::size_t judgedLength = AsJudged(answer, rules_).size();
    if (judgedLength <= static_cast<std::size_t>(kShortAnswerLength))
      Warn(key, number,
           (item <= 1 ? std::string("réponse attendue de ") : "réponse acceptée " + Quoted(answer) + " de ") +
               std::to_string(judgedLength) +
               " caractères : pour 3 caractères ou moins, la vue en liste ne donne aucun indice, seulement "
               "BRAVO ou FAUX",
           item);
  }

  void CheckAccents(const std::string& answer, const std::string& key, int number, int item) {
    std::string explained;
    std::string seen;
    for (char c : answer) {
      const unsigned char byte = static_cast<unsigned char>(c);
      const char plain = UnaccentedLetter(byte);
      if ((!plain && !IsLetterOfItsOwn(byte)) || (plain && rules_.ignoreAccents) ||
          seen.find(c) != std::string::npos)
        continue;
      seen += c;
      explained += (explained.empty() ? "" : " ; ") + Quoted(std::string(1, c)) +
                   (!plain ? " doit être tapé tel quel"
                           : " doit être tapé avec son accent (" + Quoted(std::string(1, plain)) + " ne compte pas)");
    }
    if (explained.empty()) return;
    Warn(key, number,
         "lettres accentuées dans " + std::string(item <= 1 ? "la réponse attendue " : "la réponse acceptée ") +
             Quoted(answer) + " : le lecteur ne tient pas compte des majuscules, mais bien des accents ; " +
             explained,
         item);
  }

  // An answer of a box's list that the player compares as an earlier one
  // adds nothing.
  void CheckListRepeats(const std::vector<std::string>& list, const std::string& key, int number) {
    std::map<std::string, std::size_t> seen;
    for (std::size_t k = 0; k < list.size(); ++k) {
      if (list[k].empty()) continue;
      const auto [earlier, inserted] = seen.emplace(AsJudged(list[k], rules_), k);
      if (inserted || k == 0) continue;
      Warn(key, number,
           "la réponse acceptée " + Quoted(list[k]) + " se compare comme " + Quoted(list[earlier->second]) +
               ", déjà dans la liste : elle n'ajoute rien",
           static_cast<int>(k + 1));
    }
  }

  // A list that makes the two boxes of a question accept the same answer:
  // the same typed answer fills both. Two expected answers alike are the
  // author's choice and were always allowed.
  void CheckBoxesApart(const QuestionSource& question, int number) {
    const std::vector<std::string> first = AcceptedAnswerList(question, 0);
    const std::vector<std::string> second = AcceptedAnswerList(question, 1);
    for (std::size_t k = 0; k < second.size(); ++k) {
      if (second[k].empty()) continue;
      const std::string judged = AsJudged(second[k], rules_);
      for (std::size_t j = 0; j < first.size(); ++j) {
        if ((j == 0 && k == 0) || first[j].empty() || AsJudged(first[j], rules_) != judged) continue;
        Warn("reponse2", number,
             Quoted(second[k]) + " est acceptée dans les deux cases de la question (" + Quoted(first[j]) +
                 " dans la première) : la même réponse tapée remplit les deux cases",
             static_cast<int>(k + 1));
        return;
      }
    }
  }

  // An answer of the first box accepted by an earlier question too: the
  // same typed answer solves both. Once per pair of questions.
  void CheckAnswerShared(const QuestionSource& question, int number) {
    const std::vector<std::string> list = AcceptedAnswerList(question, 0);
    std::set<int> warned;
    for (std::size_t k = 0; k < list.size(); ++k) {
      if (list[k].empty()) continue;
      const auto [earlier, inserted] = firstBoxAnswers_.emplace(AsJudged(list[k], rules_), Accepted{number, k});
      if (inserted || earlier->second.question == number || !warned.insert(earlier->second.question).second)
        continue;
      const int other = earlier->second.question;
      if (k == 0 && earlier->second.item == 0)
        Warn("reponse", number,
             "même réponse attendue que la question " + std::to_string(other) +
                 " (à la casse près) : la même réponse tapée résout les deux questions");
      else
        Warn("reponse", number,
             Quoted(list[k]) + " est acceptée aussi par la question " + std::to_string(other) + " (" +
                 Quoted(AcceptedAnswerList(quiz_.questions[other - 1], 0)[earlier->second.item]) +
                 ") : la même réponse tapée résout les deux questions",
             static_cast<int>(k + 1));
    }
  }

  void CheckPicture(const std::string& image, int rotation, int number) {
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
    PictureInspection inspection;
    if (!InspectPictureFile(file, cache_, quiz_.reducePictures, &inspection)) return;  // told when it has been decoded
    if (!inspection.showable) {
      // Formats the player reads would show as an empty box; the others
      // cannot be built at all.
      Error("image", number, "« " + PathText(file) + " » : " + inspection.problem +
                                 (PlayerShowsFormat(inspection.format)
                                      ? " ; le lecteur montrerait une case vide à la place"
                                      : ""));
      return;
    }
    const bool reducible = inspection.format != PictureFormat::kGif && inspection.format != PictureFormat::kBmp;
    if (rotation != 0 && !reducible) {
      Error("rotation", number,
            "« " + PathText(file) + " » : une image " + PictureFormatName(inspection.format) +
                " ne peut pas être tournée à la construction ; enregistrez-la en PNG pour la tourner");
      return;
    }
    // Sizes as shown: a quarter turn exchanges them.
    if (rotation % 180 != 0) std::swap(inspection.width, inspection.height);
    if (FitsViewBox(inspection.width, inspection.height)) return;
    if (quiz_.reducePictures && reducible) return;  // build stores it at the size shown
    const uint64_t pixels = uint64_t{inspection.width} * inspection.height;
    if (pixels <= kSlowPicturePixels) return;
    const std::string how = advice_ == CheckAdvice::kAtelier
                                ? "cochez « Réduire les grandes images » dans l'onglet Quiz"
                                : "ajoutez reduire_images = true à la source (ou --reduire à build)";
    std::string advice = reducible ? " ; " + how + " pour qu'elle soit stockée réduite, l'original restant tel quel"
                                   : " ; les GIF et les BMP ne sont pas réduits à la construction : réduisez-la ou "
                                     "enregistrez-la en JPEG";
    Warn("image", number,
         "« " + PathText(file) + " » fait " + std::to_string(inspection.width) + " × " +
             std::to_string(inspection.height) + " pixels, bien plus que les " + std::to_string(kViewBoxWidth) +
             " × " + std::to_string(kViewBoxHeight) + " affichés : le lecteur la décode en entier à chaque "
             "démarrage, soit " + std::to_string(pixels * kDecodedBytesPerPixel / kBytesPerMegabyte) +
             " Mo de mémoire et " + std::to_string((pixels + kViewPixels / 2) / kViewPixels) +
             " fois le travail d'une image de " + std::to_string(kViewBoxWidth) + " × " +
             std::to_string(kViewBoxHeight) + advice);
  }

  // Where an answer of a first box was first seen: question from 1, item
  // from 0 in its list.
  struct Accepted {
    int question;
    std::size_t item;
  };

  const QuizSource& quiz_;
  const fs::path& sourceFile_;
  PictureCheckCache* cache_;
  const CheckAdvice advice_;
  const AnswerRules rules_;
  std::map<std::string, Accepted> firstBoxAnswers_;
  std::vector<SourceIssue> issues_;
};

}  // namespace

std::vector<SourceIssue> CheckQuiz(const QuizSource& quiz, const fs::path& sourceFile, PictureCheckCache* cache,
                                   CheckAdvice advice) {
  if (cache) cache->pending.clear();
  std::vector<SourceIssue> issues = ValidateQuizSource(quiz, advice);
  const std::vector<SourceIssue> surprises = SurpriseFinder(quiz, sourceFile, cache, advice).Find();
  issues.insert(issues.end(), surprises.begin(), surprises.end());
  std::stable_sort(issues.begin(), issues.end(),
                   [](const SourceIssue& a, const SourceIssue& b) { return a.question < b.question; });
  return issues;
}

namespace {

// Whether a check follows from a value that could not be read: the same
// key of the same question, or the reveal texts when the type is unknown.
bool FollowsFromUnread(const SourceIssue& check, const std::vector<SourceIssue>& reading) {
  return std::any_of(reading.begin(), reading.end(), [&check](const SourceIssue& unread) {
    if (unread.warning) return false;
    if (unread.question == check.question && unread.key == check.key) return true;
    return unread.key == "type" && (check.key == "revelation" || check.key == "note_revelation");
  });
}

}  // namespace

void CheckQuizSourceText(std::string_view toml, const fs::path& sourceFile, PictureCheckCache* cache,
                         QuizSource* quiz, std::vector<SourceIssue>* issues, bool reducePictures) {
  SourceLines lines;
  std::vector<SourceIssue> found;
  if (ReadQuizSource(toml, sourceFile, quiz, &found, &lines)) {
    if (reducePictures) quiz->reducePictures = true;
    const bool readingFailed = HasErrors(found);
    const std::vector<SourceIssue> reading = found;
    std::vector<SourceIssue> checks = CheckQuiz(*quiz, sourceFile, cache);
    PlaceIssues(lines, &checks);
    // Warnings about a quiz that was not read whole would mostly be about
    // the values left out.
    for (const SourceIssue& check : checks)
      if ((!readingFailed || !check.warning) && !FollowsFromUnread(check, reading)) found.push_back(check);
  }
  std::stable_sort(found.begin(), found.end(), [](const SourceIssue& a, const SourceIssue& b) { return a.line < b.line; });
  issues->insert(issues->end(), found.begin(), found.end());
}

void CheckQuizSourceFile(const fs::path& sourceFile, PictureCheckCache* cache, QuizSource* quiz,
                         std::vector<SourceIssue>* issues, bool reducePictures) {
  std::string text;
  if (ReadSourceFileText(sourceFile, &text, issues))
    CheckQuizSourceText(text, sourceFile, cache, quiz, issues, reducePictures);
}

}  // namespace vidod
