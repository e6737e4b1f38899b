#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "maker/answer_typing.h"
#include "maker/quiz_project.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::ReadFile;
using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ToolRun;
using makertest::WriteFile;

TEST(AnswerTypingTest, EachUntypableCharacterIsNamedWithWhatToWrite) {
  struct Case {
    std::string answer;  // code page 1252
    const char* named;   // part of the problem
    std::string typable;
  };
  const Case cases[] = {
      // A no-break space pasted from a word processor.
      {"Mont\xA0" "Blanc", "espace insécable", "Mont Blanc"},
      // The typographic apostrophe, and its opening sibling.
      {"L\x92\xEEle", "« ’ » (apostrophe typographique) : écrivez « ' »", "L'\xEEle"},
      {"\x91O\x92", "apostrophe ouvrante", "'O'"},
      // Curly and French quotes.
      {"\x93Nabucco\x94", "guillemet anglais ouvrant", "\"Nabucco\""},
      {"\xAB" "Carmen\xBB", "guillemet français", "\"Carmen\""},
      // A tab, a soft hyphen (invisible), a control character.
      {"Saint\tMalo", "une tabulation : écrivez un blanc ordinaire", "Saint Malo"},
      {"Rh\xF4\xADne", "trait d'union conditionnel, invisible) : retirez-le", "Rh\xF4ne"},
      {"Nil\x01", "caractère de contrôle U+0001", "Nil"},
      // Dashes and the one-character ellipsis.
      {"Aix\x96" "en-Provence", "tiret moyen", "Aix-en-Provence"},
      {"Et\x85", "points de suspension", "Et..."},
      // Blanks at the ends and doubled blanks.
      {" Rome", "un blanc au début", "Rome"},
      {"Rome  ", "un blanc à la fin", "Rome"},
      {"Le  Havre", "deux blancs de suite", "Le Havre"},
  };
  for (const Case& c : cases) {
    const AnswerTyping typing = ExamineAnswerTyping(c.answer);
    std::string problems;
    for (const std::string& problem : typing.problems) problems += problem + "\n";
    EXPECT_NE(problems.find(c.named), std::string::npos) << c.named << "\n" << problems;
    EXPECT_EQ(typing.typable, c.typable) << c.named;
  }
  // What a keyboard types is left alone, accents, hyphens and apostrophes included.
  const AnswerTyping plain = ExamineAnswerTyping("L'\xEEle-de-France");
  EXPECT_TRUE(plain.problems.empty());
  EXPECT_EQ(plain.typable, "L'\xEEle-de-France");
}

TEST(AnswerTypingTest, CorrectingASourceChangesOnlyItsExpectedAnswers) {
  const std::string source =
      "# Mon quiz\n"
      "titre = \"L’été\"  # le titre garde son apostrophe\n"
      "codes = [\"A\"]\n"
      "\n"
      "[[question]]\n"
      "reponse   =   'L’île '   # une chaîne littérale\n"
      "image = \"images/ile.jpg\"\n"
      "\n"
      "[[question]]\n"
      "reponse = \"Paris\"\n"
      "reponse2 = \"«\u00A0Seine\u00A0»\"\n";
  std::string corrected, error;
  std::vector<std::string> changes;
  ASSERT_EQ(CorrectAnswersInSource(source, &corrected, &changes, &error), SourceCorrection::kDone) << error;
  EXPECT_EQ(corrected,
            "# Mon quiz\n"
            "titre = \"L’été\"  # le titre garde son apostrophe\n"
            "codes = [\"A\"]\n"
            "\n"
            "[[question]]\n"
            "reponse   =   \"L'île\"   # une chaîne littérale\n"
            "image = \"images/ile.jpg\"\n"
            "\n"
            "[[question]]\n"
            "reponse = \"Paris\"\n"
            "reponse2 = \"\\\" Seine \\\"\"\n");
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0], "question 1, clé « reponse » : « L’île  » devient « L'île »");

  QuizSource quiz;
  quiz.questions.resize(2);
  quiz.questions[0].answer = "L\x92\xEEle";
  quiz.questions[1].answer = "Paris";
  EXPECT_EQ(CorrectAnswers(&quiz), 1u);
  EXPECT_EQ(quiz.questions[0].answer, "L'\xEEle");
}

