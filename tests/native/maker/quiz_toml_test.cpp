#include <gtest/gtest.h>

#include <string>

#include "maker/quiz_blobs.h"
#include "maker/quiz_toml.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::ParseOrFail;
using makertest::ScratchFolder;
using makertest::WriteFile;

TEST(QuizTomlTest, FullSourceBecomesCodePage1252Model) {
  ScratchFolder folder;
  WriteFile(folder.path() / "images" / "loire.jpg", makertest::kJpegBytes);
  const QuizSource quiz = ParseOrFail(R"(
titre = "Fleuves de France"
auteur = "Mme Dupré"
explication = "Trouvez le fleuve — 1 € le point"
libelles = ["Fleuve", "Mer"]
type = 3
images_dans_liste = false
couleur = [1, 2, 255]
codes = ["CODE1", "Œuf"]

[[question]]
reponse = "Loire"
reponse2 = "Atlantique"
revelation = "Le plus long"
note_revelation = "caché"
note = "note interne"
image = "images\\loire.jpg"

[[question]]
reponse = "Rhône"
reponse2 = "Méditerranée"
)",
                                      folder.path());
  EXPECT_EQ(quiz.title, "Fleuves de France");
  EXPECT_EQ(quiz.author, "Mme Dupr\xE9");
  EXPECT_EQ(quiz.explanation, "Trouvez le fleuve \x97 1 \x80 le point");
  EXPECT_EQ(quiz.answerLabels[1], "Mer");
  EXPECT_EQ(quiz.quizType, 3);
  EXPECT_EQ(quiz.pictureByte, kPictureByteWithoutList);
  EXPECT_EQ(quiz.red, 1);
  EXPECT_EQ(quiz.green, 2);
  EXPECT_EQ(quiz.blue, 255);
  ASSERT_EQ(quiz.codes.size(), 2u);
  EXPECT_EQ(quiz.codes[1].text, "\x8C" "uf");
  EXPECT_EQ(quiz.codes[1].lineEnd, '\n');
  EXPECT_EQ(quiz.answersPerQuestion, 2);
  ASSERT_EQ(quiz.questions.size(), 2u);
  EXPECT_EQ(quiz.questions[0].answer2, "Atlantique");
  EXPECT_EQ(quiz.questions[0].revealNote, "cach\xE9");
  EXPECT_EQ(quiz.questions[0].note, "note interne");
  EXPECT_EQ(quiz.questions[1].answer, "Rh\xF4ne");
  EXPECT_EQ(quiz.questions[1].image, "");
  // A Windows-style path finds the picture on any system.
  EXPECT_EQ(PicturePath(folder.path() / "quiz.toml", quiz.questions[0].image),
            folder.path() / "images" / "loire.jpg");
}

TEST(QuizTomlTest, AbsentKeysTakeTheirDefaults) {
  ScratchFolder folder;
  const QuizSource quiz = ParseOrFail("\xEF\xBB\xBF[[question]]\nreponse = \"x\"\n", folder.path());
  EXPECT_EQ(quiz.leadByte, 0);
  EXPECT_EQ(quiz.pictureByte, kPictureByteWithList);
  EXPECT_EQ(quiz.answersPerQuestion, 1);
  EXPECT_EQ(quiz.title, "");
  EXPECT_EQ(quiz.quizType, 0);
  EXPECT_EQ(quiz.red, kDefaultRed);
  EXPECT_EQ(quiz.green, kDefaultGreen);
  EXPECT_EQ(quiz.blue, kDefaultBlue);
  EXPECT_TRUE(quiz.codes.empty());
  EXPECT_TRUE(quiz.answersTail.empty());
  EXPECT_TRUE(quiz.codesTail.empty());
  ASSERT_EQ(quiz.questions.size(), 1u);
  EXPECT_EQ(quiz.questions[0].note, "");
}

