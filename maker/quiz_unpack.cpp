// A quiz source rebuilt from a quiz executable (with its pictures) or from
// its two compressed resources, which builds back to the same resources.
#include <algorithm>
#include <cstdio>
#include <system_error>

#include "maker/blob_codec.h"
#include "maker/file_io.h"
#include "maker/pe_resources.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kSourceFile[] = "quiz.toml";
constexpr char kPicturesFolder[] = "images";
constexpr char kUnknownPictureExtension[] = ".bin";

// One unpacking: where its warnings go, and the first failure.
struct Unpacking {
  std::vector<std::string>* warnings;
  std::string* error;
};

bool Decompress(const std::vector<uint8_t>& packed, const std::string& what, std::vector<uint8_t>* bytes,
                Unpacking* run) {
  CodecRun decoded = DecompressBytes(packed);
  if (decoded.result != 0) {
    *run->error = what + " : décompression impossible, résultat " + std::to_string(decoded.result) + " (" +
                  DescribeLzwResult(decoded.result, false) + ")";
    return false;
  }
  *bytes = std::move(decoded.bytes);
  return true;
}

// A later build compresses the blob again; an encoder other than this one
// may have made the stored bytes.
void WarnIfRecompressionDiffers(const std::vector<uint8_t>& packed, const std::vector<uint8_t>& blob,
                                const std::string& what, Unpacking* run) {
  const CodecRun again = CompressBytes(blob);
  if (again.result != 0 || again.bytes != packed)
    run->warnings->push_back(what +
                             " : compressée autrement que par vidod-make ; build redonnera le même contenu "
                             "décompressé, mais pas les mêmes octets compressés");
}

// Reads both blobs into *quiz the way the player reads them.
bool DecodeQuiz(const std::vector<uint8_t>& packedAnswers, const std::string& answersName,
                const std::vector<uint8_t>* packedCodes, const std::string& codesName, QuizSource* quiz,
                Unpacking* run) {
  std::vector<uint8_t> answers;
  if (!Decompress(packedAnswers, answersName, &answers, run)) return false;
  std::string error;
  if (!ReadAnswersBlob(answers.data(), answers.size(), quiz, &error)) {
    *run->error = answersName + " : " + error;
    return false;
  }
  WarnIfRecompressionDiffers(packedAnswers, answers, answersName, run);
  if (!packedCodes) return true;
  std::vector<uint8_t> codes;
  if (!Decompress(*packedCodes, codesName, &codes, run)) return false;
  const CodesBlobReading reading = ReadCodesBlob(codes.data(), codes.size(), quiz);
  if (!reading.exact) {
    const std::string where = reading.linesRead < quiz->questions.size()
                                  ? "s'arrête au code " + std::to_string(reading.linesRead) + " pour " +
                                        std::to_string(quiz->questions.size()) + " questions"
                                  : "finit sans le retour à la ligne de son dernier code";
    run->warnings->push_back(codesName + " " + where + " ; la construction écrira des lignes complètes");
  } else {
    WarnIfRecompressionDiffers(*packedCodes, codes, codesName, run);
  }
  return true;
}

const char* ExtensionOf(PictureFormat format) {
  switch (format) {
    case PictureFormat::kJpeg: return ".jpg";
    case PictureFormat::kGif: return ".gif";
    case PictureFormat::kBmp: return ".bmp";
    case PictureFormat::kPng: return ".png";
    default: break;
  }
  return kUnknownPictureExtension;
}

// The pictures of an executable, named by question, as output files; the
// questions' image keys point at them.
std::vector<OutputFile> TakePictures(const std::vector<ResourceEntry>& entries, const fs::path& folder,
                                     QuizSource* quiz, Unpacking* run) {
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
      run->warnings->push_back("question " + std::to_string(number) + " : image d'un format inconnu, écrite dans « " +
                               key + " » ; build la refusera");
    else if (rawData != (format == PictureFormat::kPng))
      run->warnings->push_back("question " + std::to_string(number) + " : image " +
                               (rawData ? "en données brutes" : "« IMG »") + " qui n'est pas du " +
                               (rawData ? "PNG" : "JPEG, GIF ou BMP") +
                               " : le lecteur ne peut pas l'afficher ; build la rangera selon son format");
    quiz->questions[k].image = key;
    files.push_back({folder / kPicturesFolder / name, picture->data});
  }
  return files;
}

// Quiz resources the player never looks up (a picture past the last
// question, another "PATCH"): not part of the source, so build will not
// write them again.
void WarnOfUnusedResources(const std::vector<ResourceEntry>& entries, std::size_t questionCount, Unpacking* run) {
  const QuizResourceSet set = FindQuizResources(entries, questionCount);
  for (const ResourceEntry& entry : entries) {
    if (!IsQuizResource(entry)) continue;
    const bool used = &entry == set.answers || &entry == set.codes ||
                      std::find(set.pictures.begin(), set.pictures.end(), &entry) != set.pictures.end();
    if (!used)
      run->warnings->push_back("la ressource " + DescribeResourceName(entry.type) + " " +
                               DescribeResourceName(entry.name) + " (langue " + std::to_string(entry.language) +
                               ") ne sert pas au quiz : build ne la recréera pas");
  }
}

