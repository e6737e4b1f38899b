#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
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

// Around each question: a picture the player shows, enough codes, no reveals.
std::string Quiz(const std::string& head, const std::vector<std::string>& questions) {
  std::string toml = (head.find("titre") == std::string::npos ? "titre = \"t\"\n" : "") + head;
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
  WriteFile(folder.path() / "bon.jpg", makertest::kJpegBytes);
  WriteFile(folder.path() / "grand.jpg", makertest::JpegOfSize(1400, 1000));
  const Surprise cases[] = {
      // A blank at the end of the expected answer, which no player types.
      {Quiz("", {"reponse = \"Rome \"\n"}), "reponse", 1, "un blanc à la fin"},
      // ... or at its start, in either answer of a two-answer quiz.
      {Quiz("libelles = [\"a\", \"b\"]\n", {"reponse = \"Loire\"\nreponse2 = \" Nantes\"\n"}), "reponse2", 1,
       "un blanc au début"},
      // Accents must be typed; the letter without its accent is named.
      {Quiz("", {"reponse = \"Lyon\"\n", "reponse = \"Genève\"\n"}), "reponse", 2,
       "ne tient pas compte des majuscules, mais bien des accents ; « è » doit être tapé avec son accent (« e » ne "
       "compte pas)"},
      {Quiz("", {"reponse = \"Écosse\"\n"}), "reponse", 1, "« É » doit être tapé avec son accent (« E » ne compte"},
      // A letter that has no plain form and no key (the ligatures compare
      // as their two letters: no warning for them).
      {Quiz("", {"reponse = \"Straße\"\n", "reponse = \"Œuvre\"\n"}), "reponse", 1, "« ß » doit être tapé tel quel"},
      // Three characters or fewer: no hints in the list view.
      {Quiz("", {"reponse = \"OUI\"\n"}), "reponse", 1, "réponse attendue de 3 caractères"},
      // ... counted as the player compares: here without its article.
      {Quiz("tolerer = [\"articles\"]\n", {"reponse = \"l'Ain\"\n"}), "reponse", 1, "réponse attendue de 3 caractères"},
      // The same answer, letter case aside, solves two questions.
      {Quiz("", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\n", "reponse = \"PARIS\"\n"}), "reponse", 3,
       "même réponse attendue que la question 1"},
      // A question without a picture.
      {Quiz("", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\nnote = \"image à venir\"\n"}), "image", 2,
       "pas d'image"},
      // A picture far larger than the view, with what it costs.
      {Quiz("", {"reponse = \"Paris\"\nimage = \"grand.jpg\"\n"}), "image", 1,
       "1400 × 1000 pixels, bien plus que les 640 × 480 affichés : le lecteur la décode en entier à chaque démarrage, "
       "soit 5 Mo de mémoire et 5 fois le travail"},
      // A title wider than its label, a code wider than its field.
      {Quiz("titre = \"Les grands fleuves de France et d'Europe\"\n", {"reponse = \"Paris\"\n"}), "titre", 0,
       "fait environ 290 pixels dans la police du bandeau, son cadre en a 260"},
      {Quiz("codes = [\"DRAP-01\", \"CHAMPION\"]\n", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\n"}), "codes", 0,
       "trop long pour le champ du code du bandeau : code 2 « CHAMPION » (seul « CHAMPI » y tient)"},
      // An author and a link wider than their places in the header bar.
      {Quiz("auteur = \"Mme Lefèvre, CM2 de l'école Jules-Ferry\"\n", {"reponse = \"Paris\"\n"}), "auteur", 0,
       "fait environ 201 pixels dans le bandeau, qui en montre 105"},
      {Quiz("lien = \"https://www.ecole-jules-ferry.fr/cm2\"\n", {"reponse = \"Paris\"\n"}), "lien", 0,
       "fait environ 205 pixels dans le bandeau, qui en montre 115"},
      // Fewer codes than questions.
      {Quiz("codes = [\"A\"]\n", {"reponse = \"Paris\"\n", "reponse = \"Lyon\"\n"}), "codes", 0,
       "1 codes pour 2 questions : à partir d'un score de 2"},
      // No code at all.
      {Quiz("codes = []\n", {"reponse = \"Paris\"\n"}), "codes", 0, "aucun code"},
      // A type that shows reveals, with one left empty.
      {Quiz("type = 4\n", {"reponse = \"Paris\"\nrevelation = \"capitale\"\n", "reponse = \"Lyon\"\n"}),
       "revelation", 2, "révélation vide : le type 4"},
      // An accepted answer compared as an earlier one of its list, plainly or
      // under a tolerance of the quiz.
      {Quiz("", {"reponse = [\"Notre-Dame\", \"notre-dame\"]\n"}), "reponse", 1,
       "« notre-dame » se compare comme « Notre-Dame », déjà dans la liste"},
      {Quiz("tolerer = [\"ponctuation\"]\n", {"reponse = [\"Notre-Dame\", \"Notre Dame\"]\n"}), "reponse", 1,
       "« Notre Dame » se compare comme « Notre-Dame »"},
      // Accepted answers get the expected answer's warnings.
      {Quiz("", {"reponse = [\"Londres\", \"UK\"]\n"}), "reponse", 1, "réponse acceptée « UK » de 2 caractères"},
      // A list that makes both boxes of a question accept one answer...
      {Quiz("libelles = [\"a\", \"b\"]\n", {"reponse = [\"Loire\", \"Atlantique\"]\nreponse2 = \"Atlantique\"\n"}),
       "reponse2", 1, "« Atlantique » est acceptée dans les deux cases de la question"},
      // ... or two questions.
      {Quiz("", {"reponse = \"Paris\"\n", "reponse = [\"Lutece\", \"paris\"]\n"}), "reponse", 2,
       "« paris » est acceptée aussi par la question 1 (« Paris »)"},
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
  WriteFile(folder.path() / "limite.jpg", makertest::JpegOfSize(1280, 960));
  WriteFile(folder.path() / "grand.jpg", makertest::JpegOfSize(1400, 1000));
  const QuizSource quiz = ParseOrFail(
      "codes = [\"1\", \"2\"]\n[[question]]\nreponse = \"PARI\"\nimage = \"limite.jpg\"\n"
      "[[question]]\nreponse = \"ROME\"\nimage = \"limite.jpg\"\n",
      folder.path());
  EXPECT_TRUE(CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr).empty());
  // A larger picture that build stores reduced costs the player nothing.
  const QuizSource reduced = ParseOrFail(
      "codes = [\"1\"]\nreduire_images = true\n[[question]]\nreponse = \"PARI\"\nimage = \"grand.jpg\"\n",
      folder.path());
  EXPECT_TRUE(CheckQuiz(reduced, folder.path() / "quiz.toml", nullptr).empty());
  // Accents a quiz forgives need no warning; two questions' expected
  // answers alike in a second box were always the author's choice.
  const QuizSource tolerant = ParseOrFail(
      "codes = [\"1\", \"2\"]\ntolerer = [\"accents\"]\nlibelles = [\"Fleuve\", \"Mer\"]\n"
      "[[question]]\nreponse = [\"Rhône\", \"le Rhône\"]\nreponse2 = \"Méditerranée\"\nimage = \"limite.jpg\"\n"
      "[[question]]\nreponse = \"Hérault\"\nreponse2 = \"Méditerranée\"\nimage = \"limite.jpg\"\n",
      folder.path());
  EXPECT_TRUE(CheckQuiz(tolerant, folder.path() / "quiz.toml", nullptr).empty());
}

