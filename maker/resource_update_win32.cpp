#include <windows.h>

#include "maker/file_io.h"
#include "maker/quiz_resources.h"
#include "maker/resource_update.h"
#include "maker/system_error_text.h"

namespace vidod {
namespace {

// The resource functions take a number as a pointer-sized integer and a
// string as a pointer to it; the strings live as long as the name does.
LPCWSTR NameArgument(const ResourceName& name, std::wstring* storage) {
  if (!name.isString) return MAKEINTRESOURCEW(name.id);
  storage->assign(name.text.begin(), name.text.end());
  return storage->c_str();
}

std::string SystemError(const char* step) {
  return std::string(step) + " échoue (" + WindowsErrorText(GetLastError()) + ")";
}

}  // namespace

bool WritePlayerWithQuiz(const std::filesystem::path& player, const std::filesystem::path& temporary,
                         const std::vector<ResourceEntry>& quiz, std::string* error) {
  if (!CopyFileW(player.c_str(), temporary.c_str(), FALSE)) {
    *error = "« " + PathText(player) + " » : copie impossible, " + SystemError("CopyFileW");
    return false;
  }
  // The update functions cannot list what is there: the copy is read first.
  std::vector<uint8_t> bytes;
  std::vector<ResourceEntry> existing;
  if (!ReadFileBytes(temporary, &bytes, error)) return false;
  if (!ReadPeResources(bytes.data(), bytes.size(), &existing, error)) {
    *error = "« " + PathText(player) + " » : " + *error;
    return false;
  }

  HANDLE update = BeginUpdateResourceW(temporary.c_str(), FALSE);
  if (!update) {
    *error = "« " + PathText(temporary) + " » : " + SystemError("BeginUpdateResourceW");
    return false;
  }
  bool ok = true;
  for (const ResourceEntry& entry : existing) {
    if (!IsQuizResource(entry)) continue;
    std::wstring type, name;
    if (!UpdateResourceW(update, NameArgument(entry.type, &type), NameArgument(entry.name, &name), entry.language,
                         nullptr, 0)) {
      *error = "retrait de la ressource " + DescribeResourceName(entry.type) + " " +
               DescribeResourceName(entry.name) + " : " + SystemError("UpdateResourceW");
      ok = false;
      break;
    }
  }
  for (std::size_t i = 0; ok && i < quiz.size(); ++i) {
    const ResourceEntry& entry = quiz[i];
    std::wstring type, name;
    // The function takes the bytes through a non-const pointer but only reads them.
    void* data = const_cast<uint8_t*>(entry.data.data());
    if (!UpdateResourceW(update, NameArgument(entry.type, &type), NameArgument(entry.name, &name), entry.language,
                         data, static_cast<DWORD>(entry.data.size()))) {
      *error = "ajout de la ressource " + DescribeResourceName(entry.type) + " " + DescribeResourceName(entry.name) +
               " : " + SystemError("UpdateResourceW");
      ok = false;
    }
  }
  if (!ok) {
    EndUpdateResourceW(update, TRUE);
    return false;
  }
  if (!EndUpdateResourceW(update, FALSE)) {
    *error = "« " + PathText(temporary) + " » : " + SystemError("EndUpdateResourceW");
    return false;
  }
  return true;
}

}  // namespace vidod
