// The quiz as the Atelier edits it: every edit undone and redone, typing as
// one step, texts the code page lacks kept with their questions as these
// move, picture keys rewritten for a source saved elsewhere, file names
// from titles.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "atelier/edited_quiz.h"
#include "atelier/quiz_remarks.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;

constexpr char kPending[] = u8"\u0141\u00f3d\u017a";  // Łódź: Ł and ź are not in code page 1252

// Three questions A, B, C, as opened from disk; B's answer holds a
// character the code page lacks.
EditedQuiz ThreeQuestions() {
  EditedQuiz edited;
  edited.quiz.questions.resize(3);
  const char* const answers[] = {"A", kPending, "C"};
  for (int i = 0; i < 3; ++i) {
    SetFieldText(&edited, FieldRef{QuizField::kAnswer, i}, answers[i]);
    edited.quiz.questions[i].image = std::string(1, static_cast<char>('a' + i)) + ".jpg";
  }
  edited.quiz.answersPerQuestion = 2;
  edited.quiz.questions[0].answer2 = "deux";
  edited.quiz.quizType = kRevealPairsQuizType;
  edited.quiz.questions[2].revealNote = "note";
  MarkSaved(&edited);
  return edited;
}

std::vector<std::string> Shown(const EditedQuiz& edited) {
  std::vector<std::string> answers;
  for (int i = 0; i < static_cast<int>(edited.quiz.questions.size()); ++i)
    answers.push_back(ShownFieldText(edited, FieldRef{QuizField::kAnswer, i}));
  return answers;
}

bool SameState(const EditedQuiz& a, const EditedQuiz& b) {
  return SameQuizContent(a.quiz, b.quiz) && a.pending == b.pending && a.quiz.questions.size() == b.quiz.questions.size() &&
         std::equal(a.quiz.questions.begin(), a.quiz.questions.end(), b.quiz.questions.begin(),
                    [](const QuestionSource& x, const QuestionSource& y) { return x.rotation == y.rotation; });
}

// Each edit changes the quiz as the author asked, is undone back to the
// saved quiz (which clears the mark) and redone.
TEST(EditedQuizTest, EveryEditIsUndoneAndRedone) {
  const struct {
    const char* what;
    QuizEdit edit;
    std::vector<std::string> shown;  // the answers after it
    int undoneTo;                    // the question shown once undone
  } cases[] = {
      {"B moved last", MoveEdit(1, 2), {"A", "C", kPending}, 1},
      {"C moved first", MoveEdit(2, 0), {"C", "A", kPending}, 2},
      {"A removed", RemoveEdit(0), {kPending, "C"}, 0},
      {"B removed", RemoveEdit(1), {"A", "C"}, 1},
      {"two added after A", AddEdit(1, {{"D", "d.jpg"}, {"E", "e.jpg"}}), {"A", "D", "E", kPending, "C"}, 0},
      {"A typed", TextEdit(FieldRef{QuizField::kAnswer, 0}, "Ain"), {"Ain", kPending, "C"}, 0},
      {"B mended", TextEdit(FieldRef{QuizField::kAnswer, 1}, "Lodz"), {"A", "Lodz", "C"}, 1},
      {"title", TextEdit(FieldRef{QuizField::kTitle, 0}, "Fleuves"), {"A", kPending, "C"}, -1},
      {"picture of C", PictureEdit(2, "z.png", 90), {"A", kPending, "C"}, 2},
      {"one box", SettingEdit(EditKind::kAnswerCount, 1), {"A", kPending, "C"}, -1},
      {"type 2", SettingEdit(EditKind::kQuizType, 2), {"A", kPending, "C"}, -1},
      {"list pictures", SettingEdit(EditKind::kListPictures, 0), {"A", kPending, "C"}, -1},
      {"reduced", SettingEdit(EditKind::kReducePictures, 1), {"A", kPending, "C"}, -1},
      {"colour", ColourEdit(40, 90, 160), {"A", kPending, "C"}, -1},
      {"tolerances", SettingEdit(EditKind::kTolerances, 3), {"A", kPending, "C"}, -1},
  };
  for (const auto& c : cases) {
    const EditedQuiz saved = ThreeQuestions();
    EditedQuiz edited = saved;
    ASSERT_NE(ApplyEdit(&edited, c.edit), 0u) << c.what;
    EXPECT_EQ(Shown(edited), c.shown) << c.what;
    EXPECT_TRUE(IsModified(edited)) << c.what;
    const EditedQuiz after = edited;
    int question = -2;
    ASSERT_TRUE(UndoEdit(&edited, &question)) << c.what;
    EXPECT_TRUE(SameState(edited, saved)) << c.what;
    EXPECT_EQ(question, c.undoneTo) << c.what;
    EXPECT_FALSE(IsModified(edited)) << c.what;
    ASSERT_TRUE(RedoEdit(&edited, &question)) << c.what;
    EXPECT_TRUE(SameState(edited, after)) << c.what;
    EXPECT_TRUE(IsModified(edited)) << c.what;
  }
  // The rules of the settings: one box drops the second answers, leaving
  // type 3 drops the notes only it keeps.
  EditedQuiz edited = ThreeQuestions();
  ApplyEdit(&edited, SettingEdit(EditKind::kAnswerCount, 1));
  ApplyEdit(&edited, SettingEdit(EditKind::kQuizType, 2));
  EXPECT_EQ(edited.quiz.questions[0].answer2, "");
  EXPECT_EQ(edited.quiz.questions[2].revealNote, "");
  // What changes nothing is no step.
  EXPECT_EQ(ApplyEdit(&edited, SettingEdit(EditKind::kQuizType, 2)), 0u);
  EXPECT_EQ(ApplyEdit(&edited, MoveEdit(0, 3)), 0u);
  EXPECT_EQ(edited.undo.size(), 2u);
}

