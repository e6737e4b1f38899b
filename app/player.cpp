#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/player_shell.h"
#include "app/screen_scale.h"
#include "common/window_text.h"
#include "lzw/lzw.h"
#include "pictures/picture_loader.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod {

PlayerShell g_shell = {};

namespace {

constexpr COLORREF kStatusColour = RGB(212, 208, 200);
constexpr char kClassFailureText[] = "Erreur dans la cr\xE9" "ation de la fen\xEA" "tre principale";
constexpr char kClassFailureCaption[] = "Vidod information";
constexpr char kMemoryText[] = "Impossible d'allouer la memoire";
constexpr char kMemoryCaption[] = "information";
constexpr char kSaveCaption[] = "Vidod";
constexpr char kSaveFailedText[] =
    "Impossible d'enregistrer les r\xE9ponses dans le fichier \xAB %s \xBB.";
constexpr char kSaveFailedAtCloseText[] =
    "Impossible d'enregistrer les r\xE9ponses dans le fichier \xAB %s \xBB.\n\n"
    "Quitter quand m\xEAme ? Les r\xE9ponses tap\xE9" "es depuis le dernier enregistrement "
    "seront perdues.";

void ShowMemoryMessage() { MessageBox1252(nullptr, kMemoryText, kMemoryCaption, MB_OK); }

// The picture box at the layout's scale.
void SetPictureBox(int width, int height) {
  g_shell.pictureBoxWidth = Scaled(width);
  g_shell.pictureBoxHeight = Scaled(height);
}

void LayOutFromClientArea(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The scale of the screen the window opens on: centred on the desktop, the
// window is on the primary monitor, whose DPI the system's is.
void ChooseStartingScale() {
  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  UseLayoutDpi(FittingLayoutDpi(SystemDpi(), desktop), nullptr);
}

// The system's DPI is the one it had when the session began: the monitor's
// may have changed since. Nothing but the window and its status line exists
// yet.
void FollowWindowScale(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  const int dpi = FittingLayoutDpi(WindowDpi(window), outer);
  if (dpi == LayoutDpi()) return;
  HFONT retired[kFontCount];
  const int count = UseLayoutDpi(dpi, retired);
  SetPictureBox(kSinglePictureWidth, kSinglePictureHeight);
  RefreshFonts(window);
  SetWindowPos(window, nullptr, 0, 0, Scaled(kMainWindowWidth), Scaled(kMainWindowHeight),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < count; ++i) DeleteObject(retired[i]);
}

// Returns true when the player wants to go on closing. The main window owns
// the message, so nothing else of the player can be used while it is up.
bool ReportSaveFailure(bool closing) {
  const std::wstring format = WideFromCp1252(closing ? kSaveFailedAtCloseText : kSaveFailedText);
  const std::size_t at = format.find(L"%s");
  const std::wstring text = format.substr(0, at) + ProgressFilePath() + format.substr(at + 2);
  const std::wstring caption = WideFromCp1252(kSaveCaption);
  g_shell.saveFailureShown = true;
  if (!closing) {
    MessageBoxW(g_shell.mainWindow, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
    return false;
  }
  return MessageBoxW(g_shell.mainWindow, text.c_str(), caption.c_str(),
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

HWND ShownListView() { return g_shell.singleViewCurrent ? nullptr : g_shell.listView; }

// Whether writing answers would change the file.
bool FileWouldChange(const std::string& answers) {
  return !g_shell.savedTextIsFile || answers != g_shell.savedText;
}

// Takes in the shown view's boxes and writes the file; remembers what it holds.
bool WriteAnswers() {
  // Answers typed in the list view reach the slots first, so none is lost.
  if (ShownListView()) StoreListBoxesInSlots(g_shell.listView);
  if (!SaveProgressFile(g_shell.singleView)) return false;
  g_shell.savedText = PendingProgressText(nullptr);
  g_shell.savedTextIsFile = true;
  g_shell.saveFailureShown = false;
  ++g_shell.filesWritten;
  return true;
}

// A save asked for (or a close): the shown view's boxes are taken in, and the
// file is written when that changes it. True when the file holds the answers.
bool WriteChangedAnswers() {
  if (ShownListView())
    StoreListBoxesInSlots(g_shell.listView);
  else
    StoreCurrentAnswer(g_shell.singleView);
  if (!FileWouldChange(PendingProgressText(nullptr))) return true;
  return WriteAnswers();
}

void DrainQueuedMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

// The running executable's full path, long names throughout.
std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const DWORD needed = GetLongPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::wstring longPath(needed, L'\0');
  const DWORD length = GetLongPathNameW(path.c_str(), &longPath[0], needed);
  if (length == 0 || length >= needed) return path;
  longPath.resize(length);
  return longPath;
}

}  // namespace

bool SaveAnswersOrAsk(bool closing) {
  ++g_shell.savesRequested;
  return WriteChangedAnswers() || ReportSaveFailure(closing);
}

bool SavePlayerAnswers() { return SaveAnswersOrAsk(false); }

void SaveChangedAnswers() {
  if (!g_shell.started) return;
  if (g_shell.savesHeld > 0) {
    g_shell.saveDue = true;
    return;
  }
  if (!FileWouldChange(PendingProgressText(ShownListView()))) return;
  // While the report is up, the judgements that moving the focus makes come
  // here again: the flag, set before the box shows, keeps them quiet.
  if (WriteAnswers() || g_shell.saveFailureShown) return;
  ReportSaveFailure(false);
}

void HoldSaves() { ++g_shell.savesHeld; }

void ReleaseSaves() {
  if (g_shell.savesHeld > 0) --g_shell.savesHeld;
  if (g_shell.savesHeld > 0 || !g_shell.saveDue) return;
  g_shell.saveDue = false;
  SaveChangedAnswers();
}

void SaveAnswersAtSessionEnd() {
  // No question at this point: the session ends whatever the answer.
  if (g_shell.started) WriteChangedAnswers();
}

void ReturnFocusToAnswers() {
  FocusAtEnd(g_shell.singleViewCurrent ? GetDlgItem(g_shell.singleView, kAnswerBoxId)
                                       : ListViewBoxInSight(g_shell.listView));
}

void FocusAtEnd(HWND box) {
  if (!box) return;
  SetFocus(box);
  const int length = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, length, length);
}

bool StartPlayer(HINSTANCE instance, HMODULE quizModule, const std::wstring& progressPath) {
  const std::wstring progressFile =
      progressPath.empty() ? ProgressFileBeside(ExecutablePath()) : progressPath;
  UseProgressFile(progressFile);
  if (!ClaimProgressFile(ProgressFilePath())) return false;
  g_shell = PlayerShell{};
  g_shell.instance = instance;
  g_shell.quizModule = quizModule;
  g_shell.singleViewCurrent = 1;

  if (!RegisterMainWindowClass(instance)) {
    MessageBox1252(nullptr, kClassFailureText, kClassFailureCaption, MB_OK | MB_ICONINFORMATION);
    ReleaseProgressFileClaim();
    return false;
  }
  g_shell.statusBrush = CreateSolidBrush(kStatusColour);
  // The tooltips of the buttons and of the code field.
  INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);

  SetLzwMemoryAlert(ShowMemoryMessage);
  g_document = CreatePlayerDocument();
  if (!g_document) {
    ShowMemoryMessage();
    DeleteObject(g_shell.statusBrush);
    UnregisterClassW(kMainWindowClassWide, instance);
    ReleaseProgressFileClaim();
    return false;
  }
  QuizResourceLoader(g_document, quizModule);
  ChooseStartingScale();
  SetPictureBox(kSinglePictureWidth, kSinglePictureHeight);

  g_shell.mainWindow = CreateMainWindow(instance, g_document->quiz->title);
  FollowWindowScale(g_shell.mainWindow);
  CentreWindowOnDesktop(g_shell.mainWindow);
  PublishPlayerWindow(g_shell.mainWindow);
  SetPictureMessageOwner(g_shell.mainWindow);

  g_shell.headerBar = CreateHeaderBar(instance, g_shell.mainWindow);
  ShowWindow(g_shell.headerBar, SW_SHOW);
  g_document->headerBar = g_shell.headerBar;

  SetPictureBox(kListPictureSize, kListPictureSize);
  g_shell.listView = CreateQuestionListView(instance, g_shell.mainWindow);
  SetPictureBox(kSinglePictureWidth, kSinglePictureHeight);
  ShowWindow(g_shell.listView, SW_HIDE);

  g_shell.singleView = CreateSingleQuestionView(instance, g_shell.mainWindow);
  g_document->mainWindow = g_shell.mainWindow;

  LayOutFromClientArea(g_shell.mainWindow);
  ShowWindow(g_shell.mainWindow, SW_SHOWNORMAL);
  ShowWindow(g_shell.singleView, SW_SHOWNORMAL);
  // The answers as restored: a save is due once one of them changes, or at
  // once when the file does not hold them in the player's own form.
  g_shell.savedText = PendingProgressText(nullptr);
  g_shell.savedTextIsFile = ProgressFileHolds(g_shell.savedText);
  g_shell.started = true;
  // The first key pressed goes into the answer.
  ReturnFocusToAnswers();
  return true;
}

int RunMessageLoop() {
  MSG message = {};
  // The wide forms throughout: a character typed in any language reaches the
  // answer boxes as itself.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (g_shell.singleView && IsDialogMessageW(g_shell.singleView, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

void StopPlayer() {
  // The boxes judge themselves as they go; nothing is saved at teardown.
  g_shell.started = false;
  if (g_shell.singleView) EndDialog(g_shell.singleView, 0);
  if (g_shell.headerBar) DestroyWindow(g_shell.headerBar);
  g_document->headerBar = nullptr;
  // The views and their boxes go with the main window, while the document they
  // judge against still exists.
  if (g_shell.mainWindow) DestroyWindow(g_shell.mainWindow);
  DrainQueuedMessages();
  DeleteObject(g_shell.statusBrush);
  DestroyPlayerDocument(g_document);
  g_document = nullptr;
  UseLayoutDpi(0, nullptr);
  SetLzwMemoryAlert(nullptr);
  SetPictureMessageOwner(nullptr);
  ReleasePictureService();
  UnregisterClassW(kMainWindowClassWide, g_shell.instance);
  ReleaseProgressFileClaim();
  g_shell = PlayerShell{};
}

}  // namespace vidod
