#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "maker/blob_codec.h"
#include "maker/pe_resources.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "pictures/bmp_file.h"
#include "maker_test_support.h"
#include "test_executable.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ParseOrFail;
using makertest::ReadFile;
using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ShellQuote;
using makertest::Text;
using makertest::ToolRun;
using makertest::WriteFile;
namespace fs = std::filesystem;

const fs::path kDemoFolder = fs::path(VIDOD_SOURCE_DIR) / "demo" / "drapeaux";

std::string Quoted(const fs::path& path) { return ShellQuote(path.string()); }

std::vector<ResourceEntry> ResourcesOf(const fs::path& executable) {
  const std::vector<uint8_t> bytes = Bytes(ReadFile(executable));
  std::vector<ResourceEntry> entries;
  std::string error;
  EXPECT_TRUE(ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) << executable << ": " << error;
  return entries;
}

std::vector<ResourceEntry> QuizResourcesOf(const fs::path& executable) {
  std::vector<ResourceEntry> quiz;
  for (const ResourceEntry& entry : ResourcesOf(executable))
    if (IsQuizResource(entry)) quiz.push_back(entry);
  return quiz;
}

std::vector<uint8_t> Decoded(const ResourceEntry* entry) {
  if (!entry) {
    ADD_FAILURE() << "resource missing";
    return {};
  }
  const CodecRun run = DecompressBytes(entry->data);
  EXPECT_EQ(run.result, 0);
  return run.bytes;
}

// Same quiz resources: types, numbers, languages and bytes.
void ExpectSameQuizResources(const std::vector<ResourceEntry>& a, const std::vector<ResourceEntry>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].type, b[i].type) << i;
    EXPECT_EQ(a[i].name, b[i].name) << i;
    EXPECT_EQ(a[i].language, b[i].language) << i;
    EXPECT_TRUE(a[i].data == b[i].data) << DescribeResourceName(a[i].type) << " " << DescribeResourceName(a[i].name);
  }
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A player as build takes it: the player's own resources in a small executable.
fs::path WritePlayer(const fs::path& folder, const makertest::TestExecutableLayout& layout = {}) {
  const fs::path player = folder / "lecteur" / "vidod.exe";
  WriteFile(player, Text(makertest::MakeTestPlayer(layout)));
  return player;
}

void ExpectPlayerResourcesKept(const fs::path& executable) {
  const std::vector<ResourceEntry> entries = ResourcesOf(executable);
  for (const ResourceEntry& own : makertest::PlayerOwnResources()) {
    const ResourceEntry* found = FindResourceEntry(entries, own.type, own.name, own.language);
    ASSERT_NE(found, nullptr) << DescribeResourceName(own.type) << " " << DescribeResourceName(own.name);
    EXPECT_EQ(found->data, own.data);
  }
}

