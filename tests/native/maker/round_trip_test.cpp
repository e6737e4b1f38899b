#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/quiz_blobs.h"
#include "maker/quiz_toml.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ParseOrFail;
using makertest::ScratchFolder;

// Every byte value but the delimiter, so that texts carry controls, the
// undefined bytes of the code page, NUL, CR and LF.
std::string AllTextBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    if (b != '|') bytes.push_back(static_cast<char>(b));
  return bytes;
}

struct BlobPair {
  const char* what;
  std::string answers;
  std::string codes;
};

// Blob -> source -> blob, through the written TOML text.
void ExpectSameBlobsAfterUnpackAndPack(const BlobPair& pair, const ScratchFolder& folder) {
  const std::vector<uint8_t> answers = Bytes(pair.answers);
  const std::vector<uint8_t> codes = Bytes(pair.codes);
  QuizSource unpacked;
  std::string error;
  ASSERT_TRUE(ReadAnswersBlob(answers.data(), answers.size(), &unpacked, &error)) << pair.what << ": " << error;
  EXPECT_TRUE(ReadCodesBlob(codes.data(), codes.size(), &unpacked).exact) << pair.what;

  const std::string toml = WriteQuizSource(unpacked, {"aller-retour"});
  QuizSource packed;
  std::vector<SourceIssue> issues;
  ParseQuizSource(toml, folder.path() / "quiz.toml", &packed, &issues);
  for (const SourceIssue& issue : issues)
    EXPECT_TRUE(issue.warning) << pair.what << ": " << FormatIssue("quiz.toml", issue) << "\n" << toml;
  EXPECT_EQ(WriteAnswersBlob(packed), answers) << pair.what << "\n" << toml;
  EXPECT_EQ(WriteCodesBlob(packed), codes) << pair.what << "\n" << toml;
}

TEST(RoundTripTest, HandBuiltBlobsComeBackByteForByte) {
  ScratchFolder folder;
  const std::string all = AllTextBytes();
  // The texts are kept short enough for the player's buffers.
  const std::string firstHalf = all.substr(0, 128);
  const std::string secondHalf = all.substr(128);
  std::string controls;
  for (char c = 0; c < ' '; ++c)
    if (c != '\r' && c != '\n') controls.push_back(c);
  const BlobPair pairs[] = {
      {"lead byte, no list pictures, type 3 with notes, tail after the colour",
       std::string("\xAB\x01\x02\x01", 4) + "Titre|Auteur|Expl|L1|L2|" + "P1|note 1|P2||" + "\x03" +
           "R1|S1|R2|S2|" + "\x0A\x14\x1E" + std::string("|\0tail\r\n", 8),
       std::string("X1\r\nX2\r\0", 8) + "X3\r\nrest"},
      {"every byte value in the texts, one-line ones in answers and codes",
       std::string("\0\x02\x02\x01", 4) + firstHalf + "|" + secondHalf + "|E|L|M|" + secondHalf + "|" +
           firstHalf + "|" + "Q2|" + secondHalf + "|" + "\x04" + firstHalf + "|" + secondHalf + "|" +
           std::string("\xFF\x00\x7C", 3),
       controls + "\r\n" + secondHalf + "\r\x0D"},
      {"picture byte 0, two answers, type 9 keeps no reveal section",
       std::string("\0\0\x02\x02", 4) + "T|A|E|Fleuve|Ville|" + "Loire|Nantes||" + "Seine|Paris|n|" + "\x09" +
           "\x01\x02\x03",
       "\r\n\r\n"},
      {"no questions in a two-answer quiz, codes blob of tail only",
       std::string("\0\x07\x00\x02", 4) + "T|A|E|L|M|" + "\x02" + "\x05\x06\x07" + "|||",
       "lonely code"},
      {"empty texts everywhere",
       std::string("\0\x02\x01\x01", 4) + "|||||||" + "\x02" + "|" + std::string("\0\0\0", 3),
       "\r\n"},
  };
  for (const BlobPair& pair : pairs) ExpectSameBlobsAfterUnpackAndPack(pair, folder);
}

