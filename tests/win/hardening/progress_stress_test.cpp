// The progress file under stress: damaged or huge files at start-up, and
// saves that the file system refuses. No answer in memory may be lost, and a
// refused save is said in French with the file's name.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr char kQuiz[] = "hardening_one";  // Paris, Oui, Berlin, Rome
constexpr int kAnswers = 4;
constexpr int kScoreLabelId = 32;
constexpr int kSingleVerdictId = 9500;
constexpr int kNextId = 9905;
constexpr std::size_t kSlotText = 259;
constexpr char kSaveCaption[] = "Vidod";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(0xC0000001);
constexpr std::size_t kTenMegabytes = 10u * 1024 * 1024;
constexpr std::size_t kLongLine = 100000;

std::string SaveFailedText(const std::string& path) {
  return "Impossible d'enregistrer les r\xE9ponses dans le fichier \xAB " + path + " \xBB.";
}

std::string LinesOf(const std::vector<std::string>& answers) {
  std::string text;
  for (const std::string& answer : answers) text += answer + "\r\n";
  return text;
}

class ProgressStressTest : public PlayerTest {
 protected:
  void TearDown() override {
    if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
    PlayerTest::TearDown();
  }

  std::vector<std::string> Slots() const {
    std::vector<std::string> slots;
    for (int i = 0; i < kAnswers; ++i) slots.push_back(g_document->quiz->answerSlots[i]);
    return slots;
  }
  std::vector<std::string> ListBoxes() const {
    std::vector<std::string> boxes;
    for (int i = 0; i < kAnswers; ++i) boxes.push_back(ControlText(g_shell.listView, kFirstListBoxId + i));
    return boxes;
  }
  HWND AnswerBox() const { return GetDlgItem(g_shell.singleView, kAnswerBoxId); }

  // Typing into box 9000 as a user does: the box takes the focus first.
  void Type(const char* text) {
    SetFocus(AnswerBox());
    SetWindowTextA(AnswerBox(), text);
  }
  void Next() {
    SendDlgItemMessageA(g_shell.singleView, kNextId, BM_CLICK, 0, 0);
    PumpMessages();
  }
  void PressF2() {
    PostMessageA(AnswerBox(), WM_KEYUP, VK_F2, kKeyReleased);
    PumpMessages();
  }
  void CloseNormally() {
    PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }

  // Another handle on the progress file that does not share deletion: the
  // replace of a save cannot go through while it is open.
  void HoldProgressFile() {
    held_ = CreateFileA(ProgressPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held_, INVALID_HANDLE_VALUE);
  }
  void ReleaseProgressFile() {
    CloseHandle(held_);
    held_ = INVALID_HANDLE_VALUE;
  }
  bool TemporaryFileLeft() const {
    return GetFileAttributesA((ProgressPath() + kTemporarySuffix).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  HANDLE held_ = INVALID_HANDLE_VALUE;
};

TEST_F(ProgressStressTest, MalformedFilesAreReadByTheLineRuleAndSavedBackAsRead) {
  std::string everyByte;
  for (int round = 0; round < 16; ++round)
    for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  std::string longLines;
  for (int i = 0; i < kAnswers; ++i) longLines += std::string(kLongLine, static_cast<char>('a' + i)) + "\r\n";
  const std::string paris = "Paris\r\nOui\r\nBerlin\r\nRome\r\n";
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> answers;
    int solved;
  } cases[] = {
      // A byte-order mark is no header to this file: its three bytes stay at
      // the start of the first answer, which no longer reads Paris.
      {"UTF-8 mark", "\xEF\xBB\xBFParis\r\nOui\r\n", {"\xEF\xBB\xBFParis", "Oui", "", ""}, 1},
      // A UTF-16 file: the first line ends at the CR of its first line, the
      // zero byte after its first letter ends that answer's text, and every
      // later line starts with a zero byte.
      {"UTF-16", std::string("\xFF\xFEP\0a\0r\0i\0s\0\r\0\n\0O\0u\0i\0\r\0\n\0", 26),
       {"\xFF\xFEP", "", "", ""}, 0},
      // A zero byte ends the answer's text; the rest of its line is lost.
      {"zero byte", std::string("Pa\0ris\r\nOui\r\n", 13), {"Pa", "Oui", "", ""}, 1},
      // Every byte value in turn: the first answer starts with a zero byte,
      // each later one holds the two bytes between the LF and the CR.
      {"every byte", everyByte, {"", "\x0B\x0C", "\x0B\x0C", "\x0B\x0C"}, 0},
      // Lines of 100 000 characters: each answer keeps its first 259, and the
      // next line is still the next answer.
      {"long lines", longLines,
       {std::string(kSlotText, 'a'), std::string(kSlotText, 'b'), std::string(kSlotText, 'c'),
        std::string(kSlotText, 'd')}, 0},
      // Ten megabytes: the answers come first, the rest is never looked at.
      {"ten megabytes after the answers", paris + std::string(kTenMegabytes, 'z'),
       {"Paris", "Oui", "Berlin", "Rome"}, 4},
      // Ten megabytes without a line end: one answer of 259 characters.
      {"ten megabytes of one line", std::string(kTenMegabytes, 'q'),
       {std::string(kSlotText, 'q'), "", "", ""}, 0},
      // CRs without LFs: the skip to the next LF runs to the end of the file.
      {"CR only", "Paris\rOui\rBerlin\rRome\r", {"Paris", "", "", ""}, 1},
      // Line ends only.
      {"empty lines", "\r\n\r\n\r\n\r\n\r\n\r\n", {"", "", "", ""}, 0},
      // An empty file reads like a missing one.
      {"empty file", "", {"", "", "", ""}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(ProgressPath(), c.bytes);
    MessageBoxCatcher catcher;
    StartPlayerOn(kQuiz);
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(Slots(), c.answers);
    EXPECT_EQ(ListBoxes(), c.answers);
    EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), c.answers[0]);
    EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " " + std::to_string(c.solved) + " / 4");
    // A save writes back what was read, the mark's bytes included.
    PressF2();
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(ReadFileBytes(ProgressPath()), LinesOf(c.answers));
    CloseNormally();
  }
}

