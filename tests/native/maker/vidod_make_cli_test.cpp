#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "maker/blob_codec.h"
#include "maker/quiz_blobs.h"
#include "maker_test_support.h"
#include "quiz/answers_blob.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ParseOrFail;
using makertest::ReadFile;
using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ShellQuote;
using makertest::ToolRun;
using makertest::WriteFile;
namespace fs = std::filesystem;

std::string Quoted(const fs::path& path) { return ShellQuote(path.string()); }

std::vector<uint8_t> Decompressed(const fs::path& file) {
  const CodecRun run = DecompressBytes(Bytes(ReadFile(file)));
  EXPECT_EQ(run.result, 0) << file;
  return run.bytes;
}

void WriteCompressed(const fs::path& file, const std::string& blob) {
  const CodecRun run = CompressBytes(Bytes(blob));
  ASSERT_EQ(run.result, 0);
  WriteFile(file, makertest::Text(run.bytes));
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(VidodMakeCliTest, LzwCommandsGiveTheKnownStreamAndItsBytesBack) {
  ScratchFolder folder;
  WriteFile(folder.path() / "in.txt", "ABABABA");
  ToolRun run = RunTool("lzw encode in.txt packed.lzw", folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(folder.path() / "packed.lzw"), std::string("\x20\x90\xA0\x70\x58\x00", 6));
  run = RunTool("lzw decode packed.lzw out.txt", folder.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(folder.path() / "out.txt"), "ABABABA");
}

TEST(VidodMakeCliTest, LzwFailuresPrintTheResultAndLeaveTheOutputAlone) {
  struct Failure {
    const char* arguments;
    std::string input;
    const char* expected;
  };
  const Failure failures[] = {
      // Nothing to compress.
      {"lzw encode in.bin out.bin", "", "résultat -5"},
      // One byte cannot hold the first 9-bit code.
      {"lzw decode in.bin out.bin", "A", "résultat -5"},
      // The first code, then the stream stops before the end code.
      {"lzw decode in.bin out.bin", std::string("\x20\x80", 2), "résultat -7"},
      // Past the 16-bit positions of the format.
      {"lzw encode in.bin out.bin", std::string(70000, 'x'), "résultat -6"},
      // No input file at all.
      {"lzw decode absent.bin out.bin", "", "introuvable"},
  };
  for (const Failure& failure : failures) {
    ScratchFolder folder;
    WriteFile(folder.path() / "in.bin", failure.input);
    WriteFile(folder.path() / "out.bin", "previous");
    const ToolRun run = RunTool(failure.arguments, folder.path());
    EXPECT_EQ(run.exitCode, 1) << failure.arguments;
    EXPECT_NE(run.err.find(failure.expected), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(folder.path() / "out.bin"), "previous");
    EXPECT_EQ(FolderEntries(folder.path()), (std::vector<std::string>{"in.bin", "out.bin"}));
  }
}

const char kPictureQuiz[] = R"(
titre = "Quiz d'essai"
auteur = "Élise"
type = 2
codes = ["UN", "DEUX", "TROIS", "QUATRE"]

[[question]]
reponse = "jpeg"
revelation = "r1"
image = "images/q1.jpg"

[[question]]
reponse = "png"
revelation = "r2"
image = "images/q2.png"

[[question]]
reponse = "sans image"
revelation = "r3"

[[question]]
reponse = "gif"
revelation = "r4"
image = "images/q4.gif"

[[question]]
reponse = "bmp"
revelation = "r5"
image = "images/q5.bmp"
)";

// A folder whose name needs the resource script's escapes.
fs::path PictureQuizFolder(const ScratchFolder& scratch) {
  const fs::path folder = scratch.path() / "dossier \"cité\" \\ é";
  WriteFile(folder / "quiz.toml", kPictureQuiz);
  WriteFile(folder / "images" / "q1.jpg", makertest::kJpegBytes);
  WriteFile(folder / "images" / "q2.png", makertest::kPngBytes);
  WriteFile(folder / "images" / "q4.gif", makertest::kGifBytes);
  WriteFile(folder / "images" / "q5.bmp", makertest::kBmpBytes);
  return folder;
}

