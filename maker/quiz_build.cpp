// A quiz executable: a copy of the player that carries the quiz in its
// resources, written whole or not at all.
#include <system_error>

#include "maker/file_io.h"
#include "maker/pe_resources.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "maker/resource_update.h"
#include "maker/system_error_text.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

// The player's own dialog templates, by which a player is told from any
// other executable.
constexpr uint16_t kPlayerDialogs[] = {1001, 1002};
constexpr char kExecutableExtension[] = ".exe";
constexpr char kExecutableSignature[] = "MZ";

bool CheckIsPlayer(const fs::path& player, std::string* error) {
  std::error_code code;
  if (!fs::is_regular_file(player, code)) {
    *error = "lecteur introuvable : « " + PathText(player) + " » ; donnez-le avec --lecteur vidod.exe";
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(player, &bytes, error)) return false;
  std::vector<ResourceEntry> entries;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, error)) {
    *error = "« " + PathText(player) + " » : " + *error;
    return false;
  }
  for (uint16_t dialog : kPlayerDialogs) {
    if (!FindResourceEntryAnyLanguage(entries, ResourceName::Number(kResourceTypeDialog), ResourceName::Number(dialog))) {
      *error = "« " + PathText(player) + " » n'est pas le lecteur Vidod : son modèle de dialogue " +
               std::to_string(dialog) + " manque";
      return false;
    }
  }
  return true;
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

// The first error of the checks, said the way check says it.
bool RefuseErrors(const std::vector<SourceIssue>& issues, const fs::path& sourceFile, std::string* error) {
  for (const SourceIssue& issue : issues) {
    if (issue.warning) continue;
    *error = FormatIssue(PathText(sourceFile.filename()), issue);
    return false;
  }
  return true;
}

}  // namespace

bool BuildQuizExecutable(const QuizSource& quiz, const fs::path& sourceFile, const BuildSettings& settings,
                         fs::path* written, std::string* error) {
  if (!RefuseErrors(CheckQuiz(quiz, sourceFile, settings.pictureCache), sourceFile, error)) return false;
  const fs::path player = fs::absolute(settings.player).lexically_normal();
  if (!CheckIsPlayer(player, error)) return false;
  fs::path output = fs::absolute(settings.output).lexically_normal();
  if (!output.has_extension()) output += kExecutableExtension;
  std::vector<CommandInput> inputs = {{player, "le lecteur lui-même"}, {sourceFile, "la source du quiz"}};
  for (std::size_t k = 0; k < quiz.questions.size(); ++k)
    if (!quiz.questions[k].image.empty())
      inputs.push_back({PicturePath(sourceFile, quiz.questions[k].image),
                        "l'image de la question " + std::to_string(k + 1)});
  if (!RefuseInputAsOutput(output, inputs, error) ||
      !RefuseForeignFile(output, kExecutableSignature, "un exécutable", settings.force, error))
    return false;

  std::vector<ResourceEntry> resources;
  const PictureCheckCache* checks = settings.pictureCache;
  const auto checked = [checks](const fs::path& file) { return checks && checks->entries.count(file) > 0; };
  if (!MakeQuizResources(quiz, sourceFile, settings.reducePictures || quiz.reducePictures, &resources, error,
                         settings.progress, checked))
    return false;

  std::error_code code;
  fs::create_directories(output.parent_path(), code);
  if (code) {
    *error = "« " + PathText(output.parent_path()) + " » : impossible de créer le dossier (" + SystemErrorText(code) + ")";
    return false;
  }
  const fs::path temporary = TemporaryPathFor(output);
  const auto cancelled = [&settings, error] {
    if (!settings.progress || !settings.progress->cancel || !settings.progress->cancel->load()) return false;
    *error = kBuildCancelled;
    return true;
  };
  if (cancelled() || !WritePlayerWithQuiz(player, temporary, resources, error) || cancelled() ||
      !Verify(temporary, resources, error) || cancelled()) {
    RemoveQuietly(temporary);
    return false;
  }
  if (!MoveIntoPlace(temporary, output, error)) return false;
  *written = output;
  return true;
}

}  // namespace vidod
