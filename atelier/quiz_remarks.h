// What the Atelier tells the author about the quiz: the checks of the maker,
// a character-set error per pending text, each located by the question and
// the field it is about, and put in the words of the window (the names of
// its boxes, never the keys of the source). Plain C++.
#pragma once

#include <string>
#include <vector>

#include "atelier/edited_quiz.h"

namespace vidod {

// Every problem of the quiz as the checks find it, and a character-set
// error per pending text.
std::vector<SourceIssue> CheckEditedQuiz(EditedQuiz* edited);
// The character-set error of each pending text.
std::vector<SourceIssue> PendingTextIssues(const EditedQuiz& edited);

// Where an issue belongs on screen.
struct IssuePlace {
  int question = -1;     // from 0; -1 for the quiz's own settings and the codes
  bool onField = false;  // field is the text it marks
  FieldRef field;
  bool onPicture = false;  // the question's picture
  int code = -1;           // the code it is about, from 0
  bool onCodes = false;    // the codes as a whole or one of them
};
IssuePlace PlaceOfIssue(const SourceIssue& issue);

// The name of what an issue is about, as the window shows it: "réponse
// attendue", "libellé de la seconde case", "codes"...
std::string PlaceName(const SourceIssue& issue, bool twoBoxes);
// "question 3, réponse attendue : ..." for a list of remarks.
std::string DescribeRemark(const SourceIssue& issue, bool twoBoxes);
// "ligne 7 : « image » : ..." for a source the author mends in a text
// editor, where the keys are what the lines show.
std::string DescribeSourceProblem(const SourceIssue& issue);

// The choices of when reveal texts appear, by what the pupil sees.
std::string RevealKindWords(RevealKind kind);
// The choices of boxes per question.
std::string AnswerCountWords(int answersPerQuestion);

}  // namespace vidod
