#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr int kNextId = 9905;
constexpr int kScoreLabelId = 32;

class ProgressFileTest : public PlayerTest {
 protected:
  std::string Slot(int i) const { return g_document->quiz->answerSlots[i]; }
  std::string ListBox(int i) const { return ControlText(g_shell.listView, kFirstListBoxId - 1 + i); }
  void Restart(const char* quiz) {
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
    StartPlayerOn(quiz);
  }
};

TEST_F(ProgressFileTest, ThreeAnswersTypedInTheSingleViewMakeFifteenBytes) {
  StartPlayerOn("views_capitals");
  HWND view = g_shell.singleView;
  SetText(view, kAnswerBoxId, "Paris");
  Click(view, kNextId);
  Click(view, kNextId);
  SetText(view, kAnswerBoxId, "Rome");
  PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(RunMessageLoop(), 0);
  const std::string saved = ReadFileBytes(ProgressPath());
  EXPECT_EQ(saved, "Paris\r\n\r\nRome\r\n");
  EXPECT_EQ(saved.size(), 15u);

  Restart("views_capitals");
  EXPECT_EQ(Slot(0), "Paris");
  EXPECT_EQ(Slot(1), "");
  EXPECT_EQ(Slot(2), "Rome");
  EXPECT_EQ(ListBox(1), "Paris");
  EXPECT_EQ(ListBox(3), "Rome");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 2 / 3");
}

// Odd and damaged files, each read by both views of a three-question quiz.
TEST_F(ProgressFileTest, ReadsOddFilesIntoBothViewsAlike) {
  const std::string longLine(300, 'a');
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> answers;
  } cases[] = {
      // No file at all: the first run.
      {"missing", "", {"", "", ""}},
      // A line ends at its first CR; what stands before the LF is dropped.
      {"CR without LF", std::string("ab\rcd\r\nef\r\n"), {"ab", "ef", ""}},
      // LF alone ends no line: the whole text is the first answer.
      {"LF only", "Paris\nBerlin\n", {"Paris\nBerlin\n", "", ""}},
      // The last line needs no CR LF.
      {"no final CR LF", "Paris\r\n\r\nRome", {"Paris", "", "Rome"}},
      // Lines beyond the answers are ignored.
      {"longer", "a\r\nb\r\nc\r\nd\r\ne\r\n", {"a", "b", "c"}},
      // A shorter file leaves the other answers empty.
      {"shorter", "Paris\r\n", {"Paris", "", ""}},
      // Bytes are kept as typed, code page 1252 included.
      {"accents", "\xC9t\xE9\r\n\xAB x \xBB\r\n\r\n", {"\xC9t\xE9", "\xAB x \xBB", ""}},
      // A line longer than an answer holds is cut to 259 characters, and
      // the next line is still the next answer.
      {"too long", longLine + "\r\nBerlin\r\n", {longLine.substr(0, 259), "Berlin", ""}},
  };
  for (const auto& c : cases) {
    if (c.what != std::string("missing")) WriteFileBytes(ProgressPath(), c.bytes);
    StartPlayerOn("views_capitals");
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Slot(i), c.answers[i]) << c.what << " slot " << i;
      // A one-line box keeps no line break; everything else is as read.
      if (c.answers[i].find('\n') == std::string::npos) {
        EXPECT_EQ(ListBox(i + 1), c.answers[i]) << c.what << " box " << i + 1;
      }
    }
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
    DeleteFileA(ProgressPath().c_str());
  }
}

TEST_F(ProgressFileTest, ASaveRightAfterStartWritesTheSameLinesBack) {
  const std::string lines = "Paris\r\nFrance\r\n\r\nItalie\r\nMadrid\r\n\r\n";
  WriteFileBytes(ProgressPath(), lines);
  StartPlayerOn("views_pair");
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(ListBox(i), Slot(i - 1)) << i;
  ASSERT_TRUE(SavePlayerAnswers());
  EXPECT_EQ(ReadFileBytes(ProgressPath()), lines);
}