TEST(AnswerTypingTest, CorrectionsLandOnTheirValuesWhateverTheLayout) {
  const struct {
    const char* what;
    std::string source;
    std::string corrected;
  } cases[] = {
      // The parser counts the first line's columns after the byte-order mark.
      {"byte-order mark", "\xEF\xBB\xBFquestion = [{reponse =\"l’eau\"}]\n",
       "\xEF\xBB\xBFquestion = [{reponse =\"l'eau\"}]\n"},
      // Several answers on one line, columns counted in characters.
      {"one line", "question = [{reponse = \"é’a\"}, {reponse = \"b’\", reponse2 = \"«c»\"}]\n",
       "question = [{reponse = \"é'a\"}, {reponse = \"b'\", reponse2 = \"\\\"c\\\"\"}]\n"},
      // Windows line ends, and a text over several lines.
      {"CR LF", "[[question]]\r\nreponse = \"a’b\"\r\n[[question]]\r\nreponse = \"\"\"c’\r\nd\"\"\" # x\r\n",
       "[[question]]\r\nreponse = \"a'b\"\r\n[[question]]\r\nreponse = \"c'd\" # x\r\n"},
      // Each answer of a list a box accepts.
      {"list", "[[question]]\nreponse = [\"Notre-Dame\", \"l’île\",\n  \" x \"]\n",
       "[[question]]\nreponse = [\"Notre-Dame\", \"l'île\",\n  \"x\"]\n"},
  };
  for (const auto& c : cases) {
    std::string corrected, error;
    std::vector<std::string> changes;
    EXPECT_EQ(CorrectAnswersInSource(c.source, &corrected, &changes, &error), SourceCorrection::kDone) << c.what << error;
    EXPECT_EQ(corrected, c.corrected) << c.what;
    // A second pass finds nothing more.
    std::string again;
    changes.clear();
    EXPECT_EQ(CorrectAnswersInSource(corrected, &again, &changes, &error), SourceCorrection::kDone) << c.what;
    EXPECT_TRUE(changes.empty()) << c.what;
  }
}

// A link to the source stays a link and the file it leads to is corrected,
// keeping its permissions; a read-only source is left alone.
TEST(AnswerTypingTest, CorrectionKeepsLinksAndPermissionsAndLeavesReadOnlySourcesAlone) {
  namespace fs = std::filesystem;
  ScratchFolder folder;
  const std::string source = "[[question]]\nreponse = \"Mont\u00A0Blanc\"\n";
  const std::string corrected = "[[question]]\nreponse = \"Mont Blanc\"\n";
  const fs::path real = folder.path() / "partage" / "quiz.toml";
  WriteFile(real, source);
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(fs::path("partage") / "quiz.toml", folder.path() / "lien.toml");
  ToolRun run = RunTool("check --corriger lien.toml", folder.path());
  EXPECT_NE(run.out.find("1 réponse corrigée"), std::string::npos) << run.out << run.err;
  EXPECT_TRUE(fs::is_symlink(folder.path() / "lien.toml"));
  EXPECT_EQ(ReadFile(real), corrected);
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const fs::path locked = folder.path() / "verrou.toml";
  WriteFile(locked, source);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  run = RunTool("check --corriger verrou.toml", folder.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("« verrou.toml » est en lecture seule"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(locked), source);
  EXPECT_FALSE(fs::exists(folder.path() / "verrou.avant-correction.toml"));
}

TEST(AnswerTypingTest, CheckWarnsThenCorrectsKeepingTheOriginal) {
  ScratchFolder folder;
  const std::string source = "codes = [\"1\"]\n[[question]]\nreponse = \"Mont\u00A0Blanc\"\n";
  WriteFile(folder.path() / "quiz.toml", source);
  ToolRun run = RunTool("check quiz.toml", folder.path());
  EXPECT_NE(run.out.find("quiz.toml:3: attention : question 1, clé « reponse » : la réponse attendue « Mont\u00A0Blanc » "
                         "ne peut pas être tapée telle quelle"),
            std::string::npos)
      << run.out;
  run = RunTool("check --corriger quiz.toml", folder.path());
  EXPECT_EQ(run.exitCode, 1) << run.out;  // still no picture
  EXPECT_EQ(ReadFile(folder.path() / "quiz.toml"), "codes = [\"1\"]\n[[question]]\nreponse = \"Mont Blanc\"\n");
  EXPECT_EQ(ReadFile(folder.path() / "quiz.avant-correction.toml"), source);
  EXPECT_EQ(run.out.find("ne peut pas être tapée"), std::string::npos) << run.out;
  // Nothing left to correct: no second copy.
  run = RunTool("check --corriger quiz.toml", folder.path());
  EXPECT_NE(run.out.find("aucune réponse attendue à corriger"), std::string::npos) << run.out;
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "quiz.avant-correction-2.toml"));
}

}  // namespace
}  // namespace vidod