TEST(QuizExecutableCliTest, InitThenBuildMakesAQuizOfAFolderOfPictures) {
  ScratchFolder scratch;
  const fs::path images = scratch.path() / "images";
  WriteFile(images / "b-paris.png", ReadFile(kDemoFolder / "images" / "03-belgique.png"));
  WriteFile(images / "a-rome.jpg", ReadFile(kDemoFolder / "images" / "01-france.jpg"));
  WriteFile(images / "c-île.gif", std::string("GIF89a\x02\x00\x02\x00\x80\x00\x00", 13));
  WriteFile(images / "notes.txt", "pas une image");
  fs::create_directories(images / "sous-dossier");

  ToolRun run = RunTool("init images -o quiz.toml", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("notes.txt"), std::string::npos) << run.err;
  const std::string source = ReadFile(scratch.path() / "quiz.toml");
  for (const char* comment : {"# Titre de la fenêtre", "# Couleur de fond", "# Codes de récompense", "# Révélations"})
    EXPECT_NE(source.find(comment), std::string::npos) << comment;
  const QuizSource quiz = ParseOrFail(source, scratch.path());
  ASSERT_EQ(quiz.questions.size(), 3u);
  EXPECT_EQ(quiz.questions[0].answer, "a-rome");
  EXPECT_EQ(quiz.questions[0].image, "images/a-rome.jpg");
  EXPECT_EQ(quiz.questions[1].answer, "b-paris");
  EXPECT_EQ(quiz.questions[2].answer, "c-\xEEle");
  EXPECT_EQ(quiz.title, scratch.path().filename().string());
  EXPECT_EQ(quiz.quizType, 0);
  EXPECT_EQ(quiz.red, kDefaultRed);
  EXPECT_EQ(quiz.pictureByte, kPictureByteWithList);

  // The author's source is never replaced unasked.
  WriteFile(scratch.path() / "quiz.toml", source + "# à moi\n");
  run = RunTool("init images -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "quiz.toml"), source + "# à moi\n");
  ASSERT_EQ(RunTool("init images -o quiz.toml --force", scratch.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(scratch.path() / "quiz.toml"), source);

  // A source elsewhere names the pictures from its own folder.
  ASSERT_EQ(RunTool("init images -o autre/quiz.toml", scratch.path()).exitCode, 0);
  EXPECT_EQ(ParseOrFail(ReadFile(scratch.path() / "autre" / "quiz.toml"), scratch.path() / "autre").questions[0].image,
            "../images/a-rome.jpg");

  const fs::path player = WritePlayer(scratch.path());
  run = RunTool("build quiz.toml -o quiz.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<ResourceEntry> entries = ResourcesOf(scratch.path() / "quiz.exe");
  const QuizResourceSet set = FindQuizResources(entries, 3);
  EXPECT_EQ(Decoded(set.answers), WriteAnswersBlob(quiz));
  EXPECT_EQ(Decoded(set.codes), WriteCodesBlob(quiz));
  ASSERT_EQ(set.pictures.size(), 3u);
  EXPECT_TRUE(NameIs(set.pictures[0]->type, "IMG"));
  EXPECT_EQ(set.pictures[0]->data, Bytes(ReadFile(images / "a-rome.jpg")));
  EXPECT_EQ(set.pictures[1]->type, ResourceName::Number(kResourceTypeRawData));
  EXPECT_EQ(set.pictures[1]->data, Bytes(ReadFile(images / "b-paris.png")));
  EXPECT_TRUE(NameIs(set.pictures[2]->type, "IMG"));
  for (const ResourceEntry& entry : entries) {
    if (IsQuizResource(entry)) {
      EXPECT_EQ(entry.language, kLanguageNeutral);
    }
  }
  ExpectPlayerResourcesKept(scratch.path() / "quiz.exe");
  EXPECT_EQ(fs::status(scratch.path() / "quiz.exe").permissions(), fs::status(player).permissions());
}

TEST(QuizExecutableCliTest, InitRefusesFoldersWithoutPictures) {
  ScratchFolder scratch;
  WriteFile(scratch.path() / "vide" / "lisez-moi.txt", "rien");
  ToolRun run = RunTool("init vide -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("aucune image"), std::string::npos) << run.err;
  run = RunTool("init absent -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("n'est pas un dossier"), std::string::npos) << run.err;
  for (int i = 0; i < 97; ++i)
    WriteFile(scratch.path() / "trop" / ("p" + std::to_string(100 + i) + ".gif"), "GIF89a\x01\x00\x01\x00");
  run = RunTool("init trop -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("97 images"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(scratch.path() / "quiz.toml"));

  // A file name an answer cannot be: the source is written, and the author told.
  WriteFile(scratch.path() / "bizarre" / "oui|non.gif", "GIF89a\x01\x00\x01\x00");
  run = RunTool("init bizarre -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("quiz.toml:33: erreur : question 1, clé « reponse » : le texte contient « | »"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("(à corriger avant build)"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(scratch.path() / "quiz.toml"));
}

TEST(QuizExecutableCliTest, BuildUnpackBuildGivesTheSameResources) {
  ScratchFolder scratch;
  makertest::TestExecutableLayout layout;
  layout.sectionAfterResources = true;
  layout.tailSize = 18 * 4;
  const fs::path player = WritePlayer(scratch.path(), layout);
  ToolRun run =
      RunTool("build " + Quoted(kDemoFolder / "quiz.toml") + " -o premier.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;

  run = RunTool("unpack premier.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // The unpacked source says what the demo says, and its pictures are the demo's.
  const QuizSource demo = ParseOrFail(ReadFile(kDemoFolder / "quiz.toml"), kDemoFolder);
  const QuizSource unpacked = ParseOrFail(ReadFile(scratch.path() / "source" / "quiz.toml"), scratch.path() / "source");
  EXPECT_EQ(WriteAnswersBlob(unpacked), WriteAnswersBlob(demo));
  EXPECT_EQ(WriteCodesBlob(unpacked), WriteCodesBlob(demo));
  ASSERT_EQ(unpacked.questions.size(), 12u);
  EXPECT_EQ(unpacked.questions[0].image, "images/question-01.jpg");
  EXPECT_EQ(unpacked.questions[2].image, "images/question-03.png");
  for (std::size_t k = 0; k < demo.questions.size(); ++k)
    EXPECT_EQ(ReadFile(PicturePath(scratch.path() / "source" / "quiz.toml", unpacked.questions[k].image)),
              ReadFile(PicturePath(kDemoFolder / "quiz.toml", demo.questions[k].image)))
        << k;

  run = RunTool("build source/quiz.toml -o second.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectSameQuizResources(QuizResourcesOf(scratch.path() / "second.exe"), QuizResourcesOf(scratch.path() / "premier.exe"));
  EXPECT_EQ(ReadFile(scratch.path() / "second.exe"), ReadFile(scratch.path() / "premier.exe"));

  // A quiz executable serves as the player of another quiz: none of the
  // first quiz's pictures stays behind.
  WriteFile(scratch.path() / "petit" / "quiz.toml", "codes = [\"X\"]\n[[question]]\nreponse = \"seul\"\n");
  run = RunTool("build petit/quiz.toml -o petit.exe --lecteur premier.exe", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<ResourceEntry> small = QuizResourcesOf(scratch.path() / "petit.exe");
  EXPECT_EQ(small.size(), 2u);
  ExpectPlayerResourcesKept(scratch.path() / "petit.exe");

  // An existing source is kept unless --force.
  run = RunTool("unpack premier.exe -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(RunTool("unpack premier.exe -o source --force", scratch.path()).exitCode, 0);
}

TEST(QuizExecutableCliTest, AFailedBuildLeavesNoOutputFile) {
  struct Failure {
    const char* what;
    std::string source;
    std::string playerBytes;  // empty: no player file at all
    const char* expected;
  };
  const std::string player = Text(makertest::MakeTestPlayer());
  std::vector<ResourceEntry> withoutDialogs = makertest::PlayerOwnResources();
  withoutDialogs.erase(withoutDialogs.begin() + 1, withoutDialogs.begin() + 3);
  const std::string good = "[[question]]\nreponse = \"Paris\"\n";
  const Failure failures[] = {
      // A source error, with its file, line and key.
      {"source error", "[[question]]\nreponse = 3\n", player, "quiz.toml:2: erreur : question 1, clé « reponse »"},
      // A picture that is missing.
      {"missing picture", good + "image = \"absente.jpg\"\n", player, "fichier image introuvable"},
      // No player where it was looked for.
      {"no player", good, "", "lecteur introuvable"},
      // A file that is no executable.
      {"not an executable", good, "MZ mais rien d'autre", "MZ"},
      // An executable that is not the player.
      {"not the player", good, Text(makertest::MakeTestExecutable(withoutDialogs)), "modèle de dialogue 1001"},
  };
  for (const Failure& failure : failures) {
    ScratchFolder scratch;
    WriteFile(scratch.path() / "quiz.toml", failure.source);
    if (!failure.playerBytes.empty()) WriteFile(scratch.path() / "vidod.exe", failure.playerBytes);
    fs::create_directories(scratch.path() / "sortie");
    ToolRun run = RunTool("build quiz.toml -o sortie/quiz.exe --lecteur vidod.exe", scratch.path());
    EXPECT_EQ(run.exitCode, 1) << failure.what;
    EXPECT_NE(run.err.find(failure.expected), std::string::npos) << failure.what << ": " << run.err;
    EXPECT_TRUE(FolderEntries(scratch.path() / "sortie").empty()) << failure.what;
    // An earlier quiz stays as it was.
    WriteFile(scratch.path() / "sortie" / "quiz.exe", "ancien");
    run = RunTool("build quiz.toml -o sortie/quiz.exe --lecteur vidod.exe", scratch.path());
    EXPECT_EQ(run.exitCode, 1) << failure.what;
    EXPECT_EQ(FolderEntries(scratch.path() / "sortie"), std::vector<std::string>{"quiz.exe"}) << failure.what;
    EXPECT_EQ(ReadFile(scratch.path() / "sortie" / "quiz.exe"), "ancien") << failure.what;
  }

  // The player is never overwritten by its own quiz.
  ScratchFolder scratch;
  WriteFile(scratch.path() / "quiz.toml", good);
  WriteFile(scratch.path() / "vidod.exe", player);
  const ToolRun run = RunTool("build quiz.toml -o vidod.exe --lecteur ./vidod.exe", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("le lecteur lui-même"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "vidod.exe"), player);
}

TEST(QuizExecutableCliTest, UnpackRefusesWhatIsNoQuiz) {
  struct Refusal {
    const char* what;
    std::string executable;
    const char* expected;
  };
  const std::string notAPng = "pas un flux";
  std::vector<ResourceEntry> damaged = makertest::PlayerOwnResources();
  damaged.push_back(makertest::TestResource(ResourceName::Text("PATCH"), 104, 0, Bytes(notAPng)));
  const Refusal refusals[] = {
      // Not an executable.
      {"text", "bonjour", "MZ"},
      // The bare player: no quiz in it.
      {"player", Text(makertest::MakeTestPlayer()), "ne porte pas de quiz"},
      // An answers resource that does not decode.
      {"damaged answers", Text(makertest::MakeTestExecutable(damaged)), "décompression impossible"},
  };
  for (const Refusal& refusal : refusals) {
    ScratchFolder scratch;
    WriteFile(scratch.path() / "quiz.exe", refusal.executable);
    const ToolRun run = RunTool("unpack quiz.exe -o source", scratch.path());
    EXPECT_EQ(run.exitCode, 1) << refusal.what;
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << refusal.what << ": " << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "source")) << refusal.what;
  }
  ScratchFolder scratch;
  ToolRun run = RunTool("unpack --answers a.lzw -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("vont ensemble"), std::string::npos) << run.err;
  run = RunTool("unpack quiz.exe --answers a.lzw --codes c.lzw -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("soit l'exécutable"), std::string::npos) << run.err;
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& blob) {
  const CodecRun run = CompressBytes(blob);
  EXPECT_EQ(run.result, 0);
  return run.bytes;
}

TEST(QuizExecutableCliTest, UnpackTakesWhatThePlayerFindsAndNamesTheRest) {
  QuizSource neutral;
  neutral.title = "neutre";
  neutral.questions.resize(1);
  neutral.questions[0].answer = "un";
  QuizSource english = neutral;
  english.title = "anglais";
  const ResourceName patch = ResourceName::Text("PATCH");
  const ResourceName img = ResourceName::Text("IMG");
  const std::string jpeg = makertest::kJpegBytes;
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  resources.push_back(makertest::TestResource(patch, 104, 1033, Compressed(WriteAnswersBlob(english))));
  resources.push_back(makertest::TestResource(patch, 104, 0, Compressed(WriteAnswersBlob(neutral))));
  resources.push_back(makertest::TestResource(patch, 105, 0, Compressed(WriteCodesBlob(neutral))));
  resources.push_back(makertest::TestResource(img, 401, 1033, Bytes(jpeg)));
  resources.push_back(makertest::TestResource(ResourceName::Number(kResourceTypeRawData), 401, 0, Bytes(makertest::kPngBytes)));
  resources.push_back(makertest::TestResource(img, 402, 0, Bytes(jpeg)));

  ScratchFolder scratch;
  WriteFile(scratch.path() / "quiz.exe", Text(makertest::MakeTestExecutable(resources)));
  const ToolRun run = RunTool("unpack quiz.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The language-neutral answers, the "IMG" picture before the raw data.
  const QuizSource unpacked = ParseOrFail(ReadFile(scratch.path() / "source" / "quiz.toml"), scratch.path() / "source");
  EXPECT_EQ(unpacked.title, "neutre");
  ASSERT_EQ(unpacked.questions.size(), 1u);
  EXPECT_EQ(unpacked.questions[0].image, "images/question-01.jpg");
  EXPECT_EQ(ReadFile(scratch.path() / "source" / "images" / "question-01.jpg"), jpeg);
  EXPECT_EQ(FolderEntries(scratch.path() / "source" / "images"), std::vector<std::string>{"question-01.jpg"});
  // Everything else is named: build will not write it again.
  for (const char* unused : {"« PATCH » #104 (langue 1033)", "#10 #401 (langue 0)", "« IMG » #402 (langue 0)"})
    EXPECT_NE(run.err.find(std::string(unused) + " ne sert pas au quiz"), std::string::npos) << unused << "\n" << run.err;
}

TEST(QuizExecutableCliTest, Png2BmpWritesThePlayersDecodingOrItsCode) {
  ScratchFolder scratch;
  const std::string suite = std::string(VIDOD_SHARED_DIR) + "/pngsuite/";
  ToolRun run = RunTool("png2bmp " + ShellQuote(suite + "basi3p02.png") + " out.bmp", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string png = ReadFile(suite + "basi3p02.png");
  std::vector<uint8_t> expected;
  ASSERT_EQ(ConvertPngToBmp(reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size()), &expected),
            0u);
  EXPECT_EQ(Bytes(ReadFile(scratch.path() / "out.bmp")), expected);

  WriteFile(scratch.path() / "old.bmp", "ancien");
  run = RunTool("png2bmp " + ShellQuote(suite + "xc9n2c08.png") + " old.bmp", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("0x2001"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "old.bmp"), "ancien");
  EXPECT_EQ(RunTool("png2bmp absent.png x.bmp", scratch.path()).exitCode, 1);
  EXPECT_FALSE(fs::exists(scratch.path() / "x.bmp"));
}

TEST(QuizExecutableCliTest, Png2BmpDrawsTransparentPixelsOnTheBackgroundGiven) {
  ScratchFolder scratch;
  const std::string picture = std::string(VIDOD_SHARED_DIR) + "/pngsuite/basn6a08.png";
  ToolRun run = RunTool("png2bmp " + ShellQuote(picture) + " out.bmp --fond '#C8dcF0'", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string png = ReadFile(picture);
  const PngBackground background = {0xC8, 0xDC, 0xF0};
  std::vector<uint8_t> expected;
  ASSERT_EQ(ConvertPngToBmp(reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size()),
                            &expected, &background),
            0u);
  EXPECT_EQ(Bytes(ReadFile(scratch.path() / "out.bmp")), expected);
  // Not six hexadecimal digits: refused before anything is written.
  for (const char* wrong : {"C8DCF", "C8DCF0A", "vert", "C8DCG0"}) {
    run = RunTool("png2bmp " + ShellQuote(picture) + " wrong.bmp --fond " + wrong, scratch.path());
    EXPECT_EQ(run.exitCode, 1) << wrong;
    EXPECT_NE(run.err.find("RRVVBB"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "wrong.bmp")) << wrong;
  }
}

TEST(QuizExecutableCliTest, EveryCommandHasFrenchHelp) {
  ScratchFolder scratch;
  for (const char* command : {"init", "check", "build", "unpack", "judge", "png2bmp", "pack", "lzw"}) {
    const ToolRun run = RunTool(std::string(command) + " --help", scratch.path());
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("Utilisation"), std::string::npos) << command << "\n" << run.out;
    EXPECT_NE(run.out.find("Affiche cette aide"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace vidod
