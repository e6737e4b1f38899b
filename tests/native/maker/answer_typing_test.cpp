#include <gtest/gtest.h>

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
