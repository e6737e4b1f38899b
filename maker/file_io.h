// Whole-file reads and all-or-nothing writes of the tool's outputs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vidod {

// A path as UTF-8, for messages and for the resource script.
std::string PathText(const std::filesystem::path& path);

bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>* bytes, std::string* error);

struct OutputFile {
  std::filesystem::path path;
  std::vector<uint8_t> bytes;
};

// Creates the missing folders, writes every file under a temporary name
// beside its target, and only once all are complete renames them into place,
// so a failure never leaves a half-written target. On failure the temporary
// files are removed and *error says why, in French.
bool WriteOutputFiles(const std::vector<OutputFile>& files, std::string* error);

}  // namespace vidod
