#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/player_shell.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "view_test_support.h"
#include "views/single_question_view.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr int kPictureId = 9907;
constexpr int kPreviousId = 9906;
constexpr int kNextId = 9905;
constexpr int kVerdictId = 9500;
constexpr int kRevealId = 9501;
constexpr int kScoreLabelId = 32;

class SingleQuestionViewTest : public PlayerTest {
 protected:
  HWND View() const { return g_shell.singleView; }
  HWND Box() const { return GetDlgItem(g_shell.singleView, kAnswerBoxId); }
  std::string Slot(int i) const { return g_document->quiz->answerSlots[i]; }
  std::string Verdict() const { return ControlText(View(), kVerdictId); }
  int Chosen() const {
    return static_cast<int>(SendDlgItemMessageA(View(), kQuestionChooserId, CB_GETCURSEL, 0, 0));
  }
  void Choose(int item) {
    SendDlgItemMessageA(View(), kQuestionChooserId, CB_SETCURSEL, item, 0);
    SendMessageA(View(), WM_COMMAND, MAKEWPARAM(kQuestionChooserId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(View(), kQuestionChooserId)));
    PumpMessages();
  }
  HBITMAP ShownBitmap() const {
    return reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(View(), kPictureId, STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
};

TEST_F(SingleQuestionViewTest, CreatesItsControlsInOrderWithTheirPlacesStylesAndFonts) {
  StartPlayerOn("views_capitals");
  const HGDIOBJ guiFont = GetStockObject(DEFAULT_GUI_FONT);
  const struct {
    int id;
    const char* className;
    const char* text;
    LONG_PTR style;
    Place place;
    bool guiFont;
  } expected[] = {
      {kPictureId, "static", "", 0x5080020E, {5, 5, 640, 480}, false},
      // The box, the buttons and the chooser are tab stops (0x10000).
      {kPreviousId, "button", "<--", 0x50810000, {5, 490, 60, 20}, false},
      {kAnswerBoxId, "edit", "", 0x50010081, {170, 490, 230, 20}, false},
      {kVerdictId, "static", "?", 0x50800201, {410, 490, 100, 20}, false},
      {kNextId, "button", "-->", 0x50810000, {585, 490, 60, 20}, false},
      {kRevealId, "static", "", 0x50000001, {170, 540, 230, 40}, true},
      // The platform moves the combo box's scroll bar style to its list.
      {kQuestionChooserId, "combobox", "Image n\xB0" "1", 0x50010803, {170, 515, 230, 150}, true},
  };
  HWND child = GetWindow(View(), GW_CHILD);
  for (const auto& control : expected) {
    ASSERT_NE(child, nullptr) << control.id;
    EXPECT_EQ(GetDlgCtrlID(child), control.id);
    EXPECT_EQ(ClassOf(child), control.className) << control.id;
    EXPECT_EQ(ControlText(View(), control.id), control.text) << control.id;
    // The platform may add its own bits (an edit draws its border itself).
    EXPECT_EQ(StyleOf(child) & control.style, control.style) << control.id;
    const Place place = PlaceOf(child);
    EXPECT_EQ(place.x, control.place.x) << control.id;
    EXPECT_EQ(place.y, control.place.y) << control.id;
    EXPECT_EQ(place.width, control.place.width) << control.id;
    if (control.id != kQuestionChooserId) {  // a closed combo box has the height of its field
      EXPECT_EQ(place.height, control.place.height) << control.id;
    }
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(child, WM_GETFONT, 0, 0));
    EXPECT_EQ(font, control.guiFont ? guiFont : nullptr) << control.id;
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(CurrentQuestionIndex(), 0);
  // No more than a slot and the progress file keep.
  EXPECT_EQ(SendMessageA(Box(), EM_GETLIMITTEXT, 0, 0), 259);
}

TEST_F(SingleQuestionViewTest, TheChooserListsOneItemPerQuestion) {
  StartPlayerOn("views_long");
  HWND chooser = GetDlgItem(View(), kQuestionChooserId);
  ASSERT_EQ(SendMessageA(chooser, CB_GETCOUNT, 0, 0), 30);
  for (int item = 0; item < 30; ++item) {
    char text[32] = "";
    SendMessageA(chooser, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::string(text), "Image n\xB0" + std::to_string(item + 1));
  }
  EXPECT_EQ(Chosen(), 0);
}

TEST_F(SingleQuestionViewTest, PlacesEachPictureByItsFittedWidth) {
  const struct {
    const char* quiz;
    int question;
    int x, width, bitmapWidth;
  } cases[] = {
      {"views_pictures", 0, 5, 640, 640},    // as wide as the box: the margin
      {"views_narrow", 0, 20, 600, 600},     // narrower: centred, no margin added
      {"views_narrow", 1, 140, 360, 360},
      {nullptr, 0, 5, 640, 640},             // no picture at all: the whole box, empty
  };
  for (const auto& c : cases) {
    StartPlayerOn(c.quiz);
    if (c.question) Choose(c.question);
    const Place place = PlaceOf(View(), kPictureId);
    EXPECT_EQ(place.x, c.x) << c.quiz << " " << c.question;
    EXPECT_EQ(place.y, 5);
    EXPECT_EQ(place.width, c.width) << c.quiz << " " << c.question;
    EXPECT_EQ(place.height, 480);
    BITMAP shown = {};
    if (ShownBitmap()) GetObjectA(ShownBitmap(), sizeof shown, &shown);
    EXPECT_EQ(shown.bmWidth, c.bitmapWidth) << c.quiz << " " << c.question;
    StopPlayerNow();
    if (quizModule_) FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

bool ColoursClose(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// What a picture leaves free of its box, and the transparent pixels of a PNG
// or a GIF, show the quiz's background in both views; neither the colour of
// the picture's corner (black on the flag) nor the colour stored with the
// transparent pixels (black in both). A question without a picture shows an
// empty box of the background, never the picture shown before it (each
// question is shown after question 1's).
TEST_F(SingleQuestionViewTest, PicturesStandOnTheQuizBackgroundInBothViews) {
  const COLORREF backdrop = RGB(250, 240, 170);
  const COLORREF pale = RGB(200, 220, 240);
  const COLORREF square = RGB(0x20, 0x50, 0xC0);
  const struct {
    const char* quiz;
    bool list;
    int question;  // from 0
    int x, y;      // in the picture control's client area
    COLORREF colour;
    const char* what;
  } points[] = {
      {"views_backdrop", false, 0, 320, 20, backdrop, "above the flat flag (640 x 384 in 640 x 480)"},
      {"views_backdrop", false, 0, 320, 460, backdrop, "below it"},
      {"views_backdrop", false, 0, 320, 100, RGB(0, 0, 0), "the flag's black stripe"},
      {"views_backdrop", false, 1, 20, 240, backdrop, "the PNG's transparent frame (480 x 480)"},
      {"views_backdrop", false, 1, 240, 240, square, "its opaque square"},
      {"views_backdrop", true, 1, 10, 105, backdrop, "the PNG's frame in the list view (210 x 210)"},
      {"views_backdrop", true, 1, 105, 105, square, "its square in the list view"},
      {"views_gaps", false, 1, 2, 2, pale, "no picture, top left"},
      {"views_gaps", false, 1, 320, 240, pale, "no picture, middle"},
      {"views_gaps", false, 1, 636, 476, pale, "no picture, bottom right"},
      {"views_gaps", false, 2, 40, 240, pale, "the GIF's transparent frame (480 x 480)"},
      {"views_gaps", false, 2, 240, 240, square, "its opaque square"},
      {"views_gaps", true, 2, 10, 105, pale, "the GIF's frame in the list view (210 x 210)"},
      {"views_gaps", true, 2, 105, 105, square, "its square in the list view"},
  };
  const char* started = "";
  for (const auto& p : points) {
    if (std::string(started) != p.quiz) {
      RestartPlayerOn(p.quiz);
      started = p.quiz;
    }
    if (p.list) {
      SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
      PumpMessages();
    } else {
      Choose(0);
      Choose(p.question);
    }
    HWND picture = p.list ? GetDlgItem(g_shell.listView, 9901 + p.question) : GetDlgItem(View(), kPictureId);
    const COLORREF colour = PaintedColourAt(picture, p.x, p.y);
    EXPECT_TRUE(ColoursClose(colour, p.colour, 8)) << p.quiz << ", " << p.what << ": 0x" << std::hex << colour;
    if (p.list) {
      SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
      PumpMessages();
    }
  }
}

TEST_F(SingleQuestionViewTest, ShowingAnotherQuestionDeletesTheBitmapItReplaces) {
  StartPlayerOn("views_narrow");
  const HBITMAP first = ShownBitmap();
  ASSERT_NE(first, nullptr);
  Click(View(), kNextId);
  EXPECT_NE(ShownBitmap(), nullptr);
  EXPECT_EQ(GetObjectType(first), 0u);
  const HBITMAP second = ShownBitmap();
  StopPlayerNow();
  EXPECT_EQ(GetObjectType(second), 0u);
}

TEST_F(SingleQuestionViewTest, NextAndPreviousWrapAroundAndStoreTheAnswer) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "paris");
  Click(View(), kPreviousId);  // from the first to the last
  EXPECT_EQ(CurrentQuestionIndex(), 2);
  EXPECT_EQ(Chosen(), 2);
  EXPECT_EQ(Slot(0), "paris");
  EXPECT_EQ(GetFocus(), Box());  // the keys go to the answer again
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Rome");
  Click(View(), kNextId);  // from the last to the first
  EXPECT_EQ(CurrentQuestionIndex(), 0);
  EXPECT_EQ(Slot(2), "Rome");
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "paris");
  EXPECT_EQ(Verdict(), "BRAVO");
  Click(View(), kNextId);
  EXPECT_EQ(CurrentQuestionIndex(), 1);
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "");
  EXPECT_EQ(Verdict(), "?");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 2 / 3");
}

TEST_F(SingleQuestionViewTest, WithOneQuestionBothButtonsStoreAndShowItAgain) {
  StartPlayerOn("views_single");
  for (int id : {kNextId, kPreviousId}) {
    SetText(View(), kAnswerBoxId, id == kNextId ? "Paris" : "Pari");
    Click(View(), id);
    EXPECT_EQ(CurrentQuestionIndex(), 0);
    EXPECT_EQ(Slot(0), id == kNextId ? "Paris" : "Pari");
    EXPECT_EQ(Verdict(), id == kNextId ? "BRAVO" : "Quasiment");
    EXPECT_EQ(Chosen(), 0);
  }
}

// Enter leaves the question as leaving the box does: the answer is stored,
// judged and saved, so that a player stopped right after keeps it.
TEST_F(SingleQuestionViewTest, EnterStoresJudgesAndSavesTheAnswer) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "  paris ");
  PressKey(Box(), VK_RETURN);
  EXPECT_EQ(Verdict(), "BRAVO");
  EXPECT_EQ(Slot(0), "  paris ");
  EXPECT_EQ(GetFocus(), Box());
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "  paris \r\n\r\n\r\n");

  // Alt+Enter alike.
  SetText(View(), kAnswerBoxId, "Pari");
  PressAltKey(Box(), VK_RETURN);
  EXPECT_EQ(Verdict(), "Quasiment");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Pari\r\n\r\n\r\n");

  RestartPlayerOn("views_capitals");
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Pari");
  EXPECT_EQ(Verdict(), "Quasiment");
}

