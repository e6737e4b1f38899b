// Vidod Atelier's real windows driven with messages: a quiz started from a
// folder of six pictures, answers typed into the edit controls, the checks
// beside the fields, the verdicts of a tried answer, a build read back
// through the player's loader, the built quiz opened back into its source,
// and the question asked at close. The dialogs that need a person are
// answered by the test's prompts, message boxes by a catcher.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "atelier/atelier_app.h"
#include "atelier/atelier_ids.h"
#include "atelier/text_convert.h"
#include "common/cp1252.h"
#include "maker/pe_resource_writer.h"
#include "maker/pe_resources.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "message_box_catcher.h"
#include "oriented_pictures.h"
#include "pictures/picture_loader.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "tool_run.h"

namespace vidod::testing {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kSettingsKey[] = L"Software\\Vidod\\AtelierTests";
constexpr char kPlayerClass[] = "WindowsApp";
const wchar_t* const kRivers[] = {L"Ain", L"Garonne", L"Loire", L"Meuse", L"Rh\u00f4ne", L"Seine"};
constexpr int kQuestionCount = 6;
constexpr int kAnswerColumn = 1;
constexpr int kRemarksColumn = 2;
constexpr int kLargePhotoCount = 12;
// The test pictures have a white band across their middle.
constexpr int kAboveTheBand = 3;

// What the author answers to the Atelier's dialogs.
struct PromptAnswers {
  fs::path folder;
  fs::path fileToOpen;
  std::vector<fs::path> pictures;
  fs::path source;
  fs::path executable;
  fs::path proposedExecutable;  // what the Atelier proposed
  fs::path page;
  COLORREF colour = 0;
  int foldersAsked = 0;
  bool shellOpens = true;              // what the shell does with a file
  std::vector<fs::path> shellOpened;  // what the Atelier handed it
};
PromptAnswers g_answers;

bool Give(const fs::path& answer, fs::path* chosen) {
  *chosen = answer;
  return !answer.empty();
}
bool AnswerFolder(HWND, const std::wstring&, const fs::path&, fs::path* folder) {
  ++g_answers.foldersAsked;
  return Give(g_answers.folder, folder);
}
bool AnswerFileToOpen(HWND, fs::path* file) { return Give(g_answers.fileToOpen, file); }
bool AnswerPictures(HWND, const fs::path&, std::vector<fs::path>* files) {
  *files = g_answers.pictures;
  return !files->empty();
}
bool AnswerSource(HWND, const fs::path&, fs::path* file) { return Give(g_answers.source, file); }
bool AnswerExecutable(HWND, const fs::path& proposed, fs::path* file) {
  g_answers.proposedExecutable = proposed;
  return Give(g_answers.executable, file);
}
bool AnswerColour(HWND, COLORREF* colour) {
  *colour = g_answers.colour;
  return true;
}
bool AnswerShell(HWND, const fs::path& file) {
  g_answers.shellOpened.push_back(file);
  return g_answers.shellOpens;
}
bool AnswerPage(HWND, const fs::path&, fs::path* file) { return Give(g_answers.page, file); }
const AtelierPrompts kPrompts = {AnswerFolder,     AnswerFileToOpen, AnswerPictures, AnswerSource,
                                 AnswerExecutable, AnswerColour,     AnswerShell,    AnswerPage};

struct Found {
  int id;
  HWND window;
};
BOOL CALLBACK FindById(HWND child, LPARAM lParam) {
  Found* found = reinterpret_cast<Found*>(lParam);
  if (GetDlgCtrlID(child) != found->id) return TRUE;
  found->window = child;
  return FALSE;
}

std::vector<uint8_t> FileBytes(const fs::path& file) {
  const std::string bytes = ReadFileBytes(file.string());
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

QuizSource ReadSource(const fs::path& file) {
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(file, &quiz, &issues);
  for (const SourceIssue& issue : issues)
    if (!issue.warning) ADD_FAILURE() << FormatIssue(file.u8string(), issue);
  return quiz;
}

std::vector<ResourceEntry> QuizResourcesOf(const fs::path& executable) {
  const std::vector<uint8_t> bytes = FileBytes(executable);
  std::vector<ResourceEntry> entries, quiz;
  std::string error;
  EXPECT_TRUE(ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) << error;
  for (const ResourceEntry& entry : entries)
    if (IsQuizResource(entry)) quiz.push_back(entry);
  return quiz;
}

MSG KeyMessage(HWND window, UINT message, WPARAM key, LPARAM flags) {
  MSG result = {};
  result.hwnd = window;
  result.message = message;
  result.wParam = key;
  result.lParam = flags;
  return result;
}

// The window as the display shows it, kept with the other test artefacts
// for a look by eye.
void KeepScreenshot(HWND window, const char* name) {
  RECT outer, shown;
  GetWindowRect(window, &outer);
  // Only what is on the display can be read back.
  const RECT display = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  IntersectRect(&shown, &outer, &display);
  outer = shown;
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, outer.left, outer.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::string pixels(static_cast<std::size_t>(stride) * height, '\0');
  GetDIBits(memory, bitmap, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  const fs::path folder = fs::u8path(HostPath(VIDOD_ARTEFACT_DIR));
  fs::create_directories(folder);
  WriteFileBytes((folder / name).string(), std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                                               std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                                               pixels);
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

class AtelierTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_answers = PromptAnswers();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    scratch_ = fs::path(scratchFolder_.path());
    folder_ = scratch_ / L"fleuves";
    fs::create_directories(folder_);
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(HostPath(VIDOD_ATELIER_PICTURES))))
      fs::copy_file(entry.path(), folder_ / entry.path().filename());
    OpenWindow();
  }

  void TearDown() override {
    if (IsWindow(window_)) DestroyWindow(window_);
    Pump();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  }

  void OpenWindow() {
    AtelierSetup setup;
    setup.player = fs::u8path(BuildTreePath("app\\vidod.exe"));
    setup.settingsKey = kSettingsKey;
    setup.prompts = &kPrompts;
    setup.guide = scratch_ / "programme" / "guide-auteur.html";
    window_ = CreateAtelierWindow(GetModuleHandleW(nullptr), setup, SW_SHOWNORMAL);
    ASSERT_NE(window_, nullptr);
    Pump();
  }

  // Every waiting message, through the Atelier's keyboard handling as its
  // own loop does it.
  void Pump() {
    MSG message;
    for (int round = 0; round < 3; ++round) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        if (IsWindow(window_) && TranslateAtelierMessage(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }

  void Command(int id) {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
  }

  // Until the worker threads have drawn, checked and built everything
  // asked, and their outcomes are shown.
  void WaitForWork() {
    for (int round = 0; round < 6000; ++round) {
      Pump();
      if (!AtelierIsWorking(window_)) {
        Pump();
        if (!AtelierIsWorking(window_)) return;
      }
      Sleep(10);
    }
    ADD_FAILURE() << "the Atelier's work did not end";
  }

  HWND Control(int id) {
    Found found = {id, nullptr};
    EnumChildWindows(window_, FindById, reinterpret_cast<LPARAM>(&found));
    EXPECT_NE(found.window, nullptr) << "no control " << id;
    return found.window;
  }

  std::wstring Text(int id) {
    wchar_t text[2048] = L"";
    GetWindowTextW(Control(id), text, 2048);
    return text;
  }

  // As typed: the text set, then the box's change notification to its parent.
  void Type(int id, const std::wstring& text) {
    HWND box = Control(id);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(id, EN_CHANGE), reinterpret_cast<LPARAM>(box));
    Pump();
  }

  void Select(int row) {
    ListView_SetItemState(Control(IDC_QUESTION_LIST), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    WaitForWork();
  }

  int Rows(int listId = IDC_QUESTION_LIST) { return ListView_GetItemCount(Control(listId)); }

  std::wstring Cell(int row, int column, int listId = IDC_QUESTION_LIST) {
    wchar_t text[512] = L"";
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(Control(listId), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  std::vector<std::wstring> Answers() {
    std::vector<std::wstring> answers;
    for (int row = 0; row < Rows(); ++row) answers.push_back(Cell(row, kAnswerColumn));
    return answers;
  }

  // The folder of six pictures; its text file is named as left aside.
  void StartFromFolder() {
    g_answers.folder = folder_;
    MessageBoxCatcher catcher;
    Command(IDM_NEW_FROM_FOLDER);
    WaitForWork();
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "lisez-moi.txt")) << catcher.boxes()[0].text;
    ASSERT_EQ(Rows(), kQuestionCount);
  }

  // Answers and texts of the quiz the build tests use.
  void FillQuiz() {
    Select(0);
    Type(IDC_ANSWER, L"L'Ain");
    Command(IDM_SHOW_QUIZ);
    Type(IDC_TITLE, L"Fleuves de France");
    Type(IDC_AUTHOR, L"Mme Dupr\u00e9");
    Command(IDM_SHOW_CODES);
    Type(IDC_CODE, L"EAU-1");
    Command(IDM_SHOW_QUESTION);
  }

  fs::path Build(const wchar_t* name) {
    g_answers.executable = scratch_ / name;
    MessageBoxCatcher catcher;
    Command(IDM_BUILD);
    WaitForWork();
    EXPECT_EQ(catcher.boxes().size(), 1u);
    for (const CaughtMessageBox& box : catcher.boxes()) EXPECT_TRUE(Contains(box.text, "construit")) << box.text;
    return g_answers.executable;
  }

  // The middle of a row's thumbnail, drawn from the list's images (their
  // bitmap stays selected in the image list's own device context).
  COLORREF ThumbnailMiddle(int row) { return ThumbnailPixel(row, 2); }
  // The pixel in the middle of the thumbnail's width, 1 / at of its height
  // down.
  COLORREF ThumbnailPixel(int row, int at) {
    HIMAGELIST images = ListView_GetImageList(Control(IDC_QUESTION_LIST), LVSIL_SMALL);
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, canvas);
    ImageList_Draw(images, row, memory, 0, 0, ILD_NORMAL);
    const COLORREF middle = GetPixel(memory, width / 2, height / at);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return middle;
  }

  // A folder of photos much larger than the views, all with that orientation.
  fs::path LargePhotos(uint16_t orientation) {
    const fs::path photos = scratch_ / "grandes";
    fs::create_directories(photos);
    const std::vector<uint8_t> photo = OrientedJpeg(2000, 1500, orientation);
    const std::string bytes(photo.begin(), photo.end());
    for (int i = 1; i <= kLargePhotoCount; ++i)
      WriteFileBytes((photos / ("photo-" + std::to_string(i) + ".jpg")).string(), bytes);
    return photos;
  }

  ScratchFolder scratchFolder_;
  fs::path scratch_;
  fs::path folder_;
  HWND window_ = nullptr;
};

TEST_F(AtelierTest, ANewQuizFromAFolderHasOneQuestionPerPictureInNameOrder) {
  StartFromFolder();
  EXPECT_EQ(Answers(), std::vector<std::wstring>(std::begin(kRivers), std::end(kRivers)));
  EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(Control(IDC_QUESTION_LIST), LVSIL_SMALL)), kQuestionCount);
  EXPECT_EQ(Text(IDC_TITLE), L"fleuves");
  EXPECT_EQ(Text(IDC_QUESTION_HEADING), L"Question 1 sur 6");
  EXPECT_EQ(Text(IDC_ANSWER), L"Ain");
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"Ain.jpg");
  // The checks run at once: three letters give no hint in the list view.
  EXPECT_EQ(Cell(0, kRemarksColumn), L"1 avertissement");
  EXPECT_EQ(Cell(1, kRemarksColumn), L"");
  wchar_t caption[256] = L"";
  GetWindowTextW(window_, caption, 256);
  EXPECT_EQ(std::wstring(caption).rfind(L"*fleuves", 0), 0u) << caption;

  // The preview shows the picture as the single-question view does: fitted
  // into 640 x 480, the quiz colour around a picture of another shape.
  Select(5);
  HWND preview = Control(IDC_PREVIEW);
  RECT box;
  GetClientRect(preview, &box);
  HDC dc = GetDC(preview);
  const COLORREF above = GetPixel(dc, box.right / 2, box.bottom / 10);
  const COLORREF band = GetPixel(dc, box.right / 2, box.bottom / 2);
  ReleaseDC(preview, dc);
  EXPECT_EQ(above, RGB(kDefaultRed, kDefaultGreen, kDefaultBlue));
  EXPECT_GT(GetRValue(band) + GetGValue(band) + GetBValue(band), 3 * 230) << std::hex << band;
  Type(IDC_TRY, L"Siene");
  KeepScreenshot(window_, "atelier-main.bmp");
}

