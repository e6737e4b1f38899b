// vidod-make unpack QUIZ.exe -o DIR, and unpack --answers A --codes C -o DIR:
// a quiz source rebuilt from a quiz executable (with its pictures) or from
// its two compressed resources, which builds back to the same resources.
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kUnpackCommand[] = "unpack";

struct UnpackOptions {
  std::string executable;
  std::string answers;
  std::string codes;
  std::string acceptedAnswers;
  std::string outputFolder;
  bool force = false;
};

[[noreturn]] void Fail(const std::string& message) {
  ReportError(kUnpackCommand, message);
  FailCommand();
}

void RunUnpack(const UnpackOptions& options) {
  const bool blobs = !options.answers.empty() || !options.codes.empty();
  if (options.executable.empty() == !blobs)
    Fail("donnez soit l'exécutable du quiz, soit --answers et --codes");
  if (blobs && (options.answers.empty() || options.codes.empty()))
    Fail("--answers et --codes vont ensemble");
  if (!blobs && !options.acceptedAnswers.empty())
    Fail("--autres va avec --answers et --codes ; un exécutable porte lui-même sa ressource 106");
  const fs::path folder = PathFromText(options.outputFolder);
  fs::path sourceFile;
  std::vector<std::string> warnings;
  std::string error;
  const bool unpacked =
      blobs ? UnpackQuizBlobs(PathFromText(options.answers), PathFromText(options.codes),
                              options.acceptedAnswers.empty() ? fs::path() : PathFromText(options.acceptedAnswers),
                              folder, options.force, &sourceFile, &warnings, &error)
            : UnpackQuizExecutable(PathFromText(options.executable), folder, options.force, &sourceFile, &warnings,
                                   &error);
  for (const std::string& warning : warnings) std::cerr << "vidod-make unpack : attention : " << warning << "\n";
  if (!unpacked) Fail(error);
  QuizSource quiz;
  std::vector<SourceIssue> ignored;
  ReadQuizSourceFile(sourceFile, &quiz, &ignored);
  std::cout << "vidod-make unpack : " << quiz.questions.size() << " questions, " << PictureCount(quiz) << " images -> "
            << PathText(sourceFile) << "\n";
}

}  // namespace

void RegisterUnpackCommand(CLI::App& app) {
  auto options = std::make_shared<UnpackOptions>();
  CLI::App* unpack = app.add_subcommand(
      "unpack", "Écrit DIR/quiz.toml et DIR/images/ à partir d'un exécutable de quiz (ou de ses ressources 104 et 105)");
  unpack->footer(
      "Avec QUIZ.exe, les images sont écrites dans DIR/images (question-01.jpg, ...) et « vidod-make build »\n"
      "de la source obtenue redonne les mêmes ressources. Avec --answers et --codes, seuls les textes sont\n"
      "extraits. Les fichiers existants ne sont remplacés qu'avec --force.\n");
  unpack->add_option("QUIZ", options->executable, "Exécutable de quiz à défaire")->type_name("QUIZ.exe");
  unpack->add_option("--answers", options->answers, "Blob des réponses compressé (ressource 104)")
      ->type_name("FICHIER");
  unpack->add_option("--codes", options->codes, "Blob des codes compressé (ressource 105)")->type_name("FICHIER");
  unpack->add_option("--autres", options->acceptedAnswers,
                     "Blob des autres réponses acceptées compressé (ressource 106), pour un quiz qui en a")
      ->type_name("FICHIER");
  unpack->add_option("-o,--sortie", options->outputFolder, "Dossier où écrire quiz.toml (créé au besoin)")
      ->required()
      ->type_name("DOSSIER");
  unpack->add_flag("-f,--force", options->force, "Remplace les fichiers existants");
  unpack->callback([options] { RunUnpack(*options); });
}

}  // namespace vidod