// Page Down and Page Up, or Alt with the right and left arrows, step through
// the questions as the buttons do, and the keys stay in the answer box.
TEST_F(SingleQuestionViewTest, PageKeysAndAltArrowsStepThroughTheQuestions) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "paris");
  const struct {
    WPARAM key;
    bool alt;
    int question;
  } steps[] = {
      {VK_NEXT, false, 1}, {VK_PRIOR, false, 0}, {VK_PRIOR, false, 2},  // round to the last
      {VK_RIGHT, true, 0}, {VK_RIGHT, true, 1},  {VK_LEFT, true, 0},
      {VK_RIGHT, false, 0}, {VK_DOWN, false, 0},  // plain arrows move the caret only
  };
  for (const auto& step : steps) {
    if (step.alt)
      PressAltKey(Box(), step.key);
    else
      PressKey(Box(), step.key);
    EXPECT_EQ(CurrentQuestionIndex(), step.question) << step.key;
    EXPECT_EQ(Chosen(), step.question) << step.key;
    EXPECT_EQ(GetFocus(), Box()) << step.key;
  }
  // The question left was stored, judged and saved.
  EXPECT_EQ(Slot(0), "paris");
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "paris");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 1 / 3");
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "paris\r\n\r\n\r\n");
}

// Tab and Shift+Tab go from the answer box to the buttons and the chooser
// and round, as in any dialog: Tab never selects the answer again for the
// next key to wipe it out, and the box it leaves is taken in and judged.
TEST_F(SingleQuestionViewTest, TabAndShiftTabGoRoundTheBoxButtonsAndChooser) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Paris");
  const struct {
    int from;
    bool shift;
    int to;
  } steps[] = {
      {kAnswerBoxId, false, kNextId},       {kNextId, false, kQuestionChooserId},
      {kQuestionChooserId, false, kPreviousId}, {kPreviousId, false, kAnswerBoxId},
      {kAnswerBoxId, true, kPreviousId},    {kPreviousId, true, kQuestionChooserId},
  };
  for (const auto& step : steps) {
    HoldShift(step.shift);
    PressKey(GetDlgItem(View(), step.from), VK_TAB);
    HoldShift(false);
    EXPECT_EQ(GetFocus(), GetDlgItem(View(), step.to)) << step.from << (step.shift ? " back" : "");
    if (step.to != kAnswerBoxId) {
      PostMessageA(GetFocus(), WM_CHAR, 'b', 1);
      PumpMessages();
    }
  }
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Paris");
  EXPECT_EQ(Slot(0), "Paris");
  EXPECT_EQ(Verdict(), "BRAVO");
  EXPECT_EQ(CurrentQuestionIndex(), 0);
}

