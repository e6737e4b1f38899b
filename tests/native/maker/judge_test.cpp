#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/answer_batch.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ShellQuote;
using makertest::ToolRun;
using makertest::WriteFile;

TEST(JudgeTest, ArgumentsGiveThePlayersVerdicts) {
  struct Example {
    const char* expected;
    const char* typed;
    bool list;
    const char* verdict;
    const char* options = "";
  };
  const Example examples[] = {
      {"PARIS", "paris", false, "BRAVO"},
      {"PARIS", "PARI", false, "Quasiment"},
      {"PARIS", "  paris ", false, "BRAVO"},
      {"OUI", "OU", true, "FAUX"},
      {"OUI", "OU", false, "Quasiment"},
      // UTF-8 in, code page 1252 compared: é and É are one letter, e another.
      {"Été", "été", false, "BRAVO"},
      {"Été", "ÉTÉ", false, "BRAVO"},
      {"Été", "ete", false, "Presque"},
      // The verdict's own accent comes back as UTF-8.
      {"LEONARD DE VINCI", "LEONARDO DA VINCCI", false, "y a de l'idée"},
      // A blank stored after the expected answer is trimmed like the typed one's.
      {"ROME ", "rome", false, "BRAVO"},
      {"PARIS", "", true, "?"},
      // Typographic apostrophes, the modifier one included (a box hands it
      // over as '), quotes and no-break spaces compare as their plain forms.
      {"Côte d’Azur", "côte d'azur", false, "BRAVO"},
      {"Côte d'Azur", "Côte dʼAzur", true, "BRAVO"},
      {"“Titanic”", "\"titanic\"", true, "BRAVO"},
      // Ligatures compare as their two letters, in every quiz.
      {"Sacré-Cœur", "sacré-coeur", false, "BRAVO"},
      // Other accepted answers: BRAVO naming the one matched, or the
      // nearest one's verdict, naming it.
      {"Notre-Dame de Paris", "notre-dame", false, "BRAVO (réponse reconnue : « Notre-Dame »)", "-a Notre-Dame"},
      {"Notre-Dame de Paris", "notre dame", false, "Quasiment (réponse la plus proche : « Notre-Dame »)",
       "--autre Notre-Dame"},
      {"Royaume-Uni", "UX", true, "FAUX (réponse la plus proche : « UK »)", "-a Angleterre -a UK"},
      // Tolerances, given together or one by one.
      {"Notre-Dame", "notre dame", false, "BRAVO", "-t ponctuation,accents"},
      {"le Panthéon", "pantheon", true, "BRAVO", "-t articles --tolerer accents"},
      {"le Panthéon", "pantheon", true, "Quasiment", "-t articles"},
  };
  ScratchFolder folder;
  for (const Example& example : examples) {
    const ToolRun run = RunTool(std::string("judge ") + (example.list ? "--liste " : "") + example.options + " -- " +
                                    ShellQuote(example.expected) + " " + ShellQuote(example.typed),
                                folder.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, std::string(example.verdict) + "\n") << example.expected << " / " << example.typed;
  }
}

TEST(JudgeTest, RefusedArguments) {
  ScratchFolder folder;
  struct Refusal {
    const char* arguments;
    const char* expected;
  };
  const Refusal refusals[] = {
      // A character the player can neither show nor receive.
      {"judge Lodz Łódź", "U+0141"},
      // Only one text.
      {"judge PARIS", "réponse tapée"},
      // Both a batch and texts.
      {"judge --lot PARIS paris", "--lot"},
      // A tolerance the player does not know.
      {"judge -t accent PARIS paris", "tolérance inconnue « accent »"},
      // A question without its quiz, a quiz with more than the typed answer.
      {"judge --question 2 PARIS paris", "--source"},
      {"judge --source quiz.toml --question 1 PARIS paris", "seulement la réponse tapée"},
      {"judge --source quiz.toml -a Lutece --question 1 paris", "ni --autre"},
      // Past the quiz's questions, a second box in a one-answer quiz.
      {"judge --source quiz.toml --question 3 paris", "de 1 à 2"},
      {"judge --source quiz.toml --question 1 --case 2 paris", "qu'une réponse"},
  };
  WriteFile(folder.path() / "quiz.toml", "[[question]]\nreponse = \"Paris\"\n[[question]]\nreponse = \"Rome\"\n");
  for (const Refusal& refusal : refusals) {
    const ToolRun run = RunTool(refusal.arguments, folder.path());
    EXPECT_EQ(run.exitCode, 1) << refusal.arguments;
    EXPECT_EQ(run.out, "") << refusal.arguments;
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << run.err;
  }
}

