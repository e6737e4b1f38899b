#include <fstream>
#include <system_error>

#include "maker/file_io.h"
#include "maker/pe_resource_writer.h"
#include "maker/quiz_resources.h"
#include "maker/resource_update.h"

namespace vidod {

bool WritePlayerWithQuiz(const std::filesystem::path& player, const std::filesystem::path& temporary,
                         const std::vector<ResourceEntry>& quiz, std::string* error) {
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

  std::vector<uint8_t> written;
  if (!ReplacePeResources(bytes, kept, &written, error)) {
    *error = "« " + PathText(player) + " » : " + *error;
    return false;
  }
  std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
  stream.write(reinterpret_cast<const char*>(written.data()), static_cast<std::streamsize>(written.size()));
  stream.close();
  if (stream.fail()) {
    *error = "« " + PathText(temporary) + " » : impossible d'écrire le fichier";
    return false;
  }
  // The quiz runs like the player: same permissions, execution included.
  std::error_code code;
  std::filesystem::permissions(temporary, std::filesystem::status(player, code).permissions(), code);
  return true;
}

}  // namespace vidod