TEST_F(AtelierTest, TextsTypedIntoTheFormsAreSavedInTheSource) {
  StartFromFolder();
  Select(4);
  EXPECT_EQ(Text(IDC_ANSWER), L"Rh\u00f4ne");
  Type(IDC_ANSWER, L"le Rh\u00f4ne");
  EXPECT_EQ(Cell(4, kAnswerColumn), L"le Rh\u00f4ne");
  FillQuiz();
  // Enter in the code box goes on to the next score.
  Command(IDM_SHOW_CODES);
  SetFocus(Control(IDC_CODE));
  Command(IDOK);
  EXPECT_EQ(Text(IDC_CODE_LABEL), L"Code du score 2 :");
  Type(IDC_CODE, L"EAU-2");
  EXPECT_EQ(Cell(1, 1, IDC_CODE_LIST), L"EAU-2");

  Command(IDM_SAVE);
  const QuizSource saved = ReadSource(folder_ / "quiz.toml");
  EXPECT_EQ(saved.title, "Fleuves de France");
  EXPECT_EQ(saved.author, "Mme Dupr\xE9");
  ASSERT_EQ(saved.questions.size(), 6u);
  EXPECT_EQ(saved.questions[0].answer, "L'Ain");
  EXPECT_EQ(saved.questions[4].answer, "le Rh\xF4ne");
  EXPECT_EQ(saved.questions[4].image, u8"Rh\u00f4ne.png");
  ASSERT_EQ(saved.codes.size(), 2u);
  EXPECT_EQ(saved.codes[1].text, "EAU-2");
  wchar_t caption[256] = L"";
  GetWindowTextW(window_, caption, 256);
  EXPECT_EQ(caption[0], L'F') << caption;

  // Saved elsewhere, the source names the same pictures from there.
  g_answers.source = scratch_ / "copie" / "quiz.toml";
  Command(IDM_SAVE_AS);
  const QuizSource copy = ReadSource(g_answers.source);
  ASSERT_EQ(copy.questions.size(), 6u);
  EXPECT_EQ(copy.questions[0].image, "../fleuves/Ain.jpg");
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"../fleuves/Ain.jpg");

  // Both are recent quizzes, the last saved first, by title and place.
  HMENU file = GetSubMenu(GetMenu(window_), 0);
  HMENU recent = nullptr;
  for (int i = 0; i < GetMenuItemCount(file) && !recent; ++i) recent = GetSubMenu(file, i);
  const fs::path recentFiles[] = {g_answers.source, folder_ / "quiz.toml"};
  for (int i = 0; i < 2; ++i) {
    wchar_t entry[MAX_PATH + 80] = L"";
    GetMenuStringW(recent, i, entry, MAX_PATH + 80, MF_BYPOSITION);
    EXPECT_TRUE(Contains(entry, recentFiles[i].wstring())) << entry;
    EXPECT_TRUE(Contains(entry, L"Fleuves de France \u2014 ")) << entry;
  }
}

TEST_F(AtelierTest, ARemarkAppearsBesideTheQuestionAndGoesWhenFixed) {
  StartFromFolder();
  Select(2);
  struct Case {
    const wchar_t* typed;
    const wchar_t* mark;    // beside the answer box
    const wchar_t* remark;  // in the question's remarks; nullptr: none at all
  };
  const Case cases[] = {
      // A blank the player never takes off the expected answer.
      {L"Loire ", L"Attention", L"blanc"},
      // The same answer as question 1 solves both.
      {L"AIN", L"Attention", L"question 1"},
      // A character the player's code page lacks.
      {L"\u0141\u00f3d\u017a", L"Erreur", L"U+0141 \u00ab \u0141 \u00bb, au d\u00e9but du texte"},
      // A no-break space that no key types.
      {L"la\u00a0Loire", L"Attention", L"clavier"},
      // Mended.
      {L"Loire", L"", nullptr},
  };
  for (const Case& c : cases) {
    Type(IDC_ANSWER, c.typed);
    EXPECT_EQ(Text(IDC_ANSWER_MARK), c.mark) << c.typed;
    if (c.remark)
      EXPECT_TRUE(Contains(Text(IDC_QUESTION_REMARKS), c.remark)) << Text(IDC_QUESTION_REMARKS);
    else
      EXPECT_EQ(Text(IDC_QUESTION_REMARKS), L"");
    EXPECT_EQ(Cell(2, kRemarksColumn).empty(), c.remark == nullptr) << Cell(2, kRemarksColumn);
  }

  // The answers are rewritten as a keyboard types them.
  Type(IDC_ANSWER, L"la\u00a0Loire");
  {
    MessageBoxCatcher catcher;
    Command(IDM_CORRECT_ANSWERS);
    EXPECT_EQ(catcher.boxes().size(), 1u);
  }
  EXPECT_EQ(Text(IDC_ANSWER), L"la Loire");
  EXPECT_EQ(Text(IDC_ANSWER_MARK), L"");

  // A text the source could not keep is not saved, and says which and why.
  Type(IDC_ANSWER, L"L\u00f3d\u017a");
  {
    MessageBoxCatcher catcher;
    Command(IDM_SAVE);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    const std::wstring& told = catcher.boxes()[0].wideText;
    EXPECT_TRUE(Contains(told, L"question 3, r\u00e9ponse attendue : le caract\u00e8re U+017A \u00ab \u017a \u00bb, "
                               L"apr\u00e8s \u00ab L\u00f3d \u00bb"))
        << catcher.boxes()[0].text;
    EXPECT_TRUE(Contains(told, L"Rien n'a \u00e9t\u00e9 \u00e9crit")) << catcher.boxes()[0].text;
  }
  EXPECT_FALSE(fs::exists(folder_ / "quiz.toml"));
  EXPECT_EQ(Text(IDC_ANSWER), L"L\u00f3d\u017a");
}

TEST_F(AtelierTest, TryingAnAnswerGivesTheVerdictOfEachView) {
  StartFromFolder();
  struct Case {
    int question;
    const wchar_t* tried;
    const wchar_t* single;  // the single-question view
    const wchar_t* list;    // the list view
  };
  const Case cases[] = {
      {2, L"  loire ", L"BRAVO", L"BRAVO"},
      {2, L"Loir", L"Quasiment", L"Quasiment"},
      {4, L"Rhone", L"Quasiment", L"Quasiment"},
      {0, L"Ai", L"Quasiment", L"FAUX"},  // three letters or fewer: no hints in the list view
      {1, L"Garonne, bien s\u00fbr", L"Trop long", L"Trop long"},
      {1, L"   ", L"?", L"?"},  // blanks only: what the player calls empty
      {1, L"", L"", L""},       // nothing tried, nothing judged
  };
  for (const Case& c : cases) {
    Select(c.question);
    Type(IDC_TRY, c.tried);
    EXPECT_EQ(Text(IDC_SINGLE_VERDICT), c.single) << c.tried;
    EXPECT_EQ(Text(IDC_LIST_VERDICT), c.list) << c.tried;
  }
  // The verdict follows the expected answer as it is typed.
  Select(2);
  Type(IDC_TRY, L"Loir");
  Type(IDC_ANSWER, L"Loir");
  EXPECT_EQ(Text(IDC_SINGLE_VERDICT), L"BRAVO");
  // Another question, or another quiz, starts with nothing tried.
  Select(3);
  EXPECT_EQ(Text(IDC_TRY), L"");
  EXPECT_EQ(Text(IDC_SINGLE_VERDICT), L"");
  Type(IDC_TRY, L"Meuse");
  g_answers.folder = folder_;
  {
    MessageBoxCatcher catcher;
    catcher.AnswerInTurn({IDNO});  // the changes are not saved
    Command(IDM_NEW_FROM_FOLDER);
    WaitForWork();
  }
  EXPECT_EQ(Text(IDC_TRY), L"");
  EXPECT_EQ(Text(IDC_LIST_VERDICT), L"");
}

// The codes page has a row per question as soon as questions come or go.
TEST_F(AtelierTest, TheCodesPageFollowsTheQuestions) {
  StartFromFolder();
  Command(IDM_SHOW_CODES);
  EXPECT_EQ(Rows(IDC_CODE_LIST), kQuestionCount);
  const fs::path more = scratch_ / "plus";
  fs::create_directories(more);
  fs::copy_file(folder_ / "Loire.jpg", more / "Cher.jpg");
  fs::copy_file(folder_ / "Meuse.png", more / "Allier.png");
  g_answers.pictures = {more / "Cher.jpg", more / "Allier.png"};
  Command(IDM_ADD_PICTURES);
  WaitForWork();
  EXPECT_EQ(Rows(IDC_CODE_LIST), kQuestionCount + 2);
  {
    MessageBoxCatcher catcher(IDYES);
    Command(IDM_REMOVE_QUESTION);
  }
  EXPECT_EQ(Rows(), kQuestionCount + 1);
  EXPECT_EQ(Rows(IDC_CODE_LIST), kQuestionCount + 1);
}

