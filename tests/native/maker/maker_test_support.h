// Helpers of the vidod-make tests: scratch folders, small files, runs of the
// built tool, and minimal pictures of each format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "maker/quiz_source.h"

namespace vidod {
namespace makertest {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteFile(const fs::path& path, std::string_view bytes);
std::string ReadFile(const fs::path& path);

std::vector<uint8_t> Bytes(std::string_view text);
std::string Text(const std::vector<uint8_t>& bytes);

// Small but whole pictures of each format, which the checks decode.
extern const std::string kJpegBytes;  // 600 x 400
extern const std::string kGifBytes;   // 1 x 1
extern const std::string kBmpBytes;   // 1 x 1
extern const std::string kPngBytes;   // 400 x 400
// A JPEG of one colour and the given size.
std::string JpegOfSize(uint32_t width, uint32_t height);

struct ToolRun {
  int exitCode;
  std::string out;
  std::string err;
};

// Runs the built vidod-make with the given arguments (already quoted for
// the shell) from the given folder; with a memory limit, in an address space
// of that many megabytes (unless the tool is built with the address
// sanitizer, which needs far more address space than memory). With a file
// size limit, a write past that many kilobytes fails as on a full disk.
ToolRun RunTool(const std::string& arguments, const fs::path& workingFolder, int memoryLimitMegabytes = 0,
                int fileLimitKilobytes = 0);
std::string ShellQuote(const std::string& text);

// Parses source text written into folder/quiz.toml; fails the test on errors.
QuizSource ParseOrFail(const std::string& toml, const fs::path& folder);

}  // namespace makertest
}  // namespace vidod
