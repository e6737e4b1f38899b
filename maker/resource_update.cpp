#include "maker/resource_update.h"

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <system_error>

#include "maker/file_io.h"
#include "maker/pe_resource_writer.h"
#include "maker/quiz_resources.h"
#include "maker/system_error_text.h"

namespace vidod {
namespace {

// Below this much room a disk cannot take the next chunk of a quiz.
constexpr std::uintmax_t kRoomForAChunk = 4u << 20;
constexpr char kFullOrRemovedDisk[] = "le disque est peut-être plein ou a été retiré";

}  // namespace

std::string QuizWriteFailure(const std::filesystem::path& folder, int code, bool opened) {
  // The room left decides only where the system gave no clearer reason: a
  // read-only disk is often full too.
  const bool vague = code == 0 || code == static_cast<int>(std::errc::invalid_argument) ||
                     code == static_cast<int>(std::errc::io_error);
  std::string reason;
  std::error_code spaceError;
  if (vague && std::filesystem::space(folder, spaceError).available < kRoomForAChunk && !spaceError)
    reason = SystemErrorText(std::make_error_code(std::errc::no_space_on_device));
  else if (vague && opened && code != static_cast<int>(std::errc::io_error))
    reason = kFullOrRemovedDisk;
  else if (code != 0)
    reason = SystemErrorText(std::error_code(code, std::generic_category()));
  return "« " + PathText(folder) + " » : impossible d'y écrire le quiz" + (reason.empty() ? "" : " (" + reason + ")");
}

bool WritePlayerWithQuiz(const std::filesystem::path& player, const std::filesystem::path& temporary,
                         const std::vector<ResourceEntry>& quiz, const FileBytesReader& stored,
                         const std::atomic<bool>* cancel, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(player, &bytes, error)) return false;
  std::vector<ResourceEntry> entries;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, error)) {
    *error = "« " + PathText(player) + " » : " + *error;
    return false;
  }
  std::vector<ResourceEntry> kept;
  for (ResourceEntry& entry : entries)
    if (!IsQuizResource(entry)) kept.push_back(std::move(entry));
  kept.insert(kept.end(), quiz.begin(), quiz.end());

  std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
  // A full disk shows when a write fails, or only when the buffer is emptied.
  bool opened = false;
  const auto failed = [&stream, &temporary, &opened, error] {
    if (!stream.fail()) return false;
    *error = QuizWriteFailure(temporary.parent_path(), errno, opened);
    return true;
  };
  if (!stream) {
    errno = 0;
    failed();
    return false;
  }
  opened = true;
  // Errors of the writing say so themselves; the others are the player's.
  bool writing = false;
  PeOutput output;
  output.append = [&](const uint8_t* data, std::size_t count, std::string*) {
    writing = true;
    if (cancel && cancel->load()) {
      *error = kBuildCancelled;
      return false;
    }
    errno = 0;
    stream.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
    return !failed();
  };
  output.rewrite = [&](uint64_t at, const uint8_t* data, std::size_t count, std::string*) {
    errno = 0;
    stream.seekp(static_cast<std::streamoff>(at));
    stream.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
    return !failed();
  };
  if (!WritePeWithResources(bytes, kept, stored, output, error)) {
    if (!writing) *error = "« " + PathText(player) + " » : " + *error;
    return false;
  }
  errno = 0;
  stream.close();
  if (failed()) return false;
  // The quiz runs like the player: same permissions, execution included.
  std::error_code code;
  std::filesystem::permissions(temporary, std::filesystem::status(player, code).permissions(), code);
  return true;
}

}  // namespace vidod
