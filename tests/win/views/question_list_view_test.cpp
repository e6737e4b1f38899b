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

constexpr int kNumberLabelId = 153;
constexpr int kCaptionId = 156;
constexpr int kFirstLabelId = 5001;
constexpr int kFirstRevealId = 8001;
constexpr int kFirstPictureId = 9901;
constexpr int kScoreLabelId = 32;
constexpr int kSaveButtonId = 27;
constexpr WPARAM kScrollDown = 500;
constexpr WPARAM kScrollUp = 501;

class QuestionListViewTest : public PlayerTest {
 protected:
  HWND View() const { return g_shell.listView; }
  HWND Box(int i) const { return GetDlgItem(g_shell.listView, kFirstListBoxId - 1 + i); }
  std::string BoxText(int i) const { return ControlText(View(), kFirstListBoxId - 1 + i); }
  std::string Label(int i) const { return ControlText(View(), kFirstLabelId - 1 + i); }
  void ShowList() {
    SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
    PumpMessages();
    ASSERT_TRUE(IsWindowVisible(View()));
  }
  // The list view narrower than its three columns, as the player may make it.
  void Narrow() {
    SetWindowPos(g_shell.mainWindow, nullptr, 0, 0, 670, 690, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
  }
  // Types into box i and leaves it, as the player would.
  void Answer(int i, const char* text) {
    SetFocus(Box(i));
    SetText(View(), kFirstListBoxId - 1 + i, text);
    SetFocus(g_shell.mainWindow);
  }
  void Scroll(UINT message, WPARAM code) {
    SendMessageA(View(), message, code, 0);
    PumpMessages();
  }
  int Position() const { return GetScrollPos(View(), SB_VERT); }
  bool InSight(HWND box) const {
    RECT client;
    GetClientRect(View(), &client);
    const Place place = PlaceOf(box);
    return place.x >= 0 && place.y >= 0 && place.x + place.width <= client.right &&
           place.y + place.height <= client.bottom;
  }
  void ShowQuestionInSingleView(int question) {
    SendDlgItemMessageA(g_shell.singleView, kQuestionChooserId, CB_SETCURSEL, question - 1, 0);
    SendMessageA(g_shell.singleView, WM_COMMAND, MAKEWPARAM(kQuestionChooserId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(g_shell.singleView, kQuestionChooserId)));
    PumpMessages();
  }
  int VisibleHeight() const {
    RECT client;
    GetClientRect(View(), &client);
    return client.bottom;
  }
};

void ExpectPlace(const Place& actual, const Place& expected, const std::string& what) {
  EXPECT_EQ(actual.x, expected.x) << what;
  EXPECT_EQ(actual.y, expected.y) << what;
  EXPECT_EQ(actual.width, expected.width) << what;
  EXPECT_EQ(actual.height, expected.height) << what;
}

// The first row's tallest picture is 150 high in the 210 x 210 box: P = 160.
// The second row holds question 4 alone, whose 105-high picture is outdone
// by the 168-high picture looked up for the question after the last.
TEST_F(QuestionListViewTest, LaysOutAPictureQuizInRowsOfThree) {
  StartPlayerOn("views_pictures");
  const struct {
    int question;
    Place picture, box, label, number;
  } expected[] = {
      {1, {46, 14, 210, 131}, {46, 165, 210, 20}, {46, 184, 210, 20}, {18, 167, 27, 17}},
      {2, {286, 5, 210, 150}, {286, 165, 210, 20}, {286, 184, 210, 20}, {258, 167, 27, 17}},
      {3, {526, 27, 210, 105}, {526, 165, 210, 20}, {526, 184, 210, 20}, {498, 167, 27, 17}},
      {4, {46, 256, 210, 105}, {46, 403, 210, 20}, {46, 422, 210, 20}, {18, 405, 27, 17}},
  };
  const std::vector<HWND> numbers = ChildrenWithId(View(), kNumberLabelId);
  ASSERT_EQ(numbers.size(), 4u);
  for (const auto& q : expected) {
    const std::string n = std::to_string(q.question);
    ExpectPlace(PlaceOf(View(), kFirstPictureId - 1 + q.question), q.picture, "picture " + n);
    ExpectPlace(PlaceOf(View(), kFirstListBoxId - 1 + q.question), q.box, "box " + n);
    ExpectPlace(PlaceOf(View(), kFirstLabelId - 1 + q.question), q.label, "label " + n);
    ExpectPlace(PlaceOf(numbers[q.question - 1]), q.number, "number " + n);
    char text[8] = "";
    GetWindowTextA(numbers[q.question - 1], text, sizeof text);
    EXPECT_EQ(std::string(text), n + ".");
  }
  // Pictures only for the questions there are.
  EXPECT_EQ(GetDlgItem(View(), kFirstPictureId + 4), nullptr);
  EXPECT_EQ(GetDlgItem(View(), kFirstRevealId), nullptr);
  // Content 760 x (403 + 60), fixed when question 4 began its row.
  EXPECT_EQ(ScrollInfo(View(), SB_HORZ).nMax, 760 - 2);
  EXPECT_EQ(ScrollInfo(View(), SB_VERT).nMax, 463 - 2);
}

TEST_F(QuestionListViewTest, GivesEachControlItsClassStyleAndFont) {
  StartPlayerOn("views_pictures");
  const HFONT answerFont = g_document->answerFont;
  ASSERT_NE(answerFont, nullptr);
  LOGFONTA font = {};
  GetObjectA(answerFont, sizeof font, &font);
  EXPECT_EQ(font.lfHeight, 15);
  EXPECT_EQ(font.lfWeight, 100);
  EXPECT_EQ(font.lfItalic, 0);
  EXPECT_EQ(font.lfFaceName[0], '\0');
  const struct {
    HWND control;
    const char* className;
    LONG_PTR style;
    HGDIOBJ font;
  } expected[] = {
      {GetDlgItem(View(), kFirstPictureId), "static", 0x5080020E, nullptr},
      {ChildrenWithId(View(), kNumberLabelId)[0], "static", 0x50000002, nullptr},
      {Box(1), "edit", 0x50010081, answerFont},
      {GetDlgItem(View(), kFirstLabelId), "static", 0x50800201, nullptr},
  };
  for (const auto& c : expected) {
    const int id = GetDlgCtrlID(c.control);
    EXPECT_EQ(ClassOf(c.control), c.className) << id;
    EXPECT_EQ(StyleOf(c.control) & c.style, c.style) << id;
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(c.control, WM_GETFONT, 0, 0)), c.font) << id;
  }
  EXPECT_EQ(Label(1), "?");
  EXPECT_EQ(SendMessageA(Box(1), EM_GETLIMITTEXT, 0, 0), 259);
}

