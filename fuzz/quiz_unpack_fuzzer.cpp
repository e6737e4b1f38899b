// unpack on any bytes: an executable as it comes (an input that starts with
// "MZ"), or else two blobs (a 2-byte length, the answers blob, the codes
// blob) compressed into the quiz resources of a small executable, which
// brings any texts to the source writer. A refusal says why and gives no
// file. A success gives the source first, then one picture per question
// that has one; the source reads back, and for the blobs builds back into
// the same answers blob (and codes blob when its lines are whole). Whenever
// the blob reader takes the answers, unpack must not refuse them. The inputs
// are small: the memory taken stays far below a quarter of a gigabyte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "maker/blob_codec.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "test_executable.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr std::size_t kPeakMegabytes = 256;

const std::filesystem::path kFolder = "dossier";

struct Blobs {
  std::vector<uint8_t> answers;
  std::vector<uint8_t> codes;
};

// The executable that carries both blobs; false when either is too large
// for the codec.
bool ExecutableOf(const Blobs& blobs, std::vector<uint8_t>* executable) {
  const CodecRun answers = CompressBytes(blobs.answers);
  const CodecRun codes = CompressBytes(blobs.codes);
  if (answers.result != 0 || codes.result != 0) return false;
  const ResourceName patch = ResourceName::Text(kQuizBlobType);
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  resources.push_back(makertest::TestResource(patch, kAnswersResourceId, kLanguageNeutral, answers.bytes));
  resources.push_back(makertest::TestResource(patch, kCodesResourceId, kLanguageNeutral, codes.bytes));
  *executable = makertest::MakeTestExecutable(resources);
  return true;
}

// The quiz the source of an unpacking gives, read back.
QuizSource SourceRead(const OutputFile& source) {
  Check(source.path == kFolder / "quiz.toml", "the source comes first");
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  const std::string text(source.bytes.begin(), source.bytes.end());
  Check(ReadQuizSource(text, source.path, &quiz, &issues), "the source written reads back");
  return quiz;
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const bool asExecutable = size >= 2 && data[0] == 'M' && data[1] == 'Z';
  Blobs blobs;
  std::vector<uint8_t> executable(data, data + size);
  if (!asExecutable) {
    fuzz::SplitInput split = fuzz::SplitAtLengthPrefix(data, size);
    blobs = {std::move(split.first), std::move(split.second)};
    if (!ExecutableOf(blobs, &executable)) return 0;
  }
  std::vector<OutputFile> files;
  std::vector<std::string> warnings;
  std::string error;
  const bool unpacked = UnpackQuizImage(executable, "quiz.exe", kFolder, &files, &warnings, &error);
  fuzz::CheckPeakMemory(kPeakMegabytes, "unpack holds no more than the file and a few megabytes");
  if (!asExecutable) {
    QuizSource blobQuiz;
    std::string blobError;
    const bool readable = ReadAnswersBlob(blobs.answers.data(), blobs.answers.size(), &blobQuiz, &blobError);
    Check(unpacked == readable, "unpack takes exactly the answers the blob reader takes");
  }
  if (!unpacked) {
    Check(files.empty() && !error.empty(), "a refusal says why and gives no file");
    return 0;
  }
  Check(!files.empty(), "an unpacking gives a source");
  const QuizSource quiz = SourceRead(files.front());
  Check(files.size() == 1 + PictureCount(quiz), "one picture file per question with a picture");
  if (!asExecutable) {
    Check(WriteAnswersBlob(quiz) == blobs.answers, "the source builds the same answers blob");
    QuizSource codesQuiz = quiz;
    codesQuiz.codes.clear();
    codesQuiz.codesTail.clear();
    if (ReadCodesBlob(blobs.codes.data(), blobs.codes.size(), &codesQuiz).exact)
      Check(WriteCodesBlob(quiz) == blobs.codes, "the source builds the same codes blob");
  }
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