TEST(RoundTripTest, SourceComesBackFromItsOwnBlobs) {
  ScratchFolder folder;
  const QuizSource written = ParseOrFail(R"(
titre = "Capitales"
auteur = "M. Lefèvre"
explication = "Écrivez la capitale"
libelles = ["Ville", ""]
type = 2
images_dans_liste = false
couleur = [200, 100, 0]
codes = ["premier", "", "tout bon"]

[[question]]
reponse = "Paris"
revelation = "France"
note = "facile"

[[question]]
reponse = "Berne"
revelation = "Suisse"

[[question]]
reponse = "Rome"
revelation = ""
)",
                                         folder.path());
  const std::vector<uint8_t> answers = WriteAnswersBlob(written);
  const std::vector<uint8_t> codes = WriteCodesBlob(written);
  QuizSource read;
  std::string error;
  ASSERT_TRUE(ReadAnswersBlob(answers.data(), answers.size(), &read, &error)) << error;
  EXPECT_TRUE(ReadCodesBlob(codes.data(), codes.size(), &read).exact);
  const std::string toml = WriteQuizSource(read, {});
  // Nothing raw to keep: the author's quiz reads as written.
  EXPECT_EQ(toml.find("[brut]"), std::string::npos) << toml;
  EXPECT_NE(toml.find("auteur = \"M. Lefèvre\"\n"), std::string::npos) << toml;
  const QuizSource again = ParseOrFail(toml, folder.path());
  EXPECT_EQ(WriteAnswersBlob(again), answers);
  EXPECT_EQ(WriteCodesBlob(again), codes);
}

// Lists of accepted answers and tolerances travel in their own blob: the
// source reads into the model, the blob into a quiz read from the answers
// blob, and both write back the same; the first of each list stays the
// expected answer of the answers blob.
TEST(RoundTripTest, AcceptedAnswersComeBackFromTheirBlob) {
  ScratchFolder folder;
  const QuizSource written = ParseOrFail(R"(
libelles = ["Monument", "Ville"]
tolerer = ["articles", "accents"]

[[question]]
reponse = ["Notre-Dame de Paris", "Notre-Dame", "Notre Dame"]
reponse2 = "Paris"

[[question]]
reponse = "Sacré-Cœur"
reponse2 = ["Paris", "Montmartre"]

[[question]]
reponse = ["Panthéon"]
reponse2 = "Paris"
)",
                                         folder.path());
  EXPECT_EQ(written.tolerances, 5);
  EXPECT_EQ(written.questions[0].otherAnswers, (std::vector<std::string>{"Notre-Dame", "Notre Dame"}));
  EXPECT_EQ(written.questions[1].otherAnswers2, std::vector<std::string>{"Montmartre"});
  EXPECT_TRUE(written.questions[2].otherAnswers.empty());  // a list of one is one answer

  const std::vector<uint8_t> answers = WriteAnswersBlob(written);
  const std::vector<uint8_t> accepted = WriteAcceptedAnswersBlob(written);
  QuizSource read;
  std::string error;
  ASSERT_TRUE(ReadAnswersBlob(answers.data(), answers.size(), &read, &error)) << error;
  EXPECT_EQ(read.questions[0].answer, "Notre-Dame de Paris");
  ASSERT_TRUE(ReadAcceptedAnswersBlob(accepted.data(), accepted.size(), &read, &error)) << error;
  EXPECT_TRUE(SameQuizContent(read, written));
  const std::string toml = WriteQuizSource(read, {});
  EXPECT_NE(toml.find("reponse = [\"Notre-Dame de Paris\", \"Notre-Dame\", \"Notre Dame\"]\n"), std::string::npos)
      << toml;
  EXPECT_NE(toml.find("tolerer = [\"accents\", \"articles\"]\n"), std::string::npos) << toml;
  EXPECT_NE(toml.find("reponse = \"Panth\u00e9on\"\n"), std::string::npos) << toml;
  EXPECT_EQ(WriteAcceptedAnswersBlob(ParseOrFail(toml, folder.path())), accepted);

  // Without lists and tolerances there is no such blob, and a blob the
  // player refuses is refused, leaving the quiz as it was.
  QuizSource plain = written;
  plain.tolerances = 0;
  for (QuestionSource& question : plain.questions) question.otherAnswers.clear(), question.otherAnswers2.clear();
  EXPECT_TRUE(WriteAcceptedAnswersBlob(plain).empty());
  std::vector<uint8_t> damaged = accepted;
  damaged.push_back('x');
  EXPECT_FALSE(ReadAcceptedAnswersBlob(damaged.data(), damaged.size(), &plain, &error));
  EXPECT_NE(error.find("octets en trop"), std::string::npos) << error;
  EXPECT_TRUE(plain.questions[0].otherAnswers.empty());
}

}  // namespace
}  // namespace vidod
