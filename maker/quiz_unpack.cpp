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
constexpr std::size_t kUnusedResourcesNamed = 5;
// A compressed blob: the codec takes at most 65535 bytes, and its codes
// take less room than the bytes they stand for.
constexpr std::uintmax_t kMaxPackedBlobBytes = 1u << 20;
constexpr char kPackedBlobRole[] = "une ressource de quiz compressée";

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
                             " : compressée autrement que par vidod-make ; un quiz reconstruit aura le même contenu "
                             "décompressé, mais pas les mêmes octets compressés");
}

// The link as the player reads it: one that it would not show (damaged, too
// long, no web address) is left out of the source, with a warning.
void DecodeLink(const std::vector<uint8_t>& packed, const std::string& name, QuizSource* quiz, Unpacking* run) {
  const CodecRun decoded = DecompressBytes(packed);
  const std::string link(decoded.bytes.begin(), decoded.bytes.end());
  if (decoded.result == 0 && link.size() <= kMaxSourceTextLength && IsWebAddress(link)) {
    quiz->link = link;
    return;
  }
  run->warnings->push_back(name + " : lien endommagé ou qui n'est pas une adresse web ; le lecteur n'en montre pas, "
                                  "la source n'en a pas");
}

// The other answers and tolerances, read as the player reads them. The
// player plays a quiz whose blob it refuses with its first answers only:
// unless strict, the source then gets none, with a warning.
bool DecodeAcceptedAnswers(const std::vector<uint8_t>& packed, const std::string& name, bool strict, QuizSource* quiz,
                           Unpacking* run) {
  std::vector<uint8_t> accepted;
  std::string error;
  if (!Decompress(packed, name, &accepted, run)) {
    if (strict) return false;
    error = *run->error;
    run->error->clear();
  } else if (ReadAcceptedAnswersBlob(accepted.data(), accepted.size(), quiz, &error)) {
    WarnIfRecompressionDiffers(packed, accepted, name, run);
    return true;
  } else if (strict) {
    *run->error = name + " : " + error;
    return false;
  } else {
    error = name + " : " + error;
  }
  run->warnings->push_back(error +
                           " ; le lecteur le dit au démarrage et n'accepte que la première réponse de chaque case, "
                           "sans tolérance : la source écrite fait de même");
  return true;
}

// Reads the blobs into *quiz the way the player reads them.
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
                               key + " » ; la construction la refusera");
    else if (rawData != (format == PictureFormat::kPng))
      run->warnings->push_back("question " + std::to_string(number) + " : image " +
                               (rawData ? "en données brutes" : "« IMG »") + " qui n'est pas du " +
                               (rawData ? "PNG" : "JPEG, GIF ou BMP") +
                               " : le lecteur ne peut pas l'afficher ; la construction la rangera selon son format");
    quiz->questions[k].image = key;
    files.push_back({folder / kPicturesFolder / name, picture->data});
  }
  return files;
}

// Quiz resources the player never looks up (a picture past the last
// question, another "PATCH"): not part of the source, so build will not
// write them again. The first few are named, the rest counted.
void WarnOfUnusedResources(const std::vector<ResourceEntry>& entries, std::size_t questionCount, Unpacking* run) {
  const QuizResourceSet set = FindQuizResources(entries, questionCount);
  std::size_t unused = 0;
  for (const ResourceEntry& entry : entries) {
    if (!IsQuizResource(entry)) continue;
    const bool used = &entry == set.answers || &entry == set.codes || &entry == set.acceptedAnswers ||
                      &entry == set.link ||
                      std::find(set.pictures.begin(), set.pictures.end(), &entry) != set.pictures.end();
    if (used) continue;
    if (++unused <= kUnusedResourcesNamed)
      run->warnings->push_back("la ressource " + DescribeResourceName(entry.type) + " " +
                               DescribeResourceName(entry.name) + " (langue " + std::to_string(entry.language) +
                               ") ne sert pas au quiz : un quiz reconstruit ne l'aura plus");
  }
  if (unused > kUnusedResourcesNamed)
    run->warnings->push_back("et " + std::to_string(unused - kUnusedResourcesNamed) +
                             " autres ressources « PATCH », « IMG » ou images brutes qui ne servent pas au quiz");
}

// The source of the quiz, first of the files; the player accepts what a
// source may not hold (long texts, line breaks in answers): it is still
// written, so that it can be corrected.
bool AddSource(const fs::path& folder, const QuizSource& quiz, const std::vector<std::string>& comment,
               std::vector<OutputFile>* files, Unpacking* run) {
  const fs::path target = folder / kSourceFile;
  for (SourceIssue& issue : ValidateQuizSource(quiz)) {
    if (!issue.warning) issue.message += " (la construction refusera ce quiz tant que ce n'est pas corrigé)";
    run->warnings->push_back(PathText(target) + " : " + DescribeIssue(issue));
  }
  std::string source;
  if (!WriteCheckedQuizSource(quiz, comment, &source, run->error)) return false;
  files->insert(files->begin(), OutputFile{target, std::vector<uint8_t>(source.begin(), source.end())});
  return true;
}

