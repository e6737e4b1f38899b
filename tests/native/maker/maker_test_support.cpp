#include "maker_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "maker/picture_codec.h"
#include "maker/picture_reduction.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace makertest {

ScratchFolder::ScratchFolder() {
  std::string pattern = (fs::temp_directory_path() / "vidod-maker-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream stream(path, std::ios::binary | std::ios::trunc);
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(stream.good()) << path;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

const std::string kJpegBytes = ReadFile(std::string(VIDOD_SOURCE_DIR) + "/demo/drapeaux/images/01-france.jpg");
const std::string kPngBytes = ReadFile(std::string(VIDOD_SOURCE_DIR) + "/demo/drapeaux/images/12-suisse.png");
// Screen of 1 x 1 with a two-colour table, one picture of 1 x 1, the trailer.
const std::string kGifBytes(
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
    "\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
    35);
// File header, info header of a 24-bit 1 x 1 picture, one padded row.
const std::string kBmpBytes(
    "BM\x3A\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00"
    "\x28\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x04\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x20\x40\x60\x00",
    58);

std::string JpegOfSize(uint32_t width, uint32_t height) {
  RgbaPicture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(std::size_t{width} * height * 4, 0x80);
  std::vector<uint8_t> jpeg;
  std::string error;
  EXPECT_TRUE(EncodeJpeg(picture, kReducedJpegQuality, &jpeg, &error)) << error;
  return Text(jpeg);
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

ToolRun RunTool(const std::string& arguments, const fs::path& workingFolder, int memoryLimitMegabytes,
                int fileLimitKilobytes) {
  static int runNumber = 0;
  const fs::path out = workingFolder / ("run-" + std::to_string(++runNumber) + ".out");
  const fs::path err = workingFolder / ("run-" + std::to_string(runNumber) + ".err");
  std::string limit;
#ifndef __SANITIZE_ADDRESS__
  if (memoryLimitMegabytes > 0) limit = "ulimit -v " + std::to_string(memoryLimitMegabytes * 1024) + " && ";
#endif
  // The signal ignored, the write that passes the limit fails instead (the
  // shell counts in blocks of 512 bytes).
  if (fileLimitKilobytes > 0) limit += "trap '' XFSZ && ulimit -f " + std::to_string(fileLimitKilobytes * 2) + " && ";
  const std::string command = "cd " + ShellQuote(workingFolder.string()) + " && " + limit + ShellQuote(VIDOD_MAKE_PATH) +
                              " " + arguments + " >" + ShellQuote(out.string()) + " 2>" +
                              ShellQuote(err.string());
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  fs::remove(out);
  fs::remove(err);
  return run;
}

QuizSource ParseOrFail(const std::string& toml, const fs::path& folder) {
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource(toml, folder / "quiz.toml", &quiz, &issues);
  for (const SourceIssue& issue : issues)
    if (!issue.warning) ADD_FAILURE() << FormatIssue("quiz.toml", issue);
  return quiz;
}

}  // namespace makertest
}  // namespace vidod
