// A quiz executable: a copy of the player that carries the quiz in its
// resources, written whole or not at all.
#include <algorithm>
#include <cerrno>
#include <fstream>
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

// Pictures wait in a spool file until the resource section that holds them
// can be laid out: its directory, which needs every size, comes before them,
// and it orders them by type, not by question. The spool goes to the
// system's folder for temporary files, so that a USB key needs room for the
// quiz only, not for its pictures twice; beside the output when that fails.
struct Spool {
  fs::path path;
  std::fstream file;
  uint64_t size = 0;
};

// Stored resources are compared this many bytes at a time.
constexpr std::size_t kCompareChunk = 1 << 20;

// The spool is part of writing the quiz: its failure is told as the quiz's.
bool SpoolFailure(const Spool& spool, std::string* error) {
  *error = QuizWriteFailure(spool.path.parent_path(), errno, spool.file.is_open());
  return false;
}

bool OpenSpool(Spool* spool, const fs::path& output, std::string* error) {
  constexpr auto kMode = std::ios::binary | std::ios::in | std::ios::out | std::ios::trunc;
  std::error_code code;
  const fs::path temporaries = fs::temp_directory_path(code);
  if (!code) {
    spool->path = TemporaryPathFor(temporaries / output.filename());
    spool->file.open(spool->path, kMode);
    if (spool->file) return true;
    spool->file.clear();
  }
  spool->path = TemporaryPathFor(output);
  errno = 0;
  spool->file.open(spool->path, kMode);
  return spool->file ? true : SpoolFailure(*spool, error);
}

// A picture's bytes go to the spool; the quiz's blobs, a few kilobytes,
// stay in memory.
bool SpoolPicture(Spool* spool, ResourceEntry* entry, std::string* error) {
  if (NameIs(entry->type, kQuizBlobType)) return true;
  errno = 0;
  spool->file.write(reinterpret_cast<const char*>(entry->data.data()), static_cast<std::streamsize>(entry->data.size()));
  if (!spool->file) return SpoolFailure(*spool, error);
  entry->stored = true;
  entry->offset = spool->size;
  entry->size = static_cast<uint32_t>(entry->data.size());
  spool->size += entry->data.size();
  std::vector<uint8_t>().swap(entry->data);
  return true;
}

// The last pictures leave the stream's buffer: a full disk may show only now.
bool FinishSpool(Spool* spool, std::string* error) {
  errno = 0;
  spool->file.flush();
  return spool->file ? true : SpoolFailure(*spool, error);
}

FileBytesReader ReaderOf(std::istream* file) {
  return [file](uint64_t offset, std::size_t length, uint8_t* out) {
    file->clear();
    file->seekg(static_cast<std::streamoff>(offset));
    file->read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(length));
    return file->gcount() == static_cast<std::streamsize>(length);
  };
}

// The written resource's bytes are the ones meant, compared a chunk at a time.
bool SameBytes(const FileBytesReader& written, const ResourceEntry& found, const FileBytesReader& spool,
               const ResourceEntry& meant) {
  if (found.Size() != meant.Size()) return false;
  std::vector<uint8_t> chunk(std::min<std::size_t>(kCompareChunk, meant.Size())), expected(chunk.size());
  for (uint64_t done = 0; done < meant.Size();) {
    const std::size_t now = static_cast<std::size_t>(std::min<uint64_t>(meant.Size() - done, kCompareChunk));
    if (!written(found.offset + done, now, chunk.data())) return false;
    const uint8_t* meantBytes = nullptr;
    if (meant.stored) {
      if (!spool(meant.offset + done, now, expected.data())) return false;
      meantBytes = expected.data();
    } else {
      meantBytes = meant.data.data() + done;
    }
    if (!std::equal(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(now), meantBytes)) return false;
    done += now;
  }
  return true;
}

