#include "maker/quiz_source.h"

#include <algorithm>

#include "quiz/accepted_answers_blob.h"
#include "quiz/home_link.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

constexpr char kTextDelimiter = '|';

void Add(std::vector<SourceIssue>* issues, bool warning, const std::string& key, int question,
         const std::string& message, int item = 0) {
  SourceIssue issue;
  issue.warning = warning;
  issue.key = key;
  issue.question = question;
  issue.message = message;
  issue.item = item;
  issues->push_back(issue);
}

bool HoldsLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// A text of the answers blob: ended by the delimiter, so it cannot hold one,
// and copied into a 260-byte buffer by the player.
void CheckText(std::vector<SourceIssue>* issues, const std::string& text, const std::string& key,
               int question, const std::string& prefix = std::string(), int item = 0) {
  if (text.find(kTextDelimiter) != std::string::npos)
    Add(issues, false, key, question, prefix + "le texte contient « | », qui sépare les textes des ressources",
        item);
  if (text.size() > kMaxSourceTextLength)
    Add(issues, false, key, question,
        prefix + "texte de " + std::to_string(text.size()) + " octets, le lecteur n'en garde que " +
            std::to_string(kMaxSourceTextLength),
        item);
}

// Expected answers and codes are typed into, or shown in, one-line boxes.
void CheckOneLine(std::vector<SourceIssue>* issues, const std::string& text, const std::string& key,
                  int question, const std::string& prefix = std::string(), int item = 0) {
  if (HoldsLineBreak(text))
    Add(issues, false, key, question, prefix + "le texte contient un saut de ligne", item);
}

// The link has a resource of its own, so "|" is no delimiter there; the
// player opens only a web address.
void CheckLink(std::vector<SourceIssue>* issues, const std::string& link, CheckAdvice advice) {
  if (link.empty()) return;
  if (link.size() > kMaxSourceTextLength) {
    Add(issues, false, "lien", 0,
        "adresse de " + std::to_string(link.size()) + " octets, le lecteur n'en garde que " +
            std::to_string(kMaxSourceTextLength));
    return;
  }
  if (!IsWebAddress(link))
    Add(issues, false, "lien", 0,
        std::string("le lien doit être une adresse web qui commence par « https:// », « http:// » ou « www. », "
                    "sans espace ; le lecteur n'ouvre rien d'autre") +
            (advice == CheckAdvice::kAtelier ? " (laissez-le vide pour que le bandeau n'en montre pas)"
                                             : " (lien = \"\" : le bandeau n'en montre pas)"));
}

// The other answers of one box; their characters are added to *otherBytes.
void CheckOtherAnswers(std::vector<SourceIssue>* issues, const std::vector<std::string>& others,
                       const std::string& key, int question, std::size_t* otherBytes) {
  if (others.size() > static_cast<std::size_t>(kMaxOtherAnswersPerBox))
    Add(issues, false, key, question,
        std::to_string(others.size() + 1) + " réponses acceptées pour une case, le lecteur en garde " +
            std::to_string(kMaxAnswersPerBox) + " au plus (la réponse attendue et " +
            std::to_string(kMaxOtherAnswersPerBox) + " autres)");
  for (std::size_t k = 0; k < others.size(); ++k) {
    const int item = static_cast<int>(k + 2);
    const std::string prefix = "réponse " + std::to_string(item) + " de la liste : ";
    CheckText(issues, others[k], key, question, prefix, item);
    CheckOneLine(issues, others[k], key, question, prefix, item);
    if (others[k].empty())
      Add(issues, false, key, question, prefix + "réponse vide : retirez-la de la liste", item);
    if (others[k].find('\0') != std::string::npos)
      Add(issues, false, key, question, prefix + "la réponse contient l'octet nul (\\u0000), qu'aucune touche ne tape",
          item);
    *otherBytes += others[k].size();
  }
}

bool SameQuestion(const QuestionSource& a, const QuestionSource& b, bool twoAnswers) {
  return a.answer == b.answer && (!twoAnswers || a.answer2 == b.answer2) && a.otherAnswers == b.otherAnswers &&
         (!twoAnswers || a.otherAnswers2 == b.otherAnswers2) && a.note == b.note && a.reveal == b.reveal &&
         a.revealNote == b.revealNote && a.image == b.image;
}

}  // namespace

