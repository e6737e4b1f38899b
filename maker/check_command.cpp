// vidod-make check QUIZ.toml: the source read as build reads it, then what
// the player will do with the quiz that its author may not expect.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace {

constexpr int kCleanExitCode = 0;
constexpr int kWarningsExitCode = 1;
constexpr int kErrorsExitCode = 2;

struct CheckOptions {
  std::string source;
};

std::string Count(std::size_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count > 1 ? plural : singular);
}

void RunCheck(const CheckOptions& options) {
  const std::filesystem::path sourceFile = PathFromText(options.source);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  CheckQuizSourceFile(sourceFile, nullptr, &quiz, &issues);
  for (const SourceIssue& issue : issues) std::cout << FormatIssue(options.source, issue) << "\n";

  const std::size_t errors = static_cast<std::size_t>(
      std::count_if(issues.begin(), issues.end(), [](const SourceIssue& issue) { return !issue.warning; }));
  const std::size_t warnings = issues.size() - errors;
  if (errors > 0) {
    std::cout << options.source << " : " << Count(errors, "erreur", "erreurs") << ", "
              << Count(warnings, "avertissement", "avertissements") << " ; build refusera ce quiz\n";
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
      "Signale les erreurs qui empêchent la construction, puis, question par question : une réponse\n"
      "attendue entourée de blancs (jamais trouvable), des lettres accentuées (à taper exactement), une\n"
      "réponse de 3 caractères ou moins (pas d'indice dans la vue en liste), deux questions de même\n"
      "réponse, une image absente, illisible ou que le lecteur ne sait pas afficher, une image bien plus\n"
      "grande que 640 × 480, moins de codes que de questions, des révélations vides, des libellés vides\n"
      "dans un quiz à deux réponses.\n"
      "Code de sortie : 0 sans remarque, 1 avec des avertissements seulement, 2 avec des erreurs.\n");
  check->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8)")->required()->type_name("QUIZ.toml");
  check->callback([options] { RunCheck(*options); });
}

}  // namespace vidod