// What the author cannot do with a question is said when it is asked: a
// GIF does not turn, a quiz that shows no reveal text says where it is
// switched on, and a text typed there is kept.
TEST_F(AtelierTest, WhatCannotBeDoneIsSaidAtOnce) {
  StartFromFolder();
  // A 1 x 1 GIF.
  const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF,
                               0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C,
                               0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00,
                               0x3B};
  WriteFileBytes((folder_ / "Yonne.gif").string(), std::string(reinterpret_cast<const char*>(gif), sizeof gif));
  Select(kQuestionCount - 1);
  g_answers.pictures = {folder_ / "Yonne.gif"};
  Command(IDM_ADD_PICTURES);
  WaitForWork();
  ASSERT_EQ(Text(IDC_PICTURE_NAME), L"Yonne.gif");
  {
    MessageBoxCatcher catcher;
    Command(IDM_ROTATE_RIGHT);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "Enregistrez-la en PNG")) << catcher.boxes()[0].text;
  }
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"Yonne.gif");
  EXPECT_EQ(Text(IDC_PICTURE_MARK), L"");

  // The quiz shows no reveal text.
  HWND reveal = Control(IDC_REVEAL);
  EXPECT_TRUE(IsWindowEnabled(reveal));
  wchar_t cue[256] = L"";
  SendMessageW(reveal, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(cue), 256);
  EXPECT_TRUE(Contains(cue, L"page Quiz")) << cue;
  Type(IDC_REVEAL, L"affluent de la Seine");
  EXPECT_TRUE(Contains(Text(IDC_QUESTION_REMARKS), L"onglet Quiz")) << Text(IDC_QUESTION_REMARKS);
  EXPECT_EQ(Text(IDC_REVEAL), L"affluent de la Seine");
}

// The picture dialogs list every picture the Atelier takes, and no clutter.
TEST(AtelierPictureFilesTest, TheDialogsListEveryFormatTaken) {
  for (const wchar_t* name : {L"IMG_2034.HEIC", L"cathedrale-chartres.webp", L"photo.avif", L"Sacr\u00e9-C\u0153ur.JPG",
                              L"Louvre (2).jpeg", L"drapeau fran\u00e7ais.png", L"m\u00e9tro.gif", L"plan.bmp"})
    EXPECT_TRUE(PathMatchSpecW(name, kPictureFilePattern)) << name;
  for (const wchar_t* name : {L"Thumbs.db", L"desktop.ini", L"film.MOV", L"notes.docx"})
    EXPECT_FALSE(PathMatchSpecW(name, kPictureFilePattern)) << name;
}

// A second answer per question brings its boxes, its trial and its label
// checks; going back to one asks before the second answers go.
TEST_F(AtelierTest, TwoAnswersPerQuestion) {
  StartFromFolder();
  const auto chooseAnswerCount = [this](int index) {
    Command(IDM_SHOW_QUIZ);
    HWND combo = Control(IDC_ANSWER_COUNT);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(IDC_ANSWER_COUNT, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    Pump();
    Command(IDM_SHOW_QUESTION);
  };
  EXPECT_FALSE(GetWindowLongPtrW(Control(IDC_ANSWER2), GWL_STYLE) & WS_VISIBLE);
  chooseAnswerCount(1);
  EXPECT_TRUE(IsWindowVisible(Control(IDC_ANSWER2)));
  EXPECT_TRUE(IsWindowVisible(Control(IDC_TRY2)));
  EXPECT_EQ(Text(IDC_LABEL1_MARK), L"Attention");  // an empty label leaves the player guessing
  Select(2);
  Type(IDC_ANSWER2, L"Atlantique");
  EXPECT_EQ(Cell(2, kAnswerColumn), L"Loire  /  Atlantique");
  Type(IDC_TRY, L"Loire");
  Type(IDC_TRY2, L"Atlantiqe");
  EXPECT_EQ(Text(IDC_SINGLE_VERDICT), L"BRAVO");
  EXPECT_EQ(Text(IDC_LIST_VERDICT), L"BRAVO");
  EXPECT_EQ(Text(IDC_LIST_VERDICT2), L"Quasiment");

  for (int answer : {IDNO, IDYES}) {
    MessageBoxCatcher catcher(answer);
    chooseAnswerCount(0);
    EXPECT_EQ(catcher.boxes().size(), 1u);
  }
  EXPECT_EQ(Cell(2, kAnswerColumn), L"Loire");
  EXPECT_FALSE(IsWindowVisible(Control(IDC_ANSWER2)));
  Command(IDM_SAVE);
  EXPECT_EQ(ReadSource(folder_ / "quiz.toml").answersPerQuestion, 1);
}

TEST_F(AtelierTest, TheBuiltQuizLoadsInThePlayerWithTheTypedAnswers) {
  StartFromFolder();
  FillQuiz();
  Command(IDM_SHOW_QUIZ);
  Type(IDC_LINK, L"https://ecole.example/fleuves");
  // Built, its folder opened on request.
  g_answers.executable = scratch_ / L"fleuves.exe";
  {
    MessageBoxCatcher catcher(IDYES);
    Command(IDM_BUILD);
    WaitForWork();
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "Ouvrir le dossier")) << catcher.boxes()[0].text;
  }
  EXPECT_EQ(g_answers.shellOpened, std::vector<fs::path>{scratch_});
  const fs::path executable = g_answers.executable;
  EXPECT_EQ(g_answers.proposedExecutable, folder_ / L"Fleuves de France.exe");
  // The source was saved with it.
  EXPECT_EQ(ReadSource(folder_ / "quiz.toml").title, "Fleuves de France");

  HMODULE module = LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  PlayerDocument* document = CreatePlayerDocument();
  ASSERT_NE(document, nullptr);
  MessageBoxCatcher catcher;
  QuizResourceLoader(document, module);
  EXPECT_TRUE(catcher.boxes().empty());
  const QuizDocument* quiz = document->quiz;
  EXPECT_STREQ(quiz->title, "Fleuves de France");
  EXPECT_STREQ(quiz->author, "Mme Dupr\xE9");
  ASSERT_EQ(quiz->questionCount, kQuestionCount);
  EXPECT_STREQ(QuestionAt(quiz, 0)->expectedAnswer1, "L'Ain");
  EXPECT_STREQ(QuestionAt(quiz, 4)->expectedAnswer1, "Rh\xF4ne");
  EXPECT_STREQ(quiz->rewardCodes[0], "EAU-1");
  EXPECT_STREQ(quiz->homeLink, "https://ecole.example/fleuves");
  // JPEG as "IMG", PNG as raw data, where the player looks for them.
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(401), L"IMG"), nullptr);
  EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(402), MAKEINTRESOURCEW(10)), nullptr);
  DestroyPlayerDocument(document);
  FreeLibrary(module);
}

TEST_F(AtelierTest, ExportingAPageWritesTheQuizAsOneWebPage) {
  StartFromFolder();
  FillQuiz();
  g_answers.page = scratch_ / L"fleuves.html";
  MessageBoxCatcher catcher;
  Command(IDM_EXPORT_PAGE);
  WaitForWork();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(Contains(catcher.boxes()[0].text, "page web est faite")) << catcher.boxes()[0].text;
  const std::string page = ReadFileBytes(g_answers.page.string());
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<title>Fleuves de France</title>"), std::string::npos);
  EXPECT_EQ(ReadSource(folder_ / "quiz.toml").title, "Fleuves de France");
}

// A quiz built here opens its own source; taken apart instead, it gets a
// new folder beside it whose source says where it came from, and which the
// Atelier saves without a word about comments it wrote itself.
TEST_F(AtelierTest, ABuiltQuizOffersItsSourceOrANewOneBesideIt) {
  StartFromFolder();
  FillQuiz();
  const fs::path executable = Build(L"fleuves.exe");
  g_answers.foldersAsked = 0;
  const fs::path copied = scratch_ / L"cle" / L"fleuves.exe";  // carried on a stick, say
  fs::create_directories(copied.parent_path());
  fs::copy_file(executable, copied);
  g_answers.fileToOpen = copied;
  {
    MessageBoxCatcher catcher(IDYES);
    Command(IDM_OPEN);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].wideText, (folder_ / "quiz.toml").wstring())) << catcher.boxes()[0].text;
  }
  EXPECT_EQ(Text(IDC_TITLE), L"Fleuves de France");
  EXPECT_FALSE(fs::exists(copied.parent_path() / L"Fleuves de France"));

  // "Non": taken apart into a new folder beside it, named after the quiz.
  const fs::path beside = copied.parent_path() / L"Fleuves de France";
  {
    MessageBoxCatcher catcher;
    catcher.AnswerInTurn({IDNO, IDYES});
    Command(IDM_OPEN);
    ASSERT_EQ(catcher.boxes().size(), 3u);
    EXPECT_TRUE(Contains(catcher.boxes()[1].wideText, beside.wstring())) << catcher.boxes()[1].text;
    EXPECT_TRUE(Contains(catcher.boxes()[2].text, "d\xE9" "fait")) << catcher.boxes()[2].text;
  }
  EXPECT_EQ(g_answers.foldersAsked, 0);
  EXPECT_EQ(Rows(), kQuestionCount);
  EXPECT_EQ(Cell(0, kAnswerColumn), L"L'Ain");
  const QuizSource original = ReadSource(folder_ / "quiz.toml");
  const QuizSource reopened = ReadSource(beside / "quiz.toml");
  EXPECT_EQ(WriteAnswersBlob(reopened), WriteAnswersBlob(original));
  EXPECT_EQ(WriteCodesBlob(reopened), WriteCodesBlob(original));
  const std::string source = ReadFileBytes((beside / "quiz.toml").string());
  EXPECT_TRUE(Contains(source, "d\xC3\xA9" "fait par Vidod Atelier")) << source.substr(0, 400);
  EXPECT_TRUE(Contains(source, copied.u8string().c_str())) << source.substr(0, 400);
  // Edited and saved: no question about comments, and the origin stays.
  Type(IDC_ANSWER, L"Ain");
  {
    MessageBoxCatcher catcher;
    Command(IDM_SAVE);
    EXPECT_TRUE(catcher.boxes().empty()) << catcher.boxes()[0].text;
  }
  EXPECT_TRUE(Contains(ReadFileBytes((beside / "quiz.toml").string()), copied.u8string().c_str()));

  // Picking a folder that holds a quiz, then "Non", asks for another.
  g_answers.folder = beside;
  const std::string before = ReadFileBytes((beside / "quiz.toml").string());
  {
    MessageBoxCatcher catcher(IDCANCEL);
    catcher.AnswerInTurn({IDNO, IDNO, IDNO});
    Command(IDM_OPEN);
    EXPECT_EQ(catcher.boxes().size(), 4u);
  }
  EXPECT_EQ(g_answers.foldersAsked, 2);
  EXPECT_EQ(ReadFileBytes((beside / "quiz.toml").string()), before);
  EXPECT_TRUE(IsWindowVisible(Control(IDC_TABS)));
}

