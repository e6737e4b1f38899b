// vidod-make check QUIZ.toml [--corriger]: the source read as build reads
// it, then what the player will do with the quiz that its author may not
// expect; with --corriger, the expected answers made typable first.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace {

constexpr int kCleanExitCode = 0;
constexpr int kWarningsExitCode = 1;
constexpr int kErrorsExitCode = 2;

constexpr char kBackupSuffix[] = ".avant-correction";
constexpr char kUsualSourceName[] = "quiz.toml";

struct CheckOptions {
  std::string source;
  bool correct = false;
};

std::string Count(std::size_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count > 1 ? plural : singular);
}

// quiz.toml is kept as quiz.avant-correction.toml, or -2, -3... when an
// earlier correction left one.
std::filesystem::path BackupPathFor(const std::filesystem::path& source) {
  const std::filesystem::path folder = source.parent_path();
  const std::string stem = source.stem().u8string();
  const std::string extension = source.extension().u8string();
  for (int number = 1;; ++number) {
    const std::filesystem::path backup =
        folder / PathFromText(stem + kBackupSuffix + (number > 1 ? "-" + std::to_string(number) : "") + extension);
    std::error_code code;
    if (!std::filesystem::exists(backup, code)) return backup;
  }
}

// Rewrites the source with typable answers, the original kept beside it. A
// source that is no TOML is left to the check to explain. A link to the
// source stays a link: the file it leads to is the one corrected.
void RewriteAnswers(const CheckOptions& options, const std::filesystem::path& sourceFile) {
  std::string text, corrected, error;
  std::vector<SourceIssue> unread;
  std::vector<std::string> changes;
  if (!ReadSourceFileText(sourceFile, &text, &unread)) return;
  const SourceCorrection correction = CorrectAnswersInSource(text, &corrected, &changes, &error);
  if (correction == SourceCorrection::kNotToml) return;
  if (correction == SourceCorrection::kRefused || (!changes.empty() && !RefuseReadOnlyFile(sourceFile, &error))) {
    ReportError("check", error);
    EndCommand(kErrorsExitCode);
  }
  if (changes.empty()) {
    std::cout << options.source << " : aucune réponse attendue à corriger\n";
    return;
  }
  const std::filesystem::path backup = BackupPathFor(sourceFile);
  if (!WriteOutputFiles({{backup, std::vector<uint8_t>(text.begin(), text.end())},
                         {sourceFile, std::vector<uint8_t>(corrected.begin(), corrected.end())}},
                        &error)) {
    ReportError("check", error);
    EndCommand(kErrorsExitCode);
  }
  for (const std::string& change : changes) std::cout << options.source << " : corrigé : " << change << "\n";
  std::cout << options.source << " : " << Count(changes.size(), "réponse corrigée", "réponses corrigées")
            << ", l'original est gardé dans « " << PathText(backup) << " »\n";
}

// A folder stands for the quiz.toml in it, the name init gives a source.
std::string SourceInFolder(const std::string& given) {
  const std::filesystem::path path = PathFromText(given);
  std::error_code code;
  if (!std::filesystem::is_directory(path, code)) return given;
  const std::filesystem::path source = path / kUsualSourceName;
  if (!std::filesystem::is_regular_file(source, code)) {
    ReportError("check", "« " + given + " » est un dossier, sans « " + kUsualSourceName +
                             " » : donnez le chemin du fichier de la source (.toml) qu'il contient");
    EndCommand(kErrorsExitCode);
  }
  std::cout << "« " << given << " » est un dossier : vérification de sa source « " << PathText(source) << " »\n";
  return PathText(source);
}

void RunCheck(CheckOptions options) {
  options.source = SourceInFolder(options.source);
  const std::filesystem::path sourceFile = PathFromText(options.source);
  if (options.correct) RewriteAnswers(options, sourceFile);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  CheckQuizSourceFile(sourceFile, nullptr, &quiz, &issues);
  for (const SourceIssue& issue : issues) std::cout << FormatIssue(options.source, issue) << "\n";

  const std::size_t errors = static_cast<std::size_t>(
      std::count_if(issues.begin(), issues.end(), [](const SourceIssue& issue) { return !issue.warning; }));
  const std::size_t warnings = issues.size() - errors;
  if (errors > 0) {
    // A source not read whole is not looked at further: "0 avertissement"
    // would promise what is not known yet.
    std::cout << options.source << " : " << Count(errors, "erreur", "erreurs")
              << (warnings > 0 ? ", " + Count(warnings, "avertissement", "avertissements") : std::string())
              << " ; build refusera ce quiz"
              << (warnings > 0 ? "" : " ; relancez check une fois corrigé : d'autres remarques peuvent suivre")
              << "\n";
    EndCommand(kErrorsExitCode);
  }
  if (warnings > 0) {
    std::cout << options.source << " : " << Count(warnings, "avertissement", "avertissements")
              << " ; le quiz peut être construit\n";
    EndCommand(kWarningsExitCode);
  }
  std::cout << options.source << " : aucun problème trouvé\n";
  EndCommand(kCleanExitCode);
}

}  // namespace

void RegisterCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check = app.add_subcommand(
      "check", "Vérifie une source de quiz et signale ce que le lecteur fera d'inattendu");
  check->footer(
      "Signale les erreurs qui empêchent la construction (dont une image absente, endommagée ou que le\n"
      "lecteur ne sait pas afficher : chaque image est décodée en entier), puis, question par question :\n"
      "une réponse attendue qu'un clavier ne tape pas telle quelle (espace insécable, apostrophe ou\n"
      "guillemets typographiques, tabulation, blancs en trop...), des lettres accentuées (à taper avec\n"
      "leur accent), une réponse de 3 caractères ou moins (pas d'indice dans la vue en liste), deux\n"
      "questions de même réponse, une image bien plus grande que 640 × 480, un titre ou un code trop\n"
      "long pour son cadre, moins de codes que de questions, des révélations vides, des libellés vides\n"
      "dans un quiz à deux réponses.\n"
      "Code de sortie : 0 sans remarque, 1 avec des avertissements seulement, 2 avec des erreurs.\n");
  check->add_flag("--corriger", options->correct,
                  "Réécrit les réponses attendues impossibles à taper comme un clavier les tape (l'original est "
                  "gardé dans QUIZ.avant-correction.toml)");
  check->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8), ou le dossier qui contient son quiz.toml")
      ->required()
      ->type_name("QUIZ.toml");
  check->callback([options] { RunCheck(*options); });
}

}  // namespace vidod