TEST_F(QuestionListViewTest, PlacesRevealLabelsUnderTheRowsOfAQuizAboveTypeOne) {
  StartPlayerOn("views_reveal");
  const char* reveals[] = {"La ville lumi\xE8re", "La ville \xE9ternelle", "Capitale de l'Espagne"};
  for (int n = 1; n <= 3; ++n) {
    HWND reveal = GetDlgItem(View(), kFirstRevealId - 1 + n);
    ASSERT_NE(reveal, nullptr);
    ExpectPlace(PlaceOf(reveal), {46 + (n - 1) * 240, 211, 210, 65}, "reveal " + std::to_string(n));
    EXPECT_FALSE(GetWindowLongPtrA(reveal, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(ControlText(View(), kFirstRevealId - 1 + n), reveals[n - 1]);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(reveal, WM_GETFONT, 0, 0)),
              GetStockObject(DEFAULT_GUI_FONT));
  }
  // The second row starts at T = 305; its only picture is 131 high.
  EXPECT_EQ(PlaceOf(View(), kFirstListBoxId + 3).y, 305 + 141);
  EXPECT_EQ(PlaceOf(View(), kFirstRevealId + 3).y, 305 + 141 + 46);
  EXPECT_EQ(ScrollInfo(View(), SB_VERT).nMax, 305 + 141 + 140 - 2);

  // Solving a question of type 2 shows its reveal label.
  ShowList();
  Answer(2, "rome");
  EXPECT_EQ(Label(2), "BRAVO");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(View(), kFirstRevealId + 1)));
}

TEST_F(QuestionListViewTest, WithoutPicturesTheRowStartsAtItsTop) {
  StartPlayerOn("views_capitals");
  EXPECT_EQ(GetDlgItem(View(), kFirstPictureId), nullptr);
  for (int n = 1; n <= 3; ++n) {
    const int x = 46 + (n - 1) * 240;
    const std::string what = std::to_string(n);
    ExpectPlace(PlaceOf(View(), kFirstListBoxId - 1 + n), {x, 5, 190, 20}, "box " + what);
    ExpectPlace(PlaceOf(View(), kFirstLabelId - 1 + n), {x, 24, 190, 20}, "label " + what);
    ExpectPlace(PlaceOf(ChildrenWithId(View(), kNumberLabelId)[n - 1]), {x - 28, 7, 27, 17},
                "number " + what);
  }
  EXPECT_EQ(ScrollInfo(View(), SB_HORZ).nMax, 760 - 2);
  EXPECT_EQ(ScrollInfo(View(), SB_VERT).nMax, 65 - 2);
}

