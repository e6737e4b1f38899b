// What the Atelier remembers on the teacher's computer, in the user's
// registry: the recent quizzes, shown by title in the Fichier menu and on
// the start page, most recent first; and the quizzes built here, each with
// the source it was built from.
#include <windows.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/text_convert.h"
#include "common/cp1252.h"
#include "maker/file_io.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr wchar_t kRecentValue[] = L"QuizRecents";
constexpr wchar_t kBuildsValue[] = L"Constructions";
constexpr std::size_t kMostRecent = 8;
// An entry of the recent list: the source, then its title after a tab.
constexpr wchar_t kTitleSeparator = L'\t';
constexpr wchar_t kShownSeparator[] = L" \u2014 ";

void StoreRecentQuizzes(const Atelier* atelier) {
  if (atelier->setup.settingsKey.empty()) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, atelier->setup.settingsKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  std::wstring list;
  for (const RecentQuiz& recent : atelier->recent)
    list += recent.source.wstring() + (recent.title.empty() ? L"" : kTitleSeparator + recent.title) + L'\0';
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
  for (const wchar_t* entry = list.c_str(); *entry && atelier->recent.size() < kMostRecent; entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const std::size_t tab = text.find(kTitleSeparator);
    atelier->recent.push_back({fs::path(text.substr(0, tab)), tab == std::wstring::npos ? L"" : text.substr(tab + 1)});
  }
}

void RememberRecentQuiz(Atelier* atelier, const fs::path& path) {
  ForgetRecentQuiz(atelier, path);
  // A title cannot hold a tab: it is made of one-line texts.
  std::wstring title = atelier->open ? WideFromCp1252(atelier->edited.quiz.title) : L"";
  std::replace(title.begin(), title.end(), kTitleSeparator, L' ');
  atelier->recent.insert(atelier->recent.begin(), RecentQuiz{path, title});
  if (atelier->recent.size() > kMostRecent) atelier->recent.resize(kMostRecent);
  Changed(atelier);
}

void ForgetRecentQuiz(Atelier* atelier, const fs::path& path) {
  auto& recent = atelier->recent;
  // Windows paths differ in letter case only for the same file.
  recent.erase(std::remove_if(recent.begin(), recent.end(),
                              [&](const RecentQuiz& known) { return lstrcmpiW(known.source.c_str(), path.c_str()) == 0; }),
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
    std::wstring path = RecentQuizText(atelier->recent[i]);
    // A "&" of the title or path would mark an access key.
    for (std::size_t at = path.find(L'&'); at != std::wstring::npos; at = path.find(L'&', at + 2))
      path.insert(at, 1, L'&');
    const std::wstring text = L"&" + std::to_wstring(i + 1) + L" " + path;
    AppendMenuW(menu, MF_STRING, IDM_RECENT_FIRST + i, text.c_str());
  }
}

std::wstring RecentQuizText(const RecentQuiz& recent) {
  return recent.title.empty() ? recent.source.wstring() : recent.title + kShownSeparator + recent.source.wstring();
}

void LoadBuildRecords(Atelier* atelier) {
  atelier->builds.clear();
  if (atelier->setup.settingsKey.empty()) return;
  DWORD size = 0;
  const wchar_t* key = atelier->setup.settingsKey.c_str();
  if (RegGetValueW(HKEY_CURRENT_USER, key, kBuildsValue, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return;
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, key, kBuildsValue, RRF_RT_REG_SZ, nullptr, &text[0], &size) != ERROR_SUCCESS)
    return;
  atelier->builds = ParseBuildRecords(Utf8FromWide(text.c_str()));
}

// Nothing of it goes into the executable: no path of the teacher's reaches
// the pupils.
void RememberBuildRecord(Atelier* atelier, const fs::path& executable, const fs::path& source) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (atelier->setup.settingsKey.empty() || !ReadFileBytes(executable, &bytes, &error)) return;
  RememberBuild(&atelier->builds, BuildRecord{executable, bytes.size(), FingerprintOf(bytes), source});
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, atelier->setup.settingsKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  const std::wstring text = WideFromUtf8(FormatBuildRecords(atelier->builds));
  RegSetValueExW(key, kBuildsValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

}  // namespace vidod
