// vidod-make init IMAGES_DIR -o QUIZ.toml: a starting source with one
// question per picture of a folder.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kCommand[] = "init";

struct InitOptions {
  std::string picturesFolder;
  std::string output;
  bool force = false;
};

// The picture as the source names it: relative to the source's folder when
// both share a root, with forward slashes so that it reads the same anywhere.
std::string ImageKey(const fs::path& picture, const fs::path& sourceFolder) {
  const fs::path relative = picture.lexically_relative(sourceFolder);
  return (relative.empty() ? picture : relative).generic_u8string();
}

// A name for a comment line: control characters would end the comment.
std::string CommentSafe(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, '?');
  return text;
}

std::vector<fs::path> PicturesOf(const fs::path& folder) {
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    ReportError(kCommand, "« " + PathText(folder) + " » n'est pas un dossier");
    FailCommand();
  }
  std::vector<fs::path> pictures;
  fs::directory_iterator entries(folder, code);
  if (code) {
    ReportError(kCommand, "« " + PathText(folder) + " » : impossible de lire le dossier (" + code.message() + ")");
    FailCommand();
  }
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    if (!entry.is_regular_file(ignored)) continue;
    if (DetectPictureFileFormat(entry.path()) == PictureFormat::kUnknown) {
      std::cerr << "vidod-make init : « " << PathText(entry.path().filename())
                << " » ignoré : ni JPEG, ni GIF, ni BMP, ni PNG\n";
      continue;
    }
    pictures.push_back(entry.path());
  }
  std::sort(pictures.begin(), pictures.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().u8string() < b.filename().u8string();
  });
  return pictures;
}

void RunInit(const InitOptions& options) {
  const fs::path target = fs::absolute(PathFromText(options.output)).lexically_normal();
  std::error_code code;
  if (!options.force && fs::exists(target, code)) {
    ReportError(kCommand, "« " + options.output + " » existe déjà ; ajoutez --force pour le remplacer");
    FailCommand();
  }
  const fs::path folder = fs::absolute(PathFromText(options.picturesFolder)).lexically_normal();
  const std::vector<fs::path> pictures = PicturesOf(folder);
  if (pictures.empty()) {
    ReportError(kCommand, "« " + options.picturesFolder + " » ne contient aucune image JPEG, GIF, BMP ou PNG");
    FailCommand();
  }
  if (pictures.size() > kMaxSourceQuestions) {
    ReportError(kCommand, "« " + options.picturesFolder + " » contient " + std::to_string(pictures.size()) +
                              " images, un quiz a " + std::to_string(kMaxSourceQuestions) + " questions au plus");
    FailCommand();
  }

  std::vector<StarterQuestion> questions;
  for (const fs::path& picture : pictures)
    questions.push_back({picture.stem().u8string(), ImageKey(picture, target.parent_path())});
  std::string title = target.parent_path().filename().u8string();
  const std::string source =
      WriteStarterSource(title, CommentSafe(PathText(folder.filename())), questions);

  // A file name can hold what an answer may not ("|", a character outside
  // the player's code page): said now, the author fixes it while editing.
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource(source, target, &quiz, &issues);
  for (const SourceIssue& issue : issues)
    std::cerr << FormatIssue(options.output, issue) << (issue.warning ? "" : " (à corriger avant build)") << "\n";

  std::string error;
  if (!WriteOutputFiles({{target, std::vector<uint8_t>(source.begin(), source.end())}}, &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
  std::cout << "vidod-make init : " << questions.size() << " questions -> " << options.output << "\n";
}

}  // namespace

void RegisterInitCommand(CLI::App& app) {
  auto options = std::make_shared<InitOptions>();
  CLI::App* init = app.add_subcommand("init", "Prépare une source de quiz avec une question par image d'un dossier");
  init->footer(
      "Les images (JPEG, GIF, BMP ou PNG, reconnues à leurs premiers octets) sont prises dans l'ordre de\n"
      "leur nom de fichier ; le nom sans extension devient la réponse attendue, à corriger au besoin.\n"
      "Chaque clé est écrite avec sa valeur par défaut et un commentaire qui dit ce qu'elle fait.\n");
  init->add_option("IMAGES", options->picturesFolder, "Dossier des images du quiz")->required()->type_name("DOSSIER");
  init->add_option("-o,--sortie", options->output, "Source de quiz à écrire")->required()->type_name("QUIZ.toml");
  init->add_flag("-f,--force", options->force, "Remplace une source existante");
  init->callback([options] { RunInit(*options); });
}

}  // namespace vidod
