#include "views/progress_file.h"

#include <cstring>
#include <memory>
#include <string>

#include "answers/list_view_controls.h"
#include "common/window_text.h"
#include "quiz/player_document.h"
#include "views/progress_lines.h"
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod {

namespace {

constexpr wchar_t kProgressExtension[] = L"txt";
constexpr std::size_t kExtensionLength = 3;
constexpr wchar_t kTemporarySuffix[] = L".tmp";

// The file the answers are written to, and the one they are read from at
// start-up (the same, or the one earlier versions left in the current folder).
std::wstring g_progressPath;
std::wstring g_readPath;

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool WriteWholeFile(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = text.empty() ||
            (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
             written == text.size());
  // On the disk before it replaces the old file, so a crash leaves one or the other.
  ok = FlushFileBuffers(file) && ok;
  ok = CloseHandle(file) && ok;
  return ok;
}

int SavedAnswerCount(const QuizDocument* quiz) {
  const int count = quiz->questionCount * quiz->answersPerQuestion;
  return count > kAnswerSlotCount ? kAnswerSlotCount : count;
}

}  // namespace

std::wstring ProgressFileBeside(const std::wstring& executable) {
  std::wstring path = executable;
  const std::size_t nameLength = FileNameOf(path).size();
  if (nameLength >= kExtensionLength)
    path.replace(path.size() - kExtensionLength, kExtensionLength, kProgressExtension);
  return path;
}

void UseProgressFile(const std::wstring& path) {
  g_progressPath = FullPath(path);
  g_readPath = g_progressPath;
  if (FileExists(g_progressPath)) return;
  // Earlier versions kept the file in the current folder: it is read until
  // the first save puts the answers beside the executable.
  const std::wstring earlier = FullPath(FileNameOf(g_progressPath));
  if (CompareStringOrdinal(earlier.c_str(), -1, g_progressPath.c_str(), -1, TRUE) != CSTR_EQUAL &&
      FileExists(earlier))
    g_readPath = earlier;
}

const std::wstring& ProgressFilePath() { return g_progressPath; }

bool ProgressFileHolds(const std::string& text) {
  ProgressText read;
  ReadProgressFile(&read);
  const bool same = read.length == text.size() &&
                    (text.empty() || std::memcmp(read.bytes, text.data(), text.size()) == 0);
  CloseProgressFile(&read);
  return same && g_readPath == g_progressPath;
}

void ReadProgressFile(ProgressText* text) {
  *text = ProgressText{INVALID_HANDLE_VALUE, nullptr, nullptr, 0, 0};
  text->file = CreateFileW(g_readPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (text->file == INVALID_HANDLE_VALUE) return;
  const DWORD size = GetFileSize(text->file, nullptr);
  if (size == 0 || size == INVALID_FILE_SIZE) return;  // an empty file cannot be mapped
  text->mapping = CreateFileMappingW(text->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!text->mapping) return;
  text->bytes = static_cast<const uint8_t*>(MapViewOfFile(text->mapping, FILE_MAP_READ, 0, 0, 0));
  if (text->bytes) text->length = size;
}

void ReadNextProgressLine(ProgressText* text, char* line) {
  ReadProgressLine(text->bytes, text->length, &text->position, line);
}

void CloseProgressFile(ProgressText* text) {
  if (text->bytes) UnmapViewOfFile(text->bytes);
  if (text->mapping) CloseHandle(text->mapping);
  if (text->file != INVALID_HANDLE_VALUE) CloseHandle(text->file);
  *text = ProgressText{INVALID_HANDLE_VALUE, nullptr, nullptr, 0, 0};
}

std::string PendingProgressText(HWND shownListView) {
  const QuizDocument* quiz = g_document->quiz;
  const int count = SavedAnswerCount(quiz);
  if (!shownListView) return FormatProgressText(quiz->answerSlots, count);
  std::unique_ptr<char[][kTextSize]> boxes(new char[kAnswerSlotCount][kTextSize]);
  for (int i = 0; i < count; ++i) {
    boxes[i][0] = '\0';
    GetWindowText1252(ListControl(shownListView, kFirstListBoxId + i), boxes[i], kTextSize);
  }
  return FormatProgressText(boxes.get(), count);
}

bool SaveProgressFile(HWND singleView) {
  QuizDocument* quiz = g_document->quiz;
  StoreCurrentAnswer(singleView);
  const std::string text = FormatProgressText(quiz->answerSlots, SavedAnswerCount(quiz));

  if (g_progressPath.empty()) return false;
  const std::wstring temporary = g_progressPath + kTemporarySuffix;
  // A read-only progress file is not to be replaced. Windows refuses the
  // replace by itself; Wine lets it through, so the attribute is checked here.
  const DWORD attributes = GetFileAttributesW(g_progressPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  if (!WriteWholeFile(temporary, text) ||
      !MoveFileExW(temporary.c_str(), g_progressPath.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace vidod
