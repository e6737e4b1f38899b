// The Atelier's main window record and what its files give each other. The
// main window owns the question list, the tab control and its three pages
// (question, quiz, codes), the start page shown while no quiz is open, and
// the status bar. User-interface thread only.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "atelier/atelier_app.h"
#include "atelier/edited_quiz.h"
#include "atelier/picture_render.h"
#include "atelier/picture_worker.h"
#include "atelier/quiz_files.h"
#include "atelier/quiz_remarks.h"

namespace vidod {

enum AtelierPage { kQuestionPage = 0, kQuizPage = 1, kCodesPage = 2, kPageCount = 3 };

constexpr wchar_t kAtelierName[] = L"Vidod Atelier";

// What the worker threads post back to the main window.
constexpr UINT kPictureDoneMessage = WM_APP + 1;   // LPARAM: a PictureOutcome
constexpr UINT kRecheckMessage = WM_APP + 2;       // the checks again, once for the outcomes before it
constexpr UINT kBuildProgressMessage = WM_APP + 3;  // WPARAM: pictures done, LPARAM: of how many
constexpr UINT kBuildDoneMessage = WM_APP + 4;     // LPARAM: a BuildOutcome

// A build finished on its thread.
struct BuildOutcome {
  bool built = false;
  std::filesystem::path written;
  std::filesystem::path source;  // the source it was built from
  std::string error;  // French, UTF-8
};

// A recent quiz: its source and the title it had when last opened or saved.
struct RecentQuiz {
  std::filesystem::path source;
  std::wstring title;
};

// A picture file as last seen on disk, to tell when it changes.
struct WatchedPicture {
  bool present = false;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written;
};

struct Atelier {
  HINSTANCE instance = nullptr;
  AtelierSetup setup;
  const AtelierPrompts* prompts = nullptr;

  HWND window = nullptr;
  HMENU menu = nullptr;
  HMENU recentMenu = nullptr;
  HACCEL accelerators = nullptr;
  HWND listLabel = nullptr;
  HWND list = nullptr;
  HWND buttons[4] = {};  // add, remove, up, down
  HWND tabs = nullptr;
  HWND status = nullptr;
  HWND start = nullptr;
  HWND pages[kPageCount] = {};

  UINT dpi = USER_DEFAULT_SCREEN_DPI;
  HFONT font = nullptr;         // the system's message font at the window's DPI
  HFONT headingFont = nullptr;  // the same, bold
  HIMAGELIST thumbnails = nullptr;
  FittedPictures thumbnailPictures;  // fitted to the thumbnail size
  FittedPictures viewPictures;       // fitted to the single-question view

  bool open = false;      // a quiz is open
  unsigned openings = 0;  // quizzes opened or started since the window opened
  EditedQuiz edited;
  std::vector<SourceIssue> issues;  // the latest checks
  int current = -1;                 // the selected question, from 0
  bool filling = false;             // controls being filled: their notifications are no edits
  int dragFrom = -1;                // the question being dragged in the list
  std::vector<RecentQuiz> recent;
  std::vector<BuildRecord> builds;  // quizzes built on this computer, with their sources
  std::map<std::filesystem::path, WatchedPicture> watched;
  // Pictures outside the quiz's folder that the author chose to leave there.
  std::vector<std::filesystem::path> picturesLeftOutside;
  std::vector<std::filesystem::path> testFolders;  // where "Tester" built quizzes

  // Pictures and their checks, drawn by the worker. The generation goes up
  // when a quiz is opened or closed: outcomes of an older one are dropped.
  PictureWorker* pictureWorker = nullptr;
  unsigned pictureGeneration = 0;
  bool recheckPosted = false;

