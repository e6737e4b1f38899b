// vidod-make unpack --answers A --codes C -o DIR: a quiz source rebuilt from
// the two compressed resources, which packs back to the same blobs.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "maker/blob_codec.h"
#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kCommand[] = "unpack";
constexpr char kSourceFile[] = "quiz.toml";

struct UnpackOptions {
  std::string answers;
  std::string codes;
  std::string outputFolder;
  bool force = false;
};

std::vector<uint8_t> ReadAndDecompress(const std::string& file) {
  std::vector<uint8_t> packed;
  std::string error;
  if (!ReadFileBytes(fs::path(file), &packed, &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
  const CodecRun run = DecompressBytes(packed);
  if (run.result != 0) {
    ReportError(kCommand, "« " + file + " » : décompression impossible, résultat " + std::to_string(run.result) +
                              " (" + DescribeLzwResult(run.result, false) + ")");
    FailCommand();
  }
  return run.bytes;
}

const std::vector<std::string> kSourceComment = {
    "Quiz extrait par vidod-make unpack.",
    "Les images ne sont pas dans les ressources 104 et 105 : pour en donner une",
    "à une question, ajoutez-lui image = \"fichier\" (chemin relatif à ce fichier).",
    "Une question sans image n'a pas d'image dans le quiz.",
};

void RunUnpack(const UnpackOptions& options) {
  // A quiz source is the author's work: never replaced unasked.
  const fs::path target = fs::path(options.outputFolder) / kSourceFile;
  std::error_code code;
  if (!options.force && fs::exists(target, code)) {
    ReportError(kCommand, "« " + PathText(target) + " » existe déjà ; ajoutez --force pour le remplacer");
    FailCommand();
  }
  const std::vector<uint8_t> answers = ReadAndDecompress(options.answers);
  const std::vector<uint8_t> codes = ReadAndDecompress(options.codes);

  QuizSource quiz;
  std::string error;
  if (!ReadAnswersBlob(answers.data(), answers.size(), &quiz, &error)) {
    ReportError(kCommand, "« " + options.answers + " » : " + error);
    FailCommand();
  }
  const CodesBlobReading reading = ReadCodesBlob(codes.data(), codes.size(), &quiz);
  if (!reading.exact) {
    const std::string where = reading.linesRead < quiz.questions.size()
                                  ? "s'arrête au code " + std::to_string(reading.linesRead) + " pour " +
                                        std::to_string(quiz.questions.size()) + " questions"
                                  : "finit sans le retour à la ligne de son dernier code";
    std::cerr << "vidod-make unpack : attention : « " << options.codes << " » " << where
              << " ; pack écrira des lignes complètes\n";
  }

  // The player accepts what a source may not hold (long texts, line breaks
  // in answers); the source is still written so that it can be corrected.
  std::vector<SourceIssue> issues = ValidateQuizSource(quiz);
  for (SourceIssue& issue : issues) {
    if (!issue.warning) issue.message += " (pack refusera ce quiz tant que ce n'est pas corrigé)";
    issue.warning = true;
  }
  ReportIssues(PathText(target), issues);

  const std::string source = WriteQuizSource(quiz, kSourceComment);
  if (!WriteOutputFiles({{target, std::vector<uint8_t>(source.begin(), source.end())}}, &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
  std::cout << "vidod-make unpack : " << quiz.questions.size() << " questions -> " << PathText(target) << "\n";
}

}  // namespace

void RegisterUnpackCommand(CLI::App& app) {
  auto options = std::make_shared<UnpackOptions>();
  CLI::App* unpack = app.add_subcommand(
      "unpack", "Écrit DIR/quiz.toml à partir des ressources 104 et 105 compressées (sans les images)");
  unpack->add_option("--answers", options->answers, "Blob des réponses compressé (ressource 104)")
      ->required()
      ->type_name("FICHIER");
  unpack->add_option("--codes", options->codes, "Blob des codes compressé (ressource 105)")
      ->required()
      ->type_name("FICHIER");
  unpack->add_option("-o,--sortie", options->outputFolder, "Dossier où écrire quiz.toml (créé au besoin)")
      ->required()
      ->type_name("DOSSIER");
  unpack->add_flag("-f,--force", options->force, "Remplace un quiz.toml existant");
  unpack->callback([options] { RunUnpack(*options); });
}

}  // namespace vidod