TEST_F(QuestionListViewTest, LaysOutTwoAnswersSideBySideWithTheirCaptions) {
  StartPlayerOn("views_pair");
  for (int n = 1; n <= 3; ++n) {
    const int x = 106 + (n - 1) * 240;
    for (int a = 1; a <= 2; ++a) {
      const int box = (n - 1) * 2 + a;
      const std::string what = std::to_string(box);
      const int y = 5 + 19 * (a - 1);
      ExpectPlace(PlaceOf(Box(box)), {x, y, 131, 20}, "box " + what);
      ExpectPlace(PlaceOf(View(), kFirstLabelId - 1 + box), {x + 130, y, 60, 20}, "label " + what);
      EXPECT_EQ(SendDlgItemMessageA(View(), kFirstLabelId - 1 + box, WM_GETFONT, 0, 0),
                reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
    }
    ExpectPlace(PlaceOf(View(), kFirstRevealId - 1 + n), {x, 51, 210, 65}, "reveal");
  }
  // The captions once per row, at the left edge.
  const std::vector<HWND> captions = ChildrenWithId(View(), kCaptionId);
  ASSERT_EQ(captions.size(), 2u);
  ExpectPlace(PlaceOf(captions[0]), {4, 7, 95, 20}, "first caption");
  ExpectPlace(PlaceOf(captions[1]), {3, 27, 95, 20}, "second caption");
  char text[16] = "";
  GetWindowTextA(captions[1], text, sizeof text);
  EXPECT_STREQ(text, "Pays");
  EXPECT_EQ(ScrollInfo(View(), SB_HORZ).nMax, 820 - 2);
}

TEST_F(QuestionListViewTest, FillsEveryBoxFromTheFileAndJudgesIt) {
  WriteFileBytes(ProgressPath(), "paris\r\nFrance\r\nRome\r\nItal\r\n\r\nespagne\r\n");
  StartPlayerOn("views_pair");
  const char* boxes[] = {"paris", "France", "Rome", "Ital", "", "espagne"};
  const char* labels[] = {"BRAVO", "BRAVO", "BRAVO", "Presque", "?", "BRAVO"};
  for (int i = 1; i <= 6; ++i) {
    EXPECT_EQ(BoxText(i), boxes[i - 1]) << i;
    EXPECT_EQ(Label(i), labels[i - 1]) << i;
  }
  // Question 3 counts by its second answer, in the single view built next
  // as in this one.
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 3 / 3");
  // Question 1 holds both its answers: its reveal label shows.
  ShowList();
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(View(), kFirstRevealId)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(View(), kFirstRevealId + 1)));
}

TEST_F(QuestionListViewTest, FitsTheScrollBarsToTheClientArea) {
  StartPlayerOn("views_long");
  ShowList();
  Narrow();
  RECT client;
  GetClientRect(View(), &client);
  const SCROLLINFO vertical = ScrollInfo(View(), SB_VERT);
  EXPECT_EQ(vertical.nMin, 0);
  EXPECT_EQ(vertical.nMax, 1405 - 2);  // ten rows of 140
  EXPECT_EQ(static_cast<int>(vertical.nPage), client.bottom - 1);
  const SCROLLINFO horizontal = ScrollInfo(View(), SB_HORZ);
  EXPECT_EQ(horizontal.nMax, 760 - 2);
  ASSERT_LT(client.right, 760);
  EXPECT_EQ(static_cast<int>(horizontal.nPage), client.right - 1);
  EXPECT_TRUE(StyleOf(View()) & WS_HSCROLL);

  // A window wide enough for the content: nothing left to scroll sideways.
  Scroll(WM_HSCROLL, SB_PAGEDOWN);
  ASSERT_GT(GetScrollPos(View(), SB_HORZ), 0);
  SetWindowPos(g_shell.mainWindow, nullptr, 0, 0, 900, 690, SWP_NOMOVE | SWP_NOZORDER);
  PumpMessages();
  GetClientRect(View(), &client);
  ASSERT_GE(client.right, 760);
  EXPECT_EQ(GetScrollPos(View(), SB_HORZ), 0);
  EXPECT_EQ(static_cast<int>(ScrollInfo(View(), SB_HORZ).nPage), 760 - 1);
  // The contents came back with the position, and no bar is left that
  // scrolls nothing sideways (the vertical one stays, as wide as ever).
  EXPECT_EQ(PlaceOf(Box(1)).x, 46);
  EXPECT_FALSE(StyleOf(View()) & WS_HSCROLL);
  EXPECT_TRUE(StyleOf(View()) & WS_VSCROLL);
}

TEST_F(QuestionListViewTest, ScrollsByLinesPagesWheelStepsAndToTheEnds) {
  StartPlayerOn("views_long");
  ShowList();
  const int page = VisibleHeight() - 1;
  const int greatest = 1405 - VisibleHeight();
  ASSERT_GT(greatest, page);
  const struct {
    WPARAM code;
    int position;
  } steps[] = {
      {SB_LINEDOWN, 260},               // a picture and its boxes: H + 50
      {SB_LINEDOWN, 520},
      {SB_LINEUP, 260},
      {SB_THUMBPOSITION, 260},
      {SB_TOP, 0},
      {SB_PAGEDOWN, page},              // the bar's page: visible height - 1
      {SB_PAGEUP, 0},
      {kScrollDown, 50},                // the wheel's 50 pixels
      {kScrollDown, 100},
      {kScrollUp, 50},
      {SB_BOTTOM, greatest},
      {SB_LINEDOWN, greatest},          // held at the end
      {kScrollDown, greatest},
      {SB_TOP, 0},
      {kScrollUp, 0},                   // and at the start
      {SB_LINEUP, 0},
  };
  for (const auto& step : steps) {
    Scroll(WM_VSCROLL, step.code);
    EXPECT_EQ(Position(), step.position) << step.code;
    // The contents move with the position.
    EXPECT_EQ(PlaceOf(Box(1)).y, 5 - step.position) << step.code;
  }
  Narrow();
  Scroll(WM_HSCROLL, SB_LINEDOWN);
  EXPECT_EQ(GetScrollPos(View(), SB_HORZ), 1);
  EXPECT_EQ(PlaceOf(Box(1)).x, 45);
  Scroll(WM_HSCROLL, SB_LINEUP);
  EXPECT_EQ(PlaceOf(Box(1)).x, 46);
}