// The file is named after the executable and kept beside it, whatever the
// current folder: there, a file of the same name that earlier versions left
// is read while the executable's folder has none, and the first save goes
// beside the executable.
TEST_F(ProgressFileTest, KeepsTheFileBesideTheExecutableAndReadsAnEarlierOneOnce) {
  EXPECT_EQ(ProgressFileBeside(L"C:\\Quiz\\atlas.exe"), L"C:\\Quiz\\atlas.txt");
  EXPECT_EQ(ProgressFileBeside(L"C:\\Quiz\\ATLAS.EXE"), L"C:\\Quiz\\ATLAS.txt");
  const std::string beside = folder_ + "\\quiz";
  ASSERT_TRUE(CreateDirectoryA(beside.c_str(), nullptr));
  const std::string besideFile = beside + "\\views_test.txt";
  WriteFileBytes(ProgressPath(), "Paris\r\n");  // in the current folder
  quizModule_ = LoadQuizModule("views_capitals");
  ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), quizModule_, Widened(besideFile)));
  running_ = true;
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Paris");
  EXPECT_EQ(ListBox(1), "Paris");
  SetText(g_shell.singleView, kAnswerBoxId, "Lyon");
  ASSERT_TRUE(SavePlayerAnswers());
  EXPECT_EQ(ReadFileBytes(besideFile), "Lyon\r\n\r\n\r\n");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n");  // left as it was
  StopPlayerNow();

  // From now on the file beside the executable is the one read.
  WriteFileBytes(ProgressPath(), "Rome\r\n");
  ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), quizModule_, Widened(besideFile)));
  running_ = true;
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Lyon");
}

// Any letter in the folder's name: the file is read and written there, and a
// failed save names the folder as it is.
TEST_F(ProgressFileTest, AFolderNamedWithLettersOutsideTheCodePageWorks) {
  const std::wstring folder = Widened(folder_) + L"\\\x141\xF3d\x17A quiz";  // Lodz with its accents
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring file = folder + L"\\views_test.txt";
  HANDLE written = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(written, INVALID_HANDLE_VALUE);
  DWORD count = 0;
  WriteFile(written, "Paris\r\n", 7, &count, nullptr);
  CloseHandle(written);
  quizModule_ = LoadQuizModule("views_capitals");
  ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), quizModule_, file));
  running_ = true;
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Paris");
  SetText(g_shell.singleView, kAnswerBoxId, "Berlin");
  MessageBoxCatcher catcher;
  ASSERT_TRUE(SavePlayerAnswers());
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_EQ(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  StopPlayerNow();
  ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), quizModule_, file));
  running_ = true;
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Berlin");

  // A save that fails names the folder with its own letters.
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  SetText(g_shell.singleView, kAnswerBoxId, "Rome");
  EXPECT_FALSE(SavePlayerAnswers());
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].wideText.find(file), std::wstring::npos);
  SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProgressFileTest, F2ReportsASaveThatCannotBeWritten) {
  // A folder in the file's place: nothing can replace it.
  ASSERT_TRUE(CreateDirectoryA(ProgressPath().c_str(), nullptr));
  StartPlayerOn("views_capitals");
  MessageBoxCatcher catcher;
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  SetText(g_shell.singleView, kAnswerBoxId, "Paris");
  PressKey(box, VK_F2);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, "Vidod");
  EXPECT_NE(catcher.boxes()[0].text.find("views_test.txt"), std::string::npos);
  // The main window owns it: nothing else of the player can be used under it.
  EXPECT_EQ(catcher.boxes()[0].owner, g_shell.mainWindow);
  // The answer stays in memory.
  EXPECT_EQ(Slot(0), "Paris");
  RemoveDirectoryA(ProgressPath().c_str());
}

// Saving as the player goes reports a failure once, not at every answer,
// until a save succeeds again; a save asked for is always answered.
TEST_F(ProgressFileTest, AFailureToSaveAsThePlayerGoesIsReportedOnce) {
  ASSERT_TRUE(CreateDirectoryA(ProgressPath().c_str(), nullptr));
  StartPlayerOn("views_capitals");
  MessageBoxCatcher catcher;
  HWND view = g_shell.singleView;
  HWND box = GetDlgItem(view, kAnswerBoxId);
  for (const char* answer : {"Paris", "Berlin", "Rome"}) {
    SetFocus(box);
    SetText(view, kAnswerBoxId, answer);
    Click(view, kNextId);
  }
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].owner, g_shell.mainWindow);
  PressKey(box, VK_F2);
  EXPECT_EQ(catcher.boxes().size(), 2u);
  RemoveDirectoryA(ProgressPath().c_str());
  SetText(view, kAnswerBoxId, "Paris!");
  Click(view, kNextId);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris!\r\nBerlin\r\nRome\r\n");
  EXPECT_EQ(catcher.boxes().size(), 2u);
}

}  // namespace
}  // namespace vidod::testing
