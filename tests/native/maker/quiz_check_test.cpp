#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::ParseOrFail;
using makertest::ReadFile;
using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ToolRun;
using makertest::WriteFile;
namespace fs = std::filesystem;

const fs::path kDemo = fs::path(VIDOD_SOURCE_DIR) / "demo" / "drapeaux" / "quiz.toml";

// A JPEG header that claims the given size, which is all the check reads.
std::string JpegOfSize(uint16_t width, uint16_t height) {
  std::string jpeg("\xFF\xD8\xFF\xC0\x00\x0B\x08", 7);
  jpeg += static_cast<char>(height >> 8);
  jpeg += static_cast<char>(height & 0xFF);
  jpeg += static_cast<char>(width >> 8);
  jpeg += static_cast<char>(width & 0xFF);
  return jpeg + std::string("\x01\x01\x11\x00", 4);
}

// Around each question: a picture the player shows, enough codes, no reveals.
std::string Quiz(const std::string& head, const std::vector<std::string>& questions) {
  std::string toml = "titre = \"t\"\n" + head;
  if (head.find("codes") == std::string::npos) {
    toml += "codes = [";
    for (std::size_t k = 1; k <= questions.size(); ++k) toml += (k > 1 ? ", \"" : "\"") + std::to_string(k) + "\"";
    toml += "]\n";
  }
  for (const std::string& question : questions) {
    toml += "[[question]]\n" + question;
    if (question.find("image") == std::string::npos) toml += "image = \"bon.jpg\"\n";
  }
  return toml;
}

struct Surprise {
  std::string toml;
  const char* key;
  int question;
  const char* expected;  // part of the message
};

TEST(QuizCheckTest, EveryWarningFiresOnTheSourceMadeForIt) {
  ScratchFolder folder;
  WriteFile(folder.path() / "bon.jpg", JpegOfSize(600, 400));
  WriteFile(folder.path() / "grand.jpg", JpegOfSize(4000, 3000));
  WriteFile(folder.path() / "casse.png", ReadFile(std::string(VIDOD_SHARED_DIR) + "/pngsuite/xc9n2c08.png"));
  WriteFile(folder.path() / "vide.jpg", std::string("\xFF\xD8\xFF\xD9", 4));
  const Surprise cases[] = {
      // A trailing blank is never trimmed from the expected answer.
      {Quiz("", {"reponse = \"Rome \"\n"}), "reponse", 1, "finit par un blanc"},
      // ... nor a leading one, in either answer of a two-answer quiz.
      {Quiz("libelles = [\"a\", \"b\"]\n", {"reponse = \"Loire\"\nreponse2 = \" Nantes\"\n"}), "reponse2", 1,
       "commence ou finit par un blanc"},
      // Accents must be typed exactly; é's counterparts are named.
      {Quiz("", {"reponse = \"Lyon\"\n", "reponse = \"Genève\"\n"}), "reponse", 2,
       "« è » doit être tapé tel quel (ni « e » ni « È » ne comptent)"},
      // An accented capital is not its lower-case letter.
      {Quiz("", {"reponse = \"Écosse\"\n"}), "reponse", 1, "« É » doit être tapé tel quel (ni « E » ni « é »"},
      // A letter of the code page's extra range.
      {Quiz("", {"reponse = \"Œuvre\"\n"}), "reponse", 1, "« Œ » doit être tapé tel quel (« œ » ne compte pas)"},
      // Three characters or fewer: no hints in the list view.
      {Quiz("", {"reponse = \"OUI\"\n"}), "reponse", 1, "réponse attendue de 3 caractères"},
      // The same answer, letter case aside, solves two questions.
      {Quiz("", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\n", "reponse = \"PARIS\"\n"}), "reponse", 3,
       "même réponse attendue que la question 1"},
      // A question without a picture.
      {Quiz("", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\nnote = \"image à venir\"\n"}), "image", 2,
       "pas d'image"},
      // A PNG the player's decoder refuses, with its code.
      {Quiz("", {"reponse = \"Paris\"\nimage = \"casse.png\"\n"}), "image", 1, "0x2001"},
      // A JPEG whose size cannot be read.
      {Quiz("", {"reponse = \"Paris\"\nimage = \"vide.jpg\"\n"}), "image", 1, "n'affichera pas cette image"},
      // A picture far larger than the view.
      {Quiz("", {"reponse = \"Paris\"\nimage = \"grand.jpg\"\n"}), "image", 1, "4000 × 3000 pixels"},
      // Fewer codes than questions.
      {Quiz("codes = [\"A\"]\n", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\n"}), "codes", 0,
       "1 codes pour 2 questions : à partir d'un score de 2"},
      // No code at all.
      {Quiz("codes = []\n", {"reponse = \"Paris\"\n"}), "codes", 0, "aucun code"},
      // A type that shows reveals, with one left empty.
      {Quiz("type = 4\n", {"reponse = \"Paris\"\nrevelation = \"capitale\"\n", "reponse = \"Lyon\"\n"}),
       "revelation", 2, "révélation vide : le type 4"},
      // A two-answer quiz without its second label.
      {Quiz("libelles = [\"Fleuve\", \"\"]\n", {"reponse = \"Loire\"\nreponse2 = \"Nantes\"\n"}), "libelles", 0,
       "second libellé vide"},
  };
  for (const Surprise& surprise : cases) {
    WriteFile(folder.path() / "quiz.toml", surprise.toml);
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    ParseQuizSource(surprise.toml, folder.path() / "quiz.toml", &quiz, &issues);
    EXPECT_FALSE(HasErrors(issues)) << surprise.toml;
    const std::vector<SourceIssue> surprises = CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr);
    ASSERT_EQ(surprises.size(), 1u) << surprise.expected << "\n"
                                    << (surprises.empty() ? "" : FormatIssue("", surprises[0]) +
                                                                     (surprises.size() > 1 ? "\n" + FormatIssue("", surprises[1]) : ""));
    EXPECT_TRUE(surprises[0].warning);
    EXPECT_EQ(surprises[0].key, surprise.key) << surprise.expected;
    EXPECT_EQ(surprises[0].question, surprise.question) << surprise.expected;
    EXPECT_NE(surprises[0].message.find(surprise.expected), std::string::npos)
        << surprise.expected << " / " << surprises[0].message;
  }
}

