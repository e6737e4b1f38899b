// vidod-make unpack QUIZ.exe -o DIR, and unpack --answers A --codes C -o DIR:
// a quiz source rebuilt from a quiz executable (with its pictures) or from
// its two compressed resources, which builds back to the same resources.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>

#include "maker/blob_codec.h"
#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/pe_resources.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kCommand[] = "unpack";
constexpr char kSourceFile[] = "quiz.toml";
constexpr char kPicturesFolder[] = "images";
constexpr char kUnknownPictureExtension[] = ".bin";

struct UnpackOptions {
  std::string executable;
  std::string answers;
  std::string codes;
  std::string outputFolder;
  bool force = false;
};

[[noreturn]] void Fail(const std::string& message) {
  ReportError(kCommand, message);
  FailCommand();
}

void Warn(const std::string& message) { std::cerr << "vidod-make unpack : attention : " << message << "\n"; }

std::vector<uint8_t> Decompress(const std::vector<uint8_t>& packed, const std::string& what) {
  const CodecRun run = DecompressBytes(packed);
  if (run.result != 0)
    Fail(what + " : décompression impossible, résultat " + std::to_string(run.result) + " (" +
         DescribeLzwResult(run.result, false) + ")");
  return run.bytes;
}

// A later build compresses the blob again; an encoder other than this one
// may have made the stored bytes.
void WarnIfRecompressionDiffers(const std::vector<uint8_t>& packed, const std::vector<uint8_t>& blob,
                                const std::string& what) {
  const CodecRun again = CompressBytes(blob);
  if (again.result != 0 || again.bytes != packed)
    Warn(what + " : compressée autrement que par vidod-make ; build redonnera le même contenu décompressé, "
                "mais pas les mêmes octets compressés");
}

// Reads both blobs into *quiz the way the player reads them.
void DecodeQuiz(const std::vector<uint8_t>& packedAnswers, const std::string& answersName,
                const std::vector<uint8_t>* packedCodes, const std::string& codesName, QuizSource* quiz) {
  const std::vector<uint8_t> answers = Decompress(packedAnswers, answersName);
  std::string error;
  if (!ReadAnswersBlob(answers.data(), answers.size(), quiz, &error)) Fail(answersName + " : " + error);
  WarnIfRecompressionDiffers(packedAnswers, answers, answersName);
  if (!packedCodes) return;
  const std::vector<uint8_t> codes = Decompress(*packedCodes, codesName);
  const CodesBlobReading reading = ReadCodesBlob(codes.data(), codes.size(), quiz);
  if (!reading.exact) {
    const std::string where = reading.linesRead < quiz->questions.size()
                                  ? "s'arrête au code " + std::to_string(reading.linesRead) + " pour " +
                                        std::to_string(quiz->questions.size()) + " questions"
                                  : "finit sans le retour à la ligne de son dernier code";
    Warn(codesName + " " + where + " ; la construction écrira des lignes complètes");
  } else {
    WarnIfRecompressionDiffers(*packedCodes, codes, codesName);
  }
}

std::vector<uint8_t> ReadOrFail(const std::string& file) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(PathFromText(file), &bytes, &error)) Fail(error);
  return bytes;
}

const char* ExtensionOf(PictureFormat format) {
  switch (format) {
    case PictureFormat::kJpeg: return ".jpg";
    case PictureFormat::kGif: return ".gif";
    case PictureFormat::kBmp: return ".bmp";
    case PictureFormat::kPng: return ".png";
    case PictureFormat::kUnknown: break;
  }
  return kUnknownPictureExtension;
}

// The pictures of an executable, named by question, as output files; the
// questions' image keys point at them.
std::vector<OutputFile> TakePictures(const std::vector<ResourceEntry>& entries, const fs::path& folder,
                                     QuizSource* quiz) {
  const QuizResourceSet set = FindQuizResources(entries, quiz->questions.size());
  std::vector<OutputFile> files;
  for (std::size_t k = 0; k < set.pictures.size(); ++k) {
    const ResourceEntry* picture = set.pictures[k];
    if (!picture) continue;
    const int number = static_cast<int>(k + 1);
    const PictureFormat format = DetectPictureFormat(picture->data.data(), picture->data.size());
    const bool rawData = !picture->type.isString;
    char name[32];
    std::snprintf(name, sizeof name, "question-%02d%s", number, ExtensionOf(format));
    const std::string key = std::string(kPicturesFolder) + "/" + name;
    if (format == PictureFormat::kUnknown)
      Warn("question " + std::to_string(number) + " : image d'un format inconnu, écrite dans « " + key +
           " » ; build la refusera");
    else if (rawData != (format == PictureFormat::kPng))
      Warn("question " + std::to_string(number) + " : image " + (rawData ? "en données brutes" : "« IMG »") +
           " qui n'est pas du " + (rawData ? "PNG" : "JPEG, GIF ou BMP") +
           " : le lecteur ne peut pas l'afficher ; build la rangera selon son format");
    quiz->questions[k].image = key;
    files.push_back({folder / kPicturesFolder / name, picture->data});
  }
  return files;
}