// 50 pixels a notch, whichever window the wheel message reaches: parts of a
// notch (fine wheels, touchpads) add up in both directions, and turning the
// other way drops the part left over.
TEST_F(QuestionListViewTest, TheWheelScrollsFiftyPixelsANotchAddingUpItsParts) {
  StartPlayerOn("views_long");
  ShowList();
  enum Target { kMain, kView, kBox };
  const struct {
    Target to;
    short delta;
    int position;
  } turns[] = {
      {kMain, -120, 50},   // one notch down
      {kView, -240, 150},  // two notches in one message
      {kBox, 120, 100},    // one up, the pointer over an answer box
      {kMain, -40, 100},   // thirds of a notch add up
      {kBox, -40, 100},
      {kView, -40, 150},
      {kView, 60, 150},    // halves, the other way
      {kMain, 60, 100},
      {kView, -60, 100},   // turning back drops the half left over
      {kView, 90, 100},
      {kBox, 30, 50},
  };
  for (const auto& turn : turns) {
    const HWND target = turn.to == kMain ? g_shell.mainWindow : turn.to == kView ? View() : Box(4);
    SendMessageA(target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(turn.delta)), 0);
    PumpMessages();
    EXPECT_EQ(Position(), turn.position) << turn.delta << " to " << turn.to;
    EXPECT_EQ(PlaceOf(Box(1)).y, 5 - Position()) << turn.delta << " to " << turn.to;
  }
}