bool SameQuizContent(const QuizSource& a, const QuizSource& b) {
  const bool sameCodes = std::equal(a.codes.begin(), a.codes.end(), b.codes.begin(), b.codes.end(),
                                    [](const RewardCode& x, const RewardCode& y) {
                                      return x.text == y.text && x.lineEnd == y.lineEnd;
                                    });
  const bool twoAnswers = a.answersPerQuestion == 2;
  const bool sameQuestions =
      std::equal(a.questions.begin(), a.questions.end(), b.questions.begin(), b.questions.end(),
                 [twoAnswers](const QuestionSource& x, const QuestionSource& y) { return SameQuestion(x, y, twoAnswers); });
  return a.leadByte == b.leadByte && a.pictureByte == b.pictureByte && a.answersPerQuestion == b.answersPerQuestion &&
         a.title == b.title && a.author == b.author && a.explanation == b.explanation &&
         a.answerLabels == b.answerLabels && sameQuestions && a.quizType == b.quizType && a.red == b.red &&
         a.green == b.green && a.blue == b.blue && a.answersTail == b.answersTail && sameCodes &&
         a.codesTail == b.codesTail && a.reducePictures == b.reducePictures && a.tolerances == b.tolerances &&
         a.link == b.link;
}

bool HasAcceptedAnswers(const QuizSource& quiz) {
  if (quiz.tolerances != 0) return true;
  const bool twoAnswers = quiz.answersPerQuestion == 2;
  return std::any_of(quiz.questions.begin(), quiz.questions.end(), [twoAnswers](const QuestionSource& question) {
    return !question.otherAnswers.empty() || (twoAnswers && !question.otherAnswers2.empty());
  });
}

const ToleranceWord kToleranceWords[3] = {
    {"accents", kTolerateAccents}, {"ponctuation", kToleratePunctuation}, {"articles", kTolerateArticles}};

uint8_t ToleranceOfWord(const std::string& word) {
  for (const ToleranceWord& known : kToleranceWords)
    if (word == known.word) return known.bit;
  return 0;
}

std::vector<std::string> AcceptedAnswerList(const QuestionSource& question, int box) {
  std::vector<std::string> list = {box == 0 ? question.answer : question.answer2};
  const std::vector<std::string>& others = box == 0 ? question.otherAnswers : question.otherAnswers2;
  list.insert(list.end(), others.begin(), others.end());
  return list;
}

std::size_t PictureCount(const QuizSource& quiz) {
  return static_cast<std::size_t>(std::count_if(quiz.questions.begin(), quiz.questions.end(),
                                                [](const QuestionSource& question) { return !question.image.empty(); }));
}

bool QuizTypeHasReveals(uint8_t quizType) { return RevealKindOf(quizType) != RevealKind::kNone; }

RevealKind RevealKindOf(uint8_t quizType) {
  switch (quizType) {
    case 2:
    case kRevealPairsQuizType:
      return RevealKind::kEachFound;
    case 4:
      return RevealKind::kAllAtEnd;
    default:
      return RevealKind::kNone;
  }
}

