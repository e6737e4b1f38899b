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

bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>* bytes, std::string* error);

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
// so a failure never leaves a half-written target. On failure the temporary
// files are removed and *error says why, in French.
bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error);

}  // namespace vidod
