#include "quiz/answers_blob.h"
#include "quiz/home_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "lzw/lzw.h"
#include "quiz/accepted_answers_blob.h"

namespace vidod {
namespace {

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};
using Document = std::unique_ptr<QuizDocument, DocumentDeleter>;

std::string Header(int picture, int count, int perQuestion) {
  return std::string{'\0', static_cast<char>(picture), static_cast<char>(count),
                     static_cast<char>(perQuestion)};
}

std::string Colour(int red, int green, int blue) {
  return std::string{static_cast<char>(red), static_cast<char>(green), static_cast<char>(blue)};
}

// The complete small blob: one question, type 2, reveal text R.
std::string SmallBlob() { return Header(2, 1, 1) + "T|A|E|L|M|" + "P|Z|" + "\x02" + "R|" + Colour(10, 20, 30); }

bool Parse(const std::string& blob, QuizDocument* document) {
  return ParseAnswersBlob(reinterpret_cast<const uint8_t*>(blob.data()), blob.size(), document);
}

std::vector<uint8_t> Packed(const std::string& plain) {
  uint8_t* output = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(LzwEncoder::Encode(reinterpret_cast<const uint8_t*>(plain.data()),
                               static_cast<uint32_t>(plain.size()), &output, &length),
            kLzwOk);
  std::vector<uint8_t> packed(output, output + length - 1);
  LzwReleaseOutput(output);
  return packed;
}

TEST(AnswersBlob, ReadsTheCompleteSmallBlob) {
  Document document(CreateQuizDocument());
  ASSERT_TRUE(Parse(SmallBlob(), document.get()));
  EXPECT_EQ(document->pictureFlag, 1);
  EXPECT_EQ(document->questionCount, 1);
  EXPECT_EQ(document->answersPerQuestion, 1);
  EXPECT_STREQ(document->title, "T");
  EXPECT_STREQ(document->author, "A");
  EXPECT_STREQ(document->explanation, "E");
  EXPECT_STREQ(document->answerLabels[0], "L");
  EXPECT_STREQ(document->answerLabels[1], "M");
  const QuestionEntry* entry = QuestionAt(document.get(), 0);
  ASSERT_NE(entry, nullptr);
  EXPECT_STREQ(entry->expectedAnswer1, "P");
  EXPECT_STREQ(entry->expectedAnswer2, "");  // Z is the unused note
  EXPECT_STREQ(entry->revealText, "R");
  EXPECT_EQ(entry->next, nullptr);
  EXPECT_EQ(document->quizType, 2);
  EXPECT_EQ(document->backgroundRed, 10);
  EXPECT_EQ(document->backgroundGreen, 20);
  EXPECT_EQ(document->backgroundBlue, 30);
}

TEST(AnswersBlob, ReadsEachLayoutOfQuestionsAndReveals) {
  // Two answers per question: three texts a record.
  Document two(CreateQuizDocument());
  ASSERT_TRUE(Parse(Header(1, 2, 2) + "T|A|E|L1|L2|" + "a1|a2|n|b1|b2|n|" + "\x01" + Colour(1, 2, 3),
                    two.get()));
  EXPECT_EQ(two->pictureFlag, 0);
  EXPECT_STREQ(QuestionAt(two.get(), 1)->expectedAnswer1, "b1");
  EXPECT_STREQ(QuestionAt(two.get(), 1)->expectedAnswer2, "b2");
  EXPECT_EQ(two->backgroundBlue, 3);

  // Type 3: the first text of each pair is the reveal text.
  Document pairs(CreateQuizDocument());
  ASSERT_TRUE(Parse(Header(0, 2, 1) + "T|A|E|L|M|" + "x|n|y|n|" + "\x03" + "R1|S1|R2|S2|" + Colour(4, 5, 6),
                    pairs.get()));
  EXPECT_EQ(pairs->pictureFlag, -1);
  EXPECT_STREQ(QuestionAt(pairs.get(), 0)->revealText, "R1");
  EXPECT_STREQ(QuestionAt(pairs.get(), 1)->revealText, "R2");
  EXPECT_EQ(pairs->backgroundRed, 4);

  // Types without reveal texts go straight to the colour.
  for (char type : {'\x00', '\x01', '\x05'}) {
    Document plain(CreateQuizDocument());
    ASSERT_TRUE(Parse(Header(2, 1, 1) + "T|A|E|L|M|" + "x|n|" + type + Colour(7, 8, 9), plain.get()))
        << int(type);
    EXPECT_EQ(plain->backgroundGreen, 8);
    EXPECT_STREQ(QuestionAt(plain.get(), 0)->revealText, "");
  }

  // N = 0: no records, no reveal texts.
  Document empty(CreateQuizDocument());
  ASSERT_TRUE(Parse(Header(2, 0, 1) + "T|A|E|L|M|" + "\x04" + Colour(11, 12, 13), empty.get()));
  EXPECT_EQ(empty->questionCount, 0);
  EXPECT_EQ(empty->firstEntry, nullptr);
  EXPECT_EQ(empty->backgroundRed, 11);
}

TEST(AnswersBlob, CutsTextsLongerThanTheirField) {
  Document document(CreateQuizDocument());
  const std::string longTitle(300, 'x');
  ASSERT_TRUE(Parse(Header(2, 1, 1) + longTitle + "|A|E|L|M|P|Z|\x02R|" + Colour(1, 1, 1), document.get()));
  EXPECT_EQ(std::string(document->title), std::string(259, 'x'));
  EXPECT_STREQ(document->author, "A");
}

TEST(AnswersBlob, RefusesBlobsOutsideTheFormat) {
  const std::string ninetySevenQuestions = [] {
    std::string blob = Header(2, 97, 1) + "T|A|E|L|M|";
    for (int i = 0; i < 97; ++i) blob += "q|n|";
    return blob + "\x01" + Colour(1, 2, 3);
  }();
  const std::string fortyNinePairs = [] {
    std::string blob = Header(2, 49, 2) + "T|A|E|L|M|";
    for (int i = 0; i < 49; ++i) blob += "q|r|n|";
    return blob + "\x01" + Colour(1, 2, 3);
  }();
  const struct {
    const char* why;
    std::string blob;
  } cases[] = {
      {"empty", ""},
      {"header only", Header(2, 1, 1)},
      {"a text without its delimiter", Header(2, 1, 1) + "T|A|E|L|M|P|Z"},
      {"no quiz type", Header(2, 1, 1) + "T|A|E|L|M|P|Z|"},
      {"reveal text missing", Header(2, 1, 1) + "T|A|E|L|M|P|Z|\x02"},
      {"second text of a type 3 pair missing", Header(2, 1, 1) + "T|A|E|L|M|P|Z|\x03R|"},
      {"colour cut short", Header(2, 1, 1) + "T|A|E|L|M|P|Z|\x01" + std::string("\x0A\x14", 2)},
      {"fewer records than N", Header(2, 3, 1) + "T|A|E|L|M|P|Z|\x01" + Colour(1, 2, 3)},
      {"no answers per question", Header(2, 1, 0) + "T|A|E|L|M|P|Z|\x01" + Colour(1, 2, 3)},
      {"three answers per question", Header(2, 1, 3) + "T|A|E|L|M|P|Q|R|Z|\x01" + Colour(1, 2, 3)},
      {"more than 96 questions", ninetySevenQuestions},
      {"more than 96 answer boxes", fortyNinePairs},
  };
  for (const auto& c : cases) {
    Document document(CreateQuizDocument());
    EXPECT_FALSE(Parse(c.blob, document.get())) << c.why;
    // Nothing of a refused blob reaches the document.
    EXPECT_STREQ(document->title, "nom du quizz") << c.why;
    EXPECT_EQ(document->firstEntry, nullptr) << c.why;
    EXPECT_EQ(document->backgroundRed, 90) << c.why;
  }
}

TEST(AnswersBlob, EveryCutOfAValidBlobIsRefused) {
  const std::string blob = SmallBlob();
  for (std::size_t length = 0; length < blob.size(); ++length) {
    Document document(CreateQuizDocument());
    EXPECT_FALSE(Parse(blob.substr(0, length), document.get())) << length;
  }
}

TEST(CodesBlob, ReadsOneCodePerLine) {
  Document document(CreateQuizDocument());
  document->questionCount = 2;
  const std::string codes = "X1\r\nX2\r\nX3\r\n";
  ParseCodesBlob(reinterpret_cast<const uint8_t*>(codes.data()), codes.size(), document.get());
  EXPECT_STREQ(document->rewardCodes[0], "X1");
  EXPECT_STREQ(document->rewardCodes[1], "X2");
  EXPECT_STREQ(document->rewardCodes[2], "");  // a third line is not read

  // The byte after each CR is skipped whatever it is; a short blob keeps what it has.
  document->questionCount = 4;
  const std::string odd = "AB\rxCD\r\nEF";
  ParseCodesBlob(reinterpret_cast<const uint8_t*>(odd.data()), odd.size(), document.get());
  EXPECT_STREQ(document->rewardCodes[0], "AB");
  EXPECT_STREQ(document->rewardCodes[1], "CD");
  EXPECT_STREQ(document->rewardCodes[2], "EF");
  EXPECT_STREQ(document->rewardCodes[3], "");
}

TEST(QuizLoad, InstallsTheDefaultQuizWithoutAnAnswersBlob) {
  Document document(CreateQuizDocument());
  const std::vector<uint8_t> codes = Packed("C1\r\n");
  EXPECT_EQ(LoadQuizFromResources(document.get(), nullptr, 0, codes.data(), codes.size()),
            QuizLoadOutcome::kDefaultQuiz);
  EXPECT_STREQ(document->statusText, "R\xE9" "alis\xE9 avec la version 2.2");
  EXPECT_STREQ(document->title, "Nom du quizz");
  EXPECT_STREQ(document->author, "Createur quizz");
  EXPECT_STREQ(document->explanation, "Explications du quizz");
  EXPECT_STREQ(document->answerLabels[1], "TEST");
  EXPECT_EQ(document->questionCount, 7);
  EXPECT_EQ(document->quizType, 3);
  EXPECT_EQ(document->pictureFlag, 1);
  EXPECT_EQ(document->backgroundGreen, 203);
  EXPECT_STREQ(document->rewardCodes[0], "");  // the codes blob is not read
  // One entry per question, none shared: solving one question scores one.
  for (int question = 1; question < 7; ++question)
    EXPECT_NE(QuestionAt(document.get(), question), QuestionAt(document.get(), question - 1)) << question;
  EXPECT_EQ(QuestionAt(document.get(), 6)->next, nullptr);
  EXPECT_STREQ(QuestionAt(document.get(), 6)->expectedAnswer2, "test");
}

TEST(QuizLoad, ReportsEachOutcome) {
  const std::vector<uint8_t> answers = Packed(SmallBlob());
  const std::vector<uint8_t> codes = Packed("BRAVO1\r\n");
  const std::vector<uint8_t> refusedAnswers = Packed(Header(2, 100, 1) + "T|A|E|L|M|");
  const std::vector<uint8_t> garbage = {0xFF, 0xFF, 0xFF, 0xFF};

  Document loaded(CreateQuizDocument());
  EXPECT_EQ(LoadQuizFromResources(loaded.get(), answers.data(), answers.size(), codes.data(), codes.size()),
            QuizLoadOutcome::kLoaded);
  EXPECT_STREQ(loaded->rewardCodes[0], "BRAVO1");

  Document noCodes(CreateQuizDocument());
  EXPECT_EQ(LoadQuizFromResources(noCodes.get(), answers.data(), answers.size(), nullptr, 0),
            QuizLoadOutcome::kLoadedWithoutCodes);
  EXPECT_STREQ(noCodes->title, "T");
  EXPECT_STREQ(noCodes->rewardCodes[0], "");

  for (const std::vector<uint8_t>* bad : {&garbage, &refusedAnswers}) {
    Document failed(CreateQuizDocument());
    EXPECT_EQ(LoadQuizFromResources(failed.get(), bad->data(), bad->size(), codes.data(), codes.size()),
              QuizLoadOutcome::kAnswersRefused);
    EXPECT_EQ(failed->questionCount, 0);
    EXPECT_STREQ(failed->title, "nom du quizz");
    EXPECT_STREQ(failed->author, " createur");
    EXPECT_EQ(failed->backgroundRed, 90);
    EXPECT_EQ(failed->backgroundBlue, 150);
    EXPECT_STREQ(failed->rewardCodes[0], "");
  }
}

// The header link's resource: kept only when it is a web address the
// player may hand to the shell.
TEST(HomeLinkTest, OnlyAWebAddressBecomesTheLink) {
  const struct {
    std::vector<uint8_t> packed;
    const char* link;  // what the document keeps
  } cases[] = {
      {Packed("https://ecole.example/cm2"), "https://ecole.example/cm2"},
      {Packed("WWW.ecole.example"), "WWW.ecole.example"},
      {{}, ""},                                           // no resource: no link
      {Packed("C:\\Windows\\system32\\cmd.exe"), ""},  // a program, not a page
      {Packed("www.ecole example"), ""},                  // a blank splits it for the shell
      {Packed("http://"), ""},                            // nothing after the scheme
      {Packed("https://" + std::string(300, 'a')), ""},   // longer than a text
      {{0x01, 0x02, 0x03}, ""},                           // does not decode
  };
  for (const auto& c : cases) {
    Document document(CreateQuizDocument());
    CopyText(document->homeLink, "www.before.example");
    LoadHomeLink(document.get(), c.packed.empty() ? nullptr : c.packed.data(), static_cast<uint32_t>(c.packed.size()));
    EXPECT_STREQ(document->homeLink, c.link);
  }
}

// Two questions of two answers each, read from their answers blob, for the
// accepted-answers blob to follow.
Document TwoByTwo() {
  Document document(CreateQuizDocument());
  EXPECT_TRUE(Parse(Header(2, 2, 2) + "T|A|E|L|M|" + "P1|Q1|n|P2|Q2|n|" + "\x01" + Colour(1, 2, 3), document.get()));
  return document;
}

std::string Accepted(int tolerances, int count, int perQuestion) {
  return std::string{'\x01', static_cast<char>(tolerances), static_cast<char>(count), static_cast<char>(perQuestion)};
}

AcceptedBlobReading ParseAccepted(const std::string& blob, QuizDocument* document) {
  return ParseAcceptedAnswersBlob(reinterpret_cast<const uint8_t*>(blob.data()), blob.size(), document);
}

std::vector<std::string> Others(const char* list) {
  std::vector<std::string> others;
  for (const char* text = list; text && *text; text += std::strlen(text) + 1) others.emplace_back(text);
  return others;
}

TEST(AcceptedAnswersBlob, GivesEachBoxItsOtherAnswersAndTheQuizItsTolerances) {
  Document document = TwoByTwo();
  // Box 1 of question 1 accepts two more, box 2 of question 2 one more.
  const std::string blob = Accepted(5, 2, 2) + "\x02" "p1|pp1|" + std::string(2, '\0') + "\x01" "q2|";
  ASSERT_EQ(ParseAccepted(blob, document.get()).fault, AcceptedBlobFault::kNone);
  EXPECT_EQ(document->tolerances, 5);
  const QuestionEntry* first = QuestionAt(document.get(), 0);
  const QuestionEntry* second = QuestionAt(document.get(), 1);
  EXPECT_EQ(Others(first->otherAnswers[0]), (std::vector<std::string>{"p1", "pp1"}));
  EXPECT_EQ(first->otherAnswers[1], nullptr);
  EXPECT_EQ(second->otherAnswers[0], nullptr);
  EXPECT_EQ(Others(second->otherAnswers[1]), (std::vector<std::string>{"q2"}));
}

TEST(AcceptedAnswersBlob, RefusesBlobsOutsideTheFormatLeavingTheDocumentAlone) {
  const std::string longest(kMaxTextLength, 'x');
  const struct {
    const char* why;
    std::string blob;
    AcceptedBlobFault fault;
  } cases[] = {
      {"empty", "", AcceptedBlobFault::kCutShort},
      {"header only", Accepted(0, 2, 2), AcceptedBlobFault::kCutShort},
      {"a text without its delimiter", Accepted(0, 2, 2) + "\x01" "p1", AcceptedBlobFault::kCutShort},
      {"a box short", Accepted(0, 2, 2) + std::string(3, '\0'), AcceptedBlobFault::kCutShort},
      {"another format", "\x02" + Accepted(0, 2, 2).substr(1) + std::string(4, '\0'), AcceptedBlobFault::kUnknownFormat},
      {"a tolerance the player does not know", Accepted(8, 2, 2) + std::string(4, '\0'),
       AcceptedBlobFault::kUnknownTolerance},
      {"another question count", Accepted(0, 3, 2) + std::string(6, '\0'), AcceptedBlobFault::kOtherQuiz},
      {"another box count", Accepted(0, 2, 1) + std::string(2, '\0'), AcceptedBlobFault::kOtherQuiz},
      {"ten other answers in a box", Accepted(0, 2, 2) + "\x0A" "a|b|c|d|e|f|g|h|i|j|" + std::string(3, '\0'),
       AcceptedBlobFault::kTooManyAnswers},
      {"an empty answer, which no typed answer matches", Accepted(0, 2, 2) + "\x01" "|" + std::string(3, '\0'),
       AcceptedBlobFault::kEmptyAnswer},
      {"a zero byte, which would end the answer and its list early",
       Accepted(0, 2, 2) + "\x01" + std::string("a\0b|", 4) + std::string(3, '\0'), AcceptedBlobFault::kZeroByte},
      {"an answer longer than a box holds", Accepted(0, 2, 2) + "\x01" + longest + "x|" + std::string(3, '\0'),
       AcceptedBlobFault::kLongAnswer},
      {"a byte after the last box", Accepted(0, 2, 2) + std::string(5, '\0'), AcceptedBlobFault::kTrailingBytes},
  };
  for (const auto& c : cases) {
    Document document = TwoByTwo();
    EXPECT_EQ(ParseAccepted(c.blob, document.get()).fault, c.fault) << c.why;
    EXPECT_EQ(document->tolerances, 0) << c.why;
    for (int question = 0; question < 2; ++question)
      for (int box = 0; box < 2; ++box) EXPECT_EQ(QuestionAt(document.get(), question)->otherAnswers[box], nullptr) << c.why;
  }
  // The longest answers and the most of them in a box are taken.
  Document document = TwoByTwo();
  const std::string full = Accepted(0, 2, 2) + "\x09" + [&] {
    std::string nine;
    for (int answer = 0; answer < 9; ++answer) nine += longest + "|";
    return nine;
  }() + std::string(3, '\0');
  EXPECT_EQ(ParseAccepted(full, document.get()).fault, AcceptedBlobFault::kNone);
  EXPECT_EQ(Others(QuestionAt(document.get(), 0)->otherAnswers[0]).size(), 9u);

  // Nine answers of 259 characters in each box of ten questions: past the
  // quiz's total in the ninth.
  Document ten(CreateQuizDocument());
  std::string answers = Header(2, 10, 1) + "T|A|E|L|M|";
  for (int question = 0; question < 10; ++question) answers += "P|n|";
  ASSERT_TRUE(Parse(answers + "\x01" + Colour(1, 2, 3), ten.get()));
  std::string tooLong = Accepted(0, 10, 1);
  for (int box = 0; box < 10; ++box) {
    tooLong += '\x09';
    for (int answer = 0; answer < 9; ++answer) tooLong += longest + "|";
  }
  const AcceptedBlobReading reading = ParseAccepted(tooLong, ten.get());
  EXPECT_EQ(reading.fault, AcceptedBlobFault::kTooLong);
  EXPECT_EQ(reading.question, 9);
  EXPECT_EQ(QuestionAt(ten.get(), 0)->otherAnswers[0], nullptr);
}

TEST(AcceptedAnswersBlob, LoadsFromItsResourceOrLeavesTheQuizAsItWas) {
  Document document = TwoByTwo();
  EXPECT_EQ(LoadAcceptedAnswers(document.get(), nullptr, 0), AcceptedAnswersOutcome::kAbsent);
  const std::vector<uint8_t> garbage = {0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(LoadAcceptedAnswers(document.get(), garbage.data(), garbage.size()), AcceptedAnswersOutcome::kRefused);
  const std::vector<uint8_t> otherQuiz = Packed(Accepted(1, 3, 2) + std::string(6, '\0'));
  EXPECT_EQ(LoadAcceptedAnswers(document.get(), otherQuiz.data(), otherQuiz.size()), AcceptedAnswersOutcome::kRefused);
  EXPECT_EQ(document->tolerances, 0);
  const std::vector<uint8_t> good = Packed(Accepted(2, 2, 2) + "\x01" "p1|" + std::string(3, '\0'));
  EXPECT_EQ(LoadAcceptedAnswers(document.get(), good.data(), good.size()), AcceptedAnswersOutcome::kLoaded);
  EXPECT_EQ(document->tolerances, 2);
  EXPECT_EQ(Others(QuestionAt(document.get(), 0)->otherAnswers[0]), std::vector<std::string>{"p1"});
}

}  // namespace
}  // namespace vidod
