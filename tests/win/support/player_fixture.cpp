#include "player_fixture.h"

#include "app/player_shell.h"
#include "views/views.h"

namespace vidod::testing {

namespace {

std::string ExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Wide, so that folders named with any letters go too.
void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(path);
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string QuizModulePath(const char* name) {
  return ExecutableFolder() + "..\\quizzes\\" + name + ".exe";
}

HMODULE LoadQuizModule(const char* name) {
  return LoadLibraryExA(QuizModulePath(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

void PumpMessages() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      if (g_shell.singleView && IsDialogMessageA(g_shell.singleView, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ControlText(HWND parent, int id) {
  char text[1024] = "";
  GetDlgItemTextA(parent, id, text, sizeof text);
  return text;
}

void PlayerTest::SetUp() {
  char previous[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof previous, previous);
  previousFolder_ = previous;
  char temporary[MAX_PATH] = "";
  GetTempPathA(sizeof temporary, temporary);
  char unique[MAX_PATH] = "";
  GetTempFileNameA(temporary, "vid", 0, unique);
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  folder_ = unique;
  SetCurrentDirectoryA(folder_.c_str());
}

void PlayerTest::TearDown() {
  StopPlayerNow();
  if (quizModule_) FreeLibrary(quizModule_);
  quizModule_ = nullptr;
  SetCurrentDirectoryA(previousFolder_.c_str());
  RemoveFolder(Widened(folder_));
}

void PlayerTest::StartPlayerOn(const char* quizName) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  if (quizName) {
    quizModule_ = LoadQuizModule(quizName);
    ASSERT_NE(quizModule_, nullptr) << "no test quiz " << QuizModulePath(quizName);
  }
  ASSERT_TRUE(StartPlayer(self, quizModule_ ? quizModule_ : self, ProgressFile()));
  running_ = true;
  PumpMessages();
}

void PlayerTest::StopPlayerNow() {
  if (!running_) return;
  running_ = false;
  StopPlayer();
}

void PlayerTest::RestartPlayerOn(const char* quizName) {
  StopPlayerNow();
  if (quizModule_) FreeLibrary(quizModule_);
  quizModule_ = nullptr;
  StartPlayerOn(quizName);
}

std::string PlayerTest::ProgressPath() const {
  char executable[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, executable, sizeof executable);
  std::string name = executable;
  name = name.substr(name.find_last_of("\\/") + 1);
  name.replace(name.size() - 3, 3, "txt");  // as the player names it
  return folder_ + "\\" + name;
}

std::wstring PlayerTest::ProgressFile() const { return Widened(ProgressPath()); }

std::wstring Widened(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
  wide.resize(length - 1);
  return wide;
}

}  // namespace vidod::testing