// Answers that differ only by typographic forms are the same answer to the
// player, so they are told as duplicates.
TEST(QuizCheckTest, AnswersEqualOnceTheirTypographicFormsArePlainAreDuplicates) {
  ScratchFolder folder;
  WriteFile(folder.path() / "bon.jpg", makertest::kJpegBytes);
  const QuizSource quiz = ParseOrFail(
      Quiz("", {"reponse = \"C\u00f4te d'Azur\"\n", "reponse = \"c\u00f4te d\u2019azur\"\n"}), folder.path());
  bool duplicate = false;
  for (const SourceIssue& issue : CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr))
    duplicate |= issue.question == 2 && issue.message.find("même réponse attendue que la question 1") != std::string::npos;
  EXPECT_TRUE(duplicate);
}

// In the Atelier the advice names its menu entries and boxes, not options
// that a teacher there cannot type.
TEST(QuizCheckTest, AdviceInTheAtelierNamesNoCommandLine) {
  ScratchFolder folder;
  WriteFile(folder.path() / "immense.jpg", makertest::JpegOfSize(4000, 3000));
  const QuizSource quiz = ParseOrFail(
      "codes = [\"1\"]\n[[question]]\nreponse = \"l\u2019\u00eele\"\nimage = \"immense.jpg\"\n", folder.path());
  for (CheckAdvice advice : {CheckAdvice::kCommandLine, CheckAdvice::kAtelier}) {
    const std::vector<SourceIssue> issues = CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr, advice);
    std::string advised;
    for (const SourceIssue& issue : issues)
      if (issue.key == "image" || issue.message.find("clavier") != std::string::npos) advised += issue.message + "\n";
    EXPECT_EQ(advised.find("Rendre les réponses tapables") != std::string::npos, advice == CheckAdvice::kAtelier)
        << advised;
    EXPECT_EQ(advised.find("onglet Quiz") != std::string::npos, advice == CheckAdvice::kAtelier) << advised;
    EXPECT_EQ(advised.find("--") == std::string::npos, advice == CheckAdvice::kAtelier) << advised;
  }
}

