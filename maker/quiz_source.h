// The authoring model of a quiz: everything the two quiz resources carry,
// byte for byte, plus the picture of each question. Texts are code page 1252
// bytes; picture paths are UTF-8, as the quiz source writes them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vidod {

constexpr std::size_t kMaxSourceTextLength = 259;  // the player's text buffers hold 260 bytes
constexpr std::size_t kMaxSourceQuestions = 96;    // reward code list and answer slots
constexpr std::size_t kMaxSourceAnswerBoxes = 96;
constexpr uint8_t kPictureByteWithList = 2;        // picture flag 1: pictures in the list view
constexpr uint8_t kPictureByteWithoutList = 1;
constexpr uint8_t kDefaultCodeLineEnd = '\n';
// The player's own creation colour, used when a source gives none.
constexpr uint8_t kDefaultRed = 90;
constexpr uint8_t kDefaultGreen = 95;
constexpr uint8_t kDefaultBlue = 150;

struct QuestionSource {
  std::string answer;       // expected answer 1
  std::string answer2;      // expected answer 2; stored only in a two-answer quiz
  // The other answers each box accepts besides its expected answer (resource
  // 106); the second box's only in a two-answer quiz.
  std::vector<std::string> otherAnswers;
  std::vector<std::string> otherAnswers2;
  std::string note;         // the record's third text, which the player skips
  std::string reveal;       // stored for quiz types 2, 3 and 4
  std::string revealNote;   // second text of a type-3 pair, which the player skips
  std::string image;        // picture file, relative to the source file; empty: none
  int rotation = 0;         // 0, 90, 180 or 270 degrees clockwise, after the file's own orientation
};

struct RewardCode {
  std::string text;
  uint8_t lineEnd = kDefaultCodeLineEnd;  // the byte after the CR, skipped by the player
};

struct QuizSource {
  uint8_t leadByte = 0;                    // answers blob byte 0, never read
  uint8_t pictureByte = kPictureByteWithList;
  uint8_t answersPerQuestion = 1;          // A
  std::string title;
  std::string author;
  std::string explanation;
  std::array<std::string, 2> answerLabels;
  std::vector<QuestionSource> questions;
  uint8_t quizType = 0;
  uint8_t red = kDefaultRed;
  uint8_t green = kDefaultGreen;
  uint8_t blue = kDefaultBlue;
  std::string answersTail;                 // bytes after the blue component
  std::vector<RewardCode> codes;           // code k for a score of k
  std::string codesTail;                   // bytes after the last code line
  // The header bar's link, a web address; empty: the player shows none.
  // Carried by a resource of its own, only when there is one.
  std::string link;
  uint8_t tolerances = 0;                  // kTolerate... bits (resource 106)
  // Not carried by the resources: build stores the pictures larger than the
  // views reduced to the size they are shown at. What init and the Atelier
  // write; a source without the key keeps its pictures' sizes.
  bool reducePictures = false;
};

// True when both give the same quiz as a source carries it: every field
// compared, the second answers only in a two-answer quiz (a one-answer quiz
// keeps none). A source rewritten from a quiz is checked with it.
bool SameQuizContent(const QuizSource& a, const QuizSource& b);

// The questions that have a picture.
std::size_t PictureCount(const QuizSource& quiz);

// Quiz types whose blob carries a reveal text per question, and the one that
// carries a second, unused text with it.
bool QuizTypeHasReveals(uint8_t quizType);
constexpr uint8_t kRevealPairsQuizType = 3;
// When the reveal texts show: none (types 0, 1 and any the player does not
// know), each with its question found (2, 3), all at the end (4).
enum class RevealKind { kNone, kEachFound, kAllAtEnd };
RevealKind RevealKindOf(uint8_t quizType);

// Whether the quiz needs the accepted-answers resource: other answers or
// tolerances. A quiz without either is stored exactly as before they existed.
bool HasAcceptedAnswers(const QuizSource& quiz);

// The answers a box (0 or 1) of question accepts, the expected one first.
std::vector<std::string> AcceptedAnswerList(const QuestionSource& question, int box);

// The words that name the tolerances in a source (tolerer) and on the
// command line, with their kTolerate... bits, in the order they are written.
struct ToleranceWord {
  const char* word;
  uint8_t bit;
};
extern const ToleranceWord kToleranceWords[3];
// The bit of a word; 0 for a word that names none.
uint8_t ToleranceOfWord(const std::string& word);

// A problem found in a quiz source, located by its key and question.
struct SourceIssue {
  bool warning = false;   // false: the quiz cannot be built
  std::string key;        // as written in the source, e.g. "reponse", "brut.octet_0"
  int question = 0;       // from 1; 0 for a key outside the questions
  int line = 0;           // in the source file; 0 when unknown
  std::string message;    // French, UTF-8
  // What part of the key it is about, from 1; 0: the key as a whole. In a
  // list of answers the answer (1 the expected one), in the labels the label,
  // in the codes the reward code.
  int item = 0;
};

// Who reads the messages about a quiz: the command line's author writes its
// keys and options, the Atelier's uses menu entries and boxes.
enum class CheckAdvice { kCommandLine, kAtelier };

// The rules that hold whatever the source was read from: delimiters, line
// breaks, text lengths, counts, reveal texts on the quiz types that keep
// them, a web address for the link.
std::vector<SourceIssue> ValidateQuizSource(const QuizSource& quiz, CheckAdvice advice = CheckAdvice::kCommandLine);

bool HasErrors(const std::vector<SourceIssue>& issues);
// "question 3, clé « reponse » : ..."
std::string DescribeIssue(const SourceIssue& issue);
// "quiz.toml:12: erreur : question 3, clé « reponse » : ..."
std::string FormatIssue(const std::string& file, const SourceIssue& issue);

}  // namespace vidod
