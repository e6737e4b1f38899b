// What the Atelier tells and keeps about files: remarks in the words of its
// window, the comments of the sources it writes, the builds it remembers,
// and a file that is no quiz told in one plain sentence.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "atelier/quiz_files.h"
#include "atelier/quiz_remarks.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "test_executable.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;

TEST(QuizRemarksTest, IssuesLandOnTheirFields) {
  const struct {
    SourceIssue issue;
    int question;
    bool onField;
    QuizField field;
    bool onPicture;
    int code;
  } cases[] = {
      {{true, "reponse", 3, 0, "..."}, 2, true, QuizField::kAnswer, false, -1},
      {{true, "reponse2", 1, 0, "..."}, 0, true, QuizField::kAnswer2, false, -1},
      // About an accepted answer after the first of a list: the field of the others.
      {{true, "reponse", 2, 0, "...", 1}, 1, true, QuizField::kAnswer, false, -1},
      {{true, "reponse", 2, 0, "...", 3}, 1, true, QuizField::kOtherAnswers, false, -1},
      {{false, "reponse2", 1, 0, "...", 2}, 0, true, QuizField::kOtherAnswers2, false, -1},
      {{false, "revelation", 2, 0, "..."}, 1, true, QuizField::kReveal, false, -1},
      {{false, "image", 4, 0, "..."}, 3, false, QuizField::kTitle, true, -1},
      {{false, "rotation", 4, 0, "..."}, 3, false, QuizField::kTitle, true, -1},
      {{true, "note", 4, 0, "..."}, 3, false, QuizField::kTitle, false, -1},
      {{true, "titre", 0, 0, "..."}, -1, true, QuizField::kTitle, false, -1},
      {{false, "lien", 0, 0, "..."}, -1, true, QuizField::kLink, false, -1},
      // Where the words would say otherwise, the place holds.
      {{true, "libelles", 0, 0, "premier libellé vide", 2}, -1, true, QuizField::kLabel2, false, -1},
      {{false, "codes", 0, 0, "code 3 : texte de 300 octets", 12}, -1, false, QuizField::kTitle, false, 11},
      {{true, "codes", 0, 0, "aucun code"}, -1, false, QuizField::kTitle, false, -1},
      {{false, "brut.octet_0", 0, 0, "..."}, -1, false, QuizField::kTitle, false, -1},
  };
  for (const auto& c : cases) {
    const IssuePlace place = PlaceOfIssue(c.issue);
    EXPECT_EQ(place.question, c.question) << c.issue.key;
    EXPECT_EQ(place.onField, c.onField) << c.issue.key;
    if (c.onField) {
      EXPECT_EQ(place.field.field, c.field) << c.issue.key;
    }
    EXPECT_EQ(place.onPicture, c.onPicture) << c.issue.key;
    EXPECT_EQ(place.code, c.code) << c.issue.key;
    EXPECT_EQ(place.onCodes, c.issue.key == "codes") << c.issue.key;
  }
}

// A quiz with a remark of every kind the window shows: none names a key of
// the source or a quiz type by its number.
TEST(QuizRemarksTest, RemarksNameNoKeyOfTheSource) {
  EditedQuiz edited;
  edited.sourceFile = fs::temp_directory_path() / "vidod-remarques" / "quiz.toml";
  edited.quiz.answersPerQuestion = 2;
  edited.quiz.quizType = 4;
  edited.quiz.questions.resize(3);
  SetFieldText(&edited, FieldRef{QuizField::kAnswer, 0}, "Loire ");
  SetFieldText(&edited, FieldRef{QuizField::kAnswer, 1}, "LOIRE");
  SetFieldText(&edited, FieldRef{QuizField::kAnswer2, 1}, u8"\u0141\u00f3d\u017a");
  SetFieldText(&edited, FieldRef{QuizField::kCode, 0}, "CHAMPIONNE");
  SetFieldText(&edited, FieldRef{QuizField::kLink, 0}, "ftp://ecole");
  edited.quiz.questions[2].image = "absente.jpg";
  edited.quiz.questions[2].rotation = 90;
  edited.quiz.author = "Mme Lef\xE8vre, CM2 de l'\xE9" "cole Jules-Ferry";
  edited.quiz.questions[1].reveal = std::string(300, 'r');
  const std::vector<SourceIssue> issues = CheckEditedQuiz(&edited);
  ASSERT_GE(issues.size(), 10u);
  const std::regex jargon(
      "clé|reponse|revelation|libelles|images_dans_liste|reduire_images|\\btype \\d|types \\d|--|vidod-make|"
      "page de code");
  for (const SourceIssue& issue : issues) {
    const std::string remark = DescribeRemark(issue, true);
    EXPECT_FALSE(std::regex_search(remark, jargon)) << remark;
  }
}