TEST(QuizCheckTest, APictureThePlayerWouldShowEmptyStopsTheBuild) {
  ScratchFolder folder;
  WriteFile(folder.path() / "coupe.jpg", makertest::kJpegBytes.substr(0, makertest::kJpegBytes.size() / 2));
  WriteFile(folder.path() / "casse.png", ReadFile(std::string(VIDOD_SHARED_DIR) + "/pngsuite/xc9n2c08.png"));
  const std::string large = makertest::JpegOfSize(1600, 1200);
  WriteFile(folder.path() / "grande-coupee.jpg", large.substr(0, large.size() / 2));
  // A reducing build leaves its pictures' checks to the decoding that
  // redraws them, or stores them as they are: either refuses them alike.
  for (const char* picture : {"coupe.jpg", "casse.png", "grande-coupee.jpg"}) {
    const QuizSource quiz = ParseOrFail(std::string("reduire_images = true\n[[question]]\nreponse = \"Paris\"\nimage = \"") +
                                            picture + "\"\n",
                                        folder.path());
    PictureCheckCache cache;
    cache.leaveRedrawnToBuild = true;
    EXPECT_FALSE(HasErrors(CheckQuiz(quiz, folder.path() / "quiz.toml", &cache))) << picture;
    EXPECT_EQ(cache.pending.size(), 1u) << picture;
    std::vector<ResourceEntry> entries;
    std::string error;
    EXPECT_FALSE(MakeQuizResources(quiz, folder.path() / "quiz.toml", true, &entries, &error)) << picture;
    EXPECT_NE(error.find(picture), std::string::npos) << error;
    EXPECT_NE(error.find(std::string(picture).find(".png") != std::string::npos ? "PNG" : "JPEG tronqu"),
              std::string::npos) << error;
  }
  for (const char* picture : {"coupe.jpg", "casse.png"}) {
    const QuizSource quiz = ParseOrFail(
        std::string("codes = [\"1\"]\n[[question]]\nreponse = \"Paris\"\nimage = \"") + picture + "\"\n", folder.path());
    const std::vector<SourceIssue> issues = CheckQuiz(quiz, folder.path() / "quiz.toml", nullptr);
    ASSERT_EQ(issues.size(), 1u) << picture;
    EXPECT_FALSE(issues[0].warning) << picture;
    EXPECT_EQ(issues[0].key, "image");
    EXPECT_NE(issues[0].message.find("une case vide"), std::string::npos) << issues[0].message;
  }
}

// An editor checks at every keystroke: a picture is decoded again only when
// its file changes size or time.
TEST(QuizCheckTest, PictureChecksAreKeptUntilTheFileChanges) {
  ScratchFolder folder;
  const fs::path picture = folder.path() / "image.jpg";
  WriteFile(picture, makertest::kJpegBytes);
  const QuizSource quiz =
      ParseOrFail("codes = [\"1\"]\n[[question]]\nreponse = \"Paris\"\nimage = \"image.jpg\"\n", folder.path());
  PictureCheckCache cache;
  EXPECT_TRUE(CheckQuiz(quiz, folder.path() / "quiz.toml", &cache).empty());
  // Same size and time: the kept result stands, though the bytes changed.
  const fs::file_time_type time = fs::last_write_time(picture);
  WriteFile(picture, std::string(makertest::kJpegBytes.size(), 'x'));
  fs::last_write_time(picture, time);
  EXPECT_TRUE(CheckQuiz(quiz, folder.path() / "quiz.toml", &cache).empty());
  // Another size: decoded again.
  WriteFile(picture, makertest::kJpegBytes.substr(0, 100));
  EXPECT_TRUE(HasErrors(CheckQuiz(quiz, folder.path() / "quiz.toml", &cache)));
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
  WriteFile(folder.path() / "bon.jpg", makertest::kJpegBytes);
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
  // A source that cannot be read whole promises no count of warnings.
  WriteFile(folder.path() / "casse.toml", "titre = \"T\nauteur = \"A\"\n");
  run = RunTool("check casse.toml", folder.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.out.find("casse.toml : 1 erreur ; build refusera ce quiz ; relancez check une fois corrigé"),
            std::string::npos)
      << run.out;
  // A folder stands for its quiz.toml; one without is told to be a folder.
  run = RunTool("check .", folder.path());
  EXPECT_EQ(run.exitCode, 2) << run.out;
  EXPECT_NE(run.out.find("question 1, clé « image » : fichier image introuvable"), std::string::npos) << run.out;
  fs::create_directory(folder.path() / "vide");
  run = RunTool("check vide", folder.path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.err.find("« vide » est un dossier, sans « quiz.toml »"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("introuvable"), std::string::npos) << run.err;
  // A mistake on the command line is an error too, not a warning.
  EXPECT_EQ(RunTool("check", folder.path()).exitCode, 2);
  run = RunTool("check --help", folder.path());
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("Code de sortie"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vidod