// Other answers typed beside an answer and a tolerance checked on the quiz
// page: tried with the answer they match named, read by the player from the
// built quiz, opened back from it and built again into the same bytes.
TEST_F(AtelierTest, OtherAnswersAndTolerancesGoIntoTheQuizAndComeBackOut) {
  StartFromFolder();
  FillQuiz();
  Select(4);
  ASSERT_EQ(Text(IDC_ANSWER), L"Rh\u00f4ne");
  Type(IDC_OTHERS, L" le Rh\u00f4ne ;fleuve Rh\u00f4ne ; ");
  Command(IDM_SHOW_QUIZ);
  SendMessageW(Control(IDC_TOLERATE_ACCENTS), BM_CLICK, 0, 0);
  Pump();
  Command(IDM_SHOW_QUESTION);
  Type(IDC_TRY, L"LE RHONE");
  EXPECT_EQ(Text(IDC_SINGLE_VERDICT), L"BRAVO \u2014 r\u00e9ponse reconnue : \u00ab le Rh\u00f4ne \u00bb");
  Type(IDC_TRY, L"fleuve rhon");
  EXPECT_EQ(Text(IDC_LIST_VERDICT),
            L"Quasiment \u2014 r\u00e9ponse la plus proche : \u00ab fleuve Rh\u00f4ne \u00bb");
  Select(2);
  Type(IDC_TRY, L"Loir");  // a box of one answer: the verdict alone
  EXPECT_EQ(Text(IDC_SINGLE_VERDICT), L"Quasiment");
  const fs::path executable = Build(L"fleuves.exe");

  HMODULE module = LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  PlayerDocument* document = CreatePlayerDocument();
  {
    MessageBoxCatcher loading;
    QuizResourceLoader(document, module);
    EXPECT_TRUE(loading.boxes().empty());
  }
  EXPECT_EQ(document->quiz->tolerances, 1);
  const char* others = QuestionAt(document->quiz, 4)->otherAnswers[0];
  ASSERT_NE(others, nullptr);
  EXPECT_STREQ(others, "le Rh\xF4ne");
  EXPECT_STREQ(others + std::strlen(others) + 1, "fleuve Rh\xF4ne");
  DestroyPlayerDocument(document);
  FreeLibrary(module);

  g_answers.fileToOpen = executable;
  g_answers.folder = scratch_ / L"d\u00e9fait";
  fs::create_directories(g_answers.folder);
  {
    // Not its source, nor a folder beside it: a second source where the
    // author says, then the window says where it came from.
    MessageBoxCatcher catcher;
    catcher.AnswerInTurn({IDNO, IDNO});
    Command(IDM_OPEN);
    EXPECT_EQ(catcher.boxes().size(), 3u);
  }
  Select(4);
  EXPECT_EQ(Text(IDC_OTHERS), L"le Rh\u00f4ne ; fleuve Rh\u00f4ne");
  Command(IDM_SHOW_QUIZ);
  EXPECT_EQ(SendMessageW(Control(IDC_TOLERATE_ACCENTS), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(SendMessageW(Control(IDC_TOLERATE_ARTICLES), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Command(IDM_SHOW_QUESTION);
  EXPECT_EQ(FileBytes(Build(L"second.exe")), FileBytes(executable));
}

// A two-answer quiz opened as the window's first quiz shows its second box,
// its other answers and its trial, each in a place of its own.
TEST_F(AtelierTest, ATwoAnswerQuizOpenedFirstShowsItsSecondBox) {
  const fs::path source = folder_ / "quiz.toml";
  WriteFileBytes(source.string(), "libelles = [\"Fleuve\", \"Mer\"]\n[[question]]\nreponse = \"Loire\"\n"
                                  "reponse2 = [\"Atlantique\", \"oc\u00e9an Atlantique\"]\n");
  g_answers.fileToOpen = source;
  Command(IDM_OPEN);
  EXPECT_EQ(Text(IDC_OTHERS2), L"oc\u00e9an Atlantique");
  RECT previous;
  GetWindowRect(Control(IDC_OTHERS), &previous);
  for (int id : {IDC_ANSWER2, IDC_OTHERS2, IDC_REVEAL}) {
    RECT place;
    GetWindowRect(Control(id), &place);
    EXPECT_TRUE(IsWindowVisible(Control(id))) << id;
    EXPECT_GT(place.right - place.left, 0) << id;
    EXPECT_GE(place.top, previous.bottom) << id;
    previous = place;
  }
  EXPECT_TRUE(IsWindowVisible(Control(IDC_TRY2)));
  Type(IDC_TRY2, L"ocean atlantique");
  EXPECT_EQ(Text(IDC_LIST_VERDICT2),
            L"Quasiment \u2014 r\u00e9ponse la plus proche : \u00ab oc\u00e9an Atlantique \u00bb");
}

// An executable carrying 2 000 stray pictures opens with a message that
// fits the screen: the first warnings listed, the rest counted.
TEST_F(AtelierTest, StrayResourcesOfAnOpenedExecutableAreToldInABoxThatFitsTheScreen) {
  StartFromFolder();
  FillQuiz();
  const std::vector<uint8_t> built = FileBytes(Build(L"fleuves.exe"));
  std::vector<ResourceEntry> entries;
  std::string error;
  ASSERT_TRUE(ReadPeResources(built.data(), built.size(), &entries, &error)) << error;
  for (uint16_t id = 1000; id < 3000; ++id) {
    ResourceEntry stray;
    stray.type = ResourceName::Text(kPictureType);
    stray.name = ResourceName::Number(id);
    stray.data = {'G', 'I', 'F', '8', '9', 'a'};
    entries.push_back(stray);
  }
  std::vector<uint8_t> crowded;
  ASSERT_TRUE(ReplacePeResources(built, entries, &crowded, &error)) << error;
  g_answers.fileToOpen = scratch_ / L"encombre.exe";
  WriteFileBytes(g_answers.fileToOpen.string(), std::string(crowded.begin(), crowded.end()));
  MessageBoxCatcher catcher(IDYES);
  Command(IDM_OPEN);
  ASSERT_EQ(catcher.boxes().size(), 2u);
  const CaughtMessageBox& box = catcher.boxes()[1];
  EXPECT_TRUE(Contains(box.text, "1995 autres ressources")) << box.text;
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(box.rect.bottom - box.rect.top, work.bottom - work.top) << box.text;
  EXPECT_EQ(Text(IDC_TITLE), L"Fleuves de France");
  // The source's comment is unpack's, not the author's: saving asks nothing.
  MessageBoxCatcher saving;
  Command(IDM_SAVE);
  EXPECT_TRUE(saving.boxes().empty()) << saving.boxes()[0].text;
}

// Pictures larger than the views go in reduced, in both.
TEST_F(AtelierTest, ASourceSavedByTheAtelierBuildsIntoTheSameResourcesWithVidodMake) {
  StartFromFolder();
  FillQuiz();
  Command(IDM_SHOW_QUIZ);
  g_answers.colour = RGB(40, 90, 160);
  Command(IDM_CHOOSE_COLOUR);
  const fs::path large = folder_ / "Loire-grande.jpg";
  fs::copy_file(fs::u8path(HostPath(VIDOD_ATELIER_LARGE_PICTURE)), large);
  Select(2);
  g_answers.pictures = {large};
  Command(IDM_CHANGE_PICTURE);
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"Loire-grande.jpg");
  const fs::path executable = Build(L"atelier.exe");
  const ProgramRun run = RunProgram("\"" + BuildTreePath("maker\\vidod-make.exe") + "\" build quiz.toml -o " +
                                        "..\\vidod-make.exe --lecteur \"" + BuildTreePath("app\\vidod.exe") + "\"",
                                    folder_.string());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::vector<ResourceEntry> atelier = QuizResourcesOf(executable);
  const std::vector<ResourceEntry> tool = QuizResourcesOf(scratch_ / "vidod-make.exe");
  ASSERT_EQ(atelier.size(), tool.size());
  ASSERT_EQ(atelier.size(), 2u + kQuestionCount);
  for (std::size_t i = 0; i < atelier.size(); ++i) {
    EXPECT_EQ(atelier[i].type, tool[i].type) << i;
    EXPECT_EQ(atelier[i].name, tool[i].name) << i;
    EXPECT_TRUE(atelier[i].data == tool[i].data) << DescribeResourceName(atelier[i].name);
  }
  const std::vector<uint8_t> original = FileBytes(large);
  EXPECT_LT(atelier[2 + 2].data.size(), original.size() / 2);
}

TEST_F(AtelierTest, ClosingWithUnsavedChangesAsks) {
  StartFromFolder();
  struct Case {
    int answer;
    bool stays;
    bool saved;
  };
  const Case cases[] = {{IDCANCEL, true, false}, {IDNO, false, false}, {IDYES, false, true}};
  for (const Case& c : cases) {
    if (!IsWindow(window_)) {
      OpenWindow();
      StartFromFolder();
    }
    MessageBoxCatcher catcher(c.answer);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(catcher.boxes().size(), 1u) << c.answer;
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "modifications non enregistr")) << catcher.boxes()[0].text;
    EXPECT_EQ(IsWindow(window_) != FALSE, c.stays) << c.answer;
    EXPECT_EQ(fs::exists(folder_ / "quiz.toml"), c.saved) << c.answer;
  }
}

TEST_F(AtelierTest, QuestionsMoveAndGoWithTheKeyboardAndTheMouse) {
  StartFromFolder();
  HWND list = Control(IDC_QUESTION_LIST);
  Select(0);
  // Alt+Down, as the keyboard sends it.
  BYTE state[256] = {};
  state[VK_MENU] = 0x80;
  SetKeyboardState(state);
  MSG key = KeyMessage(list, WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
  EXPECT_TRUE(TranslateAtelierMessage(window_, &key));
  state[VK_MENU] = 0;
  SetKeyboardState(state);
  Pump();
  EXPECT_EQ(Answers()[0], L"Garonne");
  EXPECT_EQ(Answers()[1], L"Ain");
  EXPECT_EQ(Text(IDC_ANSWER), L"Ain");

  // Seine dragged onto the first row.
  NMLISTVIEW drag = {};
  drag.hdr = {list, IDC_QUESTION_LIST, LVN_BEGINDRAG};
  drag.iItem = 5;
  SendMessageW(window_, WM_NOTIFY, IDC_QUESTION_LIST, reinterpret_cast<LPARAM>(&drag));
  RECT first;
  ListView_GetItemRect(list, 0, &first, LVIR_BOUNDS);
  POINT drop = {first.left + 10, (first.top + first.bottom) / 2};
  MapWindowPoints(list, window_, &drop, 1);
  SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(drop.x, drop.y));
  SendMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
  Pump();
  EXPECT_EQ(Answers()[0], L"Seine");
  EXPECT_EQ(Text(IDC_QUESTION_HEADING), L"Question 1 sur 6");

  // Delete in the list asks, then removes.
  for (int answer : {IDNO, IDYES}) {
    MessageBoxCatcher catcher(answer);
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
    Pump();
    EXPECT_EQ(catcher.boxes().size(), 1u);
  }
  EXPECT_EQ(Rows(), kQuestionCount - 1);
  EXPECT_EQ(Answers()[0], L"Garonne");
}

// Every shortcut that a menu entry shows reaches that entry's command.
TEST_F(AtelierTest, EveryMenuShortcutGivesItsCommand) {
  StartFromFolder();
  // A step to undo and one to redo.
  Type(IDC_ANSWER, L"L'Ain");
  Command(IDM_SHOW_QUIZ);
  Type(IDC_TITLE, L"Fleuves");
  Command(IDM_UNDO);
  Command(IDM_SHOW_QUESTION);
  Select(2);  // a question with others above and below: every entry is usable
  static std::vector<int> received;
  const auto recorder = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_COMMAND) received.push_back(LOWORD(wParam));
    return message == WM_COMMAND ? 0 : DefWindowProcW(window, message, wParam, lParam);
  };
  const auto original =
      SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(static_cast<WNDPROC>(recorder)));
  const struct {
    const wchar_t* name;
    WORD key;
  } kKeys[] = {{L"Suppr", VK_DELETE},       {L"Haut", VK_UP},      {L"Bas", VK_DOWN}, {L"Tab", VK_TAB},
               {L"Pg.Pr\u00e9c", VK_PRIOR}, {L"Pg.Suiv", VK_NEXT}, {L"F1", VK_F1},    {L"F5", VK_F5}};
  int checked = 0;
  HMENU bar = GetMenu(window_);
  for (int top = 0; top < GetMenuItemCount(bar); ++top) {
    HMENU popup = GetSubMenu(bar, top);
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
      wchar_t text[256] = L"";
      GetMenuStringW(popup, i, text, 256, MF_BYPOSITION);
      const std::wstring entry = text;
      const std::size_t tab = entry.find(L'\t');
      if (entry.empty() || GetSubMenu(popup, i)) continue;
      EXPECT_NE(entry.find(L'&'), std::wstring::npos) << "no access key: " << text;
      if (tab == std::wstring::npos || entry.substr(tab + 1) == L"Alt+F4") continue;
      std::wstring shortcut = entry.substr(tab + 1);
      BYTE state[256] = {};
      bool alt = false;
      for (std::size_t plus; (plus = shortcut.find(L'+')) != std::wstring::npos; shortcut.erase(0, plus + 1)) {
        const std::wstring modifier = shortcut.substr(0, plus);
        if (modifier == L"Ctrl")
          state[VK_CONTROL] = 0x80;
        else if (modifier == L"Maj")
          state[VK_SHIFT] = 0x80;
        else if (modifier == L"Alt")
          alt = true, state[VK_MENU] = 0x80;
        else
          ADD_FAILURE() << "modifier " << text;
      }
      WORD key = shortcut.size() == 1 ? static_cast<WORD>(shortcut[0]) : 0;
      for (const auto& named : kKeys)
        if (shortcut == named.name) key = named.key;
      ASSERT_NE(key, 0) << text;
      SetKeyboardState(state);
      MSG message =
          KeyMessage(Control(IDC_QUESTION_LIST), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | (alt ? (1 << 29) : 0));
      received.clear();
      EXPECT_TRUE(TranslateAtelierMessage(window_, &message)) << text;
      EXPECT_EQ(received, std::vector<int>{static_cast<int>(GetMenuItemID(popup, i))}) << text;
      ++checked;
    }
  }
  BYTE released[256] = {};
  SetKeyboardState(released);
  SetWindowLongPtrW(window_, GWLP_WNDPROC, original);
  EXPECT_GE(checked, 20);

  // A label's access key reaches the box it names; Tab leaves the remarks,
  // which take no keys.
  const struct {
    int from;
    UINT message;
    WPARAM key;
    int to;
  } moves[] = {{IDC_QUESTION_LIST, WM_SYSCHAR, 'r', IDC_ANSWER}, {IDC_QUESTION_REMARKS, WM_KEYDOWN, VK_TAB, IDC_TRY}};
  for (const auto& move : moves) {
    SetFocus(Control(move.from));
    MSG key = KeyMessage(Control(move.from), move.message, move.key, 1 | (move.message == WM_SYSCHAR ? 1 << 29 : 0));
    EXPECT_TRUE(TranslateAtelierMessage(window_, &key));
    EXPECT_EQ(GetFocus(), Control(move.to)) << move.to;
  }
}

