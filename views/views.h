// The two question views and the progress file, as the shell sees them.
#pragma once

#include <windows.h>

#include <string>

namespace vidod {

constexpr int kAnswerBoxId = 9000;         // single-question view
constexpr int kQuestionChooserId = 10000;  // single-question view
constexpr int kFirstListBoxId = 4001;      // list view: box 4000 + i holds slot i - 1

// Both views are modeless child dialogs of the main window from template 1001.
HWND CreateSingleQuestionView(HINSTANCE instance, HWND mainWindow);
HWND CreateQuestionListView(HINSTANCE instance, HWND mainWindow);
// After a change of the layout's scale (the document's fonts are given
// already): every control placed again, the pictures decoded again for the
// scaled boxes.
void RescaleSingleQuestionView(HWND singleView);
void RescaleQuestionListView(HWND listView);

// Copies the list view's boxes 4001 to 4000 + N x A into the answer slots.
void StoreListBoxesInSlots(HWND listView);
// The width of the list view's laid-out questions, in pixels.
int ListViewContentWidth(HWND listView);
// The list view's box for the keys: the one that last had the keyboard focus
// (the first at start) when it is wholly in sight, else the box wholly in
// sight nearest to it, else the last one brought into sight.
HWND ListViewBoxInSight(HWND listView);
// The list view's (first) box of question k (from 0), brought into sight.
HWND ListViewBoxOfQuestion(HWND listView, int question);

// The progress file of an executable: beside it, named after it with the
// last three letters "txt" (atlas.exe keeps its answers in atlas.txt).
std::wstring ProgressFileBeside(const std::wstring& executable);
// Where the answers are kept, set by the start-up before the views are built.
// While that place holds no file, one of the same name in the current folder,
// where earlier versions kept it, is read instead; saves always go to path.
void UseProgressFile(const std::wstring& path);
// The full path of the progress file.
const std::wstring& ProgressFilePath();
// True when the progress file (not one read in its place) holds exactly text.
bool ProgressFileHolds(const std::string& text);

// Takes in the single-question view's answer box, then rewrites the progress
// file from the answer slots. Returns false when the file was not written.
bool SaveProgressFile(HWND singleView);
// The text a save would write now, without taking any box in: the answer
// slots, or the list view's boxes when it is given (it is shown).
std::string PendingProgressText(HWND shownListView);

}  // namespace vidod
