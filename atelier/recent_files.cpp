// The recent quizzes: kept in the user's registry, shown in the Fichier
// menu and on the start page, most recent first.
#include <windows.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr wchar_t kRecentValue[] = L"QuizRecents";
constexpr std::size_t kMostRecent = 8;

void StoreRecentQuizzes(const Atelier* atelier) {
  if (atelier->setup.settingsKey.empty()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, atelier->setup.settingsKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  std::wstring list;
  for (const fs::path& path : atelier->recent) list += path.wstring() + L'\0';
  list += L'\0';
  RegSetValueExW(key, kRecentValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.data()),
                 static_cast<DWORD>(list.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

void Changed(Atelier* atelier) {
  StoreRecentQuizzes(atelier);
  FillRecentMenu(atelier);
  FillStartPage(atelier);
}

}  // namespace

void LoadRecentQuizzes(Atelier* atelier) {
  atelier->recent.clear();
  if (atelier->setup.settingsKey.empty()) return;
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, atelier->setup.settingsKey.c_str(), kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr,
                   nullptr, &size) != ERROR_SUCCESS)
    return;
  std::wstring list(size / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, atelier->setup.settingsKey.c_str(), kRecentValue, RRF_RT_REG_MULTI_SZ, nullptr,
                   &list[0], &size) != ERROR_SUCCESS)
    return;
  for (const wchar_t* entry = list.c_str(); *entry && atelier->recent.size() < kMostRecent; entry += wcslen(entry) + 1)
    atelier->recent.emplace_back(entry);
}

void RememberRecentQuiz(Atelier* atelier, const fs::path& path) {
  ForgetRecentQuiz(atelier, path);
  atelier->recent.insert(atelier->recent.begin(), path);
  if (atelier->recent.size() > kMostRecent) atelier->recent.resize(kMostRecent);
  Changed(atelier);
}

void ForgetRecentQuiz(Atelier* atelier, const fs::path& path) {
  auto& recent = atelier->recent;
  // Windows paths differ in letter case only for the same file.
  recent.erase(std::remove_if(recent.begin(), recent.end(),
                              [&](const fs::path& known) { return lstrcmpiW(known.c_str(), path.c_str()) == 0; }),
               recent.end());
  Changed(atelier);
}

void FillRecentMenu(Atelier* atelier) {
  HMENU menu = atelier->recentMenu;
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  if (atelier->recent.empty()) {
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, L"(aucun)");
    return;
  }
  for (std::size_t i = 0; i < atelier->recent.size(); ++i) {
    std::wstring path = atelier->recent[i].wstring();
    // A "&" of the path would mark an access key.
    for (std::size_t at = path.find(L'&'); at != std::wstring::npos; at = path.find(L'&', at + 2))
      path.insert(at, 1, L'&');
    const std::wstring text = L"&" + std::to_wstring(i + 1) + L" " + path;
    AppendMenuW(menu, MF_STRING, IDM_RECENT_FIRST + i, text.c_str());
  }
}

}  // namespace vidod
