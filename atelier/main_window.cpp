#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"
#include "atelier/text_convert.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr wchar_t kAtelierClass[] = L"VidodAtelier";
// Sizes in pixels at 96 dots per inch, scaled with the window's DPI.
constexpr int kDefaultWidth = 1200;
constexpr int kDefaultHeight = 800;
constexpr int kMinimumWidth = 880;
constexpr int kMinimumHeight = 620;
constexpr int kMargin = 8;
// The status bar's parts, in hundredths of its width: the summary of the
// remarks, the work under way, and the source's path, which takes the rest.
constexpr int kStatusSummaryShare = 36;
constexpr int kStatusProgressShare = 20;
constexpr int kStatusPathPart = 2;
constexpr wchar_t kModifiedMark[] = L"*";
constexpr wchar_t kTitleSeparator[] = L" \u2014 ";
constexpr wchar_t kGuideFile[] = L"guide-auteur.html";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMilliseconds = 500;
constexpr wchar_t kPlayerFile[] = L"vidod.exe";
constexpr wchar_t kSettingsKey[] = L"Software\\Vidod\\Atelier";
const wchar_t* const kPageNames[kPageCount] = {L"Question", L"Quiz", L"Codes de r\u00e9compense"};

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// Windows 10 and Wine 8 have it; Windows 7 keeps to the system DPI.
UINT WindowDpi(HWND window) {
  static const auto dpiForWindow = reinterpret_cast<DpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
  return dpi ? dpi : static_cast<UINT>(SystemDpi());
}

// The system's message font is given at the system DPI; the window may sit
// on a monitor of another. The controls get the new fonts before the old
// ones go.
void CreateFonts(Atelier* atelier) {
  HFONT oldFont = atelier->font;
  HFONT oldHeading = atelier->headingFont;
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(atelier->dpi), SystemDpi());
  atelier->font = CreateFontIndirectW(&font);
  font.lfWeight = FW_BOLD;
  atelier->headingFont = CreateFontIndirectW(&font);
  ApplyFontToChildren(atelier->window, atelier->font);
  const int headings[] = {IDC_LIST_LABEL, IDC_QUESTION_HEADING};
  for (int id : headings) {
    HWND heading = GetDlgItem(atelier->window, id);
    for (HWND page : atelier->pages)
      if (!heading && page) heading = GetDlgItem(page, id);
    if (heading) SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(atelier->headingFont), TRUE);
  }
  if (oldFont) DeleteObject(oldFont);
  if (oldHeading) DeleteObject(oldHeading);
}