TEST(EditedQuizTest, TypingInOneFieldIsOneStep) {
  EditedQuiz edited = ThreeQuestions();
  const FieldRef answer{QuizField::kAnswer, 0};
  for (const char* typed : {"Ai", "Ain", "L'Ain"}) ApplyEdit(&edited, TextEdit(answer, typed));
  EXPECT_EQ(edited.undo.size(), 1u);
  // Another field, or the focus gone and back, starts another step.
  ApplyEdit(&edited, TextEdit(FieldRef{QuizField::kReveal, 0}, "affluent"));
  ApplyEdit(&edited, TextEdit(answer, "L'Ain, rivière"));
  EndTyping(&edited);
  ApplyEdit(&edited, TextEdit(answer, "L'Ain"));
  EXPECT_EQ(edited.undo.size(), 4u);
  int question = 0;
  for (int step = 0; step < 3; ++step) UndoEdit(&edited, &question);
  EXPECT_EQ(Shown(edited)[0], "L'Ain");
  EXPECT_TRUE(IsModified(edited));
  UndoEdit(&edited, &question);
  EXPECT_EQ(Shown(edited)[0], "A");
  EXPECT_FALSE(IsModified(edited));

  // Saved in the middle: the quiz is unmodified there and only there.
  RedoEdit(&edited, &question);
  MarkSaved(&edited);
  RedoEdit(&edited, &question);
  EXPECT_TRUE(IsModified(edited));
  UndoEdit(&edited, &question);
  EXPECT_FALSE(IsModified(edited));
  UndoEdit(&edited, &question);
  EXPECT_TRUE(IsModified(edited));
  // A new edit after an undo leaves nothing to redo.
  ApplyEdit(&edited, MoveEdit(0, 1));
  EXPECT_FALSE(RedoEdit(&edited, &question));
}

TEST(EditedQuizTest, PendingTextsFollowTheirQuestions) {
  const EditedQuiz start = ThreeQuestions();
  EXPECT_EQ(start.quiz.questions[1].answer,
            "?\xF3"
            "d?");  // the model's stand-ins: "ó" is in the code page
  const struct {
    const char* what;
    QuizEdit edit;
    std::size_t pendingLeft;
    int pendingAt;  // the question whose answer is still pending
  } cases[] = {
      {"B moved last", MoveEdit(1, 2), 1, 2},
      {"A removed", RemoveEdit(0), 1, 0},
      {"B removed", RemoveEdit(1), 0, -1},
      {"two inserted first", AddEdit(0, {{"D", ""}, {"E", ""}}), 1, 3},
  };
  for (const auto& c : cases) {
    EditedQuiz edited = start;
    ApplyEdit(&edited, c.edit);
    EXPECT_EQ(edited.pending.size(), c.pendingLeft) << c.what;
    if (c.pendingAt >= 0) {
      EXPECT_EQ(edited.pending.count(FieldRef{QuizField::kAnswer, c.pendingAt}), 1u) << c.what;
    }
  }
  // Codes grow to the one typed and lose the empty ones at their end.
  EditedQuiz edited = start;
  ApplyEdit(&edited, TextEdit(FieldRef{QuizField::kCode, 2}, "TROIS"));
  EXPECT_EQ(edited.quiz.codes.size(), 3u);
  ApplyEdit(&edited, TextEdit(FieldRef{QuizField::kCode, 2}, ""));
  EXPECT_TRUE(edited.quiz.codes.empty());
}