TEST_F(AtelierTest, DroppingAFolderStartsAQuizAndDroppingPicturesAddsQuestions) {
  const auto dropFiles = [this](const std::vector<fs::path>& paths) {
    std::wstring list;
    for (const fs::path& path : paths) list += path.wstring() + L'\0';
    list += L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    DROPFILES* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    SendMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    Pump();
  };
  {
    MessageBoxCatcher catcher;
    dropFiles({folder_});
  }
  ASSERT_EQ(Rows(), kQuestionCount);
  Select(1);
  const fs::path more = scratch_ / "plus";
  fs::create_directories(more);
  fs::copy_file(folder_ / "Loire.jpg", more / "Cher.jpg");
  fs::copy_file(folder_ / "Meuse.png", more / "Allier.png");
  dropFiles({more / "Cher.jpg", more / "Allier.png"});
  // After the selected question, in name order, named from the source's folder.
  EXPECT_EQ(Answers(), (std::vector<std::wstring>{L"Ain", L"Garonne", L"Allier", L"Cher", L"Loire", L"Meuse",
                                                  L"Rh\u00f4ne", L"Seine"}));
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"../plus/Allier.png");
}

// Sources whose content the model could not keep whole are not opened:
// saving them from the Atelier would lose what it did not read.
TEST_F(AtelierTest, NothingOfASourceIsLostByOpeningAndSavingIt) {
  const struct {
    const char* source;
    const char* told;  // in the message
  } cases[] = {
      // Not TOML: its line, and the reading stopped there.
      {"titre = \"Fleuves\n", "ligne 1 : syntaxe TOML"},
      {"titre = \"Fleuves\"\n\n[[question]]\nreponse = \"Loire\"\nimage = \"C:\\Users\\Prof\\Loire.jpg\"\n",
       "ligne 5 : "},
      // A key the model does not know.
      {"titre = \"Fleuves\"\ncouleurs = [1, 2, 3]\n", "ligne 2 : \xAB couleurs \xBB"},
      // A value of the wrong type.
      {"titre = 12\n", "titre"},
      // A number glued to a text holding "é": the parser would trap on it.
      {"titre = 7\"\xC3\xA9\"\n", "un nombre et un texte coll"},
      // A second answer on one question only.
      {"[[question]]\nreponse = \"A\"\nreponse2 = \"B\"\n[[question]]\nreponse = \"C\"\n", "reponse2"},
  };
  const fs::path file = folder_ / "quiz.toml";
  for (const auto& c : cases) {
    WriteFileBytes(file.string(), c.source);
    g_answers.fileToOpen = file;
    MessageBoxCatcher catcher;
    Command(IDM_OPEN);
    ASSERT_EQ(catcher.boxes().size(), 1u) << c.source;
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, c.told)) << catcher.boxes()[0].text;
    // Mended in a text editor: no command to type, no promise of a list.
    EXPECT_FALSE(Contains(catcher.boxes()[0].text, "vidod-make")) << catcher.boxes()[0].text;
    EXPECT_FALSE(IsWindowVisible(Control(IDC_TABS))) << c.source;
  }
  // A missing picture is kept, and marked; comments written by hand are
  // not dropped without asking.
  const std::string source = "# mes notes\n[[question]]\nreponse = \"Loire\"\nimage = \"absente.jpg\"\n";
  WriteFileBytes(file.string(), source);
  Command(IDM_OPEN);
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"absente.jpg");
  EXPECT_EQ(Text(IDC_PICTURE_MARK), L"Erreur");
  Type(IDC_ANSWER, L"La Loire");
  MessageBoxCatcher catcher(IDNO);
  Command(IDM_SAVE);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(Contains(catcher.boxes()[0].text, "commentaires")) << catcher.boxes()[0].text;
  EXPECT_EQ(ReadFileBytes(file.string()), source);
}

TEST_F(AtelierTest, TheTestCommandStartsTheQuizOutsideTheSourceFolder) {
  StartFromFolder();
  Command(IDM_SHOW_QUIZ);
  Type(IDC_TITLE, L"Essai de l'Atelier");
  Command(IDM_TEST_QUIZ);
  WaitForWork();
  HWND player = nullptr;
  for (int tick = 0; tick < 300 && !player; ++tick) {
    player = FindWindowA(kPlayerClass, "Essai de l'Atelier");
    if (!player) Sleep(100);
  }
  ASSERT_NE(player, nullptr);
  DWORD processId = 0;
  GetWindowThreadProcessId(player, &processId);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  ASSERT_NE(process, nullptr);
  wchar_t image[MAX_PATH] = L"";
  DWORD length = MAX_PATH;
  QueryFullProcessImageNameW(process, 0, image, &length);
  const fs::path testFolder = fs::path(image).parent_path();
  PostMessageA(player, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
  // The player's progress file went to the test's own folder, which goes
  // with the Atelier.
  EXPECT_TRUE(fs::exists(testFolder / L"Essai de l'Atelier.txt")) << testFolder;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_))
    EXPECT_NE(entry.path().extension(), L".exe") << entry.path();
  DestroyWindow(window_);
  EXPECT_FALSE(fs::exists(testFolder)) << testFolder;
}

TEST_F(AtelierTest, TheProgramOpensTheQuizNamedOnItsCommandLine) {
  const fs::path source = folder_ / "quiz.toml";
  WriteFileBytes(source.string(), "titre = \"Ligne de commande\"\n[[question]]\nreponse = \"Loire\"\n");
  std::wstring line =
      L"\"" + fs::u8path(BuildTreePath("atelier\\vidod-atelier.exe")).wstring() + L"\" \"" + source.wstring() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(
      CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, scratch_.c_str(), &startup, &process));
  HWND window = nullptr;
  for (int tick = 0; tick < 300 && !window; ++tick) {
    window = FindWindowW(L"VidodAtelier", L"Ligne de commande \u2014 Vidod Atelier");
    if (!window) Sleep(100);
  }
  EXPECT_NE(window, nullptr);
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

