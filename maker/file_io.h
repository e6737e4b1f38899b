// Whole-file reads and all-or-nothing writes of the tool's outputs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vidod {

// A path as UTF-8, for messages and for the resource script.
std::string PathText(const std::filesystem::path& path);
// The path named by UTF-8 text (the command line, the quiz source); the
// plain string constructor would read it in the ANSI code page on Windows.
std::filesystem::path PathFromText(const std::string& utf8);

// A file the system hides from its user: a name that starts with "." (and
// the "._" companions that copies from a Mac leave), or on Windows the
// hidden or system attribute.
bool IsHiddenFile(const std::filesystem::path& path);

// The most any file is read whole: a quiz executable with 96 large pictures
// stays far below it.
constexpr std::uintmax_t kMaxFileBytes = 512u << 20;
// A quiz source of 96 questions with every text at its longest is well under
// a megabyte, comments and all.
constexpr std::uintmax_t kMaxSourceFileBytes = 8u << 20;

// The whole file, refused with a French *error when it is larger than limit
// (which the message names as what, e.g. « une source de quiz »), before
// anything is allocated for it.
bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>* bytes, std::string* error,
                   std::uintmax_t limit = kMaxFileBytes, const char* what = "un fichier que vidod-make lit");
// The first count bytes of the file (fewer when it is shorter); false when it
// cannot be opened.
bool ReadFileStart(const std::filesystem::path& path, std::size_t count, std::vector<uint8_t>* bytes);

// A file a command reads, and what it is to the author ("la source du quiz").
struct CommandInput {
  std::filesystem::path path;
  std::string role;
};
// False with a French *error when output is one of the inputs, however
// either is spelt (relative, "..", a link, letter case where the system
// ignores it): a command never writes over what it reads.
bool RefuseInputAsOutput(const std::filesystem::path& output, const std::vector<CommandInput>& inputs,
                         std::string* error);
// False with a French *error when output exists and does not start with
// the signature of what the command makes ("MZ" for an executable), unless
// force: an author's other file is not replaced unasked.
bool RefuseForeignFile(const std::filesystem::path& output, const std::string& signature, const std::string& what,
                       bool force, std::string* error);

// False with a French *error when the file is there and marked read-only:
// a command that rewrites a file in place leaves such a file alone.
bool RefuseReadOnlyFile(const std::filesystem::path& path, std::string* error);

struct OutputFile {
  std::filesystem::path path;
  std::vector<uint8_t> bytes;
};

// A name beside target, unique to this run, for a file that becomes target
// only once complete.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target);
// Removes the file if it is there; failures are ignored.
void RemoveQuietly(const std::filesystem::path& path);
// Renames temporary to target, replacing it. On failure temporary is removed
// and *error says why, in French.
bool MoveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target, std::string* error);

// Creates the missing folders, writes every file under a temporary name
// beside its target, and only once all are complete renames them into place,
// so a failure never leaves a half-written target. A file replaced keeps its
// permissions, and a symbolic link its place: the file it leads to is the
// one replaced. On failure the temporary files are removed and *error says
// why, in French.
bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error);

}  // namespace vidod
