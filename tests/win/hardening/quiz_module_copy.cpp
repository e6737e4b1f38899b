#include "quiz_module_copy.h"

#include "player_fixture.h"

namespace vidod::testing {

namespace {
// The language windres gives resources when the script sets none: replacing
// the resource needs the same one, or the copy would carry both.
constexpr WORD kResourceLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}  // namespace

std::string ResourceBytes(HMODULE module, const char* type, int id) {
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return "";
  HGLOBAL loaded = LoadResource(module, info);
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, SizeofResource(module, info)) : "";
}

bool CopyQuizModuleWithResource(const char* quizName, const std::string& path, const char* type,
                                int id, const std::string& bytes) {
  if (!CopyFileA(QuizModulePath(quizName).c_str(), path.c_str(), FALSE)) return false;
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (!update) return false;
  const bool replaced =
      UpdateResourceA(update, type, MAKEINTRESOURCEA(id), kResourceLanguage,
                      const_cast<char*>(bytes.data()), static_cast<DWORD>(bytes.size())) != FALSE;
  return EndUpdateResourceA(update, !replaced) != FALSE && replaced;
}

}  // namespace vidod::testing
