#include "maker/resource_update.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "maker/file_io.h"
#include "maker/pe_resource_writer.h"
#include "maker/quiz_resources.h"
#include "maker/system_error_text.h"

namespace vidod {

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
  const auto failed = [&stream, &temporary, error] {
    if (!stream.fail()) return false;
    const int code = errno;
    *error = "« " + PathText(temporary.parent_path()) + " » : impossible d'y écrire le quiz" +
             (code != 0 ? " (" + SystemErrorText(std::error_code(code, std::generic_category())) + ")" : "");
    return true;
  };
  if (!stream) {
    errno = 0;
    failed();
    return false;
  }
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
