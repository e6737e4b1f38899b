#include "views/progress_file.h"

#include <memory>
#include <string>

#include "answers/list_view_controls.h"
#include "quiz/player_document.h"
#include "views/progress_lines.h"
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod {

namespace {

constexpr char kProgressExtension[] = "txt";
constexpr int kExtensionLength = 3;
constexpr char kTemporarySuffix[] = ".tmp";

// Absolute paths for the target and its temporary twin: the replace must not
// depend on how the platform resolves bare names.
bool ProgressPaths(char* target, char* temporary) {
  char name[MAX_PATH];
  ProgressFileName(name, sizeof name);
  const DWORD length = GetFullPathNameA(name, MAX_PATH, target, nullptr);
  if (length == 0 || length >= MAX_PATH - sizeof kTemporarySuffix) return false;
  lstrcpyA(temporary, target);
  lstrcatA(temporary, kTemporarySuffix);
  return true;
}

bool WriteWholeFile(const char* path, const std::string& text) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
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

void ProgressFileName(char* name, int size) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof path);
  const char* base = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  lstrcpynA(name, base, size);
  const int length = lstrlenA(name);
  if (length >= kExtensionLength)
    for (int i = 0; i < kExtensionLength; ++i)
      name[length - kExtensionLength + i] = kProgressExtension[i];
}

void ReadProgressFile(ProgressText* text) {
  *text = ProgressText{INVALID_HANDLE_VALUE, nullptr, nullptr, 0, 0};
  char name[MAX_PATH];
  ProgressFileName(name, sizeof name);
  text->file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (text->file == INVALID_HANDLE_VALUE) return;
  const DWORD size = GetFileSize(text->file, nullptr);
  if (size == 0 || size == INVALID_FILE_SIZE) return;  // an empty file cannot be mapped
  text->mapping = CreateFileMappingA(text->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
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
    GetWindowTextA(ListControl(shownListView, kFirstListBoxId + i), boxes[i], kTextSize);
  }
  return FormatProgressText(boxes.get(), count);
}

bool SaveProgressFile(HWND singleView) {
  QuizDocument* quiz = g_document->quiz;
  StoreCurrentAnswer(singleView);
  const std::string text = FormatProgressText(quiz->answerSlots, SavedAnswerCount(quiz));

  char target[MAX_PATH];
  char temporary[MAX_PATH];
  if (!ProgressPaths(target, temporary)) return false;
  // A read-only progress file is not to be replaced. Windows refuses the
  // replace by itself; Wine lets it through, so the attribute is checked here.
  const DWORD attributes = GetFileAttributesA(target);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
  if (!WriteWholeFile(temporary, text) ||
      !MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    return false;
  }
  return true;
}

}  // namespace vidod