void LayOutWindow(Atelier* atelier) {
  RECT client;
  GetClientRect(atelier->window, &client);
  SendMessageW(atelier->status, WM_SIZE, 0, 0);
  RECT statusRect;
  GetWindowRect(atelier->status, &statusRect);
  const int statusHeight = statusRect.bottom - statusRect.top;
  const int parts[] = {static_cast<int>(client.right) * kStatusSummaryShare / 100,
                       static_cast<int>(client.right) * (kStatusSummaryShare + kStatusProgressShare) / 100, -1};
  SendMessageW(atelier->status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));

  const int margin = Dip(atelier, kMargin);
  const int bottom = client.bottom - statusHeight - margin;
  const int listWidth = QuestionListWidth(atelier, client.right);
  LayOutQuestionList(atelier, RECT{margin, margin, margin + listWidth, bottom});

  const int left = 2 * margin + listWidth;
  const int width = client.right - margin - left;
  const int height = bottom - margin;
  SetWindowPos(atelier->tabs, nullptr, left, margin, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(atelier->start, nullptr, left, margin, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT display = {0, 0, width, height};
  TabCtrl_AdjustRect(atelier->tabs, FALSE, &display);
  for (HWND page : atelier->pages)
    SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left, display.bottom - display.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateTabs(Atelier* atelier) {
  HWND tabs = AddControl(atelier->window, IDC_TABS, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         WS_EX_CONTROLPARENT);
  for (int page = 0; page < kPageCount; ++page) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kPageNames[page]);
    SendMessageW(tabs, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
  }
  return tabs;
}

void OnCreate(Atelier* atelier) {
  atelier->dpi = WindowDpi(atelier->window);
  atelier->menu = CreateAtelierMenu(atelier);
  SetMenu(atelier->window, atelier->menu);
  atelier->status = AddControl(atelier->window, IDC_STATUS_BAR, STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP);
  CreateQuestionList(atelier);
  atelier->tabs = CreateTabs(atelier);
  atelier->pages[kQuestionPage] = CreateQuestionPage(atelier);
  atelier->pages[kQuizPage] = CreateQuizPage(atelier);
  atelier->pages[kCodesPage] = CreateCodesPage(atelier);
  atelier->start = CreateStartPage(atelier);
  CreateFonts(atelier);
  LoadRecentQuizzes(atelier);
  FillRecentMenu(atelier);
  FillStartPage(atelier);
  DragAcceptFiles(atelier->window, TRUE);
  atelier->pictureWorker = StartPictureWorker(atelier->window, kPictureDoneMessage);
  LoadBuildRecords(atelier);
  SetTimer(atelier->window, kWatchTimer, kWatchMilliseconds, nullptr);
  ShowOpenQuiz(atelier);
}

void OnDpiChanged(Atelier* atelier, UINT dpi, const RECT* suggested) {
  atelier->dpi = dpi;
  CreateFonts(atelier);
  RefreshThumbnails(atelier);
  SetWindowPos(atelier->window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
               suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOutWindow(atelier);
}

void OnMinMaxInfo(HWND window, MINMAXINFO* info) {
  const Atelier* atelier = AtelierOf(window);
  const UINT dpi = atelier ? atelier->dpi : USER_DEFAULT_SCREEN_DPI;
  info->ptMinTrackSize.x = MulDiv(kMinimumWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
  info->ptMinTrackSize.y = MulDiv(kMinimumHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

std::vector<fs::path> DroppedPaths(HDROP drop) {
  std::vector<fs::path> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, &path[0], length + 1);
    path.resize(length);
    paths.emplace_back(path);
  }
  return paths;
}

void OnDropFiles(Atelier* atelier, HDROP drop) {
  const std::vector<fs::path> paths = DroppedPaths(drop);
  DragFinish(drop);
  if (paths.size() == 1) {
    OpenQuizPath(atelier, paths.front());
    return;
  }
  if (atelier->open)
    AddPictureQuestions(atelier, paths);
  else
    NewQuizFromPictures(atelier, paths);
}

void OnCommand(Atelier* atelier, int id) {
  switch (id) {
    case IDM_NEW_FROM_FOLDER:
    case IDC_START_NEW: {
      fs::path folder;
      const fs::path start = atelier->open ? atelier->edited.sourceFile.parent_path() : fs::path();
      if (atelier->prompts->chooseFolder(atelier->window, L"Dossier des images du quiz", start, &folder))
        NewQuizFromFolder(atelier, folder);
      return;
    }
    case IDM_OPEN:
    case IDC_START_OPEN: {
      fs::path file;
      if (atelier->prompts->chooseFileToOpen(atelier->window, &file)) OpenQuizPath(atelier, file);
      return;
    }
    case IDM_SAVE:
      SaveQuiz(atelier, false);
      return;
    case IDM_SAVE_AS:
      SaveQuiz(atelier, true);
      return;
    case IDM_UNDO:
    case IDM_REDO:
      UndoOrRedo(atelier, id == IDM_REDO);
      return;
    case IDM_TEST_QUIZ:
      TestQuiz(atelier);
      return;
    case IDM_BUILD:
      BuildQuiz(atelier);
      return;
    case IDM_EXPORT_PAGE:
      ExportPage(atelier);
      return;
    case IDM_REDUCE_PICTURES:
      ToggleReducedPictures(atelier);
      return;
    case IDM_CORRECT_ANSWERS:
      CorrectTypedAnswers(atelier);
      return;
    case IDM_QUIT:
      SendMessageW(atelier->window, WM_CLOSE, 0, 0);
      return;
    case IDM_ADD_PICTURES:
    case IDC_ADD_BUTTON: {
      std::vector<fs::path> pictures;
      if (atelier->open &&
          atelier->prompts->choosePictures(atelier->window, atelier->edited.sourceFile.parent_path(), &pictures))
        AddPictureQuestions(atelier, pictures);
      return;
    }
    case IDM_REMOVE_QUESTION:
    case IDC_REMOVE_BUTTON:
      RemoveCurrentQuestion(atelier);
      return;
    case IDM_MOVE_UP:
    case IDC_UP_BUTTON:
      MoveCurrentQuestion(atelier, -1);
      return;
    case IDM_MOVE_DOWN:
    case IDC_DOWN_BUTTON:
      MoveCurrentQuestion(atelier, 1);
      return;
    case IDM_CHANGE_PICTURE:
      ChangeQuestionPicture(atelier);
      return;
    case IDM_ROTATE_RIGHT:
    case IDM_ROTATE_LEFT:
      RotateQuestionPicture(atelier, id == IDM_ROTATE_RIGHT);
      return;
    case IDM_CANCEL_BUILD:
      CancelBuild(atelier);
      return;
    case IDM_PREVIOUS_QUESTION:
      SelectQuestion(atelier, atelier->current - 1);
      return;
    case IDM_NEXT_QUESTION:
      SelectQuestion(atelier, atelier->current + 1);
      return;
    case IDM_TRY_ANSWER:
      FocusAnswerTrial(atelier);
      return;
    case IDM_SHOW_LIST:
      SetFocus(atelier->list);
      return;
    case IDM_SHOW_QUESTION:
      ShowPageForTyping(atelier, kQuestionPage);
      return;
    case IDM_SHOW_QUIZ:
      ShowPageForTyping(atelier, kQuizPage);
      return;
    case IDM_SHOW_CODES:
      ShowPageForTyping(atelier, kCodesPage);
      return;
    case IDM_NEXT_PAGE:
    case IDM_PREVIOUS_PAGE: {
      const int step = id == IDM_NEXT_PAGE ? 1 : kPageCount - 1;
      ShowPage(atelier, static_cast<AtelierPage>((TabCtrl_GetCurSel(atelier->tabs) + step) % kPageCount));
      return;
    }
    case IDM_CHOOSE_COLOUR:
      ChooseQuizColour(atelier);
      return;
    case IDM_GUIDE:
      OpenGuide(atelier);
      return;
    case IDM_ABOUT:
      TellAuthor(atelier,
                 L"Vidod Atelier : cr\u00e9er un quiz Vidod dans une fen\u00eatre.\n"
                 L"Les sources qu'il enregistre se construisent aussi avec vidod-make.",
                 MB_ICONINFORMATION);
      return;
    case IDOK:
      // Enter: in the code box it goes on to the next score, on a recent
      // quiz it opens it.
      if (CodeBoxHasFocus(atelier))
        NextCode(atelier);
      else if (GetFocus() == GetDlgItem(atelier->start, IDC_START_RECENT))
        SendMessageW(atelier->start, WM_COMMAND, MAKEWPARAM(IDC_START_RECENT, LBN_DBLCLK), 0);
      return;
    default:
      if (id >= IDM_RECENT_FIRST && id < IDM_RECENT_FIRST + static_cast<int>(atelier->recent.size())) {
        const fs::path chosen = atelier->recent[id - IDM_RECENT_FIRST].source;
        OpenQuizPath(atelier, chosen);
      }
      return;
  }
}

LRESULT OnNotify(Atelier* atelier, NMHDR* header) {
  if (header->hwndFrom == atelier->tabs && header->code == TCN_SELCHANGE) {
    ShowPage(atelier, static_cast<AtelierPage>(TabCtrl_GetCurSel(atelier->tabs)));
    return 0;
  }
  if (header->hwndFrom == atelier->list) return OnQuestionListNotify(atelier, header);
  return 0;
}

// The dialog keyboard handling sends this for a label's access key; the
// main window is no dialog, so it moves the focus itself, selecting the
// text of a box as dialogs do.
void OnNextControl(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(window, GetFocus(), wParam != 0);
  if (!next) return;
  if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
  SetFocus(next);
}

void OnClose(Atelier* atelier) {
  if (ConfirmCloseQuiz(atelier)) DestroyWindow(atelier->window);
}

void OnDestroy(Atelier* atelier) {
  KillTimer(atelier->window, kWatchTimer);
  // The threads end before what they use goes.
  CancelBuild(atelier);
  FinishBuildThread(atelier);
  MSG ended;
  while (PeekMessageW(&ended, atelier->window, kBuildDoneMessage, kBuildDoneMessage, PM_REMOVE))
    delete reinterpret_cast<BuildOutcome*>(ended.lParam);
  StopPictureWorker(atelier->pictureWorker);
  atelier->pictureWorker = nullptr;
  RemoveTestFolders(atelier);
  DragAcceptFiles(atelier->window, FALSE);
  if (atelier->accelerators) DestroyAcceleratorTable(atelier->accelerators);
  atelier->accelerators = nullptr;
  PostQuitMessage(0);
}

// The image list and the fonts outlive the controls that use them.
void OnFinalDestroy(Atelier* atelier) {
  if (atelier->thumbnails) ImageList_Destroy(atelier->thumbnails);
  ClearFittedPictures(&atelier->thumbnailPictures);
  ClearFittedPictures(&atelier->viewPictures);
  DeleteObject(atelier->font);
  DeleteObject(atelier->headingFont);
  delete atelier;
}

POINT PointOf(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

LRESULT CALLBACK AtelierWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Atelier* atelier = AtelierOf(window);
  switch (message) {
    case WM_NCCREATE: {
      atelier = static_cast<Atelier*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      atelier->window = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(atelier));
      return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_CREATE:
      OnCreate(atelier);
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) LayOutWindow(atelier);
      return 0;
    case WM_GETMINMAXINFO:
      OnMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(atelier, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(atelier, LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(atelier, reinterpret_cast<NMHDR*>(lParam));
    case WM_INITMENUPOPUP:
      UpdateMenuStates(atelier);
      return 0;
    case WM_NEXTDLGCTL:
      OnNextControl(window, wParam, lParam);
      return 0;
    case WM_DROPFILES:
      OnDropFiles(atelier, reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_MOUSEMOVE:
      if (atelier->dragFrom >= 0) OnListDragMove(atelier, PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (atelier->dragFrom >= 0) OnListDragEnd(atelier, PointOf(lParam), true);
      return 0;
    case WM_CAPTURECHANGED:
      if (atelier->dragFrom >= 0) OnListDragEnd(atelier, POINT{}, false);
      return 0;
    case kPictureDoneMessage:
      OnPictureOutcome(atelier, reinterpret_cast<PictureOutcome*>(lParam));
      return 0;
    case kRecheckMessage:
      OnRecheckMessage(atelier);
      return 0;
    case WM_TIMER:
      if (wParam == kWatchTimer) WatchPictures(atelier);
      return 0;
    case kBuildProgressMessage:
      OnBuildProgress(atelier, wParam, static_cast<std::size_t>(lParam));
      return 0;
    case kBuildDoneMessage:
      OnBuildDone(atelier, reinterpret_cast<BuildOutcome*>(lParam));
      return 0;
    case WM_CLOSE:
      OnClose(atelier);
      return 0;
    case WM_DESTROY:
      OnDestroy(atelier);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (atelier) OnFinalDestroy(atelier);
      return DefWindowProcW(window, message, wParam, lParam);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool RegisterAtelierClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = {};
  if (GetClassInfoExW(instance, kAtelierClass, &windowClass)) return true;
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = AtelierWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ATELIER));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ATELIER), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kAtelierClass;
  return RegisterClassExW(&windowClass) != 0;
}

// A size that fits the work area of the monitor the window starts on.
SIZE StartingSize(UINT dpi) {
  RECT work = {0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = MulDiv(kDefaultWidth, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
  const int height = MulDiv(kDefaultHeight, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
  return SIZE{std::min(width, static_cast<int>(work.right - work.left)),
              std::min(height, static_cast<int>(work.bottom - work.top))};
}

}  // namespace

Atelier* AtelierOf(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  wchar_t className[32] = L"";
  if (!root || !GetClassNameW(root, className, 32) || lstrcmpW(className, kAtelierClass) != 0) return nullptr;
  return reinterpret_cast<Atelier*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

void LayOutAtelier(Atelier* atelier) { LayOutWindow(atelier); }

int Dip(const Atelier* atelier, int value) {
  return MulDiv(value, static_cast<int>(atelier->dpi), USER_DEFAULT_SCREEN_DPI);
}

void UpdateWindowTitle(Atelier* atelier) {
  std::wstring title = kAtelierName;
  if (atelier->open) {
    std::wstring name = WideFromCp1252(atelier->edited.quiz.title);
    if (name.empty()) name = atelier->edited.sourceFile.filename().wstring();
    title = (IsModified(atelier->edited) ? kModifiedMark : L"") + name + kTitleSeparator + title;
  }
  SetWindowTextIfOther(atelier->window, title);
  const std::wstring where = atelier->open ? atelier->edited.sourceFile.wstring() : std::wstring();
  SendMessageW(atelier->status, SB_SETTEXTW, kStatusPathPart, reinterpret_cast<LPARAM>(where.c_str()));
}

void ShowPage(Atelier* atelier, AtelierPage page) {
  if (!atelier->open) return;
  TabCtrl_SetCurSel(atelier->tabs, page);
  for (int i = 0; i < kPageCount; ++i) ShowWindow(atelier->pages[i], i == page ? SW_SHOW : SW_HIDE);
}

void ShowPageForTyping(Atelier* atelier, AtelierPage page) {
  if (!atelier->open) return;
  ShowPage(atelier, page);
  const int firstBox[kPageCount] = {IDC_ANSWER, IDC_TITLE, IDC_CODE};
  HWND box = GetDlgItem(atelier->pages[page], firstBox[page]);
  if (!box || !IsWindowEnabled(box)) box = GetNextDlgTabItem(atelier->pages[page], nullptr, FALSE);
  if (!box) return;
  SetFocus(box);
  if (SendMessageW(box, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(box, EM_SETSEL, 0, -1);
}

void SelectQuestion(Atelier* atelier, int question) {
  const int count = static_cast<int>(atelier->edited.quiz.questions.size());
  if (count == 0) {
    atelier->current = -1;
  } else {
    atelier->current = std::clamp(question, 0, count - 1);
  }
  SelectListRow(atelier, atelier->current);
  FillQuestionPage(atelier);
  ShowQuestionIssues(atelier);
}

void ShowOpenQuiz(Atelier* atelier) {
  const bool open = atelier->open;
  ShowWindow(atelier->start, open ? SW_HIDE : SW_SHOW);
  ShowWindow(atelier->tabs, open ? SW_SHOW : SW_HIDE);
  EnableWindow(atelier->list, open);
  for (HWND button : atelier->buttons) EnableWindow(button, open);
  if (!open) {
    atelier->current = -1;
    ForgetPictureWork(atelier);
    ListView_DeleteAllItems(atelier->list);
    FillStartPage(atelier);
    UpdateWindowTitle(atelier);
    SendMessageW(atelier->status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
    return;
  }
  atelier->filling = true;
  FillQuizPage(atelier);
  FillCodesPage(atelier);
  atelier->filling = false;
  FillQuestionList(atelier);
  RecheckQuiz(atelier);
  SelectQuestion(atelier, atelier->current < 0 ? 0 : atelier->current);
  ShowPage(atelier, static_cast<AtelierPage>(std::max(0, TabCtrl_GetCurSel(atelier->tabs))));
  UpdateWindowTitle(atelier);
  // The arrows go from question to question from the start.
  if (GetActiveWindow() == atelier->window) SetFocus(atelier->list);
}

bool EditQuiz(Atelier* atelier, const QuizEdit& edit) {
  if (!atelier->open) return false;
  const unsigned changes = ApplyEdit(&atelier->edited, edit);
  if (changes == 0) return false;
  if (edit.kind == EditKind::kText) {
    // Typed text is already in its box: the checks and the title follow.
    RecheckQuiz(atelier);
    UpdateWindowTitle(atelier);
    return true;
  }
  int shown = -1;
  if (edit.kind == EditKind::kMoveQuestion) shown = edit.to;
  if (edit.kind == EditKind::kAddQuestions) shown = edit.question;
  if (edit.kind == EditKind::kRemoveQuestion)
    shown = std::min(edit.question, static_cast<int>(atelier->edited.quiz.questions.size()) - 1);
  QuizChanged(atelier, changes, shown);
  return true;
}

void QuizChanged(Atelier* atelier, unsigned changes, int question) {
  if (question >= 0) atelier->current = question;
  if (changes & kQuestionsChanged)
    FillQuestionList(atelier);
  else if (changes & kPicturesChanged)
    RefreshThumbnails(atelier);
  // The codes page has a row per question: it follows their count too.
  if (changes & (kSettingsChanged | kTextsChanged | kQuestionsChanged)) {
    atelier->filling = true;
    FillQuizPage(atelier);
    FillCodesPage(atelier);
    atelier->filling = false;
  }
  // The second answer's and the trial's rows come and go with the count.
  if (changes & kSettingsChanged) RelayOutPage(atelier->pages[kQuestionPage]);
  RecheckQuiz(atelier);
  SelectQuestion(atelier, atelier->current);
  UpdateWindowTitle(atelier);
}

void UndoOrRedo(Atelier* atelier, bool redo) {
  if (!atelier->open) return;
  int question = -1;
  if (!(redo ? RedoEdit(&atelier->edited, &question) : UndoEdit(&atelier->edited, &question))) return;
  // Whatever the step was, every display of the quiz follows it, and the
  // question it was about is shown.
  QuizChanged(atelier, kEverythingChanged, question);
}

int AskAuthor(Atelier* atelier, const std::wstring& text, UINT buttons) {
  return MessageBoxW(atelier->window, text.c_str(), kAtelierName, buttons);
}

void TellAuthor(Atelier* atelier, const std::wstring& text, UINT icon) {
  MessageBoxW(atelier->window, text.c_str(), kAtelierName, MB_OK | icon);
}

AtelierSetup DefaultAtelierSetup() {
  wchar_t program[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  AtelierSetup setup;
  setup.player = fs::path(program).parent_path() / kPlayerFile;
  setup.guide = fs::path(program).parent_path() / kGuideFile;
  setup.settingsKey = kSettingsKey;
  return setup;
}

HWND CreateAtelierWindow(HINSTANCE instance, const AtelierSetup& setup, int showCommand) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterAtelierClass(instance)) return nullptr;
  Atelier* atelier = new Atelier;
  atelier->instance = instance;
  atelier->setup = setup;
  atelier->prompts = setup.prompts ? setup.prompts : &SystemPrompts();
  atelier->accelerators = CreateAtelierAccelerators();
  const SIZE size = StartingSize(static_cast<UINT>(SystemDpi()));
  HWND window = CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_CONTROLPARENT, kAtelierClass, kAtelierName,
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                                nullptr, nullptr, instance, atelier);
  if (!window) {
    if (atelier->accelerators) DestroyAcceleratorTable(atelier->accelerators);
    delete atelier;
    return nullptr;
  }
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return window;
}

bool TranslateAtelierMessage(HWND window, MSG* message) {
  Atelier* atelier = AtelierOf(window);
  if (!atelier) return false;
  // A shortcut whose menu entry is greyed does nothing: the entries must be
  // up to date before the keys are looked at, not only when a menu opens.
  if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) UpdateMenuStates(atelier);
  if (atelier->accelerators && TranslateAcceleratorW(window, atelier->accelerators, message)) return true;
  return IsDialogMessageW(window, message) != FALSE;
}

bool AtelierIsWorking(HWND window) {
  Atelier* atelier = AtelierOf(window);
  return atelier && (atelier->building || (atelier->pictureWorker && PicturesUnfinished(atelier->pictureWorker) > 0) ||
                     atelier->recheckPosted);
}

void OpenAtelierPath(HWND window, const fs::path& path) {
  Atelier* atelier = AtelierOf(window);
  if (atelier) OpenQuizPath(atelier, path);
}

}  // namespace vidod