TEST(QuizTomlTest, RawKeysCarryTheBytesThePlayerSkips) {
  ScratchFolder folder;
  const QuizSource quiz = ParseOrFail(R"(
images_dans_liste = false
codes = ["A", "B"]

[brut]
octet_0 = 171
octet_images = 0
reponses_par_question = 2
suite_reponses = "|\u0000\r\n"
octets_apres_cr = [0, 13]
suite_codes = "fin"
)",
                                      folder.path());
  EXPECT_EQ(quiz.leadByte, 171);
  EXPECT_EQ(quiz.pictureByte, 0);
  EXPECT_EQ(quiz.answersPerQuestion, 2);
  EXPECT_EQ(quiz.answersTail, std::string("|\0\r\n", 4));
  EXPECT_EQ(quiz.codes[0].lineEnd, 0);
  EXPECT_EQ(quiz.codes[1].lineEnd, '\r');
  EXPECT_EQ(quiz.codesTail, "fin");
}

TEST(QuizTomlTest, LengthLimitCountsCodePageBytes) {
  ScratchFolder folder;
  std::string accented;
  for (int i = 0; i < 259; ++i) accented += "é";  // 518 bytes of UTF-8, 259 in the code page
  const QuizSource quiz = ParseOrFail("titre = \"" + accented + "\"\n", folder.path());
  EXPECT_EQ(quiz.title.size(), 259u);
}

TEST(QuizTomlTest, IssuesCarryTheLineOfTheirValue) {
  ScratchFolder folder;
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource("titre = \"a\"\n\n[[question]]\nreponse = \"x\"\n\n[[question]]\nnote = \"n\"\nreponse = \"a|b\"\n",
                  folder.path() / "quiz.toml", &quiz, &issues);
  ASSERT_EQ(issues.size(), 1u);
  EXPECT_EQ(issues[0].line, 8);
  EXPECT_EQ(issues[0].question, 2);
  EXPECT_EQ(issues[0].key, "reponse");
  EXPECT_EQ(FormatIssue("quiz.toml", issues[0]),
            "quiz.toml:8: erreur : question 2, clé « reponse » : le texte contient « | », qui sépare les textes "
            "des ressources");
}

TEST(QuizTomlTest, WarningsDoNotStopTheBuild) {
  ScratchFolder folder;
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource("codes = [\"a\", \"b\"]\n[[question]]\nreponse = \"\"\n", folder.path() / "quiz.toml", &quiz,
                  &issues);
  ASSERT_EQ(issues.size(), 2u);
  EXPECT_TRUE(issues[0].warning && issues[1].warning);
  EXPECT_FALSE(HasErrors(issues));
}

TEST(QuizTomlTest, WrittenSourceKeepsTheAuthorsPicturesAndReadsBackTheSame) {
  ScratchFolder folder;
  WriteFile(folder.path() / "q1.gif", makertest::kGifBytes);
  const QuizSource quiz = ParseOrFail(R"(
titre = "Titre \"cité\""
type = 4
codes = ["X"]
[[question]]
reponse = "un"
revelation = "ligne 1\r\nligne 2"
image = "q1.gif"
)",
                                      folder.path());
  const std::string written = WriteQuizSource(quiz, {"premier commentaire", ""});
  EXPECT_EQ(written.rfind("# premier commentaire\n#\n\n", 0), 0u);
  EXPECT_NE(written.find("image = \"q1.gif\"\n"), std::string::npos);
  EXPECT_NE(written.find("revelation = \"ligne 1\\r\\nligne 2\"\n"), std::string::npos);
  EXPECT_EQ(written.find("[brut]"), std::string::npos);
  const QuizSource again = ParseOrFail(written, folder.path());
  EXPECT_EQ(WriteAnswersBlob(again), WriteAnswersBlob(quiz));
  EXPECT_EQ(WriteCodesBlob(again), WriteCodesBlob(quiz));
  EXPECT_EQ(again.questions[0].image, "q1.gif");
}

}  // namespace
}  // namespace vidod
