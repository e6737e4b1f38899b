#include "tool_run.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "player_fixture.h"

namespace vidod::testing {
namespace {

constexpr DWORD kProgramTimeoutMs = 120000;
constexpr char kBuildRootFromTest[] = "..\\..\\..\\";  // tests\win\maker

std::string ExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

}  // namespace

std::string BuildTreePath(const std::string& relative) { return ExecutableFolder() + kBuildRootFromTest + relative; }

std::string HostPath(const std::string& path) {
  std::string host = path;
  std::replace(host.begin(), host.end(), '/', '\\');
  if (!host.empty() && host[0] == '\\') host = "Z:" + host;
  return host;
}

ProgramRun RunProgram(const std::string& commandLine, const std::string& folder) {
  ProgramRun run;
  // Outside the folder, whose contents the tests look at.
  char temporary[MAX_PATH] = "";
  GetTempPathA(sizeof temporary, temporary);
  char unique[MAX_PATH] = "";
  GetTempFileNameA(temporary, "vmo", 0, unique);
  const std::string outputFile = unique;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
  if (output == INVALID_HANDLE_VALUE) return run;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process = {};
  std::string line = commandLine;
  run.started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                               &startup, &process) != FALSE;
  CloseHandle(output);
  if (!run.started) return run;
  WaitForSingleObject(process.hProcess, kProgramTimeoutMs);
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run.output = ReadFileBytes(outputFile);
  DeleteFileA(outputFile.c_str());
  return run;
}

ScratchFolder::ScratchFolder() {
  char temporary[MAX_PATH] = "";
  GetTempPathA(sizeof temporary, temporary);
  char unique[MAX_PATH] = "";
  GetTempFileNameA(temporary, "vmk", 0, unique);
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  path_ = unique;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path_), ignored);
}

}  // namespace vidod::testing
