// State of the application shell: the main window, its three children and
// the picture box the views lay out and fill. User-interface thread only.
#pragma once

#include <windows.h>

#include <string>

namespace vidod {

constexpr int kMainWindowWidth = 670;
constexpr int kMainWindowHeight = 690;
constexpr int kSinglePictureWidth = 640;
constexpr int kSinglePictureHeight = 480;
constexpr int kListPictureSize = 210;

constexpr int kStatusLineId = 8000;
// Sent by a second start of the same quiz to the first player's window.
constexpr UINT kComeForwardMessage = WM_APP + 1;
constexpr char kMainWindowClass[] = "WindowsApp";
constexpr wchar_t kMainWindowClassWide[] = L"WindowsApp";

struct PlayerShell {
  HINSTANCE instance;   // templates and cursor come from here
  HMODULE quizModule;   // quiz and picture resources come from here
  HWND mainWindow;
  HWND statusLine;
  HWND headerBar;
  HWND listView;
  HWND singleView;
  HBRUSH statusBrush;
  int singleViewCurrent;  // 1 while the single-question view is shown
  int pictureBoxWidth;    // at the layout's scale
  int pictureBoxHeight;
  int savesRequested;     // how many times the answers were saved (for the record)
  int filesWritten;       // how many times the progress file was written (likewise)
  bool started;           // set up and not being torn down: answers are saved as they change
  bool saveFailureShown;  // a failed save was reported and none has succeeded since
  std::string savedText;  // the answers the progress file was last written with (or read as)
  bool savedTextIsFile;   // the file holds exactly savedText (not so for a file read
                          // elsewhere, missing, or not in the player's own form)
  int savesHeld;          // actions under way that judge many boxes and save at their end
  bool saveDue;           // a judgement asked for a save while they were held
  HWND keysOnLeaving;     // what had the keyboard focus when the window was left
  DWORD selectionOnLeaving[2];  // its selection then, when it is an edit box
};

extern PlayerShell g_shell;

// Start-up up to the shown window (no message loop), with the answers kept
// in progressPath (empty: beside the running executable). Returns false when
// another player already keeps its answers there (its window is brought
// forward) and when the main window class cannot be registered (the message
// has been shown).
bool StartPlayer(HINSTANCE instance, HMODULE quizModule,
                 const std::wstring& progressPath = std::wstring());
// Runs the message loop until the quit message; returns its exit code.
int RunMessageLoop();
// Teardown after the loop: ends the views, destroys the windows, deletes the
// status brush and the document, and unregisters the window class.
void StopPlayer();

// The main window class and procedure.
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, const char* caption);
void CentreWindowOnDesktop(HWND window);
// With the system's high-contrast setting on, the views and the header bar
// paint in the system's colours (pictures as they are).
void UseHighContrast(bool on);
// The F3 switch between the two views.
void SwitchViews(HWND mainWindow);

// The header bar dialog (template 1002), a child of the main window.
HWND CreateHeaderBar(HINSTANCE instance, HWND mainWindow);
// After a change of the layout's scale: the header bar's own fonts and its
// controls' places made again (the document's fonts are given already).
void RescaleHeaderBar(HWND bar);
// The keys to the reward code field, the whole code selected for a copy.
void FocusRewardCode();

// One player per progress file. True when this process now keeps the
// answers of that file; false when another player does (its window has been
// brought forward).
bool ClaimProgressFile(const std::wstring& progressPath);
// The window a second start brings forward.
void PublishPlayerWindow(HWND mainWindow);
void ReleaseProgressFileClaim();

// Saves the typed answers: the one entry point of F2, "Sauver" and closing.
// A failed save is reported; at close the player may choose to stay, and the
// result tells whether to go on closing. Otherwise the result is whether the
// file was written.
bool SaveAnswersOrAsk(bool closing);
bool SavePlayerAnswers();
// After a judgement: the answers are saved when they differ from what the
// file holds. A failure is reported once, until a save succeeds again.
void SaveChangedAnswers();
// Around an action that judges many boxes (F1, a switch): the judgements'
// saves wait, and the release saves once if any of them asked to.
void HoldSaves();
void ReleaseSaves();
// Windows is ending the session: the answers are saved without a question.
void SaveAnswersAtSessionEnd();

// The keyboard focus back on an answer box of the shown view, where F3 and
// the answer keys work (at start, after a click on a button): a box in
// sight, with the caret after its text so that nothing is replaced.
void ReturnFocusToAnswers();
// The keys to box, the caret after its text: a key pressed at once adds to
// the answer, it does not replace it unseen.
void FocusAtEnd(HWND box);
// Whether a key message switches views: F3 released, or pressed with Alt,
// but not the automatic repeats of a held Alt+F3.
bool IsSwitchKey(UINT message, WPARAM key, LPARAM flags);
// The keys that work wherever the focus is: F3 switches views, F4 released
// takes the keys to the reward code. True when the key was one of them.
bool OnPlayerKey(UINT message, WPARAM key, LPARAM flags);
// Whether the focus, going to gaining, leaves the player's window (for
// another application, or a message): that is not leaving the box, and
// what was typed is not judged for it.
bool FocusLeavesThePlayer(HWND gaining);
// Ctrl+A in a box (the character it types): the whole text selected. True
// when the character was Ctrl+A.
bool SelectAllOnCtrlA(HWND box, WPARAM character);

}  // namespace vidod
