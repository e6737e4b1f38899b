// Quizzes built by vidod-make, as the player and the system see them: the
// native writer's quiz loaded as a module and started, the Windows build of
// the tool writing the same resources through the system's functions, and
// the demo quiz unpacked back to its source.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/player_shell.h"
#include "maker/pe_resources.h"
#include "maker/picture_check.h"
#include "maker/picture_codec.h"
#include "maker/picture_reduction.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "message_box_catcher.h"
#include "player_fixture.h"
#include "pictures/picture_loader.h"
#include "quiz/player_document.h"
#include "tool_run.h"

namespace vidod::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kQuizTitle[] = "Quiz construit par vidod-make";
constexpr char kPlayerClass[] = "WindowsApp";
constexpr int kFirstListPictureId = 9901;
constexpr int kListPictureSize = 210;
constexpr int kWindowWaitTicks = 300;  // of 100 ms
const char* const kPictureFiles[] = {"rome.jpg", "paris.png", "berne.gif", "madrid.bmp"};

std::string SourceFile() { return HostPath(VIDOD_MAKER_QUIZ_SOURCE); }
std::string PictureFile(const char* name) {
  return SourceFile().substr(0, SourceFile().find_last_of('\\') + 1) + "images\\" + name;
}
std::string Tool() { return "\"" + BuildTreePath("maker\\vidod-make.exe") + "\""; }
std::string Player() { return BuildTreePath("app\\vidod.exe"); }
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<ResourceEntry> ResourcesOf(const std::string& executable) {
  const std::vector<uint8_t> bytes = Bytes(ReadFileBytes(executable));
  std::vector<ResourceEntry> entries;
  std::string error;
  EXPECT_TRUE(ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) << executable << ": " << error;
  return entries;
}

std::vector<ResourceEntry> QuizResourcesOf(const std::string& executable) {
  std::vector<ResourceEntry> quiz;
  for (const ResourceEntry& entry : ResourcesOf(executable))
    if (IsQuizResource(entry)) quiz.push_back(entry);
  return quiz;
}

void ExpectSameResources(const std::vector<ResourceEntry>& a, const std::vector<ResourceEntry>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].type, b[i].type) << i;
    EXPECT_EQ(a[i].name, b[i].name) << i;
    EXPECT_EQ(a[i].language, b[i].language) << i;
    EXPECT_TRUE(a[i].data == b[i].data) << DescribeResourceName(a[i].type) << " " << DescribeResourceName(a[i].name);
  }
}

// The bytes FindResourceA finds in a module; empty when it finds nothing.
std::string ModuleResource(HMODULE module, LPCSTR type, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const char* bytes = static_cast<const char*>(LockResource(loaded));
  return std::string(bytes, SizeofResource(module, found));
}

QuizSource ReadSource(const std::string& file) {
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(fs::u8path(file), &quiz, &issues);
  for (const SourceIssue& issue : issues)
    if (!issue.warning) ADD_FAILURE() << FormatIssue(file, issue);
  return quiz;
}