// The wheel turned in the single view leaves the hidden list view where it
// was, and whatever scrolls it while hidden moves its contents with its bar:
// its last row stays within reach.
TEST_F(QuestionListViewTest, WhileHiddenItsBarAndContentsStillAgree) {
  StartPlayerOn("views_long");
  for (int notch = 0; notch < 5; ++notch)
    SendMessageA(g_shell.mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  PumpMessages();
  EXPECT_EQ(Position(), 0);
  ShowQuestionInSingleView(4);  // its box stays in sight 50 pixels down
  Scroll(WM_VSCROLL, kScrollDown);
  ASSERT_FALSE(IsWindowVisible(View()));
  ShowList();
  EXPECT_EQ(Position(), 50);
  EXPECT_EQ(PlaceOf(Box(1)).y, 5 - 50);
  Scroll(WM_VSCROLL, SB_BOTTOM);
  const Place last = PlaceOf(Box(30));
  EXPECT_EQ(PlaceOf(Box(1)).y, 5 - Position());
  EXPECT_GE(last.y, 0);
  EXPECT_LE(last.y + last.height, VisibleHeight());
}

// The page keys and the arrows scroll a page, and the focus moves with the
// view when its box leaves the sight: to the nearest box in sight, in the
// same column, where typing goes on after the text.
TEST_F(QuestionListViewTest, PagingKeysScrollAPageAndTheFocusFollows) {
  StartPlayerOn("views_long");
  ShowList();
  const int page = VisibleHeight() - 1;
  SetFocus(Box(1));
  const struct {
    WPARAM key;
    int position;
  } keys[] = {{VK_NEXT, page}, {VK_UP, 0}, {VK_DOWN, page}, {VK_PRIOR, 0}};
  for (const auto& k : keys) {
    HWND before = GetFocus();
    PressKey(before, k.key);
    EXPECT_EQ(Position(), k.position) << k.key;
    HWND focus = GetFocus();
    ASSERT_GE(GetDlgCtrlID(focus), kFirstListBoxId) << k.key;
    const Place place = PlaceOf(focus);
    EXPECT_GE(place.y, 0) << k.key;
    EXPECT_LE(place.y + place.height, VisibleHeight()) << k.key;
    EXPECT_EQ(place.x, PlaceOf(Box(1)).x) << k.key;
    EXPECT_EQ((GetDlgCtrlID(focus) - kFirstListBoxId) % 3, 0) << k.key;
  }
}

// No key changes a box the player cannot see: once the wheel or a bar has
// moved the box with the keys out of sight, the keys follow the view to the
// nearest box in sight (same column; same line when it went sideways), the
// caret after its text, and "Sauver" leaves them there.
TEST_F(QuestionListViewTest, TheKeysFollowTheViewToABoxInSight) {
  StartPlayerOn("views_long");
  ShowList();
  const WPARAM notchDown = MAKEWPARAM(0, static_cast<WORD>(-120));
  const struct {
    const char* way;
    int box;
    UINT message;
    WPARAM code;
    bool sauver;
  } ways[] = {
      {"wheel", 3, WM_MOUSEWHEEL, notchDown, false},
      {"wheel, then Sauver", 3, WM_MOUSEWHEEL, notchDown, true},
      {"a page of the bar", 3, WM_VSCROLL, SB_PAGEDOWN, false},
      {"the bar to the end", 3, WM_VSCROLL, SB_BOTTOM, false},
      {"the bar sideways", 1, WM_HSCROLL, SB_PAGEDOWN, false},  // last: the window made narrow
  };
  for (const auto& w : ways) {
    Scroll(WM_VSCROLL, SB_TOP);
    if (w.message == WM_HSCROLL) Narrow();
    SetFocus(Box(w.box));
    SetText(View(), kFirstListBoxId - 1 + w.box, "Belgique");
    for (int step = 0; step < 10 && InSight(Box(w.box)); ++step) Scroll(w.message, w.code);
    if (w.sauver) Click(g_shell.headerBar, kSaveButtonId);
    HWND focus = GetFocus();
    ASSERT_GE(GetDlgCtrlID(focus), kFirstListBoxId) << w.way;
    const std::string before = ControlText(View(), GetDlgCtrlID(focus));
    PostMessageA(focus, WM_CHAR, 'x', 1);
    PumpMessages();
    EXPECT_EQ(BoxText(w.box), "Belgique") << w.way;
    EXPECT_NE(focus, Box(w.box)) << w.way;
    EXPECT_TRUE(InSight(focus)) << w.way;
    if (w.message == WM_HSCROLL)
      EXPECT_EQ(PlaceOf(focus).y, PlaceOf(Box(w.box)).y) << w.way;
    else
      EXPECT_EQ(PlaceOf(focus).x, PlaceOf(Box(w.box)).x) << w.way;
    EXPECT_EQ(ControlText(View(), GetDlgCtrlID(focus)), before + "x") << w.way;
  }
}

// From the start the keys go to the single view's box, after its text; after
// every switch to the list view, to the box of the question the single view
// was showing, brought into sight, after its text.
TEST_F(QuestionListViewTest, TheSwitchGivesTheKeysToTheQuestionShown) {
  WriteFileBytes(ProgressPath(), "Reponse\r\n");
  StartPlayerOn("views_long");
  HWND single = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  EXPECT_EQ(GetFocus(), single);
  DWORD start = 0, end = 0;
  SendMessageA(single, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 7u);  // after the text, nothing selected
  EXPECT_EQ(end, 7u);
  for (const int question : {1, 20, 2, 30}) {
    ShowQuestionInSingleView(question);
    SetText(g_shell.singleView, kAnswerBoxId, "abc");
    PressKey(single, VK_F3);
    EXPECT_EQ(GetFocus(), Box(question)) << question;
    EXPECT_TRUE(InSight(Box(question))) << question;
    SendMessageA(Box(question), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u) << question;
    EXPECT_EQ(end, 3u) << question;
    PressKey(Box(question), VK_F3);
    EXPECT_EQ(GetFocus(), single) << question;
  }
}

TEST_F(QuestionListViewTest, TabAndShiftTabCycleThroughTheQuestions) {
  const struct {
    const char* quiz;
    int from;
    bool shift;
    int to;
  } cases[] = {
      {"views_capitals", 1, false, 2},
      {"views_capitals", 3, false, 1},  // the last goes to the first
      {"views_capitals", 1, true, 3},   // and back
      {"views_single", 1, false, 1},    // one question: the focus stays
      {"views_single", 1, true, 1},
      {"views_pair", 2, false, 3},      // every box, second answers included
      {"views_pair", 3, false, 4},
      {"views_pair", 6, false, 1},
      {"views_pair", 1, true, 6},
  };
  for (const auto& c : cases) {
    StartPlayerOn(c.quiz);
    ShowList();
    SetFocus(Box(c.from));
    SetText(View(), kFirstListBoxId - 1 + c.from, "x");
    HoldShift(c.shift);
    PressKey(Box(c.from), VK_TAB);
    HoldShift(false);
    EXPECT_EQ(GetFocus(), Box(c.to)) << c.quiz << " " << c.from << (c.shift ? " back" : "");
    EXPECT_EQ(BoxText(c.from), "x");  // no tab character typed
    if (c.from != c.to) {
      EXPECT_EQ(Label(c.from), "FAUX") << c.quiz;  // judged as it was left
    }
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

// The box that receives the focus ends wholly in sight: H + 100 below the top
// of the view where it was out of sight, or as near as the ends allow. Rows
// stand 140 pixels apart (box 12 at y 425, box 16 at 705, box 30 at 1265),
// the view shows a little less than 725.
TEST_F(QuestionListViewTest, TabShiftTabAndF1BringTheBoxReceivingTheFocusIntoSight) {
  StartPlayerOn("views_long");
  ShowList();
  ASSERT_GE(VisibleHeight(), 585);
  ASSERT_LT(VisibleHeight(), 725);
  constexpr int kBottom = -1;  // scrolled to the end
  constexpr int kStays = -2;   // the view does not scroll
  const struct {
    int from;
    WPARAM key;
    bool shift;
    int startPosition;
    int to;
    int top;  // the receiving box's y afterwards
  } cases[] = {
      {15, VK_TAB, false, 0, 16, 310},           // the next row, just below the view
      {13, VK_TAB, true, 450, 12, 310},          // the row above, partly above the view
      {30, VK_TAB, false, kBottom, 1, 5},        // round to the first: the top
      {1, VK_TAB, true, 0, 30, kBottom},         // round to the last: the end
      {11, VK_TAB, false, 0, 12, kStays},        // in sight already
      {1, VK_F1, false, kBottom, 1, 5},          // the box where F1 was pressed
  };
  for (const auto& c : cases) {
    Scroll(WM_VSCROLL, SB_TOP);
    if (c.startPosition == kBottom) Scroll(WM_VSCROLL, SB_BOTTOM);
    while (Position() < c.startPosition) Scroll(WM_VSCROLL, kScrollDown);
    const int start = Position();
    SetFocus(Box(c.from));
    SetText(View(), kFirstListBoxId - 1 + c.from, "x");
    HoldShift(c.shift);
    PressKey(Box(c.from), c.key);
    HoldShift(false);
    const std::string what = std::to_string(c.from) + " to " + std::to_string(c.to);
    EXPECT_EQ(GetFocus(), Box(c.to)) << what;
    const Place place = PlaceOf(Box(c.to));
    EXPECT_GE(place.y, 0) << what;
    EXPECT_LE(place.y + place.height, VisibleHeight()) << what;
    if (c.top == kStays) {
      EXPECT_EQ(Position(), start) << what;
    } else if (c.top == kBottom) {
      EXPECT_EQ(Position(), 1405 - VisibleHeight()) << what;
    } else {
      EXPECT_EQ(place.y, c.top) << what;
    }
  }
}

TEST_F(QuestionListViewTest, EnterJudgesTheBoxWithAndWithoutAlt) {
  StartPlayerOn("views_capitals");
  ShowList();
  SetFocus(Box(2));
  SetText(View(), kFirstListBoxId + 1, "berlin");
  PressKey(Box(2), VK_RETURN);
  EXPECT_EQ(Label(2), "BRAVO");
  EXPECT_EQ(GetFocus(), Box(2));
  SetText(View(), kFirstListBoxId + 1, "Berlinn");
  PressAltKey(Box(2), VK_RETURN);
  EXPECT_EQ(Label(2), "Quasiment");
  // The list view judges short answers without hints.
  SetFocus(Box(3));
  SetText(View(), kFirstListBoxId + 2, "Rom");
  PressKey(Box(3), VK_RETURN);
  EXPECT_EQ(Label(3), "Quasiment");
}

// F1 copies the box's answer into every box not judged "BRAVO", each judged
// as the focus passes, and the file is written once for the whole copy.
TEST_F(QuestionListViewTest, F1CopiesTheAnswerIntoEveryUnsolvedBox) {
  StartPlayerOn("views_long");
  ShowList();
  Answer(2, "Reponse 2");
  ASSERT_EQ(Label(2), "BRAVO");
  SetFocus(Box(1));
  SetText(View(), kFirstListBoxId, "Reponse 3");
  const int written = g_shell.filesWritten;
  PressKey(Box(1), VK_F1);
  std::string expected;
  for (int i = 1; i <= 30; ++i) {
    EXPECT_EQ(BoxText(i), i == 2 ? "Reponse 2" : "Reponse 3") << i;
    expected += BoxText(i) + "\r\n";
  }
  EXPECT_EQ(Label(3), "BRAVO");  // judged as the focus went on
  EXPECT_EQ(Label(30), "Quasiment");
  EXPECT_EQ(GetFocus(), Box(1));
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 2 / 30");
  EXPECT_EQ(g_shell.filesWritten - written, 1);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), expected);
}

// A click on a question's picture gives the keys to its (first) box, brought
// into sight, the caret after its text.
TEST_F(QuestionListViewTest, AClickOnAPictureGivesTheKeysToItsQuestion) {
  const struct {
    const char* quiz;
    int question;
  } clicks[] = {{"views_pictures", 3}, {"views_many", 40}};  // 40: far below the first rows
  for (const auto& c : clicks) {
    StartPlayerOn(c.quiz);
    ShowList();
    SetText(View(), kFirstListBoxId - 1 + c.question, "Lima");
    HWND picture = GetDlgItem(View(), kFirstPictureId - 1 + c.question);
    PostMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpMessages();
    EXPECT_EQ(GetFocus(), Box(c.question)) << c.quiz;
    EXPECT_TRUE(InSight(Box(c.question))) << c.quiz;
    DWORD start = 0, end = 0;
    SendMessageA(Box(c.question), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 4u) << c.quiz;
    EXPECT_EQ(end, 4u) << c.quiz;
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

TEST_F(QuestionListViewTest, F1WithEveryLabelRightOnlyReturnsTheFocus) {
  WriteFileBytes(ProgressPath(), "Paris\r\nBerlin\r\nRome\r\n");
  StartPlayerOn("views_capitals");
  ShowList();
  SetFocus(Box(2));
  SetText(View(), kFirstListBoxId + 1, "Berlin");
  PressKey(Box(2), VK_F1);
  EXPECT_EQ(BoxText(1), "Paris");
  EXPECT_EQ(BoxText(2), "Berlin");
  EXPECT_EQ(BoxText(3), "Rome");
  EXPECT_EQ(GetFocus(), Box(2));
}

// Back in the single view, the question shown is judged again: its verdict
// and reveal text follow the answer the list view gave it, and the score is
// the one the list view already showed.
TEST_F(QuestionListViewTest, TheSwitchBackJudgesTheQuestionShownAgain) {
  WriteFileBytes(ProgressPath(), "Paris\r\n");
  StartPlayerOn("views_reveal");
  ASSERT_EQ(ControlText(g_shell.singleView, 9500), "BRAVO");
  ASSERT_EQ(ControlText(g_shell.singleView, 9501), "La ville lumi\xE8re");
  ShowList();
  Answer(1, "xx");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 0 / 4");
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "xx");
  EXPECT_EQ(ControlText(g_shell.singleView, 9500), "FAUX");
  EXPECT_EQ(ControlText(g_shell.singleView, 9501), "");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 0 / 4");
}

// A judgement saves the list view's boxes once one of them differs from the
// file; the boxes are then the slots.
TEST_F(QuestionListViewTest, JudgementsSaveTheBoxesThatChanged) {
  StartPlayerOn("views_capitals");
  ShowList();
  Answer(2, "Berlin");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "\r\nBerlin\r\n\r\n");
  SetFocus(Box(3));
  SetText(View(), kFirstListBoxId + 2, "Rome");
  PressKey(Box(3), VK_RETURN);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "\r\nBerlin\r\nRome\r\n");
  EXPECT_STREQ(g_document->quiz->answerSlots[2], "Rome");
}