TEST_F(AtelierTest, AChangeOfDpiScalesTheWindow) {
  StartFromFolder();
  const auto height = [this](int id) {
    RECT rect;
    GetWindowRect(Control(id), &rect);
    return rect.bottom - rect.top;
  };
  const int before = height(IDC_ANSWER);
  RECT outer;
  GetWindowRect(window_, &outer);
  RECT suggested = {outer.left, outer.top, outer.left + (outer.right - outer.left) * 3 / 2,
                    outer.top + (outer.bottom - outer.top) * 3 / 2};
  SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  Pump();
  int width = 0, tall = 0;
  HIMAGELIST images = ListView_GetImageList(Control(IDC_QUESTION_LIST), LVSIL_SMALL);
  ImageList_GetIconSize(images, &width, &tall);
  EXPECT_EQ(width, 96);
  EXPECT_GT(tall, 72);
  // Each thumbnail has the list's colour above and below it: the pictures
  // of neighbouring rows do not touch.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, width, tall);
  HGDIOBJ old = SelectObject(memory, canvas);
  ImageList_Draw(images, 0, memory, 0, 0, ILD_NORMAL);
  EXPECT_EQ(GetPixel(memory, width / 2, 0), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(GetPixel(memory, width / 2, tall - 1), GetSysColor(COLOR_WINDOW));
  EXPECT_NE(GetPixel(memory, width / 2, tall / 4), GetSysColor(COLOR_WINDOW));
  SelectObject(memory, old);
  DeleteObject(canvas);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_GE(height(IDC_ANSWER) * 10, before * 14);
  KeepScreenshot(window_, "atelier-144dpi.bmp");
}

// The quarter of the upright picture seen at the middle of each quarter of
// a picture of width x height fitted into the view, read by colour.
template <typename Read>
std::vector<int> QuartersSeen(int width, int height, Read read) {
  std::vector<int> seen;
  for (int quarter = 0; quarter < 4; ++quarter) {
    const int x = width / 4 + (quarter % 2) * width / 2, y = height / 4 + (quarter / 2) * height / 2;
    const COLORREF colour = read(x, y);
    seen.push_back(QuarterOf(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
  }
  return seen;
}

const std::vector<int> kUprightQuarters = {0, 1, 2, 3};
// The upright picture after a quarter turn clockwise: bottom-left comes top-left.
const std::vector<int> kTurnedQuarters = {2, 0, 3, 1};

// The preview's quarters, the 640 x 480 view stretched into the control.
std::vector<int> PreviewQuarters(HWND preview, int width, int height) {
  RECT box;
  GetClientRect(preview, &box);
  const double scale = std::min(640.0 / width, 480.0 / height);
  const int shownWidth = static_cast<int>(width * scale), shownHeight = static_cast<int>(height * scale);
  HDC dc = GetDC(preview);
  const std::vector<int> seen = QuartersSeen(shownWidth, shownHeight, [&](int x, int y) {
    return GetPixel(dc, (x + (640 - shownWidth) / 2) * box.right / 640, (y + (480 - shownHeight) / 2) * box.bottom / 480);
  });
  ReleaseDC(preview, dc);
  return seen;
}

// The player's own loader on the built quiz: the bitmap of question k.
std::vector<int> PlayerQuarters(HMODULE module, int question) {
  HBITMAP bitmap = LoadPicture(module, 401 + question, "IMG", 640, 480);
  if (!bitmap) return {};
  BITMAP info = {};
  GetObjectW(bitmap, sizeof info, &info);
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = info.bmWidth;
  header.biHeight = -info.bmHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
  return QuartersSeen(info.bmWidth, info.bmHeight, [&](int x, int y) {
    const uint32_t bgr = pixels[static_cast<std::size_t>(y) * info.bmWidth + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
  });
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
  WriteFileBytes(file.string(), std::string(bytes.begin(), bytes.end()));
}

// A photo taken upright in each of the eight ways a camera stores one: the
// preview shows it upright, the built quiz stores it upright for the
// player, and the author's quarter turn is kept in the source.
TEST_F(AtelierTest, PhotosShowUprightWhateverTheirOrientation) {
  const fs::path photos = scratch_ / "photos";
  fs::create_directories(photos);
  for (uint16_t orientation = 1; orientation <= 8; ++orientation)
    WriteBytes(photos / ("photo-" + std::to_string(orientation) + ".jpg"), OrientedJpeg(64, 32, orientation));
  g_answers.folder = photos;
  Command(IDM_NEW_FROM_FOLDER);
  WaitForWork();
  ASSERT_EQ(Rows(), 8);
  for (int row = 0; row < 8; ++row) {
    Select(row);
    EXPECT_EQ(PreviewQuarters(Control(IDC_PREVIEW), 64, 32), kUprightQuarters) << "orientation " << row + 1;
  }
  Select(0);
  Command(IDM_ROTATE_RIGHT);
  WaitForWork();
  EXPECT_EQ(PreviewQuarters(Control(IDC_PREVIEW), 32, 64), kTurnedQuarters);
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"photo-1.jpg (tourn\u00e9e de 90\u00b0)");
  Command(IDM_ROTATE_LEFT);
  Command(IDM_ROTATE_LEFT);
  Command(IDM_ROTATE_RIGHT);
  Command(IDM_ROTATE_RIGHT);
  WaitForWork();
  EXPECT_EQ(PreviewQuarters(Control(IDC_PREVIEW), 32, 64), kTurnedQuarters);

  const fs::path executable = Build(L"photos.exe");
  EXPECT_EQ(ReadSource(photos / "quiz.toml").questions[0].rotation, 90);
  HMODULE module = LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(PlayerQuarters(module, 0), kTurnedQuarters);
  for (int question = 1; question < 8; ++question)
    EXPECT_EQ(PlayerQuarters(module, question), kUprightQuarters) << "orientation " << question + 1;
  FreeLibrary(module);
}

// What a phone or a web page gives: decoded where this Windows can, and
// otherwise named with the way to a JPEG, before any build.
TEST_F(AtelierTest, PicturesWindowsCannotDecodeAreToldWithTheWayToAJpeg) {
  // An iPhone photo cut short after its brands; a WebP cut after its header.
  WriteFileBytes((folder_ / "Somme.heic").string(),
                 std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24) + std::string(300, 'x'));
  WriteFileBytes((folder_ / "Tarn.webp").string(),
                 std::string("RIFF\x40\0\0\0WEBPVP8L", 16) + std::string(60, '\x01'));
  g_answers.folder = folder_;
  {
    MessageBoxCatcher catcher;
    Command(IDM_NEW_FROM_FOLDER);
    WaitForWork();
  }
  ASSERT_EQ(Rows(), kQuestionCount + 2);
  const struct {
    int row;
    const char* advice;
  } cases[] = {{6, "Le plus compatible"}, {7, "en JPEG"}};
  for (const auto& c : cases) {
    Select(c.row);
    const std::wstring remarks = Text(IDC_QUESTION_REMARKS);
    EXPECT_EQ(Text(IDC_PICTURE_MARK), L"Erreur") << c.row;
    EXPECT_TRUE(Contains(remarks, WideFromUtf8(c.advice))) << remarks;
  }
  // Building is refused with the same words; nothing is written.
  g_answers.executable = scratch_ / L"refus\u00e9.exe";
  MessageBoxCatcher refusal;
  Command(IDM_BUILD);
  WaitForWork();
  ASSERT_EQ(refusal.boxes().size(), 1u);
  EXPECT_TRUE(Contains(refusal.boxes()[0].text, "Somme.heic")) << refusal.boxes()[0].text;
  EXPECT_FALSE(fs::exists(g_answers.executable));
}

// A folder of large photos: the list is there at once, the pictures come
// from the worker threads while the window goes on answering, and opening
// another quiz drops what was left of the work.
TEST_F(AtelierTest, AFolderOfLargePhotosListsAtOnceAndTheWindowKeepsAnswering) {
  g_answers.folder = LargePhotos(6);
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_NEW_FROM_FOLDER, 0), 0);
  // The rows are filled before any picture is drawn.
  ASSERT_EQ(Rows(), kLargePhotoCount);
  EXPECT_TRUE(AtelierIsWorking(window_));
  EXPECT_EQ(Cell(0, kAnswerColumn), L"photo-1");
  // The last row's picture is drawn last: it still shows the quiz colour.
  EXPECT_EQ(ThumbnailMiddle(kLargePhotoCount - 1), RGB(kDefaultRed, kDefaultGreen, kDefaultBlue));

  // Another thread sends a message now and then; each is answered while
  // the pictures are drawn.
  std::atomic<bool> done{false}, ended{false};
  std::atomic<unsigned> longest{0}, answered{0};
  std::thread prober([&] {
    while (!done) {
      const ULONGLONG start = GetTickCount64();
      DWORD_PTR result = 0;
      if (SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) ++answered;
      longest = std::max<unsigned>(longest, static_cast<unsigned>(GetTickCount64() - start));
      Sleep(20);
    }
    ended = true;
  });
  WaitForWork();
  done = true;
  // A message sent as the work ended is still answered: this thread is the
  // window's, and waiting for the prober without reading messages would
  // hold the last one until its time-out.
  while (!ended) {
    Pump();
    Sleep(1);
  }
  prober.join();
  std::printf("messages answered while the pictures were drawn: %u, longest wait %u ms\n", answered.load(),
              longest.load());
  EXPECT_GT(answered.load(), 0u);
  EXPECT_LT(longest.load(), 1000u);  // about 100 ms meant; generous for a loaded machine
  // Every thumbnail drawn: the middle of each is the photo, not the quiz colour.
  for (int row = 0; row < kLargePhotoCount; ++row) {
    const COLORREF middle = ThumbnailMiddle(row);
    EXPECT_NE(middle, RGB(kDefaultRed, kDefaultGreen, kDefaultBlue)) << row;
    EXPECT_NE(middle, CLR_INVALID) << row;
  }

  // Opened again and straight away left for another quiz: what was queued
  // for the first is dropped, the second shows its own.
  {
    MessageBoxCatcher catcher(IDNO);
    Command(IDM_NEW_FROM_FOLDER);
    g_answers.folder = folder_;
    Command(IDM_NEW_FROM_FOLDER);
    WaitForWork();
  }
  EXPECT_EQ(Answers(), std::vector<std::wstring>(std::begin(kRivers), std::end(kRivers)));
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"Ain.jpg");
}

// Stopped while it runs, a build leaves no executable and no temporary file.
TEST_F(AtelierTest, ACancelledBuildLeavesNoFile) {
  g_answers.folder = LargePhotos(1);
  Command(IDM_NEW_FROM_FOLDER);
  WaitForWork();
  g_answers.executable = scratch_ / "annule.exe";
  MessageBoxCatcher catcher;
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_BUILD, 0), 0);
  EXPECT_TRUE(AtelierIsWorking(window_));
  SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDM_CANCEL_BUILD, 0), 0);
  WaitForWork();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(Contains(catcher.boxes()[0].text, "arr\xEAt\xE9" "e")) << catcher.boxes()[0].text;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(scratch_))
    EXPECT_NE(entry.path().extension(), L".exe") << entry.path();
  for (const fs::directory_entry& entry : fs::directory_iterator(scratch_))
    EXPECT_EQ(entry.path().filename().wstring().find(L"annule"), std::wstring::npos) << entry.path();
}