// Random junk, any byte, any length up to 64 KB: the player starts, every
// answer fits its slot, and a save writes exactly the four answers it holds.
TEST_F(ProgressStressTest, RandomJunkStartsAndSavesBackWhatWasRead) {
  constexpr unsigned kFirstSeed = 7;
  constexpr int kFiles = 12;
  constexpr unsigned kLongestJunk = 65536;
  for (unsigned seed = kFirstSeed; seed < kFirstSeed + kFiles; ++seed) {
    SCOPED_TRACE("junk seed " + std::to_string(seed));
    std::mt19937 engine(seed);
    std::string junk(engine() % kLongestJunk, '\0');
    for (char& byte : junk) byte = static_cast<char>(engine() & 0xFF);
    WriteFileBytes(ProgressPath(), junk);
    MessageBoxCatcher catcher;
    StartPlayerOn(kQuiz);
    EXPECT_TRUE(catcher.boxes().empty());
    const std::vector<std::string> slots = Slots();
    for (const std::string& slot : slots) {
      EXPECT_LE(slot.size(), kSlotText);
      EXPECT_EQ(slot.find('\r'), std::string::npos);
    }
    // The first answer is the file's first bytes, up to a CR or a zero byte.
    const std::string first = junk.substr(0, junk.find_first_of(std::string("\r\0", 2)));
    EXPECT_EQ(slots[0], first.substr(0, kSlotText));
    EXPECT_EQ(ListBoxes(), slots);
    PressF2();
    EXPECT_EQ(ReadFileBytes(ProgressPath()), LinesOf(slots));
    CloseNormally();
  }
}

TEST_F(ProgressStressTest, ASaveIntoAFileHeldOpenIsReportedAndSucceedsOnceReleased) {
  WriteFileBytes(ProgressPath(), "Paris\r\nOui\r\n");
  StartPlayerOn(kQuiz);
  Type("Berne");
  HoldProgressFile();
  MessageBoxCatcher catcher;
  PressF2();
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, kSaveCaption);
  EXPECT_EQ(catcher.boxes()[0].text, SaveFailedText(ProgressPath()));
  // Nothing lost: the answer is in its slot and its box, the old file is
  // whole and no temporary file is left behind.
  EXPECT_EQ(Slots(), (std::vector<std::string>{"Berne", "Oui", "", ""}));
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Berne");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\nOui\r\n");
  EXPECT_FALSE(TemporaryFileLeft());

  ReleaseProgressFile();
  PressF2();
  EXPECT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Berne\r\nOui\r\n\r\n\r\n");
  CloseNormally();
}

TEST_F(ProgressStressTest, AFailedSaveAtCloseAnsweredNoKeepsThePlayerOpen) {
  WriteFileBytes(ProgressPath(), "Paris\r\n");
  StartPlayerOn(kQuiz);
  Type("Rome");
  Next();
  Type("Oui");
  HoldProgressFile();
  MessageBoxCatcher catcher(IDNO);
  SendMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, kSaveCaption);
  EXPECT_EQ(catcher.boxes()[0].text.rfind(SaveFailedText(ProgressPath()) + "\n\nQuitter quand m\xEAme ?", 0), 0u)
      << catcher.boxes()[0].text;
  // The player stays: its window is open, no quit is pending, every answer
  // is where it was.
  EXPECT_TRUE(IsWindowVisible(g_shell.mainWindow));
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
  EXPECT_EQ(Slots(), (std::vector<std::string>{"Rome", "Oui", "", ""}));
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Oui");
  // The file holds what was saved as the player went, before it was held.
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Rome\r\n\r\n\r\n\r\n");

  // Once the file is free, closing saves without asking and ends the loop.
  ReleaseProgressFile();
  CloseNormally();
  EXPECT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Rome\r\nOui\r\n\r\n\r\n");
}

