// The list view's layout and every judgement that the view switch makes,
// compared with records kept in tests/win/views/records: what the player
// showed when the records were taken (every list view control's place, text
// and visibility, the content size, the score, the code and the single
// view's verdict), for the demonstration quiz and a generated 96-question
// quiz. A change that is meant to alter them writes new records with
// VIDOD_RECORD_DIR set to that folder, and the difference is reviewed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/player_shell.h"
#include "answers/evaluation.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr int kNextButtonId = 9905;

std::string RecordPath(const std::string& folder, const std::string& quiz) {
  std::string root = folder;
  if (!root.empty() && root.front() == '/') root = "Z:" + root;
  return root + "/" + quiz + ".txt";
}

// Every control of the view in creation order: id, class, place, shown or
// hidden, text; then the content size that the scroll bars hold.
std::string DescribeListView() {
  std::string text;
  for (HWND child = GetWindow(g_shell.listView, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const Place place = PlaceOf(child);
    char line[512];
    char caption[260] = "";
    GetWindowTextA(child, caption, sizeof caption);
    wsprintfA(line, "%d %s %d %d %d %d %s \"%s\"\n", GetDlgCtrlID(child), ClassOf(child).c_str(),
              place.x, place.y, place.width, place.height,
              (StyleOf(child) & WS_VISIBLE) ? "shown" : "hidden", caption);
    text += line;
  }
  char content[64];
  wsprintfA(content, "content %d %d\n", ScrollInfo(g_shell.listView, SB_HORZ).nMax + 2,
            ScrollInfo(g_shell.listView, SB_VERT).nMax + 2);
  return text + content;
}

std::string DescribeScore() {
  return "score \"" + ControlText(g_shell.headerBar, kScoreLabelId) + "\" code \"" +
         ControlText(g_shell.headerBar, kCodeFieldId) + "\"\n";
}

std::string DescribeSingleView() {
  return "single \"" + ControlText(g_shell.singleView, kAnswerBoxId) + "\" \"" +
         ControlText(g_shell.singleView, kSingleVerdictLabelId) + "\" \"" +
         ControlText(g_shell.singleView, kSingleRevealLabelId) + "\"\n";
}

// Answers that reach every rung of the verdict ladder, from each box's
// expected answer: right, right in lower case, reversed, cut short, empty,
// wrong, one letter too many.
std::string TypedAnswer(const std::string& expected, int box) {
  switch (box % 7) {
    case 0: return expected;
    case 1: {
      std::string lower = expected;
      CharLowerA(&lower[0]);
      return lower;
    }
    case 2: return std::string(expected.rbegin(), expected.rend());
    case 3: return expected.substr(0, expected.size() - 1);
    case 4: return "";
    case 5: return "xyz";
    default: return expected + "s";
  }
}

class SwitchRecordTest : public PlayerTest,
                         public ::testing::WithParamInterface<const char*> {
 protected:
  HWND ListBox(int i) const { return GetDlgItem(g_shell.listView, kFirstListBoxId - 1 + i); }
  void TypeIntoListBox(int i, const char* text) {
    SetFocus(ListBox(i));
    SetText(g_shell.listView, kFirstListBoxId - 1 + i, text);
    SetFocus(g_shell.mainWindow);
  }
};

TEST_P(SwitchRecordTest, LayoutAndJudgementsMatchTheRecord) {
  const char* quiz = GetParam();
  // The expected answers, read from a first start, give the typed answers of
  // the progress file that the second start restores.
  StartPlayerOn(quiz);
  std::string progress;
  const int count = g_document->quiz->questionCount * g_document->quiz->answersPerQuestion;
  for (int i = 0; i < count; ++i) {
    const QuestionEntry* entry =
        QuestionAt(g_document->quiz, i / g_document->quiz->answersPerQuestion);
    const char* expected = i % g_document->quiz->answersPerQuestion ? entry->expectedAnswer2
                                                                     : entry->expectedAnswer1;
    progress += TypedAnswer(expected, i) + "\r\n";
  }
  StopPlayerNow();
  FreeLibrary(quizModule_);
  quizModule_ = nullptr;
  WriteFileBytes(ProgressPath(), progress);
  StartPlayerOn(quiz);

  std::string record = "== start\n" + DescribeListView() + DescribeScore();
  // Question 1's answer changed in the single view's box, then F3 there.
  HWND singleBox = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  SetFocus(singleBox);
  SetText(g_shell.singleView, kAnswerBoxId, "xyz");
  PressKey(singleBox, VK_F3);
  record += "== list\n" + DescribeListView() + DescribeScore();
  // Answers typed in the list view, then F3 from a box: back to the single view.
  TypeIntoListBox(1, "rien");
  TypeIntoListBox(3, ControlText(g_shell.listView, kFirstListBoxId + 1).c_str());
  SetFocus(ListBox(5));
  SetText(g_shell.listView, kFirstListBoxId + 4, "encore");
  PressKey(ListBox(5), VK_F3);
  record += "== single\n" + DescribeSingleView() + DescribeScore();
  Click(g_shell.singleView, kNextButtonId);
  record += "== next\n" + DescribeSingleView() + DescribeScore();
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  record += "== list again\n" + DescribeListView() + DescribeScore();

  const char* recordFolder = std::getenv("VIDOD_RECORD_DIR");
  if (recordFolder && *recordFolder) {
    WriteFileBytes(RecordPath(recordFolder, quiz), record);
    GTEST_SKIP() << "record written";
  }
  const std::string expected =
      ReadFileBytes(RecordPath(VIDOD_SOURCE_DIR "/tests/win/views/records", quiz));
  ASSERT_FALSE(expected.empty()) << "no record for " << quiz;
  EXPECT_EQ(record, expected);
}

INSTANTIATE_TEST_SUITE_P(Quizzes, SwitchRecordTest, ::testing::Values("views_demo", "views_many"));

}  // namespace
}  // namespace vidod::testing
