// vidod-make web QUIZ -o QUIZ.html: the quiz as one web page that any
// browser plays, from its source or from its executable.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_page.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kWebCommand[] = "web";
constexpr char kExecutableSignature[] = "MZ";
constexpr std::uintmax_t kKilobyte = 1024;

struct WebOptions {
  std::string input;
  std::string output;
  bool force = false;
};

bool IsExecutable(const fs::path& file) {
  std::vector<uint8_t> start;
  return ReadFileStart(file, 2, &start) && start.size() == 2 && start[0] == kExecutableSignature[0] &&
         start[1] == kExecutableSignature[1];
}

void RunWeb(const WebOptions& options) {
  const fs::path input = PathFromText(options.input);
  PageSettings settings;
  settings.output = PathFromText(options.output);
  settings.force = options.force;
  fs::path written;
  std::string error;
  bool made = false;
  if (IsExecutable(input)) {
    made = WriteQuizPageFromExecutable(input, settings, &written, &error);
  } else {
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    PictureCheckCache cache;
    cache.leaveRedrawnToBuild = true;  // each photo decoded once
    CheckQuizSourceFile(input, &cache, &quiz, &issues, true);
    if (!ReportIssues(options.input, issues)) FailCommand();
    settings.pictureCache = &cache;
    made = WriteQuizPageFromSource(quiz, input, settings, &written, &error);
  }
  if (!made) {
    ReportError(kWebCommand, error);
    FailCommand();
  }
  std::error_code code;
  const std::uintmax_t size = fs::file_size(written, code);
  std::cout << "vidod-make web : " << PathText(written) << " (" << (code ? 0 : (size + kKilobyte - 1) / kKilobyte)
            << " Ko)\n";
}

}  // namespace

void RegisterWebCommand(CLI::App& app) {
  auto options = std::make_shared<WebOptions>();
  CLI::App* web =
      app.add_subcommand("web", "Fait du quiz une page web : un seul fichier HTML que tout navigateur joue");
  web->footer(
      "L'entrée est la source du quiz (TOML) ou son exécutable. La page porte tout en elle : les images\n"
      "(réduites à 640 × 480 au plus depuis une source, telles quelles depuis un exécutable), le jugement\n"
      "du lecteur et les codes de récompense, qui ne s'y lisent pas plus que dans l'exécutable. Elle\n"
      "s'ouvre depuis un disque, une clé USB, une plateforme d'établissement ou un site, et ne fait\n"
      "aucune requête réseau. Les réponses tapées restent dans le navigateur, quiz par quiz. Une sortie\n"
      "sans extension reçoit « .html » ; un fichier existant qui n'est pas une page n'est remplacé\n"
      "qu'avec --force.\n");
  web->add_option("QUIZ", options->input, "Source du quiz (TOML) ou exécutable du quiz")
      ->required()
      ->type_name("QUIZ.toml|QUIZ.exe");
  web->add_option("-o,--sortie", options->output, "Page web à écrire")->required()->type_name("QUIZ.html");
  web->add_flag("-f,--force", options->force, "Remplace une sortie existante qui n'est pas une page web");
  web->callback([options] { RunWeb(*options); });
}

}  // namespace vidod