bool WriteSource(const fs::path& folder, const QuizSource& quiz, const std::vector<std::string>& comment,
                 std::vector<OutputFile> files, bool force, const std::vector<CommandInput>& inputs,
                 fs::path* sourceFile, Unpacking* run) {
  const fs::path target = folder / kSourceFile;
  // A quiz source and its pictures are the author's work: never replaced unasked.
  files.insert(files.begin(), OutputFile{target, {}});
  std::error_code code;
  for (const OutputFile& file : files) {
    if (!RefuseInputAsOutput(file.path, inputs, run->error)) return false;
    if (!force && fs::exists(file.path, code)) {
      *run->error = "« " + PathText(file.path) + " » existe déjà ; ajoutez --force pour le remplacer";
      return false;
    }
  }

  // The player accepts what a source may not hold (long texts, line breaks
  // in answers); the source is still written so that it can be corrected.
  for (SourceIssue& issue : ValidateQuizSource(quiz)) {
    if (!issue.warning) issue.message += " (build et pack refuseront ce quiz tant que ce n'est pas corrigé)";
    run->warnings->push_back(PathText(target) + " : " + DescribeIssue(issue));
  }

  const std::string source = WriteQuizSource(quiz, comment);
  files.front().bytes.assign(source.begin(), source.end());
  if (!WriteOutputFiles(files, run->error)) return false;
  *sourceFile = target;
  return true;
}

}  // namespace

bool UnpackQuizExecutable(const fs::path& executable, const fs::path& folder, bool force, fs::path* sourceFile,
                          std::vector<std::string>* warnings, std::string* error) {
  Unpacking run{warnings, error};
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(executable, &bytes, error)) return false;
  std::vector<ResourceEntry> entries;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, error)) {
    *error = "« " + PathText(executable) + " » : " + *error;
    return false;
  }
  const QuizResourceSet blobs = FindQuizResources(entries, 0);
  if (!blobs.answers) {
    *error = "« " + PathText(executable) +
             " » ne porte pas de quiz : pas de ressource « PATCH » 104 (le lecteur y montrerait son quiz par défaut)";
    return false;
  }
  if (!blobs.codes)
    warnings->push_back("« " + PathText(executable) +
                        " » n'a pas de ressource « PATCH » 105 : le quiz n'a pas de codes, build en écrira une");
  QuizSource quiz;
  if (!DecodeQuiz(blobs.answers->data, "la ressource 104 de « " + PathText(executable) + " »",
                  blobs.codes ? &blobs.codes->data : nullptr, "la ressource 105 de « " + PathText(executable) + " »",
                  &quiz, &run))
    return false;
  WarnOfUnusedResources(entries, quiz.questions.size(), &run);
  std::vector<OutputFile> pictures = TakePictures(entries, folder, &quiz, &run);
  const std::vector<std::string> comment = {
      "Quiz extrait de « " + PathText(executable.filename()) + " » par vidod-make unpack.",
      "Les images des questions sont dans le dossier images ; « vidod-make build »",
      "redonne les mêmes ressources.",
  };
  return WriteSource(folder, quiz, comment, std::move(pictures), force, {{executable, "l'exécutable à défaire"}},
                     sourceFile, &run);
}

bool UnpackQuizBlobs(const fs::path& answers, const fs::path& codes, const fs::path& folder, bool force,
                     fs::path* sourceFile, std::vector<std::string>* warnings, std::string* error) {
  Unpacking run{warnings, error};
  std::vector<uint8_t> packedAnswers, packedCodes;
  if (!ReadFileBytes(answers, &packedAnswers, error) || !ReadFileBytes(codes, &packedCodes, error)) return false;
  QuizSource quiz;
  if (!DecodeQuiz(packedAnswers, "« " + PathText(answers) + " »", &packedCodes, "« " + PathText(codes) + " »", &quiz,
                  &run))
    return false;
  const std::vector<std::string> comment = {
      "Quiz extrait par vidod-make unpack.",
      "Les images ne sont pas dans les ressources 104 et 105 : pour en donner une",
      "à une question, ajoutez-lui image = \"fichier\" (chemin relatif à ce fichier).",
      "Une question sans image n'a pas d'image dans le quiz.",
  };
  return WriteSource(folder, quiz, comment, {}, force,
                     {{answers, "la ressource des réponses lue"}, {codes, "la ressource des codes lue"}}, sourceFile,
                     &run);
}

}  // namespace vidod
