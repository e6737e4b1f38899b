// atelier_bench.exe FOLDER: opens the folder of pictures in the Atelier as
// "Nouveau quiz à partir d'un dossier d'images" does and prints
//   atelier_list_ms=… atelier_all_thumbnails_ms=…
// the first when the command has returned with the list filled and drawn,
// the second when every thumbnail shows its picture (its middle no longer
// the quiz colour). Only the Atelier's public entry points are used, so the
// same program measures an older Atelier too.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "atelier/atelier_app.h"
#include "atelier/atelier_ids.h"
#include "maker/quiz_source.h"

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSettingsKey[] = L"Software\\Vidod\\AtelierBench";
constexpr double kLongestWaitMs = 600000;
constexpr DWORD kPollMs = 20;

fs::path g_folder;

bool AnswerFolder(HWND, const std::wstring&, const fs::path&, fs::path* folder) {
  *folder = g_folder;
  return true;
}
bool Refuse(HWND, fs::path*) { return false; }
bool RefusePictures(HWND, const fs::path&, std::vector<fs::path>*) { return false; }
bool RefuseSave(HWND, const fs::path&, fs::path*) { return false; }
bool RefuseColour(HWND, COLORREF*) { return false; }
const vidod::AtelierPrompts kPrompts = {AnswerFolder, Refuse, RefusePictures, RefuseSave, RefuseSave, RefuseColour};

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return counter.QuadPart * 1000.0 / frequency.QuadPart;
}

void Pump(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (vidod::TranslateAtelierMessage(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND FindList(HWND window) {
  HWND list = GetDlgItem(window, IDC_QUESTION_LIST);
  return list ? list : FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
}

// Every row's thumbnail shows something else than the quiz colour at its
// middle. The image list's own bitmap stays selected in its own device
// context: each thumbnail is drawn into another to be read.
bool AllThumbnailsDrawn(HWND list, int rows) {
  HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
  int width = 0, height = 0;
  if (!images || ImageList_GetImageCount(images) < rows || !ImageList_GetIconSize(images, &width, &height))
    return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, canvas);
  const COLORREF quiz = RGB(vidod::kDefaultRed, vidod::kDefaultGreen, vidod::kDefaultBlue);
  bool drawn = true;
  for (int row = 0; row < rows && drawn; ++row) {
    ImageList_Draw(images, row, memory, 0, 0, ILD_NORMAL);
    drawn = GetPixel(memory, width / 2, height / 2) != quiz;
  }
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return drawn;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: atelier_bench.exe DOSSIER\n");
    return 2;
  }
  g_folder = fs::absolute(argv[1]);
  vidod::AtelierSetup setup;
  setup.settingsKey = kSettingsKey;
  setup.prompts = &kPrompts;
  HWND window = vidod::CreateAtelierWindow(GetModuleHandleW(nullptr), setup, SW_SHOWNORMAL);
  if (!window) return 1;
  Pump(window);
  HWND list = FindList(window);

  const double start = Now();
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_NEW_FROM_FOLDER, 0), 0);
  UpdateWindow(list);
  const double listed = Now();
  const int rows = ListView_GetItemCount(list);
  double drawn = listed;
  while (!AllThumbnailsDrawn(list, rows)) {
    if (Now() - start > kLongestWaitMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
    Pump(window);
    drawn = Now();
  }
  std::printf("rows=%d atelier_list_ms=%.0f atelier_all_thumbnails_ms=%.0f\n", rows, listed - start, drawn - start);
  std::fflush(stdout);
  DestroyWindow(window);
  Pump(window);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  return rows > 0 ? 0 : 1;
}
