// Vidod Atelier, the authoring window: what its entry point and its tests
// use to start it and to stand in for the dialogs that need a person.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vidod {

// The questions the Atelier asks through the system's dialogs. Each returns
// false when the author cancels. Tests give their own answers.
struct AtelierPrompts {
  bool (*chooseFolder)(HWND owner, const std::wstring& title, const std::filesystem::path& start,
                       std::filesystem::path* folder);
  // A quiz source, a quiz executable, a folder of pictures or pictures.
  bool (*chooseFileToOpen)(HWND owner, std::filesystem::path* file);
  bool (*choosePictures)(HWND owner, const std::filesystem::path& start, std::vector<std::filesystem::path>* files);
  bool (*chooseSourceToSave)(HWND owner, const std::filesystem::path& proposed, std::filesystem::path* file);
  bool (*chooseExecutableToSave)(HWND owner, const std::filesystem::path& proposed, std::filesystem::path* file);
  bool (*chooseColour)(HWND owner, COLORREF* colour);
  bool (*choosePageToSave)(HWND owner, const std::filesystem::path& proposed, std::filesystem::path* file);
};

// The system's dialogs.
const AtelierPrompts& SystemPrompts();

struct AtelierSetup {
  std::filesystem::path player;             // the vidod.exe that quizzes are built from
  std::wstring settingsKey;                 // under HKEY_CURRENT_USER: the recent quizzes
  const AtelierPrompts* prompts = nullptr;  // nullptr: the system's dialogs
};

// vidod.exe beside the running program, and the Atelier's own settings key.
AtelierSetup DefaultAtelierSetup();

// Registers the window classes (once) and opens the main window.
HWND CreateAtelierWindow(HINSTANCE instance, const AtelierSetup& setup, int showCommand);
// The main window's keyboard: its accelerators, then Tab and the arrow keys
// among the controls. True when the message was used up.
bool TranslateAtelierMessage(HWND atelier, MSG* message);
// Whether pictures are still being drawn or checked, or a quiz built, on
// the Atelier's worker threads (their outcomes then still to come).
bool AtelierIsWorking(HWND atelier);
// Opens what a command line or a drop names: a folder of pictures, a
// quiz.toml, a quiz executable, or pictures.
void OpenAtelierPath(HWND atelier, const std::filesystem::path& path);

}  // namespace vidod