// A question taken from the chooser sends the keys back to its answer, after
// the text: Enter in the closed chooser, or an item taken from its open
// list. The arrows in the closed chooser step and leave the keys there.
TEST_F(SingleQuestionViewTest, AChoiceInTheChooserSendsTheKeysBackToTheAnswer) {
  WriteFileBytes(ProgressPath(), "Paris\r\nBerlin\r\nRome\r\n");
  StartPlayerOn("views_capitals");
  HWND chooser = GetDlgItem(View(), kQuestionChooserId);
  const struct {
    const char* way;
    WPARAM keys[3];  // the last one takes the choice
    int question;
  } ways[] = {
      {"an arrow, then Enter", {VK_DOWN, VK_RETURN}, 1},
      {"the list opened, an arrow, Enter", {VK_F4, VK_DOWN, VK_RETURN}, 2},
  };
  for (const auto& w : ways) {
    SetFocus(chooser);
    for (const WPARAM key : w.keys) {
      if (!key) break;
      EXPECT_EQ(GetFocus(), chooser) << w.way;
      PressKey(chooser, key);
    }
    EXPECT_EQ(CurrentQuestionIndex(), w.question) << w.way;
    EXPECT_EQ(GetFocus(), Box()) << w.way;
    DWORD start = 0, end = 0;
    SendMessageA(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, Slot(w.question).size()) << w.way;
    EXPECT_EQ(end, Slot(w.question).size()) << w.way;
  }
}

