// vidod-make build QUIZ.toml -o QUIZ.exe: a copy of the player that carries
// the quiz in its resources, ready to hand out.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/host_platform.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kBuildCommand[] = "build";
constexpr char kPlayerFileName[] = "vidod.exe";

struct BuildOptions {
  std::string source;
  std::string output;
  std::string player;
  bool reduce = false;
  bool force = false;
};

[[noreturn]] void Fail(const std::string& message) {
  ReportError(kBuildCommand, message);
  FailCommand();
}

fs::path PlayerPath(const BuildOptions& options) {
  if (!options.player.empty()) return PathFromText(options.player);
  const fs::path tool = ToolExecutablePath();
  if (tool.empty()) Fail("impossible de trouver le dossier de vidod-make : donnez le lecteur avec --lecteur");
  return tool.parent_path() / kPlayerFileName;
}

void RunBuild(const BuildOptions& options) {
  const fs::path sourceFile = PathFromText(options.source);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  PictureCheckCache cache;
  cache.leaveRedrawnToBuild = true;  // each photo decoded once
  CheckQuizSourceFile(sourceFile, &cache, &quiz, &issues, options.reduce);
  if (!ReportIssues(options.source, issues)) FailCommand();

  BuildSettings settings;
  settings.player = PlayerPath(options);
  settings.output = PathFromText(options.output);
  settings.reducePictures = options.reduce;
  settings.force = options.force;
  settings.pictureCache = &cache;
  fs::path written;
  std::string error;
  if (!BuildQuizExecutable(quiz, sourceFile, settings, &written, &error)) Fail(error);
  std::cout << "vidod-make build : " << CountOf(quiz.questions.size(), "question") << ", "
            << CountOf(PictureCount(quiz), "image") << " -> "
            << PathText(written) << "\n";
}

}  // namespace

void RegisterBuildCommand(CLI::App& app) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* build = app.add_subcommand("build", "Construit l'exécutable du quiz : une copie du lecteur qui porte le quiz");
  build->footer(
      "Le lecteur est par défaut vidod.exe, dans le dossier de vidod-make. Un lecteur qui porte déjà un\n"
      "quiz convient aussi : ses ressources de quiz sont toutes remplacées. L'exécutable est écrit sous un\n"
      "nom temporaire puis renommé : un échec ne laisse aucun fichier de sortie et garde l'ancien. Une sortie\n"
      "sans extension reçoit « .exe » ; la sortie n'est jamais la source, une image ou le lecteur, et un\n"
      "fichier existant qui n'est pas un exécutable n'est remplacé qu'avec --force. Les avertissements de\n"
      "check sont affichés avant la construction.\n");
  build->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8)")->required()->type_name("QUIZ.toml");
  build->add_option("-o,--sortie", options->output, "Exécutable du quiz à écrire")->required()->type_name("QUIZ.exe");
  build->add_option("--lecteur", options->player, "Lecteur Vidod à copier (par défaut vidod.exe à côté de vidod-make)")
      ->type_name("vidod.exe");
  build->add_flag("--reduire", options->reduce,
                  "Stocke réduites à 640 × 480 au plus les images JPEG et PNG plus grandes (les fichiers restent tels "
                  "quels)");
  build->add_flag("-f,--force", options->force, "Remplace une sortie existante qui n'est pas un exécutable");
  build->callback([options] { RunBuild(*options); });
}

}  // namespace vidod
