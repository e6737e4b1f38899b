// The quiz as the Atelier edits it: texts the code page lacks kept with
// their questions as these move, issues sent to the field they concern,
// picture keys rewritten for a source saved elsewhere, file names from titles.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "atelier/edited_quiz.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;

constexpr char kPending[] = u8"\u0141\u00f3d\u017a";  // Łódź: Ł and ź are not in code page 1252

// Three questions A, B, C; B's answer holds a character the code page lacks.
EditedQuiz ThreeQuestions() {
  EditedQuiz edited;
  edited.quiz.questions.resize(3);
  const char* const answers[] = {"A", kPending, "C"};
  for (int i = 0; i < 3; ++i) SetFieldText(&edited, FieldRef{QuizField::kAnswer, i}, answers[i]);
  edited.modified = false;
  return edited;
}

std::vector<std::string> Shown(const EditedQuiz& edited) {
  std::vector<std::string> answers;
  for (int i = 0; i < static_cast<int>(edited.quiz.questions.size()); ++i)
    answers.push_back(ShownFieldText(edited, FieldRef{QuizField::kAnswer, i}));
  return answers;
}

TEST(EditedQuizTest, PendingTextsFollowTheirQuestions) {
  const EditedQuiz start = ThreeQuestions();
  EXPECT_EQ(start.quiz.questions[1].answer,
            "?\xF3"
            "d?");  // the model's stand-ins: "ó" is in the code page
  const struct {
    const char* what;
    void (*edit)(EditedQuiz*);
    std::vector<std::string> shown;
    std::size_t pendingLeft;
  } cases[] = {
      {"B moved last", [](EditedQuiz* e) { MoveQuestion(e, 1, 2); }, {"A", "C", kPending}, 1},
      {"C moved first", [](EditedQuiz* e) { MoveQuestion(e, 2, 0); }, {"C", "A", kPending}, 1},
      {"A removed", [](EditedQuiz* e) { RemoveQuestion(e, 0); }, {kPending, "C"}, 1},
      {"B removed", [](EditedQuiz* e) { RemoveQuestion(e, 1); }, {"A", "C"}, 0},
      {"two inserted first",
       [](EditedQuiz* e) { InsertQuestions(e, 0, std::vector<QuestionSource>(2)); },
       {"", "", "A", kPending, "C"},
       1},
  };
  for (const auto& c : cases) {
    EditedQuiz edited = start;
    c.edit(&edited);
    EXPECT_EQ(Shown(edited), c.shown) << c.what;
    EXPECT_TRUE(edited.modified) << c.what;
    EXPECT_EQ(edited.pending.size(), c.pendingLeft) << c.what;
  }
}

TEST(EditedQuizTest, TypedTextsReachTheModel) {
  EditedQuiz edited = ThreeQuestions();
  // Mended, the text leaves the pending ones.
  SetFieldText(&edited, FieldRef{QuizField::kAnswer, 1}, u8"L\u00f3dz");
  EXPECT_TRUE(edited.pending.empty());
  EXPECT_EQ(edited.quiz.questions[1].answer,
            "L\xF3"
            "dz");
  // Codes grow to the one typed and lose the empty ones at their end.
  SetFieldText(&edited, FieldRef{QuizField::kCode, 2}, "TROIS");
  EXPECT_EQ(edited.quiz.codes.size(), 3u);
  SetFieldText(&edited, FieldRef{QuizField::kCode, 2}, "");
  EXPECT_TRUE(edited.quiz.codes.empty());
  // A character-set error names its field.
  SetFieldText(&edited, FieldRef{QuizField::kCode, 1}, kPending);
  const std::vector<SourceIssue> issues = CheckEditedQuiz(&edited);
  const auto found = std::find_if(issues.begin(), issues.end(), [](const SourceIssue& issue) {
    return !issue.warning && issue.key == "codes" && issue.message.find("1252") != std::string::npos;
  });
  ASSERT_NE(found, issues.end());
  EXPECT_EQ(PlaceOfIssue(*found).code, 1);
}

// The other answers of a box are one text in the window, separated by ";".
TEST(EditedQuizTest, OtherAnswersAreEditedAsOneText) {
  EditedQuiz edited = ThreeQuestions();
  const FieldRef others{QuizField::kOtherAnswers, 0};
  EXPECT_TRUE(SetFieldText(&edited, others, u8" Notre-Dame ;notre dame de Paris;; "));
  EXPECT_EQ(edited.quiz.questions[0].otherAnswers, (std::vector<std::string>{"Notre-Dame", "notre dame de Paris"}));
  EXPECT_EQ(ShownFieldText(edited, others), u8"Notre-Dame ; notre dame de Paris");
  // Typing on towards the next answer changes nothing yet.
  edited.modified = false;
  EXPECT_FALSE(SetFieldText(&edited, others, u8"Notre-Dame ; notre dame de Paris ; "));
  EXPECT_FALSE(edited.modified);
  // A character the code page lacks waits, pending, like any text.
  EXPECT_TRUE(SetFieldText(&edited, FieldRef{QuizField::kOtherAnswers2, 1}, kPending));
  EXPECT_EQ(ShownFieldText(edited, FieldRef{QuizField::kOtherAnswers2, 1}), kPending);
  const std::vector<SourceIssue> issues = CheckEditedQuiz(&edited);
  EXPECT_TRUE(std::any_of(issues.begin(), issues.end(), [](const SourceIssue& issue) {
    return PlaceOfIssue(issue).field == FieldRef{QuizField::kOtherAnswers2, 1} && !issue.warning;
  }));
  // Emptied, the box accepts its expected answer only.
  SetFieldText(&edited, others, "");
  EXPECT_TRUE(edited.quiz.questions[0].otherAnswers.empty());
}

TEST(EditedQuizTest, IssuesLandOnTheirFields) {
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
      {{true, "note", 4, 0, "..."}, 3, false, QuizField::kTitle, false, -1},
      {{true, "titre", 0, 0, "..."}, -1, true, QuizField::kTitle, false, -1},
      {{true, "libelles", 0, 0, u8"second libellé vide"}, -1, true, QuizField::kLabel2, false, -1},
      {{false, "codes", 0, 0, "code 12 : texte de 300 octets"}, -1, false, QuizField::kTitle, false, 11},
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

TEST(EditedQuizTest, PictureKeysNameTheSameFilesFromANewPlace) {
  QuizSource quiz;
  quiz.questions.resize(3);
  quiz.questions[0].image = "images/loire.jpg";
  quiz.questions[1].image = "images\\rhone.png";  // as written on Windows
  RebasePictureKeys(&quiz, fs::path("/prof/fleuves/quiz.toml"), fs::path("/prof/copie/quiz.toml"));
  EXPECT_EQ(quiz.questions[0].image, "../fleuves/images/loire.jpg");
  EXPECT_EQ(quiz.questions[1].image, "../fleuves/images/rhone.png");
  EXPECT_EQ(quiz.questions[2].image, "");
}

TEST(EditedQuizTest, FileNamesFromTitles) {
  const struct {
    const char* title;
    const char* name;
  } cases[] = {
      {"Les fleuves", "Les fleuves"},
      {"Quiz : qui ? quoi ?", "Quiz _ qui _ quoi _"},  // characters Windows refuses in names
      {"  Drapeaux.  ", "Drapeaux"},                   // blanks and dots at the ends
      {"a/b\\c", "a_b_c"},
      {"  ...  ", "quiz"},  // nothing left
      {"con", "con_quiz"},  // a device name
      {u8"Été", u8"Été"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameFromTitle(c.title), c.name) << c.title;
}

}  // namespace
}  // namespace vidod