// A character the quiz cannot hold is named with the words before it (the
// window's font may draw an emoji as a box), and what to do is said.
TEST(QuizRemarksTest, ACharacterTheQuizCannotHoldIsFoundByItsPlace) {
  const struct {
    const char* typed;
    const char* told;
  } cases[] = {
      {u8"Bravo les artistes \U0001F44F !",
       u8"le caractère U+1F44F « \U0001F44F » (un émoji), après « Bravo les artistes » : le quiz ne peut pas "
       u8"l'afficher ; retirez-le ou remplacez-le"},
      {u8"\u0141\u00f3d\u017a", u8"le caractère U+0141 « \u0141 », au début du texte : le quiz"},
  };
  for (const auto& c : cases) {
    EditedQuiz edited;
    SetFieldText(&edited, FieldRef{QuizField::kExplanation, 0}, c.typed);
    const std::vector<SourceIssue> issues = CheckEditedQuiz(&edited);
    const auto found = std::find_if(issues.begin(), issues.end(),
                                    [](const SourceIssue& issue) { return issue.key == "explication"; });
    ASSERT_NE(found, issues.end()) << c.typed;
    EXPECT_NE(found->message.find(c.told), std::string::npos) << found->message;
    EXPECT_FALSE(found->warning);
  }
}

// The pictures a quiz saved on a USB key would leave behind, each copied
// once under a name free in its folder.
TEST(QuizFilesTest, PicturesOutsideTheFolderGetAFreeNameInIt) {
  const fs::path scratch = fs::temp_directory_path() / "vidod-copies";
  fs::remove_all(scratch);
  for (const char* file : {"fleuves/Ain.jpg", "fleuves/Seine.jpg", "dl/Ain.jpg", "cle/Seine.jpg", "cle/images/x.png"}) {
    fs::create_directories((scratch / file).parent_path());
    std::ofstream(scratch / file) << file;
  }
  QuizSource quiz;
  const char* const keys[] = {
      "../fleuves/Ain.jpg",    // outside: copied
      "images/x.png",          // inside already
      "../dl/Ain.jpg",         // another file of the same name
      "../fleuves/Ain.jpg",    // the same picture again: one copy
      "../fleuves/Seine.jpg",  // a name the folder already has
      "../dl/absente.jpg",     // missing: the checks tell it
  };
  quiz.questions.resize(std::size(keys));
  for (std::size_t i = 0; i < std::size(keys); ++i) quiz.questions[i].image = keys[i];
  const fs::path source = scratch / "cle" / "quiz.toml";
  const std::vector<PictureCopy> copies = PicturesOutsideFolder(quiz, source);
  ASSERT_EQ(copies.size(), 3u);
  EXPECT_EQ(copies[0].to, scratch / "cle" / "Ain.jpg");
  EXPECT_EQ(copies[1].to, scratch / "cle" / "Ain (2).jpg");
  EXPECT_EQ(copies[2].to, scratch / "cle" / "Seine (2).jpg");
  UsePictureCopies(&quiz, source, copies);
  std::vector<std::string> images;
  for (const QuestionSource& question : quiz.questions) images.push_back(question.image);
  EXPECT_EQ(images, (std::vector<std::string>{"Ain.jpg", "images/x.png", "Ain (2).jpg", "Ain.jpg", "Seine (2).jpg",
                                              "../dl/absente.jpg"}));
  fs::remove_all(scratch);
}

TEST(QuizFilesTest, OnlyCommentsWrittenByHandAreTheAuthors) {
  const std::string origin = OriginComment(fs::u8path("C:/Classe/Fleuves.exe"), "12/05/2025");
  const struct {
    std::string text;
    bool handWritten;
    std::string origin;
  } cases[] = {
      {"titre = \"x\"\n", false, ""},
      {"# mes notes\ntitre = \"x\"\n", true, ""},
      // The Atelier's own, with the origin it keeps.
      {"# " + AtelierSourceComment(origin)[0] + "\n# " + AtelierSourceComment(origin)[1] + "\n# " +
           AtelierSourceComment(origin)[2] + "\n",
       false, origin},
      // vidod-make unpack's, its first line the origin; CR LF as Notepad saves.
      {"# Quiz extrait de « f.exe » par vidod-make unpack.\r\n# Les images des questions sont dans le dossier images ; "
       "« vidod-make build »\r\n# redonne les mêmes ressources.\r\n\r\ntitre = \"x\"\r\n",
       false, "Quiz extrait de « f.exe » par vidod-make unpack."},
      // Theirs, with a line added by hand.
      {"# " + origin + "\n# corrigé par Mme Dupré\n", true, origin},
  };
  for (const auto& c : cases) {
    const SourceComments comments = ReadSourceComments(c.text);
    EXPECT_EQ(comments.handWritten, c.handWritten) << c.text;
    EXPECT_EQ(comments.origin, c.origin) << c.text;
  }
}