// Quiz resources the player never looks up (a picture past the last
// question, another "PATCH"): not part of the source, so build will not
// write them again.
void WarnOfUnusedResources(const std::vector<ResourceEntry>& entries, std::size_t questionCount) {
  const QuizResourceSet set = FindQuizResources(entries, questionCount);
  for (const ResourceEntry& entry : entries) {
    if (!IsQuizResource(entry)) continue;
    const bool used = &entry == set.answers || &entry == set.codes ||
                      std::find(set.pictures.begin(), set.pictures.end(), &entry) != set.pictures.end();
    if (!used)
      Warn("la ressource " + DescribeResourceName(entry.type) + " " + DescribeResourceName(entry.name) +
           " (langue " + std::to_string(entry.language) + ") ne sert pas au quiz : build ne la recréera pas");
  }
}

void WriteSource(const fs::path& folder, const QuizSource& quiz, const std::vector<std::string>& comment,
                 std::vector<OutputFile> files, bool force) {
  const fs::path target = folder / kSourceFile;
  // A quiz source and its pictures are the author's work: never replaced unasked.
  files.insert(files.begin(), OutputFile{target, {}});
  std::error_code code;
  for (const OutputFile& file : files)
    if (!force && fs::exists(file.path, code))
      Fail("« " + PathText(file.path) + " » existe déjà ; ajoutez --force pour le remplacer");

  // The player accepts what a source may not hold (long texts, line breaks
  // in answers); the source is still written so that it can be corrected.
  std::vector<SourceIssue> issues = ValidateQuizSource(quiz);
  for (SourceIssue& issue : issues) {
    if (!issue.warning) issue.message += " (build et pack refuseront ce quiz tant que ce n'est pas corrigé)";
    issue.warning = true;
  }
  ReportIssues(PathText(target), issues);

  const std::string source = WriteQuizSource(quiz, comment);
  files.front().bytes.assign(source.begin(), source.end());
  std::string error;
  if (!WriteOutputFiles(files, &error)) Fail(error);
  std::cout << "vidod-make unpack : " << quiz.questions.size() << " questions, " << files.size() - 1
            << " images -> " << PathText(target) << "\n";
}

void UnpackExecutable(const UnpackOptions& options) {
  const std::vector<uint8_t> bytes = ReadOrFail(options.executable);
  std::vector<ResourceEntry> entries;
  std::string error;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) Fail("« " + options.executable + " » : " + error);
  const QuizResourceSet blobs = FindQuizResources(entries, 0);
  if (!blobs.answers)
    Fail("« " + options.executable + " » ne porte pas de quiz : pas de ressource « PATCH » 104 (le lecteur y "
         "montrerait son quiz par défaut)");
  if (!blobs.codes)
    Warn("« " + options.executable + " » n'a pas de ressource « PATCH » 105 : le quiz n'a pas de codes, "
         "build en écrira une");
  QuizSource quiz;
  DecodeQuiz(blobs.answers->data, "la ressource 104 de « " + options.executable + " »",
             blobs.codes ? &blobs.codes->data : nullptr, "la ressource 105 de « " + options.executable + " »", &quiz);
  WarnOfUnusedResources(entries, quiz.questions.size());
  const fs::path folder = PathFromText(options.outputFolder);
  std::vector<OutputFile> pictures = TakePictures(entries, folder, &quiz);
  const std::vector<std::string> comment = {
      "Quiz extrait de « " + PathText(PathFromText(options.executable).filename()) + " » par vidod-make unpack.",
      "Les images des questions sont dans le dossier images ; « vidod-make build »",
      "redonne les mêmes ressources.",
  };
  WriteSource(folder, quiz, comment, std::move(pictures), options.force);
}

void UnpackBlobs(const UnpackOptions& options) {
  QuizSource quiz;
  const std::vector<uint8_t> answers = ReadOrFail(options.answers);
  const std::vector<uint8_t> codes = ReadOrFail(options.codes);
  DecodeQuiz(answers, "« " + options.answers + " »", &codes, "« " + options.codes + " »", &quiz);
  const std::vector<std::string> comment = {
      "Quiz extrait par vidod-make unpack.",
      "Les images ne sont pas dans les ressources 104 et 105 : pour en donner une",
      "à une question, ajoutez-lui image = \"fichier\" (chemin relatif à ce fichier).",
      "Une question sans image n'a pas d'image dans le quiz.",
  };
  WriteSource(PathFromText(options.outputFolder), quiz, comment, {}, options.force);
}

void RunUnpack(const UnpackOptions& options) {
  const bool blobs = !options.answers.empty() || !options.codes.empty();
  if (options.executable.empty() == !blobs)
    Fail("donnez soit l'exécutable du quiz, soit --answers et --codes");
  if (blobs && (options.answers.empty() || options.codes.empty()))
    Fail("--answers et --codes vont ensemble");
  if (blobs) UnpackBlobs(options);
  else UnpackExecutable(options);
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
  unpack->add_option("-o,--sortie", options->outputFolder, "Dossier où écrire quiz.toml (créé au besoin)")
      ->required()
      ->type_name("DOSSIER");
  unpack->add_flag("-f,--force", options->force, "Remplace les fichiers existants");
  unpack->callback([options] { RunUnpack(*options); });
}

}  // namespace vidod
