// Damaged quiz modules: each starts, shows the message that is due (caught,
// as a user would have read it), and closes normally.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/player_shell.h"
#include "message_box_catcher.h"
#include "player_fixture.h"
#include "quiz/player_document.h"
#include "quiz_module_copy.h"
#include "views/views.h"

namespace vidod::testing {
namespace {

constexpr char kLoaderCaption[] = "Vidod";
constexpr char kAnswersMessage[] = "Erreur dans le d\xE9" "cryptage des reponses";
constexpr char kCodesMessage[] = "Erreur dans le d\xE9" "cryptage des codes";
constexpr char kPictureCaption[] = "Information";
constexpr char kBitmapMessage[] = "Error: couldn't create bitmap";
constexpr char kDecodeMessage[] = "Error: couldn't decode PNG resource";
constexpr char kQuizType[] = "PATCH";
constexpr int kAnswersId = 104;
constexpr int kCodesId = 105;
constexpr int kCutStep = 10;
constexpr int kScoreLabelId = 32;
constexpr int kCodeFieldId = 30;
constexpr int kSwitchButtonId = 23;
constexpr int kNextId = 9905;
constexpr int kSinglePictureId = 9907;
constexpr int kFirstListPictureId = 9901;
constexpr int kListLabelOffset = 1000;

class DamagedQuizTest : public PlayerTest {
 protected:
  // Starts the player on a module file made by the test.
  void StartOnModuleFile(const std::string& path) {
    quizModule_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(quizModule_, nullptr) << path;
    ASSERT_TRUE(StartPlayer(GetModuleHandleA(nullptr), quizModule_, ProgressFile()));
    running_ = true;
    PumpMessages();
  }

  // WM_CLOSE ends the loop with 0; the module goes with the player.
  void CloseNormally() {
    PostMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunMessageLoop(), 0);
    StopPlayerNow();
    if (quizModule_) FreeLibrary(quizModule_);
    quizModule_ = nullptr;
  }

  void SwitchViews() {
    SendDlgItemMessageA(g_shell.headerBar, kSwitchButtonId, BM_CLICK, 0, 0);
    PumpMessages();
  }