// A quiz source and its pictures are the author's work: never replaced
// unasked, and never one of the inputs.
bool WriteUnpacked(const std::vector<OutputFile>& files, bool force, const std::vector<CommandInput>& inputs,
                   fs::path* sourceFile, std::string* error) {
  std::error_code code;
  for (const OutputFile& file : files) {
    if (!RefuseInputAsOutput(file.path, inputs, error)) return false;
    if (!force && fs::exists(file.path, code)) {
      *error = "« " + PathText(file.path) + " » existe déjà ; ajoutez --force pour le remplacer";
      return false;
    }
  }
  if (!WriteOutputFiles(files, error)) return false;
  *sourceFile = files.front().path;
  return true;
}

}  // namespace

bool UnpackQuizImage(const std::vector<uint8_t>& bytes, const std::string& executableName, const fs::path& folder,
                     std::vector<OutputFile>* files, std::vector<std::string>* warnings, std::string* error,
                     const std::vector<std::string>* comment, QuizSource* unpacked) {
  Unpacking run{warnings, error};
  const std::string quoted = "« " + executableName + " »";
  std::vector<ResourceEntry> entries;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, error)) {
    *error = quoted + " : " + *error;
    return false;
  }
  const QuizResourceSet blobs = FindQuizResources(entries, 0);
  if (!blobs.answers) {
    *error = quoted + " ne porte pas de quiz : pas de ressource « PATCH » 104 (le lecteur y montrerait son quiz par défaut)";
    return false;
  }
  if (!blobs.codes)
    warnings->push_back(quoted + " n'a pas de ressource « PATCH » 105 : le quiz n'a pas de codes, build en écrira une");
  QuizSource quiz;
  if (!DecodeQuiz(blobs.answers->data, "la ressource 104 de " + quoted, blobs.codes ? &blobs.codes->data : nullptr,
                  "la ressource 105 de " + quoted, &quiz, &run))
    return false;
  if (blobs.acceptedAnswers &&
      !DecodeAcceptedAnswers(blobs.acceptedAnswers->data, "la ressource 106 de " + quoted, false, &quiz, &run))
    return false;
  if (blobs.link) DecodeLink(blobs.link->data, "la ressource 107 de " + quoted, &quiz, &run);
  WarnOfUnusedResources(entries, quiz.questions.size(), &run);
  *files = TakePictures(entries, folder, &quiz, &run);
  const std::vector<std::string> unpackComment = {
      "Quiz extrait de " + quoted + " par vidod-make unpack.",
      "Les images des questions sont dans le dossier images ; « vidod-make build »",
      "redonne les mêmes ressources.",
  };
  if (unpacked) *unpacked = quiz;
  return AddSource(folder, quiz, comment ? *comment : unpackComment, files, &run);
}

bool UnpackQuizExecutable(const fs::path& executable, const fs::path& folder, bool force, fs::path* sourceFile,
                          std::vector<std::string>* warnings, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(executable, &bytes, error, kMaxFileBytes, "un exécutable de quiz")) return false;
  const std::vector<CommandInput> inputs = {{executable, "l'exécutable à défaire"}};
  std::vector<OutputFile> files;
  return UnpackQuizImage(bytes, PathText(executable.filename()), folder, &files, warnings, error) &&
         WriteUnpacked(files, force, inputs, sourceFile, error);
}

bool UnpackQuizBlobs(const fs::path& answers, const fs::path& codes, const fs::path& acceptedAnswers,
                     const fs::path& folder, bool force, fs::path* sourceFile, std::vector<std::string>* warnings,
                     std::string* error) {
  Unpacking run{warnings, error};
  std::vector<uint8_t> packedAnswers, packedCodes, packedAccepted;
  if (!ReadFileBytes(answers, &packedAnswers, error, kMaxPackedBlobBytes, kPackedBlobRole) ||
      !ReadFileBytes(codes, &packedCodes, error, kMaxPackedBlobBytes, kPackedBlobRole) ||
      (!acceptedAnswers.empty() &&
       !ReadFileBytes(acceptedAnswers, &packedAccepted, error, kMaxPackedBlobBytes, kPackedBlobRole)))
    return false;
  QuizSource quiz;
  if (!DecodeQuiz(packedAnswers, "« " + PathText(answers) + " »", &packedCodes, "« " + PathText(codes) + " »", &quiz,
                  &run))
    return false;
  if (!acceptedAnswers.empty() &&
      !DecodeAcceptedAnswers(packedAccepted, "« " + PathText(acceptedAnswers) + " »", true, &quiz, &run))
    return false;
  const std::vector<std::string> comment = {
      "Quiz extrait par vidod-make unpack.",
      "Les images ne sont pas dans les ressources du quiz : pour en donner une",
      "à une question, ajoutez-lui image = \"fichier\" (chemin relatif à ce fichier).",
      "Une question sans image n'a pas d'image dans le quiz.",
  };
  std::vector<CommandInput> inputs = {{answers, "la ressource des réponses lue"},
                                      {codes, "la ressource des codes lue"}};
  if (!acceptedAnswers.empty()) inputs.push_back({acceptedAnswers, "la ressource des autres réponses lue"});
  std::vector<OutputFile> files;
  return AddSource(folder, quiz, comment, &files, &run) && WriteUnpacked(files, force, inputs, sourceFile, error);
}

}  // namespace vidod