// Ctrl+A selects the whole answer, in both views, for the next key to replace.
TEST_F(SingleQuestionViewTest, CtrlASelectsTheWholeAnswerInBothViews) {
  StartPlayerOn("views_capitals");
  for (const bool list : {false, true}) {
    if (list) PressKey(Box(), VK_F3);
    HWND box = list ? GetDlgItem(g_shell.listView, kFirstListBoxId) : Box();
    SetFocus(box);
    SetWindowTextA(box, "Allemagn");
    SendMessageA(box, EM_SETSEL, 3, 3);
    PostMessageA(box, WM_CHAR, 1, 1);  // Ctrl+A
    PostMessageA(box, WM_CHAR, 'X', 1);
    PumpMessages();
    char text[32] = "";
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "X") << (list ? "list view" : "single view");
  }
}

// While a box says something other than what was judged, no verdict stands
// beside it (a "BRAVO" beside a right answer being changed misled pupils);
// leaving judges it again, and the caret follows the answer shown.
TEST_F(SingleQuestionViewTest, AVerdictStandsOnlyBesideTheAnswerItJudged) {
  WriteFileBytes(ProgressPath(), "Paris\r\nBerlin\r\nRome\r\n");
  StartPlayerOn("views_capitals");
  for (const bool list : {false, true}) {
    const char* view = list ? "list view" : "single view";
    if (list) PressKey(Box(), VK_F3);
    HWND parent = list ? g_shell.listView : View();
    // The list view takes question 2's box: question 1's was changed above.
    HWND box = list ? GetDlgItem(parent, kFirstListBoxId + 1) : Box();
    auto verdict = [&] { return ControlText(parent, list ? kFirstListBoxId + 1001 : kVerdictId); };
    FocusAtEnd(box);
    ASSERT_EQ(verdict(), "BRAVO") << view;
    PostMessageA(box, WM_CHAR, 'x', 1);
    PumpMessages();
    EXPECT_EQ(verdict(), "?") << view;
    if (!list) {
      PostMessageA(box, WM_CHAR, '\b', 1);
      PumpMessages();
      EXPECT_EQ(verdict(), "BRAVO") << view << ": the judged answer is back";
      PostMessageA(box, WM_CHAR, 'x', 1);
      PumpMessages();
    }
    SetFocus(list ? GetDlgItem(parent, kFirstListBoxId + 2) : g_shell.mainWindow);
    PumpMessages();
    EXPECT_NE(verdict(), "BRAVO") << view;
    EXPECT_NE(verdict(), "?") << view;
  }
  PressKey(GetDlgItem(g_shell.listView, kFirstListBoxId), VK_F3);
  FocusAtEnd(Box());
  Choose(2);  // as the wheel over the chooser does, the keys staying in the box
  DWORD start = 0, end = 0;
  SendMessageA(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, Slot(2).size());
  EXPECT_EQ(end, Slot(2).size());
}

