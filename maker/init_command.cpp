// vidod-make init IMAGES_DIR -o QUIZ.toml: a starting source with one
// question per picture of a folder.
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
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kInitCommand[] = "init";

struct InitOptions {
  std::string picturesFolder;
  std::string output;
  bool force = false;
};

void RunInit(const InitOptions& options) {
  const fs::path target = fs::absolute(PathFromText(options.output)).lexically_normal();
  std::error_code code;
  if (!options.force && fs::exists(target, code)) {
    ReportError(kInitCommand, "« " + options.output + " » existe déjà ; ajoutez --force pour le remplacer");
    FailCommand();
  }
  fs::path folder = fs::absolute(PathFromText(options.picturesFolder)).lexically_normal();
  // "." and "images/" end with a separator: the folder's name is before it.
  if (!folder.has_filename()) folder = folder.parent_path();
  PictureFolder scan;
  std::string error;
  const bool scanned = ScanPictureFolder(folder, target, options.force, &scan, &error);
  for (const SkippedFile& skipped : scan.skipped)
    std::cerr << "vidod-make init : « " << PathText(skipped.file.filename()) << " » ignoré : " << skipped.reason
              << "\n";
  std::vector<CommandInput> pictures;
  for (const StarterQuestion& question : scan.questions)
    pictures.push_back({PicturePath(target, question.image), "une des images du quiz"});
  if (!scanned || !RefuseInputAsOutput(target, pictures, &error)) {
    ReportError(kInitCommand, error);
    FailCommand();
  }

  std::string title = target.parent_path().filename().u8string();
  const std::string source =
      WriteStarterSource(title, PathText(folder.filename()), scan.questions);

  // A file name can hold what an answer may not ("|", a character outside
  // the player's code page): said now, the author fixes it while editing.
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource(source, target, &quiz, &issues);
  for (const SourceIssue& issue : issues)
    std::cerr << FormatIssue(options.output, issue) << (issue.warning ? "" : " (à corriger avant build)") << "\n";

  if (!WriteOutputFiles({{target, std::vector<uint8_t>(source.begin(), source.end())}}, &error)) {
    ReportError(kInitCommand, error);
    FailCommand();
  }
  std::cout << "vidod-make init : " << CountOf(scan.questions.size(), "question") << " -> " << options.output << "\n";
}

}  // namespace

void RegisterInitCommand(CLI::App& app) {
  auto options = std::make_shared<InitOptions>();
  CLI::App* init = app.add_subcommand("init", "Prépare une source de quiz avec une question par image d'un dossier");
  init->footer(
      "Les images (JPEG, PNG, GIF, BMP, WebP, HEIC ou AVIF, reconnues à leurs premiers octets ; build\n"
      "range les trois dernières en JPEG ou en PNG) sont prises dans l'ordre de leur nom, les nombres\n"
      "dans leur ordre (2 avant 10) ; le nom sans extension ni numéro de tête (« 01-», « 1 », « 01_ »)\n"
      "devient la réponse attendue, à corriger au besoin. Les fichiers cachés et ceux qui ne sont pas des\n"
      "images sont nommés et laissés de côté. Au-delà de 96 images, --force prend les 96 premières.\n"
      "Chaque clé est écrite avec sa valeur par défaut et un commentaire qui dit ce qu'elle fait.\n");
  init->add_option("IMAGES", options->picturesFolder, "Dossier des images du quiz")->required()->type_name("DOSSIER");
  init->add_option("-o,--sortie", options->output, "Source de quiz à écrire")->required()->type_name("QUIZ.toml");
  init->add_flag("-f,--force", options->force,
                 "Remplace une source existante ; au-delà de 96 images, prend les 96 premières");
  init->callback([options] { RunInit(*options); });
}

}  // namespace vidod
