// Start-up of the player on a picture quiz, measured in-process: the time
// from entry to the first idle message loop, against the time the system's
// picture service alone takes to decode the same pictures; the peak working
// set; the first switch to the list view, until the pictures in sight are
// drawn; and, after it, the view switch both ways.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/player_shell.h"
#include "pictures/picture_loader.h"
#include "quiz/player_document.h"

namespace {

constexpr int kFirstPictureId = 401;
constexpr char kPictureType[] = "IMG";

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PumpUntilIdle() {
  // Whatever waits to be painted is painted now, not when the queue drains.
  RedrawWindow(vidod::g_shell.mainWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (vidod::g_shell.singleView && IsDialogMessageA(vidod::g_shell.singleView, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// The list view looks pictures up three to a row, so its last row may ask for
// ids past the last question.
int ListViewLookups(int questions) { return (questions + 2) / 3 * 3; }

double DecodeOnly(HMODULE quiz, int questions) {
  const int lookups = ListViewLookups(questions) + 1;  // plus the single view's first picture
  const double start = Now();
  for (int k = 0; k < lookups; ++k) {
    const int id = kFirstPictureId + (k < ListViewLookups(questions) ? k : 0);
    HRSRC info = FindResourceA(quiz, MAKEINTRESOURCEA(id), kPictureType);
    HGLOBAL loaded = info ? LoadResource(quiz, info) : nullptr;
    if (!loaded) continue;
    HBITMAP bitmap = vidod::DecodePicture(LockResource(loaded), SizeofResource(quiz, info));
    if (bitmap) DeleteObject(bitmap);
  }
  return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup_bench QUIZ.exe [ROUNDS]\n");
    return 2;
  }
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  HMODULE quiz = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!quiz) {
    std::fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  // A progress file of its own in the temporary folder, removed before each
  // round: every start reads none.
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring progress = std::wstring(folder) + L"startup_bench.txt";

  double bestStartup = 1e9, bestDecode = 1e9, bestSwitch = 1e9, bestFirstSwitch = 1e9;
  int questions = 0;
  for (int round = 0; round < rounds; ++round) {
    DeleteFileW(progress.c_str());
    const double start = Now();
    if (!vidod::StartPlayer(GetModuleHandleA(nullptr), quiz, progress)) return 1;
    PumpUntilIdle();
    const double startup = Now() - start;
    questions = vidod::g_document->quiz->questionCount;

    const double firstSwitchStart = Now();
    vidod::SwitchViews(vidod::g_shell.mainWindow);
    PumpUntilIdle();
    const double firstSwitch = Now() - firstSwitchStart;
    vidod::SwitchViews(vidod::g_shell.mainWindow);
    PumpUntilIdle();

    const double switchStart = Now();
    vidod::SwitchViews(vidod::g_shell.mainWindow);
    PumpUntilIdle();
    vidod::SwitchViews(vidod::g_shell.mainWindow);
    PumpUntilIdle();
    const double switchBoth = Now() - switchStart;
    vidod::StopPlayer();

    const double decode = DecodeOnly(quiz, questions);
    if (startup < bestStartup) bestStartup = startup;
    if (decode < bestDecode) bestDecode = decode;
    if (switchBoth < bestSwitch) bestSwitch = switchBoth;
    if (firstSwitch < bestFirstSwitch) bestFirstSwitch = firstSwitch;
  }
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  std::printf("questions=%d startup_ms=%.1f decode_only_ms=%.1f ratio=%.2f switch_both_ms=%.1f "
              "peak_working_set_mb=%.1f first_switch_ms=%.1f\n",
              questions, bestStartup * 1000, bestDecode * 1000, bestStartup / bestDecode,
              bestSwitch * 1000, memory.PeakWorkingSetSize / (1024.0 * 1024.0),
              bestFirstSwitch * 1000);
  return 0;
}
