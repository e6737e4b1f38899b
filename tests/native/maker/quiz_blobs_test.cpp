#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "maker/quiz_blobs.h"
#include "maker_test_support.h"
#include "quiz/answers_blob.h"
#include "quiz/quiz_document.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::Text;

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using Document = std::unique_ptr<QuizDocument, DocumentDeleter>;

// The player's own parser, as the oracle of what a written blob means.
Document PlayerReads(const std::vector<uint8_t>& answers) {
  Document document(CreateQuizDocument());
  EXPECT_TRUE(ParseAnswersBlob(answers.data(), answers.size(), document.get()));
  return document;
}

QuestionSource Question(const std::string& answer, const std::string& note = std::string()) {
  QuestionSource question;
  question.answer = answer;
  question.note = note;
  return question;
}

// The complete small answers blob of the format description.
QuizSource SmallQuiz() {
  QuizSource quiz;
  quiz.title = "T";
  quiz.author = "A";
  quiz.explanation = "E";
  quiz.answerLabels = {"L", "M"};
  quiz.questions = {Question("P", "Z")};
  quiz.questions[0].reveal = "R";
  quiz.quizType = 2;
  quiz.red = 10;
  quiz.green = 20;
  quiz.blue = 30;
  return quiz;
}

TEST(QuizBlobsTest, SmallQuizIsWrittenByteForByteAndReadBack) {
  const std::vector<uint8_t> blob = WriteAnswersBlob(SmallQuiz());
  const std::vector<uint8_t> expected = {0,   2,   1,   1,   'T', '|', 'A', '|', 'E', '|', 'L', '|', 'M', '|',
                                         'P', '|', 'Z', '|', 2,   'R', '|', 10,  20,  30};
  EXPECT_EQ(blob, expected);

  const Document document = PlayerReads(blob);
  EXPECT_EQ(document->pictureFlag, 1);
  EXPECT_EQ(document->questionCount, 1);
  EXPECT_EQ(document->answersPerQuestion, 1);
  EXPECT_STREQ(document->title, "T");
  EXPECT_STREQ(document->answerLabels[1], "M");
  EXPECT_STREQ(document->firstEntry->expectedAnswer1, "P");
  EXPECT_STREQ(document->firstEntry->expectedAnswer2, "");
  EXPECT_STREQ(document->firstEntry->revealText, "R");
  EXPECT_EQ(document->quizType, 2);
  EXPECT_EQ(document->backgroundRed, 10);
  EXPECT_EQ(document->backgroundGreen, 20);
  EXPECT_EQ(document->backgroundBlue, 30);

  QuizSource read;
  std::string error;
  ASSERT_TRUE(ReadAnswersBlob(blob.data(), blob.size(), &read, &error)) << error;
  EXPECT_EQ(read.questions[0].note, "Z");
  EXPECT_EQ(read.questions[0].reveal, "R");
  EXPECT_EQ(WriteAnswersBlob(read), blob);
}

TEST(QuizBlobsTest, RevealSectionFollowsTheQuizType) {
  QuizSource quiz = SmallQuiz();
  quiz.questions = {Question("P1"), Question("P2")};
  quiz.questions[0].reveal = "R1";
  quiz.questions[0].revealNote = "S1";
  quiz.questions[1].reveal = "R2";
  quiz.questions[1].revealNote = "S2";

  // Type 3: a pair per question, the player keeping the first text.
  quiz.quizType = 3;
  std::vector<uint8_t> blob = WriteAnswersBlob(quiz);
  EXPECT_NE(Text(blob).find(std::string("P2||\x03R1|S1|R2|S2|") + "\x0A\x14\x1E"), std::string::npos);
  Document document = PlayerReads(blob);
  EXPECT_STREQ(QuestionAt(document.get(), 0)->revealText, "R1");
  EXPECT_STREQ(QuestionAt(document.get(), 1)->revealText, "R2");

  // Type 4: one text per question.
  quiz.questions[0].revealNote.clear();
  quiz.questions[1].revealNote.clear();
  quiz.quizType = 4;
  blob = WriteAnswersBlob(quiz);
  EXPECT_NE(Text(blob).find(std::string("P2||\x04R1|R2|") + "\x0A\x14\x1E"), std::string::npos);
  document = PlayerReads(blob);
  EXPECT_STREQ(QuestionAt(document.get(), 1)->revealText, "R2");

  // Types without reveals: the colour follows the type byte at once.
  for (uint8_t type : {0, 1, 5, 255}) {
    quiz.questions[0].reveal.clear();
    quiz.questions[1].reveal.clear();
    quiz.quizType = type;
    blob = WriteAnswersBlob(quiz);
    const std::string ending = std::string("P2||") + static_cast<char>(type) + "\x0A\x14\x1E";
    EXPECT_EQ(Text(blob).substr(blob.size() - ending.size()), ending) << int(type);
    EXPECT_EQ(PlayerReads(blob)->quizType, type);
  }
}

TEST(QuizBlobsTest, TwoAnswerRecordsHoldThreeTexts) {
  QuizSource quiz = SmallQuiz();
  quiz.answersPerQuestion = 2;
  quiz.quizType = 0;
  quiz.questions = {Question("P1", "N1"), Question("P2", "N2")};
  quiz.questions[0].reveal.clear();
  quiz.questions[0].answer2 = "Q1";
  quiz.questions[1].answer2 = "Q2";
  const std::vector<uint8_t> blob = WriteAnswersBlob(quiz);
  EXPECT_EQ(blob[3], 2);
  EXPECT_NE(Text(blob).find("P1|Q1|N1|P2|Q2|N2|"), std::string::npos);
  const Document document = PlayerReads(blob);
  EXPECT_EQ(document->answersPerQuestion, 2);
  EXPECT_STREQ(QuestionAt(document.get(), 1)->expectedAnswer2, "Q2");
}

