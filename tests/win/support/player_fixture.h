// Runs the real player in-process: the shell's start-up on a quiz module,
// with the working directory in a fresh temporary folder so that each test
// has its own progress file.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace vidod::testing {

// A quiz executable built for the tests (tests/win/quizzes/NAME.exe beside
// the test folders), loaded as data: its resources only.
HMODULE LoadQuizModule(const char* name);
std::string QuizModulePath(const char* name);

// Handles every message waiting for this thread, as the player's loop does.
void PumpMessages();

// Reads a file whole; empty when missing.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

std::string ControlText(HWND parent, int id);
// A text of the code page made wide.
std::wstring Widened(const std::string& text);

class PlayerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the player on a quiz executable of the tests (nullptr: the test
  // executable itself, which carries no quiz: the default quiz).
  void StartPlayerOn(const char* quizName);
  void StopPlayerNow();
  // Stops the player without saving, as a killed one would, and starts it
  // again on a quiz.
  void RestartPlayerOn(const char* quizName);
  // The progress file the player reads and writes (in the test's folder,
  // named after the test executable), for the ANSI and the wide calls.
  std::string ProgressPath() const;
  std::wstring ProgressFile() const;

  std::string folder_;
  std::string previousFolder_;
  HMODULE quizModule_ = nullptr;
  bool running_ = false;
};

}  // namespace vidod::testing