TEST_F(SingleQuestionViewTest, TheBoxConsumesEnterAndTabCharacters) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Ro");
  SendMessageA(Box(), EM_SETSEL, 2, 2);
  for (WPARAM character : {WPARAM{'\r'}, WPARAM{'\t'}, WPARAM{'m'}, WPARAM{'e'}})
    PostMessageA(Box(), WM_CHAR, character, 1);
  PumpMessages();
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Rome");
}

TEST_F(SingleQuestionViewTest, LeavingTheBoxStoresAndJudgesAndComingBackSelectsAll) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "SIRAP");
  SetFocus(g_shell.mainWindow);
  EXPECT_EQ(Slot(0), "SIRAP");
  EXPECT_EQ(Verdict(), "Anagramme");
  SetFocus(Box());
  DWORD start = 1, end = 0;
  SendMessageA(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 5u);
}

TEST_F(SingleQuestionViewTest, F2SavesTheBoxIntoTheFileWithAndWithoutAlt) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Paris");
  PressKey(Box(), VK_F2);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n\r\n\r\n");
  SetText(View(), kAnswerBoxId, "Lyon");
  PressAltKey(Box(), VK_F2);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Lyon\r\n\r\n\r\n");
}

TEST_F(SingleQuestionViewTest, F3InTheBoxSwitchesViewsAndCarriesWhatWasTyped) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Paris");
  PressKey(Box(), VK_F3);
  EXPECT_TRUE(IsWindowVisible(g_shell.listView));
  EXPECT_FALSE(IsWindowVisible(g_shell.singleView));
  EXPECT_EQ(ControlText(g_shell.listView, kFirstListBoxId), "Paris");
  EXPECT_EQ(Slot(0), "Paris");
}

TEST_F(SingleQuestionViewTest, SetUpRestoresAndJudgesEveryStoredAnswer) {
  WriteFileBytes(ProgressPath(), "Paris\r\nBerlin\r\nMilan\r\n");
  StartPlayerOn("views_capitals");
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Paris");
  EXPECT_EQ(Verdict(), "BRAVO");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 2 / 3");
  EXPECT_EQ(Slot(1), "Berlin");
  Click(View(), kPreviousId);
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Milan");
  EXPECT_EQ(Verdict(), "FAUX");
}

// In a two-answer quiz question n's answer is slot (n - 1) x 2, the slot that
// the file and the list view keep for its first answer.
TEST_F(SingleQuestionViewTest, TwoAnswerQuizzesUseTheFirstAnswerSlotOfEachQuestion) {
  WriteFileBytes(ProgressPath(), "Paris\r\nFrance\r\nRome\r\nItalie\r\n\r\n\r\n");
  StartPlayerOn("views_pair");
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Paris");
  Click(View(), kNextId);
  EXPECT_EQ(ControlText(View(), kAnswerBoxId), "Rome");
  EXPECT_EQ(Verdict(), "BRAVO");
  SetText(View(), kAnswerBoxId, "Roma");
  Click(View(), kNextId);
  EXPECT_EQ(Slot(2), "Roma");
  EXPECT_EQ(Slot(1), "France");
  SetText(View(), kAnswerBoxId, "Madrid");
  PressKey(Box(), VK_F2);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\nFrance\r\nRoma\r\nItalie\r\nMadrid\r\n\r\n");
}