// The copy read back: the player finds exactly the new quiz, and the
// player's own resources are still there. Only the directory is read whole.
bool Verify(const fs::path& path, const std::vector<ResourceEntry>& quiz, const FileBytesReader& spool,
            std::string* error) {
  std::ifstream file(path, std::ios::binary);
  std::error_code code;
  const uint64_t size = fs::file_size(path, code);
  if (!file || code) {
    *error = "« " + PathText(path) + " » : impossible de relire l'exécutable écrit";
    return false;
  }
  const FileBytesReader written = ReaderOf(&file);
  std::vector<ResourceEntry> entries;
  if (!ReadPeResourceDirectory(written, size, &entries, error)) {
    *error = "l'exécutable écrit est illisible : " + *error;
    return false;
  }
  std::size_t quizEntries = 0;
  for (const ResourceEntry& entry : entries) quizEntries += IsQuizResource(entry) ? 1 : 0;
  for (const ResourceEntry& entry : quiz) {
    const ResourceEntry* found = FindResourceEntry(entries, entry.type, entry.name, entry.language);
    if (!found || !SameBytes(written, *found, spool, entry)) {
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

// The folders made for the output, removed again when a build fails and
// leaves them empty; the first that was missing is returned (empty when
// the output's folder was there).
bool MakeOutputFolder(const fs::path& folder, fs::path* firstMade, std::string* error) {
  std::error_code code;
  firstMade->clear();
  for (fs::path at = folder; !at.empty() && !fs::exists(at, code); at = at.parent_path()) {
    *firstMade = at;
    if (at == at.parent_path()) break;
  }
  fs::create_directories(folder, code);
  if (!code) return true;
  *error = "« " + PathText(folder) + " » : impossible de créer le dossier (" + SystemErrorText(code) + ")";
  return false;
}

void RemoveEmptyFolders(const fs::path& folder, const fs::path& firstMade) {
  if (firstMade.empty()) return;
  std::error_code code;
  for (fs::path at = folder;; at = at.parent_path()) {
    if (!fs::remove(at, code) || at == firstMade || at == at.parent_path()) return;
  }
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

  fs::path firstMade;
  if (!MakeOutputFolder(output.parent_path(), &firstMade, error)) return false;
  const fs::path temporary = TemporaryPathFor(output);
  Spool spool;
  const auto fail = [&] {
    spool.file.close();
    RemoveQuietly(spool.path);
    RemoveQuietly(temporary);
    RemoveEmptyFolders(output.parent_path(), firstMade);
    return false;
  };
  if (!OpenSpool(&spool, output, error)) return fail();

  std::vector<ResourceEntry> resources;
  const PictureCheckCache* checks = settings.pictureCache;
  const auto checked = [checks](const fs::path& file) { return checks && checks->entries.count(file) > 0; };
  const auto take = [&spool, &resources](ResourceEntry&& entry, std::string* error) {
    if (!SpoolPicture(&spool, &entry, error)) return false;
    resources.push_back(std::move(entry));
    return true;
  };
  if (!MakeQuizResources(quiz, sourceFile, settings.reducePictures || quiz.reducePictures, take, error,
                         settings.progress, checked))
    return fail();

  const std::atomic<bool>* cancel = settings.progress ? settings.progress->cancel : nullptr;
  const auto cancelled = [cancel, error] {
    if (!cancel || !cancel->load()) return false;
    *error = kBuildCancelled;
    return true;
  };
  const FileBytesReader spooled = ReaderOf(&spool.file);
  if (!FinishSpool(&spool, error) || cancelled() || !WritePlayerWithQuiz(player, temporary, resources, spooled, cancel, error) || cancelled() ||
      !Verify(temporary, resources, spooled, error) || cancelled())
    return fail();
  spool.file.close();
  RemoveQuietly(spool.path);
  if (!MoveIntoPlace(temporary, output, error)) return fail();
  *written = output;
  return true;
}

}  // namespace vidod
