// vidod-make pack QUIZ.toml -o DIR: the compressed answers and codes blobs
// and the resource script that adds them and the pictures to a quiz
// executable.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "lzw/lzw.h"
#include "maker/blob_codec.h"
#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_toml.h"
#include "maker/rc_script.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kCommand[] = "pack";
constexpr char kAnswersFile[] = "answers.lzw";
constexpr char kCodesFile[] = "codes.lzw";
constexpr char kScriptFile[] = "quiz.rc";

struct PackOptions {
  std::string source;
  std::string outputFolder;
};

// The blob compressed, and checked to decode back to itself before anything
// is written.
bool Compress(const std::vector<uint8_t>& blob, const char* what, std::vector<uint8_t>* packed) {
  if (blob.size() > kLzwMaxInput) {
    ReportError(kCommand, std::string(what) + " fait " + std::to_string(blob.size()) +
                              " octets, le format en accepte " + std::to_string(kLzwMaxInput) +
                              " au plus : raccourcissez les textes ou retirez des questions");
    return false;
  }
  const CodecRun run = CompressBytes(blob);
  if (run.result != 0) {
    ReportError(kCommand, std::string("compression impossible pour ") + what + " : résultat " +
                              std::to_string(run.result) + " (" + DescribeLzwResult(run.result, true) + ")");
    return false;
  }
  const CodecRun check = DecompressBytes(run.bytes);
  if (check.result != 0 || check.bytes != blob) {
    ReportError(kCommand, std::string("erreur interne : ") + what + " compressé ne redonne pas ses octets");
    return false;
  }
  *packed = run.bytes;
  return true;
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void RunPack(const PackOptions& options) {
  const fs::path sourceFile(options.source);
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(sourceFile, &quiz, &issues);
  if (!ReportIssues(options.source, issues)) FailCommand();

  std::vector<QuizPicture> pictures;
  for (std::size_t k = 0; k < quiz.questions.size(); ++k) {
    if (quiz.questions[k].image.empty()) continue;
    const fs::path file = PicturePath(sourceFile, quiz.questions[k].image);
    // Checked when the source was read; a file replaced since is caught here.
    const PictureFormat format = DetectPictureFileFormat(file);
    if (format == PictureFormat::kUnknown) {
      ReportError(kCommand, "« " + PathText(file) + " » (question " + std::to_string(k + 1) +
                                ") : format d'image non reconnu, JPEG, GIF, BMP ou PNG attendu");
      FailCommand();
    }
    pictures.push_back({k, file, format});
  }

  std::vector<uint8_t> answers, codes;
  if (!Compress(WriteAnswersBlob(quiz), "le blob des réponses", &answers) ||
      !Compress(WriteCodesBlob(quiz), "le blob des codes", &codes))
    FailCommand();

  const fs::path folder = fs::absolute(fs::path(options.outputFolder)).lexically_normal();
  const fs::path answersPath = folder / kAnswersFile;
  const fs::path codesPath = folder / kCodesFile;
  const std::string script = WriteQuizRcScript(answersPath, codesPath, pictures);
  std::string error;
  if (!WriteOutputFiles({{answersPath, answers}, {codesPath, codes}, {folder / kScriptFile, Bytes(script)}},
                        &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
  std::cout << "vidod-make pack : " << quiz.questions.size() << " questions, " << pictures.size()
            << " images -> " << PathText(folder) << "\n";
}

}  // namespace

void RegisterPackCommand(CLI::App& app) {
  auto options = std::make_shared<PackOptions>();
  CLI::App* pack = app.add_subcommand(
      "pack", "Écrit answers.lzw (ressource 104), codes.lzw (105) et quiz.rc, qui les nomme avec les images");
  pack->add_option("QUIZ", options->source, "Source du quiz (TOML en UTF-8)")->required()->type_name("QUIZ.toml");
  pack->add_option("-o,--sortie", options->outputFolder, "Dossier où écrire les trois fichiers (créé au besoin)")
      ->required()
      ->type_name("DOSSIER");
  pack->callback([options] { RunPack(*options); });
}

}  // namespace vidod
