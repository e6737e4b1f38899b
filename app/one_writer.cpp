// One player per progress file. Two players on the same answers would each
// write their own over the other's; the second start brings the first
// player's window forward instead. The claim is a small shared record named
// after the progress file's full path: it lives as long as a process holds
// it (a player that is killed lets go of it too) and names the holder's main
// window.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "app/player_shell.h"

namespace vidod {

namespace {

constexpr wchar_t kClaimPrefix[] = L"Local\\Vidod.progress.";
// FNV-1a, 64 bits: a path may be longer than an object name may be.
constexpr uint64_t kHashStart = 14695981039346656037ull;
constexpr uint64_t kHashFactor = 1099511628211ull;
constexpr int kHashDigits = 16;
// The first player publishes its window once it has made it.
constexpr DWORD kWindowWaitMs = 10000;
constexpr DWORD kWindowPollMs = 50;

struct ClaimRecord {
  volatile LONG64 window;  // the holder's main window, 0 until it exists
};

HANDLE g_claim = nullptr;
ClaimRecord* g_record = nullptr;

// The same file whatever the letter case of its path.
std::wstring ClaimName(const std::wstring& progressPath) {
  std::wstring upper = progressPath;
  if (!upper.empty()) CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
  uint64_t hash = kHashStart;
  for (wchar_t c : upper) {
    hash ^= static_cast<uint16_t>(c);
    hash *= kHashFactor;
  }
  wchar_t digits[kHashDigits + 1];
  std::swprintf(digits, kHashDigits + 1, L"%016llx", static_cast<unsigned long long>(hash));
  return kClaimPrefix + std::wstring(digits);
}

void BringForward(const ClaimRecord* record) {
  HWND window = nullptr;
  for (DWORD waited = 0; waited < kWindowWaitMs; waited += kWindowPollMs) {
    window = reinterpret_cast<HWND>(static_cast<INT_PTR>(record->window));
    if (window && IsWindow(window)) break;
    window = nullptr;
    Sleep(kWindowPollMs);
  }
  if (!window) return;
  // This process was started by the pupil: it may hand the foreground on to
  // the first player, which then restores its window and comes forward
  // itself. The answer waits until it has.
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, kComeForwardMessage, 0, 0, SMTO_ABORTIFHUNG, kWindowWaitMs, &result);
}

}  // namespace

bool ClaimProgressFile(const std::wstring& progressPath) {
  const std::wstring name = ClaimName(progressPath);
  HANDLE claim = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(ClaimRecord), name.c_str());
  // Without a claim the player still runs: a pupil is never kept out.
  if (!claim) return true;
  const bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
  auto* record = static_cast<ClaimRecord*>(
      MapViewOfFile(claim, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(ClaimRecord)));
  if (!taken) {
    g_claim = claim;
    g_record = record;
    return true;
  }
  if (record) {
    BringForward(record);
    UnmapViewOfFile(record);
  }
  CloseHandle(claim);
  return false;
}

void PublishPlayerWindow(HWND mainWindow) {
  if (g_record)
    InterlockedExchange64(&g_record->window, static_cast<LONG64>(reinterpret_cast<INT_PTR>(mainWindow)));
}

void ReleaseProgressFileClaim() {
  if (g_record) UnmapViewOfFile(g_record);
  if (g_claim) CloseHandle(g_claim);
  g_record = nullptr;
  g_claim = nullptr;
}

}  // namespace vidod