TEST_F(ProgressStressTest, AFailedSaveAtCloseAnsweredYesQuitsAndLeavesTheOldFile) {
  WriteFileBytes(ProgressPath(), "Paris\r\n");
  StartPlayerOn(kQuiz);
  Type("Rome");
  HoldProgressFile();
  MessageBoxCatcher catcher(IDYES);
  PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_NE(catcher.boxes()[0].text.find("Quitter quand m\xEAme ?"), std::string::npos);
  ReleaseProgressFile();
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n");
  EXPECT_FALSE(TemporaryFileLeft());
}

// What stands in the save's way; each is put there after the start and
// taken away again.
enum class Blocker { kReadOnlyFile, kFolderAsTemporary };

void Block(Blocker blocker, const std::string& progress, const std::string& temporary) {
  switch (blocker) {
    case Blocker::kReadOnlyFile:
      ASSERT_TRUE(SetFileAttributesA(progress.c_str(), FILE_ATTRIBUTE_READONLY));
      break;
    case Blocker::kFolderAsTemporary:
      ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
      break;
  }
}

void Unblock(Blocker blocker, const std::string& progress, const std::string& temporary) {
  switch (blocker) {
    case Blocker::kReadOnlyFile:
      SetFileAttributesA(progress.c_str(), FILE_ATTRIBUTE_NORMAL);
      break;
    case Blocker::kFolderAsTemporary:
      RemoveDirectoryA(temporary.c_str());
      break;
  }
}

// A folder's read-only attribute does not keep files from being made in it,
// and Unix rights do not bind the user the tests run as, so the unwritable
// places are the file itself and the temporary file's name.
TEST_F(ProgressStressTest, AnUnwritablePlaceRefusesTheSaveUntilWritableAgain) {
  const std::string temporary = ProgressPath() + kTemporarySuffix;
  const struct {
    const char* what;
    Blocker blocker;
  } cases[] = {
      // The progress file is read-only: it is not to be replaced.
      {"read-only file", Blocker::kReadOnlyFile},
      // A folder holds the temporary file's name.
      {"folder in the temporary file's place", Blocker::kFolderAsTemporary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(ProgressPath(), "Paris\r\n");
    StartPlayerOn(kQuiz);
    Type("Lyon");
    Block(c.blocker, ProgressPath(), temporary);
    MessageBoxCatcher catcher;
    PressF2();
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_EQ(catcher.boxes()[0].text, SaveFailedText(ProgressPath()));
    EXPECT_EQ(Slots()[0], "Lyon");
    EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n");
    Unblock(c.blocker, ProgressPath(), temporary);
    PressF2();
    EXPECT_EQ(catcher.boxes().size(), 1u);
    EXPECT_EQ(ReadFileBytes(ProgressPath()), "Lyon\r\n\r\n\r\n\r\n");
    EXPECT_FALSE(TemporaryFileLeft());
    CloseNormally();
  }
}

TEST_F(ProgressStressTest, ALeftoverTemporaryFileIsIgnoredAndReplaced) {
  const std::string temporary = ProgressPath() + kTemporarySuffix;
  const struct {
    const char* what;
    const char* progress;  // nullptr: no progress file
    std::vector<std::string> answers;
  } cases[] = {
      // An interrupted save left its temporary file beside the real one.
      {"beside the file", "Paris\r\nOui\r\n", {"Paris", "Oui", "", ""}},
      // Only the temporary file is there: the answers start empty.
      {"alone", nullptr, {"", "", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileA(ProgressPath().c_str());
    if (c.progress) WriteFileBytes(ProgressPath(), c.progress);
    WriteFileBytes(temporary, "Lyon\r\nNon\r\nMadrid\r\nOslo\r\n");
    StartPlayerOn(kQuiz);
    EXPECT_EQ(Slots(), c.answers);
    Type("Berlin");
    PressF2();
    std::vector<std::string> saved = c.answers;
    saved[0] = "Berlin";
    EXPECT_EQ(ReadFileBytes(ProgressPath()), LinesOf(saved));
    EXPECT_FALSE(TemporaryFileLeft());
    CloseNormally();
  }
}

}  // namespace
}  // namespace vidod::testing
