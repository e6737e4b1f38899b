#include <cstdio>

#include "app/player_shell.h"
#include "lzw/lzw.h"
#include "pictures/picture_loader.h"
#include "quiz/player_document.h"
#include "res/resource_ids.h"
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

void ShowMemoryMessage() { MessageBoxA(nullptr, kMemoryText, kMemoryCaption, MB_OK); }

void SetPictureBox(int width, int height) {
  g_shell.pictureBoxWidth = width;
  g_shell.pictureBoxHeight = height;
}

void LayOutFromClientArea(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// Returns true when the player wants to go on closing. The main window owns
// the message, so nothing else of the player can be used while it is up.
bool ReportSaveFailure(bool closing) {
  char name[MAX_PATH];
  char fullName[MAX_PATH];
  ProgressFileName(name, sizeof name);
  if (!GetFullPathNameA(name, sizeof fullName, fullName, nullptr)) lstrcpynA(fullName, name, MAX_PATH);
  char text[sizeof kSaveFailedAtCloseText + MAX_PATH];
  std::snprintf(text, sizeof text, closing ? kSaveFailedAtCloseText : kSaveFailedText, fullName);
  g_shell.saveFailureShown = true;
  if (!closing) {
    MessageBoxA(g_shell.mainWindow, text, kSaveCaption, MB_OK | MB_ICONWARNING);
    return false;
  }
  return MessageBoxA(g_shell.mainWindow, text, kSaveCaption,
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

HWND ShownListView() { return g_shell.singleViewCurrent ? nullptr : g_shell.listView; }

// Takes in the shown view's boxes and writes the file; remembers what it holds.
bool WriteAnswers() {
  // Answers typed in the list view reach the slots first, so none is lost.
  if (ShownListView()) StoreListBoxesInSlots(g_shell.listView);
  if (!SaveProgressFile(g_shell.singleView)) return false;
  g_shell.savedText = PendingProgressText(nullptr);
  g_shell.saveFailureShown = false;
  return true;
}

void DrainQueuedMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace

bool SaveAnswersOrAsk(bool closing) {
  ++g_shell.savesRequested;
  return WriteAnswers() || ReportSaveFailure(closing);
}

bool SavePlayerAnswers() { return SaveAnswersOrAsk(false); }

void SaveChangedAnswers() {
  if (!g_shell.started || PendingProgressText(ShownListView()) == g_shell.savedText) return;
  // While the report is up, the judgements that moving the focus makes come
  // here again: the flag, set before the box shows, keeps them quiet.
  if (WriteAnswers() || g_shell.saveFailureShown) return;
  ReportSaveFailure(false);
}

void SaveAnswersAtSessionEnd() {
  // No question at this point: the session ends whatever the answer.
  if (g_shell.started) WriteAnswers();
}

void ReturnFocusToAnswers() {
  HWND box = g_shell.singleViewCurrent ? GetDlgItem(g_shell.singleView, kAnswerBoxId)
                                       : ListViewAnswerBox(g_shell.listView);
  if (box) SetFocus(box);
}

bool StartPlayer(HINSTANCE instance, HMODULE quizModule) {
  g_shell = PlayerShell{};
  g_shell.instance = instance;
  g_shell.quizModule = quizModule;
  g_shell.singleViewCurrent = 1;
  SetPictureBox(kSinglePictureWidth, kSinglePictureHeight);

  if (!RegisterMainWindowClass(instance)) {
    MessageBoxA(nullptr, kClassFailureText, kClassFailureCaption, MB_OK | MB_ICONINFORMATION);
    return false;
  }
  g_shell.statusBrush = CreateSolidBrush(kStatusColour);

  SetLzwMemoryAlert(ShowMemoryMessage);
  g_document = CreatePlayerDocument();
  if (!g_document) {
    ShowMemoryMessage();
    DeleteObject(g_shell.statusBrush);
    UnregisterClassA(kMainWindowClass, instance);
    return false;
  }
  QuizResourceLoader(g_document, quizModule);

  g_shell.mainWindow = CreateMainWindow(instance, g_document->quiz->title);
  CentreWindowOnDesktop(g_shell.mainWindow);
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
  SetFocus(g_shell.mainWindow);
  // The answers as restored: a save is due once one of them changes.
  g_shell.savedText = PendingProgressText(nullptr);
  g_shell.started = true;
  return true;
}

int RunMessageLoop() {
  MSG message = {};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (g_shell.singleView && IsDialogMessageA(g_shell.singleView, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
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
  SetLzwMemoryAlert(nullptr);
  SetPictureMessageOwner(nullptr);
  ReleasePictureService();
  UnregisterClassA(kMainWindowClass, g_shell.instance);
  g_shell = PlayerShell{};
}

}  // namespace vidod
