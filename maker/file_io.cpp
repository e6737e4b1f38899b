#include "maker/file_io.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace vidod {
namespace fs = std::filesystem;

namespace {

bool WriteWholeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  if (!stream) return false;
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  stream.close();
  return !stream.fail();
}

void RemoveAllQuietly(const std::vector<fs::path>& paths) {
  for (const fs::path& path : paths) RemoveQuietly(path);
}

// A file another program holds open cannot be replaced on Windows.
std::string ReplaceFailure(const fs::path& target, const std::error_code& code) {
  return "« " + PathText(target) + " » : impossible de remplacer le fichier (" + code.message() +
         ") ; est-il ouvert dans un autre programme ?";
}

}  // namespace

// Unique enough that two runs writing the same folder do not share a name.
fs::path TemporaryPathFor(const fs::path& target) {
  std::random_device device;
  const unsigned long long salt = (static_cast<unsigned long long>(device()) << 32) | device();
  fs::path temporary = target;
  temporary += fs::u8path(".tmp-" + std::to_string(salt));
  return temporary;
}

void RemoveQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

bool MoveIntoPlace(const fs::path& temporary, const fs::path& target, std::string* error) {
  std::error_code code;
  fs::rename(temporary, target, code);
  if (!code) return true;
  *error = ReplaceFailure(target, code);
  RemoveQuietly(temporary);
  return false;
}

std::string PathText(const fs::path& path) { return path.u8string(); }

fs::path PathFromText(const std::string& utf8) { return fs::u8path(utf8); }

bool IsHiddenFile(const fs::path& path) {
  const std::string name = path.filename().u8string();
  if (!name.empty() && name.front() == '.') return true;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
    return true;
#endif
  return false;
}

bool ReadFileBytes(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::error_code code;
  if (!fs::is_regular_file(path, code)) {
    *error = "« " + PathText(path) + " » : fichier introuvable";
    return false;
  }
  std::ifstream stream(path, std::ios::binary);
  if (!stream) {
    *error = "« " + PathText(path) + " » : impossible d'ouvrir le fichier";
    return false;
  }
  bytes->assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  if (stream.bad()) {
    *error = "« " + PathText(path) + " » : erreur de lecture";
    return false;
  }
  return true;
}

bool RefuseInputAsOutput(const fs::path& output, const std::vector<CommandInput>& inputs, std::string* error) {
  for (const CommandInput& input : inputs) {
    std::error_code code;
    if (!fs::equivalent(output, input.path, code)) continue;
    *error = "« " + PathText(output) + " » est " + input.role +
             " : un fichier lu n'est jamais remplacé par ce qui en est fait, choisissez un autre nom de sortie";
    return false;
  }
  return true;
}

bool RefuseForeignFile(const fs::path& output, const std::string& signature, const std::string& what, bool force,
                       std::string* error) {
  std::error_code code;
  if (force || !fs::exists(output, code)) return true;
  std::string start(signature.size(), '\0');
  std::ifstream stream(output, std::ios::binary);
  stream.read(&start[0], static_cast<std::streamsize>(start.size()));
  if (stream.gcount() == static_cast<std::streamsize>(start.size()) && start == signature && fs::is_regular_file(output, code))
    return true;
  *error = "« " + PathText(output) + " » existe et n'est pas " + what +
           " : ce n'est pas une sortie de vidod-make, ajoutez --force pour le remplacer quand même";
  return false;
}

bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error) {
  std::vector<fs::path> temporaries;
  for (const OutputFile& file : files) {
    std::error_code code;
    const fs::path folder = file.path.parent_path();
    if (!folder.empty()) fs::create_directories(folder, code);
    if (code) {
      *error = "« " + PathText(folder) + " » : impossible de créer le dossier (" + code.message() + ")";
      RemoveAllQuietly(temporaries);
      return false;
    }
    temporaries.push_back(TemporaryPathFor(file.path));
    if (!WriteWholeFile(temporaries.back(), file.bytes)) {
      *error = "« " + PathText(file.path) + " » : impossible d'écrire le fichier";
      RemoveAllQuietly(temporaries);
      return false;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::error_code code;
    fs::rename(temporaries[i], files[i].path, code);
    if (code) {
      *error = ReplaceFailure(files[i].path, code);
      RemoveAllQuietly(std::vector<fs::path>(temporaries.begin() + static_cast<std::ptrdiff_t>(i), temporaries.end()));
      return false;
    }
  }
  return true;
}

}  // namespace vidod