TEST(QuizCheckTest, SizesUpToFourViewsAndAnswersOfFourCharactersPassQuietly) {
  ScratchFolder folder;
  WriteFile(folder.path() / "limite.jpg", JpegOfSize(1280, 960));
  const QuizSource quiz = ParseOrFail(
      "codes = [\"1\", \"2\"]\n[[question]]\nreponse = \"PARI\"\nimage = \"limite.jpg\"\n"
      "[[question]]\nreponse = \"ROME\"\nimage = \"limite.jpg\"\n",
      folder.path());
  EXPECT_TRUE(CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr).empty());
}

TEST(QuizCheckTest, TheDemoQuizSurprisesNobody) {
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(kDemo, &quiz, &issues);
  EXPECT_TRUE(issues.empty());
  for (const SourceIssue& issue : CheckQuiz(quiz, kDemo, nullptr)) ADD_FAILURE() << FormatIssue("demo", issue);
}

TEST(QuizCheckTest, CheckCommandTellsCleanFromWarningsFromErrors) {
  ScratchFolder folder;
  WriteFile(folder.path() / "bon.jpg", JpegOfSize(600, 400));
  ToolRun run = RunTool("check " + makertest::ShellQuote(kDemo.string()), folder.path());
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("aucun problème"), std::string::npos) << run.out;

  WriteFile(folder.path() / "quiz.toml", Quiz("", {"reponse = \"Paris\"\n", "reponse = \"Rome \"\n"}));
  run = RunTool("check quiz.toml", folder.path());
  EXPECT_EQ(run.exitCode, 1) << run.out;
  // File, line, question and key.
  EXPECT_NE(run.out.find("quiz.toml:7: attention : question 2, clé « reponse » : la réponse attendue « Rome  »"),
            std::string::npos)
      << run.out;

  WriteFile(folder.path() / "quiz.toml", Quiz("", {"reponse = \"Paris\"\nimage = \"absente.jpg\"\n"}));
  run = RunTool("check quiz.toml", folder.path());
  EXPECT_EQ(run.exitCode, 2) << run.out;
  EXPECT_NE(run.out.find("question 1, clé « image » : fichier image introuvable"), std::string::npos) << run.out;
  EXPECT_EQ(RunTool("check absent.toml", folder.path()).exitCode, 2);
  // A mistake on the command line is an error too, not a warning.
  EXPECT_EQ(RunTool("check", folder.path()).exitCode, 2);
  run = RunTool("check --help", folder.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("Code de sortie"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vidod