TEST_F(QuestionListViewTest, F3InABoxSwitchesBackToTheSingleView) {
  StartPlayerOn("views_capitals");
  ShowList();
  SetFocus(Box(1));
  SetText(View(), kFirstListBoxId, "Paris");
  PressKey(Box(1), VK_F3);
  EXPECT_TRUE(IsWindowVisible(g_shell.singleView));
  EXPECT_FALSE(IsWindowVisible(View()));
  EXPECT_EQ(ControlText(g_shell.singleView, kAnswerBoxId), "Paris");
}

// Every one of the N x A boxes goes to its slot and back: in a two-answer quiz
// the second answers too.
TEST_F(QuestionListViewTest, TheSwitchCarriesEveryAnswerBox) {
  WriteFileBytes(ProgressPath(), "Paris\r\nFrance\r\nRome\r\nItalie\r\nMadrid\r\nEspagne\r\n");
  StartPlayerOn("views_pair");
  ShowList();
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(BoxText(i), g_document->quiz->answerSlots[i - 1]) << i;
  Answer(4, "Suisse");
  const std::string longest(259, 'P');  // whole: a box takes no more
  Answer(6, longest.c_str());
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  EXPECT_STREQ(g_document->quiz->answerSlots[3], "Suisse");
  EXPECT_EQ(g_document->quiz->answerSlots[5], longest);
  PressKey(GetDlgItem(g_shell.singleView, kAnswerBoxId), VK_F2);
  EXPECT_EQ(ReadFileBytes(ProgressPath()),
            "Paris\r\nFrance\r\nRome\r\nSuisse\r\nMadrid\r\n" + longest + "\r\n");
}

