#include "maker/file_io.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <fstream>
#include <random>
#include <system_error>

#include "maker/system_error_text.h"

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

// The file that writing to path changes: the target of a symbolic link (of a
// chain of them), so that the link stays and its target gets the new bytes.
fs::path ThroughLinks(const fs::path& path) {
  std::error_code code;
  if (!fs::is_symlink(path, code)) return path;
  const fs::path target = fs::weakly_canonical(path, code);
  return code ? path : target;
}

// A replaced file keeps who may read, write and run it.
void TakePermissions(const fs::path& from, const fs::path& to) {
  std::error_code code;
  const fs::file_status status = fs::status(from, code);
  if (!code && fs::exists(status)) fs::permissions(to, status.permissions(), code);
}

void RemoveAllQuietly(const std::vector<fs::path>& paths) {
  for (const fs::path& path : paths) RemoveQuietly(path);
}

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr std::uintmax_t kBytesPerMegabyte = 1024 * 1024;

std::string Megabytes(std::uintmax_t bytes) {
  return std::to_string((bytes + kBytesPerMegabyte - 1) / kBytesPerMegabyte) + " Mo";
}

bool TooLarge(const fs::path& path, std::uintmax_t size, std::uintmax_t limit, const char* what, std::string* error) {
  *error = "« " + PathText(path) + " » fait " + (size > limit + 1 ? Megabytes(size) : "plus de " + Megabytes(limit)) +
           ", plus que les " + Megabytes(limit) + " que peut faire " + what +
           " : ce n'est sans doute pas le bon fichier ; vérifiez son nom";
  return false;
}

// A file another program holds open cannot be replaced on Windows.
std::string ReplaceFailure(const fs::path& target, const std::error_code& code) {
  return "« " + PathText(target) + " » : impossible de remplacer le fichier (" + SystemErrorText(code) +
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

bool ReadFileBytes(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error, std::uintmax_t limit,
                   const char* what) {
  std::error_code code;
  if (!fs::is_regular_file(path, code)) {
    *error = "« " + PathText(path) + (fs::is_directory(path, code) ? " » est un dossier, pas un fichier"
                                                                   : " » : fichier introuvable");
    return false;
  }
  const std::uintmax_t size = fs::file_size(path, code);
  // A file that grows while it is read is cut at the limit and refused too.
  if (!code && size > limit) return TooLarge(path, size, limit, what, error);
  std::ifstream stream(path, std::ios::binary);
  if (!stream) {
    *error = "« " + PathText(path) + " » : impossible d'ouvrir le fichier";
    return false;
  }
  bytes->assign(static_cast<std::size_t>(code ? 0 : size), 0);
  stream.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  bytes->resize(static_cast<std::size_t>(stream.gcount()));
  char more[kReadChunk];
  while (stream && bytes->size() <= limit) {
    stream.read(more, sizeof more);
    bytes->insert(bytes->end(), more, more + stream.gcount());
  }
  if (stream.bad()) {
    *error = "« " + PathText(path) + " » : erreur de lecture";
    return false;
  }
  if (bytes->size() > limit) {
    bytes->clear();
    return TooLarge(path, limit + 1, limit, what, error);
  }
  return true;
}

bool ReadFileStart(const fs::path& path, std::size_t count, std::vector<uint8_t>* bytes) {
  std::ifstream stream(path, std::ios::binary);
  if (!stream) return false;
  bytes->assign(count, 0);
  stream.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(count));
  bytes->resize(static_cast<std::size_t>(stream.gcount()));
  return !stream.bad();
}

bool RefuseReadOnlyFile(const fs::path& path, std::string* error) {
  std::error_code code;
  const fs::file_status status = fs::status(path, code);
  if (code || !fs::exists(status) || (status.permissions() & fs::perms::owner_write) != fs::perms::none) return true;
  *error = "« " + PathText(path) +
           " » est en lecture seule : il n'a pas été modifié ; rendez-le modifiable (propriétés du fichier) pour "
           "qu'il puisse être réécrit";
  return false;
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
  std::vector<uint8_t> start;
  if (ReadFileStart(output, signature.size(), &start) && std::string(start.begin(), start.end()) == signature &&
      fs::is_regular_file(output, code))
    return true;
  *error = "« " + PathText(output) + " » existe et n'est pas " + what +
           " : ce n'est pas une sortie de vidod-make, ajoutez --force pour le remplacer quand même";
  return false;
}

bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error) {
  std::vector<fs::path> targets, temporaries;
  for (const OutputFile& file : files) {
    std::error_code code;
    const fs::path folder = file.path.parent_path();
    if (!folder.empty()) fs::create_directories(folder, code);
    if (code) {
      *error = "« " + PathText(folder) + " » : impossible de créer le dossier (" + SystemErrorText(code) + ")";
      RemoveAllQuietly(temporaries);
      return false;
    }
    targets.push_back(ThroughLinks(file.path));
    temporaries.push_back(TemporaryPathFor(targets.back()));
    if (!WriteWholeFile(temporaries.back(), file.bytes)) {
      *error = "« " + PathText(file.path) + " » : impossible d'écrire le fichier";
      RemoveAllQuietly(temporaries);
      return false;
    }
    TakePermissions(targets.back(), temporaries.back());
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::error_code code;
    fs::rename(temporaries[i], targets[i], code);
    if (code) {
      *error = ReplaceFailure(files[i].path, code);
      RemoveAllQuietly(std::vector<fs::path>(temporaries.begin() + static_cast<std::ptrdiff_t>(i), temporaries.end()));
      return false;
    }
  }
  return true;
}

}  // namespace vidod
