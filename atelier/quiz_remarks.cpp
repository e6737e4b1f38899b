#include "atelier/quiz_remarks.h"

#include "common/cp1252.h"

namespace vidod {

namespace {

constexpr int kFirstLabel = 1;
constexpr int kSecondLabel = 2;
// Issues about the other answers of a list number them from 2: 1 is the
// expected answer.
constexpr int kFirstOtherAnswer = 2;

bool IsQuestionKey(const std::string& key) { return key == "reponse" || key == "reponse2" || key == "revelation"; }

// The key and item a pending text's issue goes under, as the checks name them.
void KeyOfField(const FieldRef& field, SourceIssue* issue) {
  switch (field.field) {
    case QuizField::kTitle:
      issue->key = "titre";
      break;
    case QuizField::kAuthor:
      issue->key = "auteur";
      break;
    case QuizField::kExplanation:
      issue->key = "explication";
      break;
    case QuizField::kLink:
      issue->key = "lien";
      break;
    case QuizField::kLabel1:
    case QuizField::kLabel2:
      issue->key = "libelles";
      issue->item = field.field == QuizField::kLabel1 ? kFirstLabel : kSecondLabel;
      break;
    case QuizField::kAnswer:
      issue->key = "reponse";
      break;
    case QuizField::kAnswer2:
      issue->key = "reponse2";
      break;
    case QuizField::kOtherAnswers:
    case QuizField::kOtherAnswers2:
      issue->key = field.field == QuizField::kOtherAnswers ? "reponse" : "reponse2";
      issue->item = kFirstOtherAnswer;
      break;
    case QuizField::kReveal:
      issue->key = "revelation";
      break;
    case QuizField::kCode:
      issue->key = "codes";
      issue->item = field.index + 1;
      break;
  }
  if (IsQuestionKey(issue->key)) issue->question = field.index + 1;
}

SourceIssue CharacterIssue(const FieldRef& field, const std::string& typed) {
  SourceIssue issue;
  KeyOfField(field, &issue);
  // Named with the words before it: a window's font may draw it as a box.
  const std::string prefix = field.field == QuizField::kCode ? "code " + std::to_string(field.index + 1) + " : " : "";
  issue.message = prefix + "le caractère " + DescribeRejectedCharacter(typed, Utf8ToCp1252(typed)) +
                  " : le quiz ne peut pas l'afficher ; retirez-le ou remplacez-le";
  return issue;
}

}  // namespace

std::vector<SourceIssue> PendingTextIssues(const EditedQuiz& edited) {
  std::vector<SourceIssue> issues;
  for (const auto& [field, text] : edited.pending) issues.push_back(CharacterIssue(field, text));
  return issues;
}

std::vector<SourceIssue> CheckEditedQuiz(EditedQuiz* edited) {
  std::vector<SourceIssue> issues =
      CheckQuiz(edited->quiz, edited->sourceFile, &edited->pictureChecks, CheckAdvice::kAtelier);
  const std::vector<SourceIssue> pending = PendingTextIssues(*edited);
  issues.insert(issues.end(), pending.begin(), pending.end());
  return issues;
}

IssuePlace PlaceOfIssue(const SourceIssue& issue) {
  IssuePlace place;
  const std::string& key = issue.key;
  if (issue.question > 0) {
    place.question = issue.question - 1;
    place.onPicture = key == "image" || key == "rotation";
    place.onField = IsQuestionKey(key);
    // An issue about one of the other answers of a list marks their field.
    const bool other = issue.item >= kFirstOtherAnswer;
    const QuizField field = key == "reponse2"     ? (other ? QuizField::kOtherAnswers2 : QuizField::kAnswer2)
                            : key == "revelation" ? QuizField::kReveal
                            : other               ? QuizField::kOtherAnswers
                                                  : QuizField::kAnswer;
    place.field = FieldRef{field, place.question};
    return place;
  }
  if (key == "codes") {
    place.onCodes = true;
    place.code = issue.item - 1;
    return place;
  }
  place.onField = true;
  if (key == "titre")
    place.field.field = QuizField::kTitle;
  else if (key == "auteur")
    place.field.field = QuizField::kAuthor;
  else if (key == "explication")
    place.field.field = QuizField::kExplanation;
  else if (key == "lien")
    place.field.field = QuizField::kLink;
  else if (key == "libelles" && issue.item > 0)
    place.field.field = issue.item == kSecondLabel ? QuizField::kLabel2 : QuizField::kLabel1;
  else
    place.onField = false;
  return place;
}

std::string PlaceName(const SourceIssue& issue, bool twoBoxes) {
  const std::string& key = issue.key;
  const bool other = issue.item >= kFirstOtherAnswer;
  if (key == "reponse" && other) return twoBoxes ? "autres réponses de la 1re case" : "autres réponses acceptées";
  if (key == "reponse2" && other) return "autres réponses de la 2e case";
  if (key == "reponse") return twoBoxes ? "réponse de la 1re case" : "réponse attendue";
  if (key == "reponse2") return "réponse de la 2e case";
  if (key == "revelation") return "texte révélé";
  if (key == "image" || key == "rotation") return "image";
  if (key == "note" || key == "note_revelation") return "note";
  if (key == "titre") return "titre";
  if (key == "auteur") return "auteur";
  if (key == "explication") return "explication";
  if (key == "lien") return "lien";
  if (key == "libelles")
    return issue.item <= 0 ? "libellés des cases"
                          : (issue.item == kSecondLabel ? "libellé de la 2e case" : "libellé de la 1re case");
  if (key == "type") return "textes révélés";
  if (key == "couleur") return "couleur";
  if (key == "images_dans_liste") return "images dans la vue en liste";
  if (key == "codes") return "codes de récompense";
  if (key == "question") return "questions";
  if (key == "tolerer") return "tolérances";
  return "réglages du quiz";
}

std::string DescribeRemark(const SourceIssue& issue, bool twoBoxes) {
  std::string text;
  if (issue.question > 0) text += "question " + std::to_string(issue.question) + ", ";
  return text + PlaceName(issue, twoBoxes) + " : " + issue.message;
}

std::string DescribeSourceProblem(const SourceIssue& issue) {
  std::string text;
  if (issue.line > 0) text += "ligne " + std::to_string(issue.line) + " : ";
  if (issue.question > 0) text += "question " + std::to_string(issue.question) + ", ";
  if (!issue.key.empty()) text += "« " + issue.key + " » : ";
  return text + issue.message;
}

std::string RevealKindWords(RevealKind kind) {
  switch (kind) {
    case RevealKind::kNone:
      return "Pas de texte révélé";
    case RevealKind::kEachFound:
      return "Le texte de la question apparaît quand elle est trouvée";
    case RevealKind::kAllAtEnd:
      return "Tous les textes apparaissent quand le quiz est fini";
  }
  return std::string();
}

std::string AnswerCountWords(int answersPerQuestion) {
  return answersPerQuestion == 2 ? "Deux cases par question : l'élève remplit les deux"
                                 : "Une case par question";
}

}  // namespace vidod