// A save asked for while the list view is shown writes what its boxes hold.
TEST_F(QuestionListViewTest, SavingFromTheListViewTakesItsBoxesIn) {
  const char* ways[] = {"F2", "Alt+F2", "Sauver", "close"};
  for (const char* way : ways) {
    StartPlayerOn("views_capitals");
    ShowList();
    Answer(1, "Paris");
    SetFocus(Box(2));
    SetText(View(), kFirstListBoxId + 1, std::string("Berlin ") + way);
    const std::string w = way;
    if (w == "F2") PressKey(Box(2), VK_F2);
    if (w == "Alt+F2") PressAltKey(Box(2), VK_F2);
    if (w == "Sauver") Click(g_shell.headerBar, kSaveButtonId);
    if (w == "close") {
      PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
      EXPECT_EQ(RunMessageLoop(), 0);
    }
    EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\nBerlin " + w + "\r\n\r\n") << way;
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

TEST_F(QuestionListViewTest, PaintsLabelsByVerdictAndTextsOnTheBackground) {
  StartPlayerOn("views_capitals");  // a dark background: white texts
  ShowList();
  Answer(1, "Paris");
  Answer(2, "Berlin France");
  Answer(3, "Madrid");
  HDC dc = GetDC(View());
  const struct {
    int label;
    HBRUSH brush;
  } verdicts[] = {
      {1, g_document->rightBrush},   // BRAVO
      {2, g_document->hintBrush},    // Trop long
      {3, g_document->wrongBrush},   // FAUX
  };
  for (const auto& v : verdicts) {
    HWND label = GetDlgItem(View(), kFirstLabelId - 1 + v.label);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(label))),
              v.brush)
        << Label(v.label);
    EXPECT_EQ(PaintedEdgeColour(label), BrushColour(v.brush)) << Label(v.label);
  }
  HWND number = ChildrenWithId(View(), kNumberLabelId)[0];
  SetTextColor(dc, RGB(1, 2, 3));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                  reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(number))),
            g_document->backgroundBrush);
  EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORDLG,
                                                  reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(View()))),
            g_document->backgroundBrush);
  ReleaseDC(View(), dc);
}