std::string RcString(const fs::path& path) {
  std::string literal = "\"";
  for (char c : path.string()) literal += c == '"' ? "\"\"" : c == '\\' ? "\\\\" : std::string(1, c);
  return literal + "\"";
}

TEST(VidodMakeCliTest, PackWritesTheBlobsAndTheResourceScript) {
  ScratchFolder scratch;
  const fs::path folder = PictureQuizFolder(scratch);
  const fs::path out = scratch.path() / "sortie";
  // Run from elsewhere: the script must not depend on the working folder.
  const ToolRun run = RunTool("pack " + Quoted(folder / "quiz.toml") + " -o " + Quoted(out), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const std::string expected = "104 PATCH " + RcString(out / "answers.lzw") + "\n" + "105 PATCH " +
                               RcString(out / "codes.lzw") + "\n" + "401 IMG " +
                               RcString(folder / "images" / "q1.jpg") + "\n" + "402 RCDATA " +
                               RcString(folder / "images" / "q2.png") + "\n" + "404 IMG " +
                               RcString(folder / "images" / "q4.gif") + "\n" + "405 IMG " +
                               RcString(folder / "images" / "q5.bmp") + "\n";
  EXPECT_EQ(ReadFile(out / "quiz.rc"), expected);

  const QuizSource source = ParseOrFail(kPictureQuiz, folder);
  const std::vector<uint8_t> answers = Decompressed(out / "answers.lzw");
  EXPECT_EQ(answers, WriteAnswersBlob(source));
  EXPECT_EQ(Decompressed(out / "codes.lzw"), Bytes("UN\r\nDEUX\r\nTROIS\r\nQUATRE\r\n\r\n"));
  QuizDocument* document = CreateQuizDocument();
  ASSERT_TRUE(ParseAnswersBlob(answers.data(), answers.size(), document));
  EXPECT_STREQ(document->author, "\xC9lise");
  EXPECT_EQ(document->questionCount, 5);
  EXPECT_STREQ(QuestionAt(document, 4)->revealText, "r5");
  DestroyQuizDocument(document);
  EXPECT_EQ(FolderEntries(out), (std::vector<std::string>{"answers.lzw", "codes.lzw", "quiz.rc"}));

  // Same inputs, same bytes.
  const std::string firstAnswers = ReadFile(out / "answers.lzw");
  const std::string firstCodes = ReadFile(out / "codes.lzw");
  ASSERT_EQ(RunTool("pack " + Quoted(folder / "quiz.toml") + " -o sortie", scratch.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(out / "answers.lzw"), firstAnswers);
  EXPECT_EQ(ReadFile(out / "codes.lzw"), firstCodes);
  EXPECT_EQ(ReadFile(out / "quiz.rc"), expected);
}

TEST(VidodMakeCliTest, ResourceCompilerTakesTheScript) {
#ifndef VIDOD_WINDRES_PATH
  GTEST_SKIP() << "no MinGW resource compiler";
#else
  ScratchFolder scratch;
  const fs::path folder = PictureQuizFolder(scratch);
  ASSERT_EQ(RunTool("pack " + Quoted(folder / "quiz.toml") + " -o out", scratch.path()).exitCode, 0);
  const std::string windres = ShellQuote(VIDOD_WINDRES_PATH);
  const std::string compile = "cd / && " + windres + " -i " + Quoted(scratch.path() / "out" / "quiz.rc") + " -O res -o " +
                              Quoted(scratch.path() / "quiz.res") + " && " + windres + " -i " +
                              Quoted(scratch.path() / "quiz.res") + " -O rc -o " + Quoted(scratch.path() / "back.rc");
  ASSERT_EQ(std::system(compile.c_str()), 0);
  const std::string listing = ReadFile(scratch.path() / "back.rc");
  for (const char* resource : {"104 \"PATCH\"", "105 \"PATCH\"", "401 \"IMG\"", "402 RCDATA", "404 \"IMG\"",
                               "405 \"IMG\""})
    EXPECT_NE(listing.find(resource), std::string::npos) << resource << "\n" << listing;
#endif
}

TEST(VidodMakeCliTest, RefusedPackNamesTheProblemAndKeepsEarlierOutputs) {
  struct Refusal {
    std::string source;
    const char* expected;
  };
  std::string tooLarge = "type = 3\n";
  const std::string longText(259, 'x');
  for (int i = 0; i < 96; ++i)
    tooLarge += "[[question]]\nreponse = \"" + longText + "\"\nnote = \"" + longText + "\"\nrevelation = \"" +
                longText + "\"\nnote_revelation = \"" + longText + "\"\n";
  const Refusal refusals[] = {
      // A typing mistake in a key of question 1, on line 4.
      {"titre = \"t\"\n[[question]]\nreponse = \"a\"\nreponce2 = \"b\"\n",
       "quiz.toml:4: erreur : question 1, clé « reponce2 » : clé inconnue (vouliez-vous dire « reponse2 » ?)"},
      // Texts that fit one by one but not together in the format's 16-bit positions.
      {tooLarge, "65535"},
  };
  for (const Refusal& refusal : refusals) {
    ScratchFolder scratch;
    WriteFile(scratch.path() / "quiz.toml", refusal.source);
    WriteFile(scratch.path() / "out" / "answers.lzw", "old");
    const ToolRun run = RunTool("pack quiz.toml -o out", scratch.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(scratch.path() / "out" / "answers.lzw"), "old");
    EXPECT_EQ(FolderEntries(scratch.path() / "out"), std::vector<std::string>{"answers.lzw"});
  }
}

TEST(VidodMakeCliTest, UnpackThenPackGivesTheSameDecodedBlobs) {
  ScratchFolder scratch;
  const std::string answers = std::string("\xAB\x00\x02\x02", 4) + "Titre|Auteur|Expl|L1|L2|" +
                              "P1|Q1|note 1|P2|Q2||" + "\x03" + "R1|S1|R2|S2|" + "\x0A\x14\x1E" +
                              std::string("|\0tail", 6);
  const std::string codes = std::string("X1\r\0X2\r\r", 8) + "X3\r\nrest";
  WriteCompressed(scratch.path() / "104.lzw", answers);
  WriteCompressed(scratch.path() / "105.lzw", codes);

  ToolRun run = RunTool("unpack --answers 104.lzw --codes 105.lzw -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string toml = ReadFile(scratch.path() / "source" / "quiz.toml");
  EXPECT_NE(toml.find("image"), std::string::npos) << "the source should say where pictures go";

  run = RunTool("pack source/quiz.toml -o packed", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err << toml;
  EXPECT_EQ(Decompressed(scratch.path() / "packed" / "answers.lzw"), Bytes(answers)) << toml;
  EXPECT_EQ(Decompressed(scratch.path() / "packed" / "codes.lzw"), Bytes(codes)) << toml;
  EXPECT_EQ(ReadFile(scratch.path() / "packed" / "quiz.rc").find("IMG"), std::string::npos);

  // The author's source is never replaced unasked.
  WriteFile(scratch.path() / "source" / "quiz.toml", "# corrigé à la main\n");
  run = RunTool("unpack --answers 104.lzw --codes 105.lzw -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "source" / "quiz.toml"), "# corrigé à la main\n");
  run = RunTool("unpack --answers 104.lzw --codes 105.lzw -o source --force", scratch.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "source" / "quiz.toml"), toml);
}

// A quiz with other answers gets a third blob, named by the script, and
// unpack takes it back with --autres.
TEST(VidodMakeCliTest, PackAndUnpackCarryTheAcceptedAnswersBlob) {
  ScratchFolder scratch;
  const std::string source = "codes = [\"UN\"]\ntolerer = [\"articles\"]\n[[question]]\nreponse = [\"le Louvre\", \"Louvre\"]\n";
  WriteFile(scratch.path() / "quiz.toml", source);
  ToolRun run = RunTool("pack quiz.toml -o out", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const fs::path out = scratch.path() / "out";
  EXPECT_NE(ReadFile(out / "quiz.rc").find("106 PATCH " + RcString(out / "accepted.lzw") + "\n"), std::string::npos);
  EXPECT_EQ(Decompressed(out / "accepted.lzw"), WriteAcceptedAnswersBlob(ParseOrFail(source, scratch.path())));

  run = RunTool("unpack --answers out/answers.lzw --codes out/codes.lzw --autres out/accepted.lzw -o back",
                scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QuizSource back = ParseOrFail(ReadFile(scratch.path() / "back" / "quiz.toml"), scratch.path() / "back");
  EXPECT_TRUE(SameQuizContent(back, ParseOrFail(source, scratch.path())));
  // Given by name, a blob that does not belong to the quiz is refused.
  run = RunTool("unpack --answers out/answers.lzw --codes out/codes.lzw --autres out/codes.lzw -o autre",
                scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("refusé par le lecteur"), std::string::npos) << run.err;
}

TEST(VidodMakeCliTest, UnpackReportsWhatPackWillRefuseOrComplete) {
  ScratchFolder scratch;
  const std::string longTitle(300, 'T');
  WriteCompressed(scratch.path() / "104.lzw",
                  std::string("\0\x02\x02\x01", 4) + longTitle + "|A|E|L|M|P1||P2||" + std::string("\0\1\2\3", 4));
  WriteCompressed(scratch.path() / "105.lzw", "X1\r\n");
  const ToolRun run = RunTool("unpack --answers 104.lzw --codes 105.lzw -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("clé « titre » : texte de 300 octets"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("la construction refusera"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("s'arrête au code 1 pour 2 questions"), std::string::npos) << run.err;
  EXPECT_EQ(RunTool("pack source/quiz.toml -o packed", scratch.path()).exitCode, 1);
}

TEST(VidodMakeCliTest, UnpackRefusesWhatThePlayerRefuses) {
  struct Refusal {
    std::string answers;
    std::string codes;
    const char* expected;
  };
  const Refusal refusals[] = {
      // Not a compressed stream.
      {"", "X\r\n", "décompression impossible"},
      // Three answers per question.
      {std::string("\0\x02\x01\x03", 4) + "T|A|E|L|M|a|b|c|n|" + std::string("\0\1\2\3", 4), "X\r\n",
       "3 réponses par question"},
      // Cut short inside question 1.
      {std::string("\0\x02\x01\x01", 4) + "T|A|E|L|M|a", "X\r\n", "reponse » de la question 1"},
  };
  for (const Refusal& refusal : refusals) {
    ScratchFolder scratch;
    if (refusal.answers.empty())
      WriteFile(scratch.path() / "104.lzw", "A");
    else
      WriteCompressed(scratch.path() / "104.lzw", refusal.answers);
    WriteCompressed(scratch.path() / "105.lzw", refusal.codes);
    const ToolRun run = RunTool("unpack --answers 104.lzw --codes 105.lzw -o source", scratch.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "source"));
  }
}

TEST(VidodMakeCliTest, CommandLineSpeaksFrenchAndFailsWithOne) {
  ScratchFolder scratch;
  ToolRun run = RunTool("--help", scratch.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("Utilisation"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Affiche cette aide"), std::string::npos) << run.out;
  struct Mistake {
    const char* arguments;
    const char* expected;
  };
  const Mistake mistakes[] = {
      {"", "il manque la commande, l'une de : init, check, build"},
      {"biuld quiz.toml", "commande inconnue « biuld » ; les commandes sont : init, check, build"},
      {"lzw", "il manque la commande, l'une de : encode, decode"},
      {"pack", "l'argument QUIZ est obligatoire"},
      // The option by the short name the guide writes.
      {"pack quiz.toml", "l'option -o (--sortie) est obligatoire : ajoutez -o DOSSIER"},
      {"build quiz.toml", "l'option -o (--sortie) est obligatoire : ajoutez -o QUIZ.exe"},
      {"pack quiz.toml -o", "l'option -o (--sortie) attend une valeur"},
      {"pack quiz.toml -o sortie de trop", "arguments inattendus : de trop"},
  };
  for (const Mistake& mistake : mistakes) {
    run = RunTool(mistake.arguments, scratch.path());
    EXPECT_EQ(run.exitCode, 1) << mistake.arguments;
    EXPECT_NE(run.err.find(mistake.expected), std::string::npos) << mistake.arguments << ": " << run.err;
    for (const char* english : {"required", "expected", "subcommand", "not "})
      EXPECT_EQ(run.err.find(english), std::string::npos) << mistake.arguments << ": " << run.err;
  }
  run = RunTool("pack absent.toml -o out", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("absent.toml"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("introuvable"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vidod