TEST(QuizBlobsTest, QuizWithoutQuestions) {
  QuizSource quiz = SmallQuiz();
  quiz.questions.clear();
  quiz.quizType = 3;
  const std::vector<uint8_t> blob = WriteAnswersBlob(quiz);
  const std::vector<uint8_t> expected = {0,   2,   0,   1,   'T', '|', 'A', '|', 'E', '|',
                                         'L', '|', 'M', '|', 3,   10,  20,  30};
  EXPECT_EQ(blob, expected);
  EXPECT_EQ(PlayerReads(blob)->questionCount, 0);
  // An empty resource would be taken for a damaged one.
  EXPECT_EQ(Text(WriteCodesBlob(quiz)), "\r\n");
}

TEST(QuizBlobsTest, CodesAreLinesWithTheirOwnEndings) {
  QuizSource quiz = SmallQuiz();
  quiz.questions = {Question("a"), Question("b"), Question("c")};
  quiz.codes = {{"X1", '\n'}, {"X2", 0}};
  // The third question has no code: an empty line keeps the blob complete.
  EXPECT_EQ(Text(WriteCodesBlob(quiz)), std::string("X1\r\nX2\r\0\r\n", 10));

  quiz.codesTail = "extra\r\n";
  const std::vector<uint8_t> blob = WriteCodesBlob(quiz);
  EXPECT_EQ(Text(blob), std::string("X1\r\nX2\r\0\r\nextra\r\n", 17));

  Document document = PlayerReads(WriteAnswersBlob(quiz));
  ParseCodesBlob(blob.data(), blob.size(), document.get());
  EXPECT_STREQ(document->rewardCodes[0], "X1");
  EXPECT_STREQ(document->rewardCodes[1], "X2");
  EXPECT_STREQ(document->rewardCodes[2], "");

  QuizSource read = quiz;
  const CodesBlobReading reading = ReadCodesBlob(blob.data(), blob.size(), &read);
  EXPECT_TRUE(reading.exact);
  EXPECT_EQ(reading.linesRead, 3u);
  ASSERT_EQ(read.codes.size(), 3u);
  EXPECT_EQ(read.codes[1].lineEnd, 0);
  EXPECT_EQ(read.codesTail, "extra\r\n");
  EXPECT_EQ(WriteCodesBlob(read), blob);
}

TEST(QuizBlobsTest, ShortCodesBlobGivesWhatThePlayerShows) {
  QuizSource quiz = SmallQuiz();
  quiz.questions = {Question("a"), Question("b"), Question("c")};
  const std::string blobs[] = {"X1\r\nX2", "X1\r\nX2\r", "X1\r\n"};
  for (const std::string& text : blobs) {
    const std::vector<uint8_t> blob = Bytes(text);
    QuizSource read = quiz;
    const CodesBlobReading reading = ReadCodesBlob(blob.data(), blob.size(), &read);
    EXPECT_FALSE(reading.exact) << text;
    EXPECT_TRUE(read.codesTail.empty());

    Document original = PlayerReads(WriteAnswersBlob(quiz));
    ParseCodesBlob(blob.data(), blob.size(), original.get());
    const std::vector<uint8_t> rewritten = WriteCodesBlob(read);
    Document again = PlayerReads(WriteAnswersBlob(quiz));
    ParseCodesBlob(rewritten.data(), rewritten.size(), again.get());
    for (int k = 0; k < 3; ++k) EXPECT_STREQ(again->rewardCodes[k], original->rewardCodes[k]) << text << k;
  }
}

TEST(QuizBlobsTest, BlobsThePlayerRefusesAreRefused) {
  struct Case {
    const char* why;
    std::string blob;
  };
  const Case cases[] = {
      // Shorter than the four header bytes.
      {"header", std::string("\0\2\1", 3)},
      // A = 0 and A = 3 are no answers-per-question counts.
      {"A = 0", std::string("\0\2\1\0T|A|E|L|M|P|Z|\0\1\2\3", 22)},
      {"A = 3", std::string("\0\2\1\3T|A|E|L|M|P|Q|R|Z|\0\1\2\3", 26)},
      // 97 questions do not fit the reward code list.
      {"N = 97", std::string("\0\2\x61\1T|A|E|L|M|", 14)},
      // 49 two-answer questions make 98 answer boxes.
      {"N x A = 98", std::string("\0\2\x31\2T|A|E|L|M|", 14)},
      // The title never ends.
      {"title delimiter", std::string("\0\2\0\1Title", 9)},
      // The blob stops inside question 1.
      {"question cut", std::string("\0\2\1\1T|A|E|L|M|P|", 16)},
      // No quiz type byte after the questions.
      {"type byte", std::string("\0\2\1\1T|A|E|L|M|P|Z|", 18)},
      // A type-3 pair lacks its second text.
      {"reveal pair", std::string("\0\2\1\1T|A|E|L|M|P|Z|\3R|", 21)},
      // The blue component is missing.
      {"colour", std::string("\0\2\1\1T|A|E|L|M|P|Z|\0\1\2", 21)},
  };
  for (const Case& c : cases) {
    QuizSource quiz;
    std::string error;
    EXPECT_FALSE(ReadAnswersBlob(reinterpret_cast<const uint8_t*>(c.blob.data()), c.blob.size(), &quiz, &error))
        << c.why;
    EXPECT_FALSE(error.empty()) << c.why;
    Document document(CreateQuizDocument());
    EXPECT_FALSE(ParseAnswersBlob(reinterpret_cast<const uint8_t*>(c.blob.data()), c.blob.size(), document.get()))
        << c.why << ": the player accepts it";
  }
}

}  // namespace
}  // namespace vidod