std::vector<SourceIssue> ValidateQuizSource(const QuizSource& quiz, CheckAdvice advice) {
  const bool atelier = advice == CheckAdvice::kAtelier;
  std::vector<SourceIssue> issues;
  CheckText(&issues, quiz.title, "titre", 0);
  CheckText(&issues, quiz.author, "auteur", 0);
  CheckText(&issues, quiz.explanation, "explication", 0);
  CheckText(&issues, quiz.answerLabels[0], "libelles", 0, "premier libellé : ", 1);
  CheckText(&issues, quiz.answerLabels[1], "libelles", 0, "second libellé : ", 2);
  CheckLink(&issues, quiz.link, advice);

  const std::size_t count = quiz.questions.size();
  if (quiz.answersPerQuestion != 1 && quiz.answersPerQuestion != 2)
    Add(&issues, false, "brut.reponses_par_question", 0,
        "une question a 1 ou 2 réponses, pas " + std::to_string(quiz.answersPerQuestion));
  if (count > kMaxSourceQuestions) {
    Add(&issues, false, "question", 0,
        std::to_string(count) + " questions, le lecteur en accepte " + std::to_string(kMaxSourceQuestions) +
            " au plus");
  } else if (count * quiz.answersPerQuestion > kMaxSourceAnswerBoxes) {
    Add(&issues, false, "question", 0,
        std::to_string(count) + " questions à " + std::to_string(quiz.answersPerQuestion) + " réponses font " +
            std::to_string(count * quiz.answersPerQuestion) + " cases de réponse, le lecteur en accepte " +
            std::to_string(kMaxSourceAnswerBoxes) + " au plus");
  }

  const bool keepsReveals = QuizTypeHasReveals(quiz.quizType);
  std::size_t otherBytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const QuestionSource& question = quiz.questions[i];
    const int number = static_cast<int>(i + 1);
    CheckText(&issues, question.answer, "reponse", number);
    CheckOneLine(&issues, question.answer, "reponse", number);
    if (question.answer.empty())
      Add(&issues, true, "reponse", number, "réponse attendue vide : la question ne pourra pas être résolue");
    CheckOtherAnswers(&issues, question.otherAnswers, "reponse", number, &otherBytes);
    if (quiz.answersPerQuestion == 2) {
      CheckText(&issues, question.answer2, "reponse2", number);
      CheckOneLine(&issues, question.answer2, "reponse2", number);
      CheckOtherAnswers(&issues, question.otherAnswers2, "reponse2", number, &otherBytes);
    } else if (!question.answer2.empty() || !question.otherAnswers2.empty()) {
      Add(&issues, false, "reponse2", number,
          atelier ? "réponse d'une deuxième case dans un quiz à une case par question"
                  : "seconde réponse dans un quiz à une réponse par question");
    }
    CheckText(&issues, question.note, "note", number);
    CheckText(&issues, question.reveal, "revelation", number);
    CheckText(&issues, question.revealNote, "note_revelation", number);
    if (!question.reveal.empty() && !keepsReveals)
      Add(&issues, false, "revelation", number,
          atelier ? "ce quiz ne montre aucun texte révélé : choisissez dans l'onglet Quiz quand les textes "
                    "apparaissent, ou videz celui-ci"
                  : "le type " + std::to_string(quiz.quizType) +
                        " n'a pas de révélations (types 2, 3 et 4 seulement)");
    if (!question.revealNote.empty() && quiz.quizType != kRevealPairsQuizType)
      Add(&issues, false, "note_revelation", number,
          "seul le type 3 garde ce texte, le quiz est de type " + std::to_string(quiz.quizType));
  }

  for (std::size_t k = 0; k < quiz.codes.size(); ++k) {
    const std::string prefix = "code " + std::to_string(k + 1) + " : ";
    const std::string& code = quiz.codes[k].text;
    const int item = static_cast<int>(k + 1);
    CheckOneLine(&issues, code, "codes", 0, prefix, item);
    if (code.size() > kMaxSourceTextLength)
      Add(&issues, false, "codes", 0,
          prefix + "texte de " + std::to_string(code.size()) + " octets, le lecteur n'en garde que " +
              std::to_string(kMaxSourceTextLength),
          item);
  }
  if (otherBytes > static_cast<std::size_t>(kMaxOtherAnswerBytes))
    Add(&issues, false, "question", 0,
        "les autres réponses acceptées font " + std::to_string(otherBytes) +
            " octets en tout, le lecteur en garde " + std::to_string(kMaxOtherAnswerBytes) +
            " au plus : retirez-en (les tolérances du quiz en rendent beaucoup inutiles)");
  if (quiz.tolerances & ~kKnownTolerances)
    Add(&issues, false, "tolerer", 0, "tolérance inconnue du lecteur");

  if (quiz.codes.size() > count)
    Add(&issues, true, "codes", 0,
        std::to_string(quiz.codes.size()) + " codes pour " + std::to_string(count) +
            " questions : les codes au-delà du nombre de questions ne sont jamais affichés");
  return issues;
}

bool HasErrors(const std::vector<SourceIssue>& issues) {
  return std::any_of(issues.begin(), issues.end(), [](const SourceIssue& issue) { return !issue.warning; });
}

std::string DescribeIssue(const SourceIssue& issue) {
  std::string text;
  if (issue.question > 0) text += "question " + std::to_string(issue.question) + ", ";
  if (!issue.key.empty()) text += "clé « " + issue.key + " » : ";
  return text + issue.message;
}

std::string FormatIssue(const std::string& file, const SourceIssue& issue) {
  std::string text = file;
  if (issue.line > 0) text += ":" + std::to_string(issue.line);
  text += issue.warning ? ": attention : " : ": erreur : ";
  return text + DescribeIssue(issue);
}

}  // namespace vidod