SIZE BitmapSize(HGDIOBJ bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

class MakerQuizTest : public PlayerTest {};

#ifdef VIDOD_HAS_NATIVE_QUIZ

TEST_F(MakerQuizTest, TheBuiltQuizCarriesItsResourcesWhereThePlayerLooks) {
  HMODULE quiz = LoadQuizModule("maker_native");
  ASSERT_NE(quiz, nullptr) << QuizModulePath("maker_native");
  EXPECT_FALSE(ModuleResource(quiz, "PATCH", 104).empty());
  EXPECT_FALSE(ModuleResource(quiz, "PATCH", 105).empty());
  EXPECT_EQ(ModuleResource(quiz, "IMG", 401), ReadFileBytes(PictureFile("rome.jpg")));
  // The PNG is raw data, and only raw data: the player looks there when no "IMG" exists.
  EXPECT_EQ(ModuleResource(quiz, "IMG", 402), "");
  EXPECT_EQ(ModuleResource(quiz, MAKEINTRESOURCEA(10), 402), ReadFileBytes(PictureFile("paris.png")));
  EXPECT_EQ(ModuleResource(quiz, "IMG", 403), ReadFileBytes(PictureFile("berne.gif")));
  EXPECT_EQ(ModuleResource(quiz, "IMG", 404), ReadFileBytes(PictureFile("madrid.bmp")));
  EXPECT_EQ(ModuleResource(quiz, "IMG", 405), "");
  // The player's own resources are still there.
  EXPECT_NE(FindResourceA(quiz, MAKEINTRESOURCEA(1001), MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_NE(FindResourceA(quiz, MAKEINTRESOURCEA(1002), MAKEINTRESOURCEA(5)), nullptr);
  EXPECT_NE(FindResourceA(quiz, MAKEINTRESOURCEA(1003), MAKEINTRESOURCEA(12)), nullptr);
  EXPECT_NE(FindResourceA(quiz, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr);
  EXPECT_NE(FindResourceA(quiz, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr);
  FreeLibrary(quiz);
}

TEST_F(MakerQuizTest, ThePlayerShowsTheBuiltQuizWithEveryPicture) {
  MessageBoxCatcher catcher;
  StartPlayerOn("maker_native");
  EXPECT_TRUE(catcher.boxes().empty());
  char caption[260] = "";
  GetWindowTextA(g_shell.mainWindow, caption, sizeof caption);
  EXPECT_STREQ(caption, kQuizTitle);
  const QuizDocument* quiz = g_document->quiz;
  ASSERT_EQ(quiz->questionCount, 4);
  EXPECT_STREQ(QuestionAt(quiz, 1)->expectedAnswer1, "Paris");
  EXPECT_STREQ(QuestionAt(quiz, 3)->revealText, "Espagne (BMP)");
  EXPECT_STREQ(quiz->rewardCodes[3], "QUATRE");
  EXPECT_EQ(ControlText(g_shell.headerBar, 26), "\xC9quipe des tests");
  // JPEG, GIF and BMP through the system, PNG through the player's decoder:
  // each 40 x 30 picture fitted into the list view's 210 x 210 box, once the
  // list view is shown and its questions are in sight.
  SendMessageA(g_shell.mainWindow, WM_KEYUP, VK_F3, 0);
  PumpMessages();
  for (int n = 1; n <= 4; ++n) {
    const HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageA(g_shell.listView, kFirstListPictureId - 1 + n, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP)) << kPictureFiles[n - 1];
    const SIZE size = BitmapSize(bitmap);
    EXPECT_EQ(size.cx, kListPictureSize) << kPictureFiles[n - 1];
    EXPECT_EQ(size.cy, kListPictureSize * 30 / 40) << kPictureFiles[n - 1];
  }
}

TEST_F(MakerQuizTest, TheBuiltQuizStartsOnItsOwnWithItsTitle) {
  ScratchFolder folder;
  // A copy of its own: the player keeps its answers beside it.
  const std::string copy = folder.path() + "\\maker_native.exe";
  ASSERT_TRUE(CopyFileA(QuizModulePath("maker_native").c_str(), copy.c_str(), FALSE));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = Quoted(copy);
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.path().c_str(), &startup,
                             &process));
  HWND window = nullptr;
  for (int tick = 0; tick < kWindowWaitTicks && !window; ++tick) {
    window = FindWindowA(kPlayerClass, kQuizTitle);
    if (!window) Sleep(100);
  }
  ASSERT_NE(window, nullptr);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  EXPECT_EQ(owner, process.dwProcessId);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Closing saved the answers beside it, as the player does.
  EXPECT_NE(GetFileAttributesA((folder.path() + "\\maker_native.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(MakerWindowsToolTest, TheSystemsResourceFunctionsWriteTheSameQuiz) {
  ScratchFolder folder;
  const std::string output = folder.path() + "\\windows.exe";
  const ProgramRun run =
      RunProgram(Tool() + " build " + Quoted(SourceFile()) + " -o " + Quoted(output) + " --lecteur " + Quoted(Player()),
                 folder.path());
  ASSERT_TRUE(run.started);
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  ExpectSameResources(QuizResourcesOf(output), QuizResourcesOf(QuizModulePath("maker_native")));
  const std::vector<ResourceEntry> written = ResourcesOf(output);
  for (const ResourceEntry& own : ResourcesOf(Player())) {
    const ResourceEntry* found = FindResourceEntry(written, own.type, own.name, own.language);
    ASSERT_NE(found, nullptr) << DescribeResourceName(own.type) << " " << DescribeResourceName(own.name);
    EXPECT_TRUE(found->data == own.data);
  }
}

#endif  // VIDOD_HAS_NATIVE_QUIZ

#ifdef VIDOD_HAS_WEB_QUIZ
// WebP pictures built natively: stored as a JPEG and as a PNG that keeps
// its transparency, which the player's loader shows on the view's colour.
TEST(MakerWebQuizTest, WebPicturesAreShownByThePlayer) {
  HMODULE quiz = LoadQuizModule("maker_web");
  ASSERT_NE(quiz, nullptr) << QuizModulePath("maker_web");
  EXPECT_EQ(ModuleResource(quiz, "IMG", 401).substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(ModuleResource(quiz, MAKEINTRESOURCEA(10), 402).substr(1, 3), "PNG");
  const COLORREF background = RGB(40, 90, 160);
  const struct {
    int id;
    COLORREF left, right;  // the middles of the two halves
  } cases[] = {{401, RGB(255, 0, 0), RGB(0, 0, 255)}, {402, background, RGB(0, 255, 0)}};
  for (const auto& c : cases) {
    HBITMAP bitmap = LoadPicture(quiz, c.id, "IMG", 640, 480, background);
    ASSERT_NE(bitmap, nullptr) << c.id;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF seen[2] = {GetPixel(memory, 160, 160), GetPixel(memory, 480, 160)};
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    const COLORREF wanted[2] = {c.left, c.right};
    for (int half = 0; half < 2; ++half) {
      EXPECT_NEAR(GetRValue(seen[half]), GetRValue(wanted[half]), 12) << c.id << " half " << half;
      EXPECT_NEAR(GetGValue(seen[half]), GetGValue(wanted[half]), 12) << c.id << " half " << half;
      EXPECT_NEAR(GetBValue(seen[half]), GetBValue(wanted[half]), 12) << c.id << " half " << half;
    }
  }
  FreeLibrary(quiz);
}
#endif  // VIDOD_HAS_WEB_QUIZ

TEST(MakerWindowsToolTest, BuildThenUnpackThenBuildGivesTheSameResources) {
  ScratchFolder folder;
  const std::string first = folder.path() + "\\premier.exe";
  ProgramRun run =
      RunProgram(Tool() + " build " + Quoted(SourceFile()) + " -o " + Quoted(first) + " --lecteur " + Quoted(Player()),
                 folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  run = RunProgram(Tool() + " unpack premier.exe -o source", folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const QuizSource original = ReadSource(SourceFile());
  const QuizSource unpacked = ReadSource(folder.path() + "\\source\\quiz.toml");
  EXPECT_EQ(WriteAnswersBlob(unpacked), WriteAnswersBlob(original));
  EXPECT_EQ(WriteCodesBlob(unpacked), WriteCodesBlob(original));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(unpacked.questions[k].image.substr(0, 17), "images/question-0");
  EXPECT_EQ(ReadFileBytes(folder.path() + "\\source\\images\\question-04.bmp"), ReadFileBytes(PictureFile("madrid.bmp")));

  // Built again from the unpacked source, over the first quiz used as player.
  run = RunProgram(Tool() + " build source\\quiz.toml -o second.exe --lecteur premier.exe", folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  ExpectSameResources(QuizResourcesOf(folder.path() + "\\second.exe"), QuizResourcesOf(first));
}

TEST(MakerWindowsToolTest, AFailedBuildLeavesNoOutputFile) {
  ScratchFolder folder;
  WriteFileBytes(folder.path() + "\\quiz.toml", "[[question]]\nreponse = \"Paris\"\nimage = \"absente.jpg\"\n");
  ProgramRun run = RunProgram(Tool() + " build quiz.toml -o quiz.exe --lecteur " + Quoted(Player()), folder.path());
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_NE(run.output.find("absente.jpg"), std::string::npos) << run.output;
  run = RunProgram(Tool() + " build quiz.toml -o quiz.exe --lecteur absent.exe", folder.path());
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(fs::u8path(folder.path()))) left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"quiz.toml"});

  // A quiz that is running cannot be replaced: the build says so and the
  // running quiz's file stays whole.
  WriteFileBytes(folder.path() + "\\quiz.toml", "titre = \"Ouvert\"\n[[question]]\nreponse = \"Paris\"\n");
  run = RunProgram(Tool() + " build quiz.toml -o quiz.exe --lecteur " + Quoted(Player()), folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::string built = ReadFileBytes(folder.path() + "\\quiz.exe");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::string line = Quoted(folder.path() + "\\quiz.exe");
  ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.path().c_str(), &startup,
                             &process));
  HWND window = nullptr;
  for (int tick = 0; tick < kWindowWaitTicks && !window; ++tick) {
    window = FindWindowA(kPlayerClass, "Ouvert");
    if (!window) Sleep(100);
  }
  ASSERT_NE(window, nullptr);
  WriteFileBytes(folder.path() + "\\quiz.toml", "titre = \"Autre\"\n[[question]]\nreponse = \"Rome\"\n");
  run = RunProgram(Tool() + " build quiz.toml -o quiz.exe --lecteur " + Quoted(Player()), folder.path());
  PostMessageA(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 30000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_NE(run.output.find("est-il ouvert"), std::string::npos) << run.output;
  EXPECT_EQ(ReadFileBytes(folder.path() + "\\quiz.exe"), built);
  left.clear();
  for (const auto& entry : fs::directory_iterator(fs::u8path(folder.path()))) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"quiz.exe", "quiz.toml", "quiz.txt"}));
}

// Sources on which the TOML parser meets undefined behaviour, which this
// build traps: the Windows tool tells each in French and ends normally.
TEST(MakerWindowsToolTest, SourcesThatWouldTrapTheParserAreToldInstead) {
  ScratchFolder folder;
  const char* const sources[] = {
      "titre = 7\"\xC3\xA9\"\n",            // a number glued to a text holding "é"
      "x = [7'\xC3\xA9']\n",                // the same in a list, as a literal text
      "x = \"\"\"\\ \xC3\xA9\"\"\"\n",      // "\", a blank and "é" in a multi-line text
      "x = \"\"\"a\"\"\"\"\xC3\xA9\"\"\"\n",  // four quotes close the text, "é" is outside
  };
  for (const char* source : sources) {
    WriteFileBytes(folder.path() + "\\quiz.toml", source);
    const ProgramRun run = RunProgram(Tool() + " check quiz.toml", folder.path());
    EXPECT_EQ(run.exitCode, 2u) << source << run.output;
    EXPECT_NE(run.output.find("quiz.toml:1: erreur : syntaxe TOML invalide"), std::string::npos) << run.output;
  }
}

// Without the system's decoder for a web or phone format, the refusal names
// the extension of Windows that brings it, then how to get a JPEG.
TEST(MakerWindowsToolTest, AFormatWithoutItsDecoderNamesTheWindowsExtension) {
  const struct {
    std::string bytes;
    const char* extension;
  } cases[] = {
      {std::string("RIFF\x1a\0\0\0WEBPVP8 \x0e\0\0\0", 20), "« Extensions d'image WebP »"},
      {std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24), "« Extensions d'image HEIF »"},
      {std::string("\0\0\0\x18" "ftypavif\0\0\0\0mif1avif", 24), "« Extension AV1 »"},
  };
  for (const auto& c : cases) {
    const PictureInspection inspection = InspectPicture(std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    EXPECT_FALSE(inspection.showable) << c.extension;
    if (inspection.problem.find("pas de décodeur") == std::string::npos)
      GTEST_SKIP() << "this system has a decoder: " << inspection.problem;
    EXPECT_NE(inspection.problem.find(c.extension), std::string::npos) << inspection.problem;
    EXPECT_NE(inspection.problem.find("enregistrez-la en JPEG"), std::string::npos) << inspection.problem;
  }
}

// The Windows tool decodes a JPEG whole, with the native tool's decoder: a
// file cut short is refused in the same French words.
TEST(MakerWindowsToolTest, CheckDecodesJpegsWhole) {
  ScratchFolder folder;
  const std::string jpeg = ReadFileBytes(PictureFile("rome.jpg"));
  WriteFileBytes(folder.path() + "\\entier.jpg", jpeg);
  WriteFileBytes(folder.path() + "\\coupe.jpg", jpeg.substr(0, jpeg.size() / 2));
  const std::string questions = "codes = [\"1\"]\n[[question]]\nreponse = \"Rome\"\nimage = \"";
  WriteFileBytes(folder.path() + "\\entier.toml", questions + "entier.jpg\"\n");
  WriteFileBytes(folder.path() + "\\coupe.toml", questions + "coupe.jpg\"\n");
  ProgramRun run = RunProgram(Tool() + " check entier.toml", folder.path());
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  run = RunProgram(Tool() + " check coupe.toml", folder.path());
  EXPECT_EQ(run.exitCode, 2u) << run.output;
  EXPECT_NE(run.output.find("coupe.toml:4: erreur : question 1, clé « image »"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("JPEG tronqué ou endommagé : ses données d'image s'arrêtent avant la fin de l'image"),
            std::string::npos)
      << run.output;
  // Its header is whole: the decoding refused it, not the size reading.
  EXPECT_EQ(run.output.find("avant la taille"), std::string::npos) << run.output;
}

// The first picture of a GIF, decoded in full by the system's component: a
// file whose blocks are whole but whose codes cannot be drawn is refused.
TEST(MakerWindowsToolTest, CheckDecodesGifsThroughTheSystem) {
  const std::string whole = ReadFileBytes(PictureFile("berne.gif"));
  const std::string oneByOne(
      "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
      "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x7C\x01\x00\x3B",
      35);
  const struct {
    std::string bytes;
    bool showable;
  } cases[] = {
      {whole, true},
      // Cut inside its picture's data.
      {whole.substr(0, whole.size() - 20), false},
      // The first code after the clear code is one not yet defined.
      {oneByOne, false},
  };
  for (const auto& one : cases) {
    const PictureInspection inspection = InspectPicture(std::vector<uint8_t>(one.bytes.begin(), one.bytes.end()));
    EXPECT_EQ(inspection.showable, one.showable) << one.bytes.size() << " bytes: " << inspection.problem;
    if (!one.showable) {
      EXPECT_NE(inspection.problem.find("GIF"), std::string::npos) << inspection.problem;
    }
  }
}

// --reduire through the system's decoder and encoder: a large JPEG is
// stored as a JPEG of the size the view shows.
TEST(MakerWindowsToolTest, BuildStoresLargePicturesReduced) {
  ScratchFolder folder;
  RgbaPicture large;
  large.width = 1400;
  large.height = 1000;
  large.pixels.assign(std::size_t{large.width} * large.height * 4, 0x80);
  std::vector<uint8_t> jpeg;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(large, kReducedJpegQuality, &jpeg, &error)) << error;
  WriteFileBytes(folder.path() + "\\grande.jpg", std::string(jpeg.begin(), jpeg.end()));
  WriteFileBytes(folder.path() + "\\quiz.toml", "codes = [\"1\"]\n[[question]]\nreponse = \"Rome\"\nimage = \"grande.jpg\"\n");
  const ProgramRun run =
      RunProgram(Tool() + " build quiz.toml --reduire -o quiz --lecteur " + Quoted(Player()), folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const std::vector<ResourceEntry> entries = ResourcesOf(folder.path() + "\\quiz.exe");
  const QuizResourceSet set = FindQuizResources(entries, 1);
  ASSERT_NE(set.pictures[0], nullptr);
  const PictureInspection stored = InspectPicture(set.pictures[0]->data);
  EXPECT_EQ(stored.format, PictureFormat::kJpeg);
  EXPECT_EQ(stored.width, 640u);
  EXPECT_EQ(stored.height, 457u);
}

#ifdef VIDOD_HAS_DEMO_QUIZ

TEST(MakerWindowsToolTest, TheDemoQuizUnpacksToItsSource) {
  ScratchFolder folder;
  const std::string demoSource = HostPath(std::string(VIDOD_SOURCE_DIR) + "/demo/drapeaux/quiz.toml");
  const ProgramRun run =
      RunProgram(Tool() + " unpack " + Quoted(BuildTreePath("demo\\drapeaux\\drapeaux.exe")) + " -o demo", folder.path());
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  const QuizSource demo = ReadSource(demoSource);
  const QuizSource unpacked = ReadSource(folder.path() + "\\demo\\quiz.toml");
  EXPECT_EQ(unpacked.title, demo.title);
  EXPECT_EQ(unpacked.author, demo.author);
  EXPECT_EQ(unpacked.quizType, demo.quizType);
  EXPECT_EQ(WriteAnswersBlob(unpacked), WriteAnswersBlob(demo));
  EXPECT_EQ(WriteCodesBlob(unpacked), WriteCodesBlob(demo));
  ASSERT_EQ(unpacked.questions.size(), demo.questions.size());
  for (std::size_t k = 0; k < demo.questions.size(); ++k) {
    EXPECT_EQ(unpacked.questions[k].reveal, demo.questions[k].reveal) << k;
    EXPECT_EQ(ReadFileBytes(PicturePath(fs::u8path(folder.path() + "\\demo\\quiz.toml"), unpacked.questions[k].image)
                                .u8string()),
              ReadFileBytes(PicturePath(fs::u8path(demoSource), demo.questions[k].image).u8string()))
        << k;
  }
}

#endif  // VIDOD_HAS_DEMO_QUIZ

}  // namespace
}  // namespace vidod::testing
