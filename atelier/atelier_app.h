// Vidod Atelier, the authoring window: what its entry point and its tests
// use to start it and to stand in for the dialogs that need a person.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vidod {

// The names of the picture files the Atelier takes, as the file dialogs
// filter them: the player's formats and those a build turns into them.
constexpr wchar_t kPictureFilePattern[] =
    L"*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.gif;*.bmp;*.webp;*.heic;*.heif;*.avif";

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
  // Hands a file or a folder to the shell (a page to the browser, a folder
  // to the file explorer); false when nothing opened it.
  bool (*openWithShell)(HWND owner, const std::filesystem::path& file);
  bool (*choosePageToSave)(HWND owner, const std::filesystem::path& proposed, std::filesystem::path* file);
};

// The system's dialogs.
const AtelierPrompts& SystemPrompts();

struct AtelierSetup {
  std::filesystem::path player;             // the vidod.exe that quizzes are built from
  std::filesystem::path guide;              // the author's guide as a web page, opened by F1
  std::wstring settingsKey;                 // under HKEY_CURRENT_USER: the recent quizzes and the builds
  const AtelierPrompts* prompts = nullptr;  // nullptr: the system's dialogs
};

// vidod.exe and the guide beside the running program, and the Atelier's own
// settings key.
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
