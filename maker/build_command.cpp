// vidod-make build QUIZ.toml -o QUIZ.exe: a copy of the player that carries
// the quiz in its resources, ready to hand out.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/host_platform.h"
#include "maker/pe_resources.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "maker/resource_update.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kCommand[] = "build";
constexpr char kPlayerFileName[] = "vidod.exe";
// The player's own dialog templates, by which a player is told from any
// other executable.
constexpr uint16_t kPlayerDialogs[] = {1001, 1002};

struct BuildOptions {
  std::string source;
  std::string output;
  std::string player;
};

[[noreturn]] void Fail(const std::string& message) {
  ReportError(kCommand, message);
  FailCommand();
}

fs::path PlayerPath(const BuildOptions& options) {
  if (!options.player.empty()) return PathFromText(options.player);
  const fs::path tool = ToolExecutablePath();
  if (tool.empty()) Fail("impossible de trouver le dossier de vidod-make : donnez le lecteur avec --lecteur");
  return tool.parent_path() / kPlayerFileName;
}

void CheckIsPlayer(const fs::path& player) {
  std::error_code code;
  if (!fs::is_regular_file(player, code))
    Fail("lecteur introuvable : « " + PathText(player) + " » ; donnez-le avec --lecteur vidod.exe");
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(player, &bytes, &error)) Fail(error);
  std::vector<ResourceEntry> entries;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) Fail("« " + PathText(player) + " » : " + error);
  for (uint16_t dialog : kPlayerDialogs)
    if (!FindResourceEntryAnyLanguage(entries, ResourceName::Number(kResourceTypeDialog), ResourceName::Number(dialog)))
      Fail("« " + PathText(player) + " » n'est pas le lecteur Vidod : son modèle de dialogue " +
           std::to_string(dialog) + " manque");
}

// The copy read back: the player finds exactly the new quiz, and the
// player's own resources are still there.
bool Verify(const fs::path& written, const std::vector<ResourceEntry>& quiz, std::string* error) {
  std::vector<uint8_t> bytes;
  std::vector<ResourceEntry> entries;
  if (!ReadFileBytes(written, &bytes, error)) return false;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, error)) {
    *error = "l'exécutable écrit est illisible : " + *error;
    return false;
  }
  std::size_t quizEntries = 0;
  for (const ResourceEntry& entry : entries) quizEntries += IsQuizResource(entry) ? 1 : 0;
  for (const ResourceEntry& entry : quiz) {
    const ResourceEntry* found = FindResourceEntry(entries, entry.type, entry.name, entry.language);
    if (!found || found->data != entry.data) {
      *error = "l'exécutable écrit n'a pas la ressource " + DescribeResourceName(entry.type) + " " +
               DescribeResourceName(entry.name) + " attendue";
      return false;
    }
  }
  if (quizEntries != quiz.size()) {
    *error = "l'exécutable écrit garde des ressources d'un ancien quiz";
    return false;
  }
  for (uint16_t dialog : kPlayerDialogs) {
    if (!FindResourceEntryAnyLanguage(entries, ResourceName::Number(kResourceTypeDialog), ResourceName::Number(dialog))) {
      *error = "l'exécutable écrit a perdu le modèle de dialogue " + std::to_string(dialog) + " du lecteur";
      return false;
    }
  }
  return true;
}

void RunBuild(const BuildOptions& options) {
  const fs::path sourceFile = PathFromText(options.source);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(sourceFile, &quiz, &issues);
  if (!ReportIssues(options.source, issues)) FailCommand();

  const fs::path player = fs::absolute(PlayerPath(options)).lexically_normal();
  CheckIsPlayer(player);
  const fs::path output = fs::absolute(PathFromText(options.output)).lexically_normal();
  std::error_code code;
  if (fs::equivalent(player, output, code))
    Fail("la sortie « " + options.output + " » est le lecteur lui-même : choisissez un autre nom");

  std::vector<ResourceEntry> resources;
  std::string error;
  if (!MakeQuizResources(quiz, sourceFile, &resources, &error)) Fail(error);

  fs::create_directories(output.parent_path(), code);
  if (code) Fail("« " + PathText(output.parent_path()) + " » : impossible de créer le dossier (" + code.message() + ")");
  const fs::path temporary = TemporaryPathFor(output);
  if (!WritePlayerWithQuiz(player, temporary, resources, &error) || !Verify(temporary, resources, &error)) {
    RemoveQuietly(temporary);
    Fail(error);
  }
  if (!MoveIntoPlace(temporary, output, &error)) Fail(error);
  std::cout << "vidod-make build : " << quiz.questions.size() << " questions, " << resources.size() - 2
            << " images -> " << options.output << "\n";
}

}  // namespace

void RegisterBuildCommand(CLI::App& app) {
  auto options = std::make_shared<BuildOptions>();
  CLI::App* build = app.add_subcommand("build", "Construit l'exécutable du quiz : une copie du lecteur qui porte le quiz");
  build->footer(
      "Le lecteur est par défaut vidod.exe, dans le dossier de vidod-make. Un lecteur qui porte déjà un\n"
      "quiz convient aussi : ses ressources de quiz sont toutes remplacées. L'exécutable est écrit sous un\n"
      "nom temporaire puis renommé : un échec ne laisse aucun fichier de sortie et garde l'ancien.\n");
  build->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8)")->required()->type_name("QUIZ.toml");
  build->add_option("-o,--sortie", options->output, "Exécutable du quiz à écrire")->required()->type_name("QUIZ.exe");
  build->add_option("--lecteur", options->player, "Lecteur Vidod à copier (par défaut vidod.exe à côté de vidod-make)")
      ->type_name("vidod.exe");
  build->callback([options] { RunBuild(*options); });
}

}  // namespace vidod