// The other answers of a box are one text in the window, separated by ";".
TEST(EditedQuizTest, OtherAnswersAreEditedAsOneText) {
  EditedQuiz edited = ThreeQuestions();
  const FieldRef others{QuizField::kOtherAnswers, 0};
  EXPECT_NE(ApplyEdit(&edited, TextEdit(others, u8" Notre-Dame ;notre dame de Paris;; ")), 0u);
  EXPECT_EQ(edited.quiz.questions[0].otherAnswers, (std::vector<std::string>{"Notre-Dame", "notre dame de Paris"}));
  EXPECT_EQ(ShownFieldText(edited, others), u8"Notre-Dame ; notre dame de Paris");
  // Typing on towards the next answer changes nothing yet.
  EXPECT_EQ(ApplyEdit(&edited, TextEdit(others, u8"Notre-Dame ; notre dame de Paris ; ")), 0u);
  // A character the code page lacks waits, pending, like any text.
  EXPECT_NE(ApplyEdit(&edited, TextEdit(FieldRef{QuizField::kOtherAnswers2, 1}, kPending)), 0u);
  EXPECT_EQ(ShownFieldText(edited, FieldRef{QuizField::kOtherAnswers2, 1}), kPending);
  const std::vector<SourceIssue> issues = CheckEditedQuiz(&edited);
  EXPECT_TRUE(std::any_of(issues.begin(), issues.end(), [](const SourceIssue& issue) {
    return PlaceOfIssue(issue).field == FieldRef{QuizField::kOtherAnswers2, 1} && !issue.warning;
  }));
  // Emptied, the box accepts its expected answer only; undone, it has them back.
  ApplyEdit(&edited, TextEdit(others, ""));
  EXPECT_TRUE(edited.quiz.questions[0].otherAnswers.empty());
  int question = 0;
  EndTyping(&edited);
  UndoEdit(&edited, &question);
  EXPECT_EQ(edited.quiz.questions[0].otherAnswers.size(), 2u);
}

TEST(EditedQuizTest, PictureKeysNameTheSameFilesFromANewPlace) {
  const fs::path scratch =
      fs::temp_directory_path() /
      ("vidod-rebase-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(scratch);
  // The quiz's folder was renamed with its pictures: "fleuves" is gone.
  fs::create_directories(scratch / "fleuves-2024" / "images");
  std::ofstream(scratch / "fleuves-2024" / "images" / "loire.jpg") << "x";
  QuizSource quiz;
  quiz.questions.resize(4);
  quiz.questions[0].image = "images/loire.jpg";
  quiz.questions[1].image = "images\\rhone.png";  // as written on Windows
  quiz.questions[3].image = "../partagees/seine.jpg";
  RebasePictureKeys(&quiz, scratch / "fleuves" / "quiz.toml", scratch / "copie" / "quiz.toml");
  EXPECT_EQ(quiz.questions[0].image, "../fleuves/images/loire.jpg");
  EXPECT_EQ(quiz.questions[1].image, "../fleuves/images/rhone.png");
  EXPECT_EQ(quiz.questions[2].image, "");
  EXPECT_EQ(quiz.questions[3].image, "../partagees/seine.jpg");
  quiz.questions[0].image = "images/loire.jpg";
  RebasePictureKeys(&quiz, scratch / "fleuves" / "quiz.toml", scratch / "fleuves-2024" / "quiz.toml");
  EXPECT_EQ(quiz.questions[0].image, "images/loire.jpg");
  fs::remove_all(scratch);
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
