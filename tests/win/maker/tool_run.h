// Running the built programs from a Windows test: vidod-make and quiz
// executables, found from the test executable's place in the build tree.
#pragma once

#include <string>

namespace vidod::testing {

// A file of the build tree, e.g. "maker\\vidod-make.exe".
std::string BuildTreePath(const std::string& relative);
// A path the build gave as text (a source file); forward slashes become
// backslashes and a path from the build machine's root is reached through
// Wine's drive Z:.
std::string HostPath(const std::string& path);

struct ProgramRun {
  bool started = false;
  unsigned long exitCode = 0;
  std::string output;  // standard output and error, together
};

// Runs the command line in the folder and waits for it (at most two minutes).
ProgramRun RunProgram(const std::string& commandLine, const std::string& folder);

// A fresh temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vidod::testing