// A box of a quiz source, with that quiz's lists and tolerances.
TEST(JudgeTest, ABoxOfASourceIsJudgedWithItsQuizsAnswers) {
  ScratchFolder folder;
  WriteFile(folder.path() / "quiz.toml",
            "tolerer = [\"articles\"]\nlibelles = [\"Monument\", \"Ville\"]\n"
            "[[question]]\nreponse = \"Tour Eiffel\"\nreponse2 = \"Paris\"\n"
            "[[question]]\nreponse = [\"le Sacré-Cœur\", \"basilique de Montmartre\"]\n"
            "reponse2 = [\"Paris\", \"Montmartre\"]\n");
  const struct {
    const char* arguments;
    const char* verdict;
  } cases[] = {
      {"--question 2 sacré-coeur", "BRAVO (réponse reconnue : « le Sacré-Cœur »)"},
      {"--question 2 --liste \"basilique de montmartr\"", "Quasiment (réponse la plus proche : « basilique de Montmartre »)"},
      {"--question 2 --case 2 montmartre", "BRAVO (réponse reconnue : « Montmartre »)"},
      {"--question 1 --case 2 montmartre", "FAUX"},
      {"--question 1 \"la tour eiffel\"", "BRAVO"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(std::string("judge --source quiz.toml ") + c.arguments, folder.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, std::string(c.verdict) + "\n") << c.arguments;
  }
}

TEST(JudgeTest, BatchLinesKeepTheirEndingsAndBytes) {
  std::string verdicts;
  std::vector<BatchLineProblem> problems;
  ASSERT_TRUE(JudgeAnswerLines("PARIS\tparis\r\nOUI\tOU\n\xC9T\xC9\t\xE9t\xE9\nA\tB\tC", AnswerView::kSingleQuestion,
                               &verdicts, &problems));
  // ÉTÉ against été: the accented letters are raised too.
  EXPECT_EQ(verdicts, "BRAVO\r\nQuasiment\nBRAVO\nFAUX\n");
  ASSERT_TRUE(JudgeAnswerLines("OUI\tOU\n", AnswerView::kList, &verdicts, &problems));
  EXPECT_EQ(verdicts, "FAUX\n");
  // A second tab belongs to the typed answer: "AB\tX" is two edits from "AB".
  ASSERT_TRUE(JudgeAnswerLines("AB\tAB\tX", AnswerView::kSingleQuestion, &verdicts, &problems));
  EXPECT_EQ(verdicts, "Presque\n");
  // An empty expected answer and an empty typed one.
  ASSERT_TRUE(JudgeAnswerLines("\tAB\nPARIS\t\n", AnswerView::kSingleQuestion, &verdicts, &problems));
  EXPECT_EQ(verdicts, "Presque\n?\n");
  ASSERT_TRUE(JudgeAnswerLines("", AnswerView::kSingleQuestion, &verdicts, &problems));
  EXPECT_EQ(verdicts, "");
  EXPECT_TRUE(problems.empty());
  // Both cut at 259 characters, as the player's boxes are.
  ASSERT_TRUE(JudgeAnswerLines(std::string(259, 'A') + "B\t" + std::string(259, 'a') + "C", AnswerView::kSingleQuestion,
                               &verdicts, &problems));
  EXPECT_EQ(verdicts, "BRAVO\n");
}

TEST(JudgeTest, MalformedBatchLinesAreAllNamedAndNothingIsJudged) {
  std::string verdicts = "previous";
  std::vector<BatchLineProblem> problems;
  EXPECT_FALSE(JudgeAnswerLines("PARIS\tparis\nsans tabulation\r\n\nOK\tok\n", AnswerView::kList,
                                &verdicts, &problems));
  EXPECT_EQ(verdicts, "");
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].line, 2u);
  EXPECT_EQ(problems[1].line, 3u);

  const std::string zero("A\t\0B\n", 5);
  problems.clear();
  EXPECT_FALSE(JudgeAnswerLines(zero, AnswerView::kList, &verdicts, &problems));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].message.find("octet nul"), std::string::npos);
}

TEST(JudgeTest, BatchCommandReadsAndWritesRawBytes) {
  ScratchFolder folder;
  WriteFile(folder.path() / "in.txt", "LEONARD DE VINCI\tLEONARDO DA VINCCI\r\nOUI\tOU\n");
  ToolRun run = RunTool("judge --lot < in.txt", folder.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "y a de l'id\xE9" "e\r\nQuasiment\n");
  run = RunTool("judge --lot --liste < in.txt", folder.path());
  EXPECT_EQ(run.out, "y a de l'id\xE9" "e\r\nFAUX\n");
  WriteFile(folder.path() / "accents.txt", "\xC9T\xC9\tete\n");
  run = RunTool("judge --lot --tolerer accents < accents.txt", folder.path());
  EXPECT_EQ(run.out, "BRAVO\n");
  WriteFile(folder.path() / "bad.txt", "OUI\tOU\nOUI OU\n");
  run = RunTool("judge --lot < bad.txt", folder.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("ligne 2"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vidod