TEST_F(SingleQuestionViewTest, PaintsEachVerdictWithItsBrush) {
  StartPlayerOn("views_capitals");
  HWND label = GetDlgItem(View(), kVerdictId);
  const struct {
    const char* typed;
    const char* verdict;
    HBRUSH PlayerDocument::*brush;
    COLORREF colour;
  } cases[] = {
      {"Paris", "BRAVO", &PlayerDocument::rightBrush, RGB(0, 255, 0)},
      {"xyz", "FAUX", &PlayerDocument::wrongBrush, RGB(255, 0, 0)},
      {"SIRAP", "Anagramme", &PlayerDocument::anagramBrush, RGB(255, 100, 0)},
      {"Paris France", "Trop long", &PlayerDocument::hintBrush, RGB(255, 203, 38)},
      {"Pari", "Quasiment", &PlayerDocument::hintBrush, RGB(255, 203, 38)},
  };
  HDC dc = GetDC(label);
  for (const auto& c : cases) {
    SetText(View(), kAnswerBoxId, c.typed);
    PressKey(Box(), VK_RETURN);
    ASSERT_EQ(Verdict(), c.verdict);
    const LRESULT brush = SendMessageA(View(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), g_document->*c.brush) << c.verdict;
    EXPECT_EQ(BrushColour(g_document->*c.brush), c.colour) << c.verdict;
    EXPECT_EQ(PaintedEdgeColour(label), c.colour) << c.verdict;
  }
  // "?" keeps the platform's colours.
  SetText(View(), kAnswerBoxId, "");
  PressKey(Box(), VK_RETURN);
  EXPECT_EQ(Verdict(), "?");
  EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                  reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(label))),
            GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(label, dc);
}

// The reveal text stands on the background, white on a dark colour and black
// on a light one, as the list view draws its texts.
TEST_F(SingleQuestionViewTest, TheRevealLabelAndTheBackgroundUseTheBackgroundBrush) {
  const struct {
    const char* quiz;
    COLORREF background, text;
  } quizzes[] = {
      {"views_backdrop", RGB(250, 240, 170), RGB(0, 0, 0)},
      {"views_capitals", RGB(20, 30, 90), RGB(255, 255, 255)},
  };
  for (const auto& q : quizzes) {
    StartPlayerOn(q.quiz);
    HWND reveal = GetDlgItem(View(), kRevealId);
    HDC dc = GetDC(reveal);
    SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(reveal))),
              g_document->backgroundBrush);
    EXPECT_EQ(BrushColour(g_document->backgroundBrush), q.background) << q.quiz;
    EXPECT_EQ(GetTextColor(dc), q.text) << q.quiz;
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORSTATIC,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(GetDlgItem(View(), kPictureId)))),
              GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(SendMessageA(View(), WM_CTLCOLORDLG,
                                                    reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(View()))),
              g_document->backgroundBrush);
    ReleaseDC(reveal, dc);
    StopPlayerNow();
    FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }
}

// The answers reach the file as the player goes: once a changed answer is
// stored (the box left, Enter, another question shown), and not again when
// nothing has changed.
TEST_F(SingleQuestionViewTest, ChangedAnswersAreSavedAsThePlayerGoes) {
  StartPlayerOn("views_capitals");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Paris");
  SetFocus(g_shell.mainWindow);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n\r\n\r\n");
  SetFocus(Box());
  SetText(View(), kAnswerBoxId, "Lyon");
  Click(View(), kNextId);
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Lyon\r\n\r\n\r\n");
  DeleteFileA(ProgressPath().c_str());
  Click(View(), kNextId);
  Choose(0);
  EXPECT_EQ(GetFileAttributesA(ProgressPath().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(g_shell.savesRequested, 0);  // none of them asked for by the player
}

}  // namespace
}  // namespace vidod::testing