TEST(QuizFilesTest, ABuildIsKnownByItsBytesWhereverItIsCopied) {
  const std::vector<uint8_t> built = {'M', 'Z', 1, 2, 3};
  std::vector<BuildRecord> records;
  RememberBuild(&records, {fs::u8path("C:/Classe/Fleuves.exe"), 5, FingerprintOf(built), fs::u8path("C:/Classe/quiz.toml")});
  RememberBuild(&records, {fs::u8path("C:/Classe/Autre.exe"), 3, 7, fs::u8path("C:/Autre/quiz.toml")});
  // Built again at the same place: one record, the newest.
  RememberBuild(&records,
                {fs::u8path("C:/Classe/Fleuves.exe"), 5, FingerprintOf(built), fs::u8path(u8"C:/Classe/Été/quiz.toml")});
  const std::vector<BuildRecord> read = ParseBuildRecords(FormatBuildRecords(records) + "abîmé\t1\n");
  ASSERT_EQ(read.size(), 2u);
  const BuildRecord* found = FindBuild(read, built);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->source, fs::u8path(u8"C:/Classe/Été/quiz.toml"));
  EXPECT_EQ(FindBuild(read, {'M', 'Z', 1, 2, 4}), nullptr);
}

enum class Answers { kWhole, kMissing, kGarbled };

std::vector<uint8_t> QuizExecutable(Answers kind) {
  QuizSource quiz;
  quiz.title = "Fleuves";
  quiz.questions.resize(1);
  quiz.questions[0].answer = "Loire";
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  std::vector<uint8_t> answers, codes;
  std::string error;
  EXPECT_TRUE(CompressBlob(WriteAnswersBlob(quiz), "réponses", &answers, &error)) << error;
  EXPECT_TRUE(CompressBlob(WriteCodesBlob(quiz), "codes", &codes, &error)) << error;
  if (kind == Answers::kGarbled) answers.assign(answers.size(), 0xFF);
  const ResourceName patch = ResourceName::Text(kQuizBlobType);
  if (kind != Answers::kMissing)
    resources.push_back(makertest::TestResource(patch, kAnswersResourceId, kLanguageNeutral, answers));
  resources.push_back(makertest::TestResource(patch, kCodesResourceId, kLanguageNeutral, codes));
  return makertest::MakeTestExecutable(resources);
}

TEST(QuizFilesTest, AFileThatIsNoQuizIsToldInOneSentence) {
  const std::vector<uint8_t> quiz = QuizExecutable(Answers::kWhole);
  const std::vector<uint8_t> cut(quiz.begin(), quiz.begin() + quiz.size() * 3 / 4);
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* told;  // nullptr: opened
  } cases[] = {
      {"a quiz", quiz, nullptr},
      {"text", {'b', 'o', 'n', 'j', 'o', 'u', 'r'}, "n'est pas un quiz Vidod"},
      {"another program", makertest::MakeTestPlayer(), "n'est pas un quiz Vidod"},
      {"a program with codes but no answers", QuizExecutable(Answers::kMissing), "n'est pas un quiz Vidod"},
      {"a quiz cut short", cut, "endommagé"},
      {"answers that do not decode", QuizExecutable(Answers::kGarbled), "endommagé"},
  };
  for (const auto& c : cases) {
    UnpackedExecutable unpacked;
    std::string problem;
    const bool opened = UnpackForAuthor(c.bytes, "f.exe", fs::u8path("dossier"), {"origine"}, &unpacked, &problem);
    EXPECT_EQ(opened, c.told == nullptr) << c.what << ": " << problem;
    if (c.told) {
      EXPECT_NE(problem.find(c.told), std::string::npos) << c.what << ": " << problem;
      EXPECT_EQ(problem.find("PATCH"), std::string::npos) << problem;
      EXPECT_EQ(problem.find("ressource"), std::string::npos) << problem;
    } else {
      EXPECT_EQ(unpacked.quiz.title, "Fleuves");
      ASSERT_FALSE(unpacked.files.empty());
      EXPECT_EQ(unpacked.files[0].path, fs::u8path("dossier") / "quiz.toml");
      EXPECT_EQ(std::string(unpacked.files[0].bytes.begin(), unpacked.files[0].bytes.begin() + 10), "# origine\n");
    }
  }
}

TEST(QuizFilesTest, ANewFolderBesideTheExecutableIsNamedAfterTheQuiz) {
  const fs::path scratch = fs::temp_directory_path() / "vidod-dossier-neuf";
  fs::remove_all(scratch);
  fs::create_directories(scratch / "Fleuves de France");
  EXPECT_EQ(NewFolderBeside(scratch / "f.exe", "Fleuves de France"), scratch / "Fleuves de France (2)");
  EXPECT_EQ(NewFolderBeside(scratch / "f.exe", "Quiz : fleuves ?"), scratch / "Quiz _ fleuves _");
  EXPECT_EQ(NewFolderBeside(scratch / "drapeaux.exe", ""), scratch / "drapeaux");
  fs::remove_all(scratch);
}

}  // namespace
}  // namespace vidod
