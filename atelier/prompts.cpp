// The system's dialogs behind the Atelier's questions: the common item
// dialogs for folders and files, the colour chooser for the quiz colour;
// and the shell, which opens a page or a folder with the program the
// teacher's computer has for it.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "atelier/atelier_app.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr COMDLG_FILTERSPEC kOpenFilters[] = {
    {L"Quiz Vidod (quiz.toml, quiz construit .exe)", L"*.toml;*.exe"},
    {L"Images (dossier d'un nouveau quiz)", kPictureFilePattern},
    {L"Tous les fichiers", L"*.*"},
};
constexpr COMDLG_FILTERSPEC kPictureFilters[] = {
    {L"Images (JPEG, PNG, GIF, BMP, WebP, HEIC, AVIF)", kPictureFilePattern},
    {L"Tous les fichiers", L"*.*"},
};
constexpr COMDLG_FILTERSPEC kSourceFilters[] = {{L"Source de quiz (*.toml)", L"*.toml"}};
constexpr COMDLG_FILTERSPEC kExecutableFilters[] = {{L"Quiz construit (*.exe)", L"*.exe"}};
constexpr COMDLG_FILTERSPEC kPageFilters[] = {{L"Page web (*.html)", L"*.html"}};

// A folder that has gone (renamed, moved) opens its nearest parent still
// there, where the author finds it under its new name.
void StartIn(IFileDialog* dialog, fs::path folder) {
  std::error_code code;
  while (!folder.empty() && !fs::is_directory(folder, code) && folder.has_relative_path())
    folder = folder.parent_path();
  if (folder.empty()) return;
  IShellItem* item = nullptr;
  if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(&item)))) {
    dialog->SetFolder(item);
    item->Release();
  }
}

bool PathOfItem(IShellItem* item, fs::path* path) {
  wchar_t* name = nullptr;
  if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name)) || !name) return false;
  *path = name;
  CoTaskMemFree(name);
  return true;
}

bool ChooseFiles(HWND owner, DWORD options, const COMDLG_FILTERSPEC* filters, UINT filterCount, const wchar_t* title,
                 const fs::path& start, std::vector<fs::path>* chosen) {
  IFileOpenDialog* dialog = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
    return false;
  DWORD current = 0;
  dialog->GetOptions(&current);
  dialog->SetOptions(current | options | FOS_FORCEFILESYSTEM);
  if (filterCount > 0) dialog->SetFileTypes(filterCount, filters);
  dialog->SetTitle(title);
  StartIn(dialog, start);
  bool ok = false;
  IShellItemArray* items = nullptr;
  if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResults(&items))) {
    DWORD count = 0;
    items->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
      IShellItem* item = nullptr;
      fs::path path;
      if (SUCCEEDED(items->GetItemAt(i, &item))) {
        if (PathOfItem(item, &path)) chosen->push_back(path);
        item->Release();
      }
    }
    items->Release();
    ok = !chosen->empty();
  }
  dialog->Release();
  return ok;
}

template <std::size_t N>
bool ChooseSavePlace(HWND owner, const COMDLG_FILTERSPEC (&filters)[N], const wchar_t* extension, const wchar_t* title,
                     const fs::path& proposed, fs::path* file) {
  IFileSaveDialog* dialog = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
    return false;
  DWORD current = 0;
  dialog->GetOptions(&current);
  // The Atelier asks itself before writing over a file, with its own words.
  dialog->SetOptions((current | FOS_FORCEFILESYSTEM) & ~FOS_OVERWRITEPROMPT);
  dialog->SetFileTypes(static_cast<UINT>(N), filters);
  dialog->SetDefaultExtension(extension);
  dialog->SetTitle(title);
  StartIn(dialog, proposed.parent_path());
  dialog->SetFileName(proposed.filename().c_str());
  bool ok = false;
  IShellItem* item = nullptr;
  if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(&item))) {
    ok = PathOfItem(item, file);
    item->Release();
  }
  dialog->Release();
  return ok;
}

bool ChooseFolder(HWND owner, const std::wstring& title, const fs::path& start, fs::path* folder) {
  std::vector<fs::path> chosen;
  if (!ChooseFiles(owner, FOS_PICKFOLDERS, nullptr, 0, title.c_str(), start, &chosen)) return false;
  *folder = chosen.front();
  return true;
}

bool ChooseFileToOpen(HWND owner, fs::path* file) {
  std::vector<fs::path> chosen;
  if (!ChooseFiles(owner, FOS_FILEMUSTEXIST, kOpenFilters, static_cast<UINT>(std::size(kOpenFilters)),
                   L"Ouvrir un quiz", fs::path(), &chosen))
    return false;
  *file = chosen.front();
  return true;
}

bool ChoosePictures(HWND owner, const fs::path& start, std::vector<fs::path>* files) {
  return ChooseFiles(owner, FOS_FILEMUSTEXIST | FOS_ALLOWMULTISELECT, kPictureFilters,
                     static_cast<UINT>(std::size(kPictureFilters)), L"Images des questions", start, files);
}

bool ChooseSourceToSave(HWND owner, const fs::path& proposed, fs::path* file) {
  return ChooseSavePlace(owner, kSourceFilters, L"toml", L"Enregistrer la source du quiz", proposed, file);
}

bool ChooseExecutableToSave(HWND owner, const fs::path& proposed, fs::path* file) {
  return ChooseSavePlace(owner, kExecutableFilters, L"exe", L"Construire l'ex\u00e9cutable du quiz", proposed, file);
}

bool ChoosePageToSave(HWND owner, const fs::path& proposed, fs::path* file) {
  return ChooseSavePlace(owner, kPageFilters, L"html", L"Exporter le quiz en page web", proposed, file);
}

bool ChooseColour(HWND owner, COLORREF* colour) {
  static COLORREF custom[16] = {};
  CHOOSECOLORW chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.rgbResult = *colour;
  chooser.lpCustColors = custom;
  chooser.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&chooser)) return false;
  *colour = chooser.rgbResult;
  return true;
}

// ShellExecuteW's result is a number above 32 when something opened the file.
constexpr INT_PTR kShellOpened = 32;

bool OpenWithShell(HWND owner, const fs::path& file) {
  const HINSTANCE result = ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > kShellOpened;
}

constexpr AtelierPrompts kSystemPrompts = {ChooseFolder,       ChooseFileToOpen,       ChoosePictures,
                                           ChooseSourceToSave, ChooseExecutableToSave, ChooseColour,
                                           OpenWithShell,      ChoosePageToSave};

}  // namespace

const AtelierPrompts& SystemPrompts() { return kSystemPrompts; }

}  // namespace vidod
