// vidod-make pack QUIZ.toml -o DIR: the compressed blobs of the quiz and the
// resource script that adds them and the pictures to a quiz executable.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/rc_script.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kPackCommand[] = "pack";
constexpr char kAnswersFile[] = "answers.lzw";
constexpr char kCodesFile[] = "codes.lzw";
constexpr char kAcceptedAnswersFile[] = "accepted.lzw";
constexpr char kLinkFile[] = "link.lzw";
constexpr char kScriptFile[] = "quiz.rc";

struct PackOptions {
  std::string source;
  std::string outputFolder;
};

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void RunPack(const PackOptions& options) {
  const fs::path sourceFile = PathFromText(options.source);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  CheckQuizSourceFile(sourceFile, nullptr, &quiz, &issues);
  // The warnings are check's and build's to tell: pack serves the build
  // machinery, which only needs to stop on an error.
  issues.erase(std::remove_if(issues.begin(), issues.end(), [](const SourceIssue& issue) { return issue.warning; }),
               issues.end());
  if (!ReportIssues(options.source, issues)) FailCommand();

  std::vector<QuizPicture> pictures;
  PackedBlobs blobs;
  std::string error;
  if (!CollectQuizPictures(quiz, sourceFile, &pictures, &error) || !CompressQuizBlobs(quiz, &blobs, &error)) {
    ReportError(kPackCommand, error);
    FailCommand();
  }

  const fs::path folder = fs::absolute(PathFromText(options.outputFolder)).lexically_normal();
  const fs::path answersPath = folder / kAnswersFile;
  const fs::path codesPath = folder / kCodesFile;
  // A quiz without other answers or tolerances has no resource 106, one
  // without a link no 107; a file left from an earlier pack is not named by
  // the script.
  const fs::path acceptedPath = blobs.acceptedAnswers.empty() ? fs::path() : folder / kAcceptedAnswersFile;
  const fs::path linkPath = blobs.link.empty() ? fs::path() : folder / kLinkFile;
  const std::string script = WriteQuizRcScript(answersPath, codesPath, acceptedPath, linkPath, pictures);
  std::vector<CommandInput> inputs = {{sourceFile, "la source du quiz"}};
  for (const QuizPicture& picture : pictures)
    inputs.push_back({picture.file, "l'image de la question " + std::to_string(picture.question + 1)});
  std::vector<OutputFile> outputs = {
      {answersPath, blobs.answers}, {codesPath, blobs.codes}, {folder / kScriptFile, Bytes(script)}};
  if (!acceptedPath.empty()) outputs.push_back({acceptedPath, blobs.acceptedAnswers});
  if (!linkPath.empty()) outputs.push_back({linkPath, blobs.link});
  for (const OutputFile& output : outputs) {
    if (!RefuseInputAsOutput(output.path, inputs, &error)) {
      ReportError(kPackCommand, error);
      FailCommand();
    }
  }
  if (!WriteOutputFiles(outputs, &error)) {
    ReportError(kPackCommand, error);
    FailCommand();
  }
  std::cout << "vidod-make pack : " << CountOf(quiz.questions.size(), "question") << ", "
            << CountOf(pictures.size(), "image") << " -> " << PathText(folder) << "\n";
}

}  // namespace

void RegisterPackCommand(CLI::App& app) {
  auto options = std::make_shared<PackOptions>();
  CLI::App* pack = app.add_subcommand(
      "pack",
      "Écrit answers.lzw (ressource 104), codes.lzw (105), accepted.lzw (106, pour un quiz qui a d'autres réponses "
      "acceptées ou des tolérances), link.lzw (107, pour un quiz qui a un lien) et quiz.rc, qui les nomme avec les "
      "images");
  pack->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8)")->required()->type_name("QUIZ.toml");
  pack->add_option("-o,--sortie", options->outputFolder, "Dossier où écrire les fichiers (créé au besoin)")
      ->required()
      ->type_name("DOSSIER");
  pack->callback([options] { RunPack(*options); });
}

}  // namespace vidod