// A key pressed as the keyboard sends it, with the modifiers held.
void PressKeys(HWND atelier, HWND target, std::initializer_list<int> held, WPARAM key) {
  BYTE state[256] = {};
  for (int modifier : held) state[modifier] = 0x80;
  SetKeyboardState(state);
  const bool alt = state[VK_MENU] != 0;
  MSG message = KeyMessage(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | (alt ? 1 << 29 : 0));
  if (!TranslateAtelierMessage(atelier, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  BYTE released[256] = {};
  SetKeyboardState(released);
}

std::wstring Caption(HWND window) {
  wchar_t caption[256] = L"";
  GetWindowTextW(window, caption, 256);
  return caption;
}

// A question deleted and a question moved, each undone and redone through
// the Édition menu and its keys; undoing back to the saved quiz clears the
// mark of changes.
TEST_F(AtelierTest, UndoAndRedoOfADeletionAndOfAReorder) {
  StartFromFolder();
  Command(IDM_SAVE);
  const std::vector<std::wstring> saved = Answers();
  HWND list = Control(IDC_QUESTION_LIST);
  Select(2);
  for (int answer : {IDNO, IDYES}) {
    MessageBoxCatcher catcher(answer);
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, VK_DELETE, 1);
    Pump();
    if (answer == IDNO) {
      EXPECT_EQ(GetFocus(), list) << "after Non";
    }
  }
  ASSERT_EQ(Rows(), kQuestionCount - 1);
  EXPECT_EQ(Caption(window_)[0], L'*');
  // The keys stay in the list, on the question that took the removed one's place.
  EXPECT_EQ(GetFocus(), list);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 2);
  PressKeys(window_, list, {VK_CONTROL}, 'Z');
  Pump();
  EXPECT_EQ(Answers(), saved);
  EXPECT_EQ(Text(IDC_QUESTION_HEADING), L"Question 3 sur 6");
  EXPECT_EQ(Text(IDC_ANSWER), L"Loire");
  EXPECT_NE(Caption(window_)[0], L'*') << Caption(window_);
  PressKeys(window_, list, {VK_CONTROL}, 'Y');
  Pump();
  EXPECT_EQ(Rows(), kQuestionCount - 1);
  EXPECT_EQ(Caption(window_)[0], L'*');
  Command(IDM_UNDO);

  // Moved down with Alt+Down, back with the menu's Annuler, again with Rétablir.
  Select(0);
  PressKeys(window_, list, {VK_MENU}, VK_DOWN);
  Pump();
  EXPECT_EQ(Answers()[1], L"Ain");
  Command(IDM_UNDO);
  EXPECT_EQ(Answers(), saved);
  EXPECT_EQ(Text(IDC_ANSWER), L"Ain");
  Command(IDM_REDO);
  EXPECT_EQ(Answers()[0], L"Garonne");
  EXPECT_EQ(Text(IDC_QUESTION_HEADING), L"Question 2 sur 6");

  // What is typed in one box is one step; the box shows the text undone.
  Type(IDC_ANSWER, L"A");
  Type(IDC_ANSWER, L"Ai");
  Type(IDC_ANSWER, L"L'Ain");
  PressKeys(window_, Control(IDC_ANSWER), {VK_CONTROL}, 'Z');
  Pump();
  EXPECT_EQ(Text(IDC_ANSWER), L"Ain");
  EXPECT_EQ(Cell(1, kAnswerColumn), L"Ain");
  // The quiz's settings too. A new colour shows at once: the photos keep
  // their thumbnails, which no colour changes.
  WaitForWork();
  Command(IDM_SHOW_QUIZ);
  g_answers.colour = RGB(40, 90, 160);
  Command(IDM_CHOOSE_COLOUR);
  EXPECT_EQ(Text(IDC_COLOUR_VALUE), L"rouge 40, vert 90, bleu 160");
  const COLORREF ain = ThumbnailPixel(1, kAboveTheBand);  // a JPEG: drawn the same on any colour
  EXPECT_GT(GetRValue(ain), 150) << std::hex << ain;
  Command(IDM_UNDO);
  EXPECT_EQ(Text(IDC_COLOUR_VALUE), L"rouge 90, vert 95, bleu 150");
}

// The quiz's folder renamed while it is open: saving asks where, and never
// makes the old folder again.
TEST_F(AtelierTest, ASourceWhoseFolderHasGoneIsSavedWhereTheAuthorSays) {
  StartFromFolder();
  Command(IDM_SAVE);
  Type(IDC_ANSWER, L"L'Ain");
  const fs::path renamed = scratch_ / L"fleuves 2024";
  ASSERT_TRUE(MoveFileW(folder_.c_str(), renamed.c_str()));
  {
    // Cancelled: nothing written anywhere, the quiz still open as it was.
    MessageBoxCatcher catcher;
    Command(IDM_SAVE);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "n'existe plus")) << catcher.boxes()[0].text;
  }
  EXPECT_FALSE(fs::exists(folder_));
  EXPECT_EQ(Text(IDC_ANSWER), L"L'Ain");
  // The old source is there, in the renamed folder: it is this quiz's,
  // replaced without a question.
  g_answers.source = renamed / "quiz.toml";
  {
    MessageBoxCatcher catcher;
    Command(IDM_SAVE);
    EXPECT_EQ(catcher.boxes().size(), 1u);
  }
  EXPECT_FALSE(fs::exists(folder_));
  const QuizSource saved = ReadSource(renamed / "quiz.toml");
  ASSERT_EQ(saved.questions.size(), 6u);
  EXPECT_EQ(saved.questions[0].answer, "L'Ain");
  // The pictures moved with the folder: their names stay as they were.
  EXPECT_EQ(saved.questions[0].image, "Ain.jpg");
  WaitForWork();
  EXPECT_EQ(Text(IDC_PICTURE_MARK), L"");
  EXPECT_NE(Caption(window_)[0], L'*');
}

// Saved on a USB key, or with a picture added from elsewhere, the quiz
// offers to take its pictures into its folder; a picture left where it is
// is not asked about again.
TEST_F(AtelierTest, PicturesOutsideTheQuizsFolderAreOfferedACopyInIt) {
  StartFromFolder();
  const fs::path downloads = scratch_ / L"T\u00e9l\u00e9chargements";
  fs::create_directories(downloads);
  fs::copy_file(folder_ / "Loire.jpg", downloads / "IMG_2101.JPG");
  g_answers.pictures = {downloads / "IMG_2101.JPG"};
  Command(IDM_ADD_PICTURES);
  WaitForWork();
  {
    MessageBoxCatcher catcher(IDNO);
    Command(IDM_SAVE);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].wideText, L"IMG_2101.JPG")) << catcher.boxes()[0].text;
    Command(IDM_SAVE);
    EXPECT_EQ(catcher.boxes().size(), 1u);
  }
  const fs::path key = scratch_ / L"Cl\u00e9 USB";
  fs::create_directories(key);
  g_answers.source = key / "quiz.toml";
  {
    MessageBoxCatcher catcher(IDYES);
    Command(IDM_SAVE_AS);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, "7 images")) << catcher.boxes()[0].text;
  }
  const QuizSource saved = ReadSource(key / "quiz.toml");
  ASSERT_EQ(saved.questions.size(), 7u);
  for (const QuestionSource& question : saved.questions) {
    EXPECT_EQ(question.image.find('/'), std::string::npos) << question.image;
    EXPECT_TRUE(fs::exists(key / fs::u8path(question.image))) << question.image;
  }
  EXPECT_EQ(Text(IDC_PICTURE_NAME), L"IMG_2101.JPG");
}

// Files that are no quiz: one plain message, before any other question.
TEST_F(AtelierTest, AFileThatIsNoQuizIsToldInOneMessage) {
  StartFromFolder();
  FillQuiz();
  const std::vector<uint8_t> built = FileBytes(Build(L"fleuves.exe"));
  Type(IDC_ANSWER, L"Ain de l'Ain");  // a change, which would be asked about
  g_answers.foldersAsked = 0;
  const std::string player = ReadFileBytes(BuildTreePath("app\\vidod.exe"));
  // The quiz's answers: their bytes garbled, or the file cut in their middle.
  std::vector<ResourceEntry> entries;
  std::string error;
  ASSERT_TRUE(ReadPeResources(built.data(), built.size(), &entries, &error)) << error;
  const std::vector<uint8_t>& answers = FindQuizResources(entries, 0).answers->data;
  const std::size_t at = std::search(built.begin(), built.end(), answers.begin(), answers.end()) - built.begin();
  ASSERT_LT(at, built.size());
  std::string garbled(built.begin(), built.end());
  garbled.replace(at, answers.size(), answers.size(), '\xFF');
  const struct {
    const wchar_t* name;
    std::string bytes;
    const char* told;
  } cases[] = {
      {L"jeu.exe", "MZ" + std::string(400, '\x90'), "n'est pas un quiz Vidod"},
      {L"lecteur.exe", player, "n'est pas un quiz Vidod"},  // the player alone carries no quiz
      {L"lettre.pdf", "%PDF-1.4\n" + std::string(200, '\0'), "n'est pas un quiz Vidod"},
      {L"notes.txt", "Pour lundi : les fleuves.\r\n", "n'est pas un quiz Vidod"},
      {L"coupe.exe", std::string(built.begin(), built.begin() + at + answers.size() / 2), "endommag"},
      {L"abime.exe", garbled, "endommag"},
  };
  for (const auto& c : cases) {
    g_answers.fileToOpen = scratch_ / c.name;
    WriteFileBytes(g_answers.fileToOpen.string(), c.bytes);
    MessageBoxCatcher catcher;
    Command(IDM_OPEN);
    ASSERT_EQ(catcher.boxes().size(), 1u) << g_answers.fileToOpen;
    EXPECT_TRUE(Contains(catcher.boxes()[0].text, c.told)) << catcher.boxes()[0].text;
    EXPECT_FALSE(Contains(catcher.boxes()[0].text, "PATCH")) << catcher.boxes()[0].text;
    EXPECT_FALSE(Contains(catcher.boxes()[0].text, "UTF-8")) << catcher.boxes()[0].text;
  }
  EXPECT_EQ(g_answers.foldersAsked, 0);
  EXPECT_EQ(Text(IDC_ANSWER), L"Ain de l'Ain");
}

// The middle of the preview, where every test picture shows its colour.
COLORREF PreviewMiddle(HWND preview) {
  RECT box;
  GetClientRect(preview, &box);
  HDC dc = GetDC(preview);
  const COLORREF middle = GetPixel(dc, box.right / 2, box.bottom / 3);
  ReleaseDC(preview, dc);
  return middle;
}

// Until the Atelier has seen the change: it looks at the files twice a
// second (the bound is only there so that a fault ends the test).
template <typename Seen>
bool SeenSoon(Seen seen, const std::function<void()>& pump) {
  for (int tick = 0; tick < 1000; ++tick) {
    pump();
    if (seen()) return true;
    Sleep(10);
  }
  return false;
}