  std::string BuiltResource(const char* quiz, int id) {
    HMODULE module = LoadQuizModule(quiz);
    std::string bytes = module ? ResourceBytes(module, kQuizType, id) : "";
    if (module) FreeLibrary(module);
    return bytes;
  }
};

void ExpectOneBox(const MessageBoxCatcher& catcher, const char* caption, const char* text) {
  ASSERT_EQ(catcher.boxes().size(), 1u);
  EXPECT_EQ(catcher.boxes()[0].caption, caption);
  EXPECT_EQ(catcher.boxes()[0].text, text);
}

// The refused answers leave an empty quiz that still runs.
void ExpectEmptyQuiz() {
  EXPECT_EQ(g_document->quiz->questionCount, 0);
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 0 / 0");
}

TEST_F(DamagedQuizTest, EveryTenthByteCutOfTheAnswersIsReported) {
  const std::string answers = BuiltResource("hardening_two", kAnswersId);
  ASSERT_GT(answers.size(), 100u);
  for (std::size_t length = kCutStep; length < answers.size(); length += kCutStep) {
    SCOPED_TRACE("answers cut to " + std::to_string(length) + " of " +
                 std::to_string(answers.size()) + " bytes");
    const std::string path = folder_ + "\\cut_" + std::to_string(length) + ".exe";
    ASSERT_TRUE(CopyQuizModuleWithResource("hardening_two", path, kQuizType, kAnswersId,
                                           answers.substr(0, length)));
    MessageBoxCatcher catcher;
    StartOnModuleFile(path);
    ExpectOneBox(catcher, kLoaderCaption, kAnswersMessage);
    ExpectEmptyQuiz();
    CloseNormally();
  }
  // The copies themselves are sound: the whole blob, put back the same way, loads.
  const std::string path = folder_ + "\\whole.exe";
  ASSERT_TRUE(CopyQuizModuleWithResource("hardening_two", path, kQuizType, kAnswersId, answers));
  MessageBoxCatcher catcher;
  StartOnModuleFile(path);
  EXPECT_TRUE(catcher.boxes().empty());
  EXPECT_EQ(g_document->quiz->questionCount, 3);
  CloseNormally();
}

TEST_F(DamagedQuizTest, CutsOfTheCodesAreReportedAndTheAnswersStay) {
  const std::string codes = BuiltResource("hardening_two", kCodesId);
  ASSERT_GT(codes.size(), static_cast<std::size_t>(kCutStep));
  std::vector<std::size_t> lengths = {1};  // shorter than the first code
  for (std::size_t length = kCutStep; length < codes.size(); length += kCutStep)
    lengths.push_back(length);
  for (std::size_t length : lengths) {
    SCOPED_TRACE("codes cut to " + std::to_string(length) + " bytes");
    const std::string path = folder_ + "\\codes_" + std::to_string(length) + ".exe";
    ASSERT_TRUE(CopyQuizModuleWithResource("hardening_two", path, kQuizType, kCodesId,
                                           codes.substr(0, length)));
    MessageBoxCatcher catcher;
    StartOnModuleFile(path);
    ExpectOneBox(catcher, kLoaderCaption, kCodesMessage);
    EXPECT_EQ(g_document->quiz->questionCount, 3);
    EXPECT_STREQ(QuestionAt(g_document->quiz, 2)->expectedAnswer2, "Norv\xE8ge");
    CloseNormally();
  }
}

TEST_F(DamagedQuizTest, CutModulesBuiltAheadStartReportAndClose) {
  const char* modules[] = {
      // Ten bytes: the stream stops in its first codes.
      "hardening_cut_first",
      // Everything but the last few bytes: only the end code is missing.
      "hardening_cut_last",
  };
  for (const char* module : modules) {
    SCOPED_TRACE(module);
    MessageBoxCatcher catcher;
    StartPlayerOn(module);
    ExpectOneBox(catcher, kLoaderCaption, kAnswersMessage);
    ExpectEmptyQuiz();
    CloseNormally();
  }
}

TEST_F(DamagedQuizTest, WithoutACodesBlobTheAnswersStayAndNoCodeShows) {
  MessageBoxCatcher catcher;
  StartPlayerOn("hardening_no_codes");
  ExpectOneBox(catcher, kLoaderCaption, kCodesMessage);
  EXPECT_EQ(g_document->quiz->questionCount, 3);
  EXPECT_EQ(g_document->quiz->answersPerQuestion, 2);
  HWND box = GetDlgItem(g_shell.singleView, kAnswerBoxId);
  SetWindowTextA(box, "Paris");
  PostMessageA(box, WM_KEYUP, VK_RETURN, 0);
  PumpMessages();
  EXPECT_EQ(ControlText(g_shell.singleView, 9500), "BRAVO");
  EXPECT_EQ(ControlText(g_shell.headerBar, kScoreLabelId), " 1 / 3");
  EXPECT_EQ(ControlText(g_shell.headerBar, kCodeFieldId), "");
  CloseNormally();
  EXPECT_EQ(ReadFileBytes(ProgressPath()), "Paris\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(DamagedQuizTest, AnswerCountsBeyondTheSlotsAreRefused) {
  const struct {
    const char* module;
    int questions;     // 0: refused
    int perQuestion;
    const char* last;  // the expected answer of the last answer box
  } cases[] = {
      // 96 questions of one answer fill the 96 slots exactly.
      {"hardening_96_questions", 96, 1, "P"},
      // 97 questions would need a 97th slot.
      {"hardening_97_questions", 0, 0, nullptr},
      // 48 questions of two answers fill the slots exactly.
      {"hardening_48_pairs", 48, 2, "Q"},
      // 49 questions of two answers would need 98 slots.
      {"hardening_49_pairs", 0, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    MessageBoxCatcher catcher;
    StartPlayerOn(c.module);
    if (!c.questions) {
      ExpectOneBox(catcher, kLoaderCaption, kAnswersMessage);
      ExpectEmptyQuiz();
      CloseNormally();
      DeleteFileA(ProgressPath().c_str());
      continue;
    }
    EXPECT_TRUE(catcher.boxes().empty());
    EXPECT_EQ(g_document->quiz->questionCount, c.questions);
    // The last slot is reachable: typed in the list view, judged, saved.
    const int boxes = c.questions * c.perQuestion;
    SwitchViews();
    HWND last = GetDlgItem(g_shell.listView, kFirstListBoxId - 1 + boxes);
    ASSERT_NE(last, nullptr);
    SetFocus(last);
    SetWindowTextA(last, c.last);
    PostMessageA(last, WM_KEYUP, VK_RETURN, 0);
    PumpMessages();
    EXPECT_EQ(ControlText(g_shell.listView, kFirstListBoxId - 1 + boxes + kListLabelOffset), "BRAVO");
    SwitchViews();
    CloseNormally();
    std::string lines;
    for (int i = 1; i < boxes; ++i) lines += "\r\n";
    EXPECT_EQ(ReadFileBytes(ProgressPath()), lines + c.last + "\r\n");
    DeleteFileA(ProgressPath().c_str());
  }
}

// A picture: neither nothing nor the empty box of the quiz's background
// that a picture which does not load leaves.
bool ShowsAPicture(HWND parent, int id) {
  constexpr COLORREF kBackground = RGB(200, 220, 240);
  HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(parent, id, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (!bitmap) return false;
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF middle = GetPixel(dc, info.bmWidth / 2, info.bmHeight / 2);
  SelectObject(dc, old);
  DeleteDC(dc);
  return middle != kBackground;
}

TEST_F(DamagedQuizTest, DamagedPicturesAreReportedAndTheQuizGoesOn) {
  MessageBoxCatcher catcher;
  StartPlayerOn("hardening_pictures");
  // The single view shows question 1; the hidden list view decodes nothing.
  // Shown, it decodes the questions in sight, all five: questions 1 and 2
  // fail with their messages, the garbage of question 3 is refused silently.
  for (int n = 1; n <= 5; ++n) {
    EXPECT_FALSE(ShowsAPicture(g_shell.listView, kFirstListPictureId - 1 + n))
        << "list picture " << n;
  }
  ASSERT_EQ(catcher.boxes().size(), 1u);
  SwitchViews();
  SwitchViews();
  const std::vector<std::string> shown = {kBitmapMessage, kBitmapMessage, kDecodeMessage};
  ASSERT_EQ(catcher.boxes().size(), shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(catcher.boxes()[i].caption, kPictureCaption) << i;
    EXPECT_EQ(catcher.boxes()[i].text, shown[i]) << i;
  }
  // Only question 5's picture decodes; the others leave empty boxes.
  for (int n = 1; n <= 5; ++n)
    EXPECT_EQ(ShowsAPicture(g_shell.listView, kFirstListPictureId - 1 + n), n == 5) << "list picture " << n;
  EXPECT_FALSE(ShowsAPicture(g_shell.singleView, kSinglePictureId));

  // Stepping through the questions shows each one's message again, or none.
  const struct {
    const char* message;  // nullptr: none
    bool picture;
  } steps[] = {
      {kDecodeMessage, false},  // question 2
      {nullptr, false},         // question 3: garbage named as a picture
      {nullptr, false},         // question 4: raw data that is no PNG
      {nullptr, true},          // question 5: sound
      {kBitmapMessage, false},  // question 1 again
  };
  int question = 1;
  for (const auto& step : steps) {
    question = question % 5 + 1;
    SCOPED_TRACE("question " + std::to_string(question));
    const std::size_t before = catcher.boxes().size();
    SendDlgItemMessageA(g_shell.singleView, kNextId, BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_EQ(catcher.boxes().size(), before + (step.message ? 1 : 0));
    if (step.message) {
      EXPECT_EQ(catcher.boxes().back().text, step.message);
    }
    EXPECT_EQ(ShowsAPicture(g_shell.singleView, kSinglePictureId), step.picture);
  }
  CloseNormally();
}

}  // namespace
}  // namespace vidod::testing