  // The build running on its own thread, if any.
  std::thread buildThread;
  std::atomic<bool> buildCancel{false};
  bool building = false;
  bool buildToTest = false;  // "Tester le quiz": started once built
  bool buildToPage = false;  // "Exporter en page web": a page, not an executable
  std::filesystem::path buildOutput;
};

Atelier* AtelierOf(HWND window);  // the record of the main window or of one of its pages

// Main window (main_window.cpp).
int Dip(const Atelier* atelier, int value);
void LayOutAtelier(Atelier* atelier);  // the list, the pages and the status bar, at the window's size
void ShowOpenQuiz(Atelier* atelier);  // everything filled from the model
void SelectQuestion(Atelier* atelier, int question);
void ShowPage(Atelier* atelier, AtelierPage page);
// The page shown, the focus in its first box.
void ShowPageForTyping(Atelier* atelier, AtelierPage page);
// The one way the quiz changes: the edit made as a step to undo, then
// QuizChanged. False when it changed nothing.
bool EditQuiz(Atelier* atelier, const QuizEdit& edit);
// After the quiz changed (an edit, an undo, a picture changed on disk),
// what changes shows it: checked again, and the displays of what changed
// (kTextsChanged...) refreshed. question >= 0: that question shown.
void QuizChanged(Atelier* atelier, unsigned changes, int question);
void UndoOrRedo(Atelier* atelier, bool redo);
void UpdateWindowTitle(Atelier* atelier);
int AskAuthor(Atelier* atelier, const std::wstring& text, UINT buttons);
void TellAuthor(Atelier* atelier, const std::wstring& text, UINT icon);

// Menu and keyboard (atelier_menu.cpp).
HMENU CreateAtelierMenu(Atelier* atelier);
HACCEL CreateAtelierAccelerators();
void UpdateMenuStates(Atelier* atelier);

// Question list (question_list.cpp).
void CreateQuestionList(Atelier* atelier);
void LayOutQuestionList(Atelier* atelier, const RECT& area);
// The list's width in a window that wide: what its answers and remarks
// need, within a share of the window.
int QuestionListWidth(Atelier* atelier, int windowWidth);
// The window laid out again when an answer or a remark no longer fits the
// list.
void FitQuestionList(Atelier* atelier);
void FillQuestionList(Atelier* atelier);     // rows and thumbnails
void RefreshQuestionRows(Atelier* atelier);  // texts and remarks of every row
void RefreshThumbnails(Atelier* atelier);
SIZE ThumbnailBox(const Atelier* atelier);
// The rows in sight, first and last, from 0.
void VisibleRows(const Atelier* atelier, int* first, int* last);
// A thumbnail drawn by the worker put into the rows that show its picture.
void ShowThumbnail(Atelier* atelier, const PictureRequest& request);
void SelectListRow(Atelier* atelier, int question);
LRESULT OnQuestionListNotify(Atelier* atelier, NMHDR* header);
void OnListDragMove(Atelier* atelier, POINT client);
void OnListDragEnd(Atelier* atelier, POINT client, bool drop);
void AddPictureQuestions(Atelier* atelier, const std::vector<std::filesystem::path>& pictures);
void RemoveCurrentQuestion(Atelier* atelier);
void MoveCurrentQuestion(Atelier* atelier, int step);

// Pages.
HWND CreateStartPage(Atelier* atelier);
void FillStartPage(Atelier* atelier);
HWND CreateQuestionPage(Atelier* atelier);
void FillQuestionPage(Atelier* atelier);  // the current question
// The typing of a field ended: the focus left it.
void OnFieldLeft(Atelier* atelier);
void ShowQuestionIssues(Atelier* atelier);
void RefreshPreview(Atelier* atelier);
void ChangeQuestionPicture(Atelier* atelier);
// A quarter turn of the question's picture, clockwise when clockwise.
void RotateQuestionPicture(Atelier* atelier, bool clockwise);
void FocusAnswerTrial(Atelier* atelier);
HWND CreateQuizPage(Atelier* atelier);
void FillQuizPage(Atelier* atelier);
void ShowQuizIssues(Atelier* atelier);
void ChooseQuizColour(Atelier* atelier);
HWND CreateCodesPage(Atelier* atelier);
void FillCodesPage(Atelier* atelier);
void ShowCodesIssues(Atelier* atelier);
bool CodeBoxHasFocus(Atelier* atelier);
void NextCode(Atelier* atelier);

// Try an answer (answer_trial.cpp), on the question page.
void CreateAnswerTrial(Atelier* atelier, HWND page);
struct PageMetrics;
// Returns the bottom of its last row.
int LayOutAnswerTrial(Atelier* atelier, HWND page, const PageMetrics& metrics, int top, int width);
int AnswerTrialHeight(Atelier* atelier, HWND page);
void JudgeTrialAnswers(Atelier* atelier, HWND page);
// Empties the trial and its verdicts: they were for another question or quiz.
void ClearAnswerTrial(Atelier* atelier, HWND page);

// File actions (file_actions.cpp). Each returns false when it did not
// happen (cancelled or failed; the author has been told why).
bool NewQuizFromFolder(Atelier* atelier, const std::filesystem::path& folder);
bool NewQuizFromPictures(Atelier* atelier, const std::vector<std::filesystem::path>& pictures);
bool OpenQuizPath(Atelier* atelier, const std::filesystem::path& path);
bool SaveQuiz(Atelier* atelier, bool choosePlace);
bool BuildQuiz(Atelier* atelier);
// The guide web page handed to the browser; a failure is told.
void OpenGuide(Atelier* atelier);
// "Exporter en page web…": the quiz as one page that any browser plays.
bool ExportPage(Atelier* atelier);
bool TestQuiz(Atelier* atelier);
// Asks about unsaved changes; false when the author chose to stay.
bool ConfirmCloseQuiz(Atelier* atelier);
void RemoveTestFolders(Atelier* atelier);
// Names the files left out of a quiz, and why.
void TellSkipped(Atelier* atelier, const std::vector<SkippedFile>& skipped);
// Rewrites the expected answers as a keyboard types them.
void CorrectTypedAnswers(Atelier* atelier);
void ToggleReducedPictures(Atelier* atelier);

// Work on the worker threads (background_work.cpp): the pictures that are
// not drawn or checked yet queued, those in sight first; what comes back
// shown; the progress in the status bar.
void QueuePictureWork(Atelier* atelier);
void OnPictureOutcome(Atelier* atelier, PictureOutcome* outcome);
void OnRecheckMessage(Atelier* atelier);
void ShowWorkProgress(Atelier* atelier, const std::wstring& text);
// A new quiz open, or none: what was queued for the last one is dropped.
void ForgetPictureWork(Atelier* atelier);
// The build's progress and end (file_actions.cpp).
void OnBuildProgress(Atelier* atelier, std::size_t done, std::size_t total);
void OnBuildDone(Atelier* atelier, BuildOutcome* outcome);
void CancelBuild(Atelier* atelier);
// Waits for a build thread that has ended or been cancelled.
void FinishBuildThread(Atelier* atelier);

// Recent quizzes and builds, kept in the user's registry (recent_files.cpp).
void LoadRecentQuizzes(Atelier* atelier);
void RememberRecentQuiz(Atelier* atelier, const std::filesystem::path& path);
void ForgetRecentQuiz(Atelier* atelier, const std::filesystem::path& path);
void FillRecentMenu(Atelier* atelier);
std::wstring RecentQuizText(const RecentQuiz& recent);
void LoadBuildRecords(Atelier* atelier);
void RememberBuildRecord(Atelier* atelier, const std::filesystem::path& executable, const std::filesystem::path& source);

// The pictures of the quiz as they are on disk, looked at every half second:
// one changed, removed or put back goes through QuizChanged
// (background_work.cpp).
void WatchPictures(Atelier* atelier);
// The files as they are now, without telling: true when one changed since.
bool SeePictureFiles(Atelier* atelier);

// The picture file of a question; empty when it has none.
std::filesystem::path QuestionPicture(const Atelier* atelier, int question);
COLORREF QuizColour(const Atelier* atelier);

// Checks shown beside the fields (checks_display.cpp).
void RecheckQuiz(Atelier* atelier);
// "1 erreur, 2 avertissements" about a question; empty when none.
std::wstring QuestionRemarkSummary(const Atelier* atelier, int question);
enum class MarkLevel { kNone, kWarning, kError };
MarkLevel QuestionRemarkLevel(const Atelier* atelier, int question);
struct FieldMark {
  int markId;  // the control that shows the mark
  FieldRef field;
};
// The worst issue on each of the fields, and their messages, one per line
// with the field's name, in the remarks box.
void ShowFieldMarks(Atelier* atelier, HWND page, const FieldMark* marks, std::size_t count);
MarkLevel WorstLevel(const std::vector<const SourceIssue*>& issues);
std::vector<const SourceIssue*> IssuesWhere(const Atelier* atelier, bool (*matches)(const IssuePlace&, int), int which);
void SetMark(HWND mark, MarkLevel level);
void SetRemarks(HWND box, const std::vector<const SourceIssue*>& issues);
// The mark's colour, for the page's WM_CTLCOLORSTATIC; false for other statics.
bool ColourMark(HWND control, HDC dc);

}  // namespace vidod