// A picture replaced, removed and put back while the quiz is open: its
// preview, thumbnail and remarks follow within a second.
TEST_F(AtelierTest, APictureChangedOnDiskIsShownAgain) {
  StartFromFolder();
  Select(0);
  HWND preview = Control(IDC_PREVIEW);
  const COLORREF ain = PreviewMiddle(preview);
  const COLORREF loire = RGB(0x30, 0xa0, 0x40);
  const auto close = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
               std::abs(GetBValue(a) - GetBValue(b)) <
           40;
  };
  ASSERT_TRUE(close(ain, RGB(0xc0, 0x30, 0x30))) << std::hex << ain;
  const auto pump = [this] { WaitForWork(); };
  const fs::path file = folder_ / "Ain.jpg";
  const std::string original = ReadFileBytes(file.string());
  // Replaced at once: the time of last change may well read the same second.
  WriteFileBytes(file.string(), ReadFileBytes((folder_ / "Loire.jpg").string()));
  EXPECT_TRUE(SeenSoon([&] { return close(PreviewMiddle(preview), loire); }, pump));
  EXPECT_TRUE(close(ThumbnailPixel(0, kAboveTheBand), loire)) << std::hex << ThumbnailPixel(0, kAboveTheBand);

  fs::remove(file);
  EXPECT_TRUE(SeenSoon([&] { return Text(IDC_PICTURE_MARK) == L"Erreur"; }, pump));
  EXPECT_TRUE(Contains(Text(IDC_QUESTION_REMARKS), L"introuvable")) << Text(IDC_QUESTION_REMARKS);
  EXPECT_EQ(PreviewMiddle(preview), RGB(kDefaultRed, kDefaultGreen, kDefaultBlue));

  WriteFileBytes(file.string(), original);
  EXPECT_TRUE(SeenSoon([&] { return close(PreviewMiddle(preview), ain); }, pump));
  EXPECT_EQ(Text(IDC_PICTURE_MARK), L"");
}

// F1 hands the guide's web page to the shell; a guide missing, or one that
// nothing opens, is told.
TEST_F(AtelierTest, F1OpensTheGuideWebPage) {
  const fs::path guide = scratch_ / "programme" / "guide-auteur.html";
  {
    MessageBoxCatcher catcher;
    PressKeys(window_, window_, {}, VK_F1);
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_TRUE(Contains(catcher.boxes()[0].wideText, guide.wstring())) << catcher.boxes()[0].text;
  }
  EXPECT_TRUE(g_answers.shellOpened.empty());
  fs::create_directories(guide.parent_path());
  WriteFileBytes(guide.string(), "<html></html>");
  {
    MessageBoxCatcher catcher;
    PressKeys(window_, window_, {}, VK_F1);
    EXPECT_TRUE(catcher.boxes().empty());
  }
  EXPECT_EQ(g_answers.shellOpened, std::vector<fs::path>{guide});
  g_answers.shellOpens = false;
  MessageBoxCatcher catcher;
  PressKeys(window_, window_, {}, VK_F1);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_TRUE(Contains(catcher.boxes()[0].text, "ne s'ouvre pas")) << catcher.boxes()[0].text;
}

// The guide made at build time beside the program: one page whose pictures
// are beside it.
TEST_F(AtelierTest, TheGuidePageIsBesideTheProgramWithItsPictures) {
  const fs::path folder = fs::u8path(BuildTreePath("atelier"));
  const std::string page = ReadFileBytes((folder / "guide-auteur.html").string());
  ASSERT_TRUE(Contains(page, "<meta charset=\"utf-8\">")) << page.substr(0, 200);
  EXPECT_TRUE(Contains(page, "<table>"));
  int pictures = 0;
  for (std::size_t at = page.find("src=\""); at != std::string::npos; at = page.find("src=\"", at + 1)) {
    const std::string name = page.substr(at + 5, page.find('"', at + 5) - at - 5);
    EXPECT_TRUE(fs::exists(folder / fs::u8path(name))) << name;
    ++pictures;
  }
  EXPECT_GE(pictures, 4);
}

// The access keys of what shows together: the menu bar's and those of the
// list and the page shown, each letter once.
std::vector<wchar_t> AccessKeys(HWND window, HWND page) {
  std::vector<wchar_t> keys;
  const auto add = [&keys](const std::wstring& text) {
    const std::size_t at = text.find(L'&');
    if (at != std::wstring::npos && at + 1 < text.size()) keys.push_back(static_cast<wchar_t>(towupper(text[at + 1])));
  };
  HMENU bar = GetMenu(window);
  for (int i = 0; i < GetMenuItemCount(bar); ++i) {
    wchar_t text[64] = L"";
    GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
    add(text);
  }
  for (HWND parent : {window, page})
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t className[32] = L"";
      GetClassNameW(child, className, 32);
      const bool labelled = lstrcmpiW(className, WC_STATICW) == 0 || lstrcmpiW(className, WC_BUTTONW) == 0;
      if (labelled && IsWindowVisible(child) && !(GetWindowLongPtrW(child, GWL_STYLE) & SS_NOPREFIX)) {
        wchar_t text[256] = L"";
        GetWindowTextW(child, text, 256);
        add(text);
      }
    }
  return keys;
}

// Every access key goes to one place: Alt+A to the Affichage menu, never to
// a button; Ctrl+1, 2, 3 put the focus where typing goes; a question clicked
// in the list shows its page from any page.
TEST_F(AtelierTest, EachKeyGoesToOnePlace) {
  StartFromFolder();
  Command(IDM_SHOW_QUIZ);
  HWND count = Control(IDC_ANSWER_COUNT);
  SendMessageW(count, CB_SETCURSEL, 1, 0);  // two boxes: every row of the question page shows
  SendMessageW(GetParent(count), WM_COMMAND, MAKEWPARAM(IDC_ANSWER_COUNT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(count));
  Pump();
  const struct {
    int page;
    int command;
    int focus;
  } pages[] = {{IDC_TRY, IDM_SHOW_QUESTION, IDC_ANSWER}, {IDC_TITLE, IDM_SHOW_QUIZ, IDC_TITLE},
               {IDC_CODE, IDM_SHOW_CODES, IDC_CODE}};
  for (const auto& page : pages) {
    SetFocus(Control(IDC_QUESTION_LIST));
    Command(page.command);
    EXPECT_EQ(GetFocus(), Control(page.focus)) << page.command;
    std::vector<wchar_t> keys = AccessKeys(window_, GetParent(Control(page.page)));
    EXPECT_GE(keys.size(), 7u);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end())
        << "access key used twice on the page of " << page.command << ": "
        << static_cast<char>(*std::adjacent_find(keys.begin(), keys.end()));
  }

  // A click on a question of the list, from the codes page.
  HWND list = Control(IDC_QUESTION_LIST);
  RECT row;
  ListView_GetItemRect(list, 3, &row, LVIR_LABEL);
  const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
  PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(list, WM_LBUTTONUP, 0, at);
  Pump();
  EXPECT_TRUE(IsWindowVisible(Control(IDC_ANSWER)));
  EXPECT_EQ(Text(IDC_QUESTION_HEADING), L"Question 4 sur 6");
}

// Whether the text of a label, a button or a check box shows whole in it.
bool ShowsItsTextWhole(HWND control) {
  wchar_t text[512] = L"";
  GetWindowTextW(control, text, 512);
  if (!text[0]) return true;
  RECT box;
  GetClientRect(control, &box);
  const LONG style = GetWindowLongPtrW(control, GWL_STYLE);
  wchar_t className[32] = L"";
  GetClassNameW(control, className, 32);
  const bool button = lstrcmpiW(className, WC_BUTTONW) == 0;
  const bool check = button && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  if (check) box.right -= GetSystemMetrics(SM_CXMENUCHECK) + 4;
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  RECT needed = {0, 0, box.right, 0};
  // Labels wrap their words, as do buttons that say so; a cut word or line
  // shows as a text taller or wider than its control.
  const bool lines = !button || (style & BS_MULTILINE);
  DrawTextW(dc, text, -1, &needed, DT_CALCRECT | (lines ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return needed.right <= box.right && needed.bottom <= box.bottom;
}

// At 100 % on a 1366 x 768 screen and at 150 % on a 1280 x 1024 one, no
// label, button or answer is cut, and the boxes take the width there is.
TEST_F(AtelierTest, NothingIsCutOnTheScreensOfASchool) {
  StartFromFolder();
  Select(0);
  Type(IDC_ANSWER, L"l'Arc de Triomphe de l'\u00c9toile");
  Command(IDM_SHOW_QUIZ);
  Type(IDC_LINK, L"https://ecole-jules-ferry.example/cm2");
  g_answers.colour = RGB(0, 0, 0);
  Command(IDM_CHOOSE_COLOUR);
  const struct {
    UINT dpi;
    int width, height;  // the work area: the screen less a task bar
    const char* screenshot;
  } screens[] = {{96, 1366, 728, "atelier-1366x768-100.bmp"}, {144, 1280, 964, "atelier-1280x1024-150.bmp"}};
  for (const auto& screen : screens) {
    RECT suggested = {0, 0, screen.width, screen.height};
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(screen.dpi, screen.dpi), reinterpret_cast<LPARAM>(&suggested));
    WaitForWork();
    for (int command : {IDM_SHOW_QUESTION, IDM_SHOW_QUIZ, IDM_SHOW_CODES}) {
      Command(command);
      for (HWND parent : {window_, GetParent(Control(command == IDM_SHOW_QUESTION ? IDC_ANSWER
                                                     : command == IDM_SHOW_QUIZ   ? IDC_TITLE
                                                                                  : IDC_CODE))}) {
        RECT area;
        GetClientRect(parent, &area);
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
          if (!IsWindowVisible(child) || (GetWindowLongPtrW(child, GWL_STYLE) & SS_PATHELLIPSIS)) continue;
          wchar_t className[32] = L"";
          GetClassNameW(child, className, 32);
          RECT place;
          GetWindowRect(child, &place);
          MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
          EXPECT_LE(place.right, area.right) << screen.dpi << " " << GetDlgCtrlID(child);
          if (lstrcmpiW(className, WC_STATICW) == 0 || lstrcmpiW(className, WC_BUTTONW) == 0) {
            EXPECT_TRUE(ShowsItsTextWhole(child)) << screen.dpi << " dpi: " << GetDlgCtrlID(child);
          }
        }
      }
      if (command == IDM_SHOW_QUIZ) {
        // The boxes stretch to the page's right, less their marks.
        HWND page = GetParent(Control(IDC_TITLE));
        RECT title, area;
        GetWindowRect(Control(IDC_TITLE), &title);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&title), 2);
        GetClientRect(page, &area);
        EXPECT_GT(title.right, area.right - MulDiv(120, screen.dpi, 96)) << screen.dpi;
      }
    }
    // The list shows the longest answer whole.
    HWND list = Control(IDC_QUESTION_LIST);
    const std::wstring longest = Cell(0, kAnswerColumn);
    const int needed =
        static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(longest.c_str())));
    EXPECT_LE(needed + 12, ListView_GetColumnWidth(list, kAnswerColumn)) << screen.dpi;
    Command(IDM_SHOW_QUESTION);
    KeepScreenshot(window_, screen.screenshot);
  }
}

}  // namespace
}  // namespace vidod::testing