TEST_F(QuestionListViewTest, TextsOnALightBackgroundAreBlackAndPicturesKeepThePlatformColours) {
  StartPlayerOn("views_reveal");
  HDC dc = GetDC(View());
  for (HWND control : {ChildrenWithId(View(), kNumberLabelId)[0], GetDlgItem(View(), kFirstRevealId)}) {
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(control))),
              g_document->backgroundBrush);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  }
  // The platform's own answer, the dialog face.
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                  reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(GetDlgItem(View(), kFirstPictureId)))),
            GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(View(), dc);
}

TEST_F(QuestionListViewTest, TheBitmapsOfThePicturesGoWithTheView) {
  StartPlayerOn("views_pictures");
  ShowList();
  std::vector<HGDIOBJ> shown;
  for (int n = 1; n <= 4; ++n)
    shown.push_back(reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageA(View(), kFirstPictureId - 1 + n, STM_GETIMAGE, IMAGE_BITMAP, 0)));
  for (HGDIOBJ bitmap : shown) EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  StopPlayerNow();
  for (HGDIOBJ bitmap : shown) EXPECT_EQ(GetObjectType(bitmap), 0u);
}

// Pictures are decoded as their questions come into sight: none while the
// view is hidden, the first rows once it is shown, the last row when the view
// scrolls to it or Tab brings a box of it into sight. The damaged PNG of
// question 10 is told once, when its row first comes into sight, however
// often it comes back, and leaves an empty box of the background.
TEST_F(QuestionListViewTest, PicturesAreDecodedWhenTheirRowFirstComesIntoSight) {
  const auto shows = [&](int n) {
    HWND picture = GetDlgItem(View(), kFirstPictureId - 1 + n);
    return SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
  };
  for (const bool byTab : {false, true}) {
    SCOPED_TRACE(byTab ? "Tab from question 9" : "scrolled to the bottom");
    MessageBoxCatcher catcher;
    StartPlayerOn("views_late");
    // Laid out from the headers: the garbage as a picture that does not load
    // (W wide, no height), the damaged PNG at its header's size.
    ExpectPlace(PlaceOf(View(), kFirstPictureId + 8), {526, 565 + 105, 210, 0}, "garbage");
    ExpectPlace(PlaceOf(View(), kFirstPictureId + 9), {46, 845 + 52, 210, 105}, "damaged PNG");
    ExpectPlace(PlaceOf(View(), kFirstPictureId + 10), {286 + 26, 845, 157, 210}, "last");
    EXPECT_FALSE(shows(1));
    ShowList();
    EXPECT_TRUE(shows(1));
    EXPECT_FALSE(shows(11));
    EXPECT_TRUE(catcher.boxes().empty());

    if (byTab) {
      SetFocus(Box(9));
      PressKey(Box(9), VK_TAB);
    } else {
      Scroll(WM_VSCROLL, SB_BOTTOM);
    }
    EXPECT_TRUE(shows(11));
    EXPECT_EQ(PaintedColourAt(GetDlgItem(View(), kFirstPictureId + 9), 100, 50), RGB(200, 220, 240));
    ASSERT_EQ(catcher.boxes().size(), 1u);
    EXPECT_EQ(catcher.boxes()[0].caption, "Information");
    EXPECT_EQ(catcher.boxes()[0].text, "Error: couldn't create bitmap");
    Scroll(WM_VSCROLL, SB_TOP);
    Scroll(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(catcher.boxes().size(), 1u);

    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

}  // namespace
}  // namespace vidod::testing
