// The quiz's texts reach the windows as themselves and typed answers are
// judged and kept in code page 1252, whatever the system's code page: these
// tests run once as usual and once under a Russian locale (code page 1251,
// VIDOD_EXPECTED_CODE_PAGE says so).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "answers/evaluation.h"
#include "app/player_shell.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr int kTitleLabelId = 29;
constexpr int kAuthorLabelId = 26;
constexpr int kExplanationLabelId = 28;

class CodePageTest : public PlayerTest {
 protected:
  HWND Box() const { return GetDlgItem(g_shell.singleView, kAnswerBoxId); }
  // Typed as the keyboard gives it: one UTF-16 character message each, then Enter.
  void TypeAndEnter(const std::wstring& typed) {
    SetFocus(Box());
    SetWindowTextW(Box(), L"");
    for (wchar_t c : typed) SendMessageW(Box(), WM_CHAR, c, 1);
    PressKey(Box(), VK_RETURN);
  }
};

std::wstring WideText(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

TEST_F(CodePageTest, TheRunHasTheCodePageAskedFor) {
  const char* expected = std::getenv("VIDOD_EXPECTED_CODE_PAGE");
  if (!expected) GTEST_SKIP() << "the system's own code page";
  EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST_F(CodePageTest, AccentedTextsShowAsThemselvesAndAnAccentedAnswerIsRight) {
  StartPlayerOn("app_accents");
  EXPECT_EQ(WideText(g_shell.mainWindow), L"G\u00e9ographie \u00e9t\u00e9");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.headerBar, kTitleLabelId)), L"G\u00e9ographie \u00e9t\u00e9");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.headerBar, kAuthorLabelId)), L"\u00c9quipe Vidod");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.headerBar, kExplanationLabelId)),
            L"O\u00f9 est-ce ? Tapez le nom, accents compris.");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.mainWindow, kStatusLineId)), L"R\u00e9alis\u00e9 avec la version 2.2");
  wchar_t item[32] = L"";
  SendDlgItemMessageW(g_shell.singleView, kQuestionChooserId, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(item));
  EXPECT_STREQ(item, L"Image n\u00b03");

  TypeAndEnter(L"G\u00e9rardmer");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.singleView, kSingleVerdictLabelId)), L"BRAVO");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.headerBar, kCodeFieldId)), L"\u00c9T\u00c9");
  // The answers are kept in the code page, whatever the system's.
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "G\xE9rardmer\r\n\r\n\r\n");

  // In the list view too: the œ of the third answer, typed as itself.
  SendMessageW(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  HWND third = GetDlgItem(g_shell.listView, kFirstListBoxId + 2);
  SetFocus(third);
  SetWindowTextW(third, L"");
  for (wchar_t c : std::wstring(L"\u0153uvre")) SendMessageW(third, WM_CHAR, c, 1);
  SetFocus(g_shell.mainWindow);
  PumpMessages();
  EXPECT_EQ(WideText(GetDlgItem(g_shell.listView, kFirstListBoxId + 2 + kListLabelOffset)), L"BRAVO");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.headerBar, kCodeFieldId)), L"NO\u00cbL");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "G\xE9rardmer\r\n\r\n\x9Cuvre\r\n");
}

// A letter the code page lacks never matches and keeps its place: the file
// gets byte 0x7F for it, which comes back into the box as that control.
TEST_F(CodePageTest, ALetterOutsideTheCodePageKeepsItsPlaceAndNeverMatches) {
  StartPlayerOn("app_accents");
  TypeAndEnter(L"G\u00e9rardme\u0416");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.singleView, kSingleVerdictLabelId)), L"Quasiment");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "G\xE9rardme\x7F\r\n\r\n\r\n");
  RestartPlayerOn("app_accents");
  EXPECT_EQ(WideText(Box()), L"G\u00e9rardme\x7f");
  EXPECT_EQ(WideText(GetDlgItem(g_shell.singleView, kSingleVerdictLabelId)), L"Quasiment");
}

}  // namespace
}  // namespace vidod::testing
