// Writes a copy of the player that carries a quiz: every quiz resource the
// player may already hold (IsQuizResource) is removed, whatever its
// language, and the new ones added. On Windows the system's resource update
// functions do it; elsewhere the tool rewrites the resource section itself.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "maker/pe_resources.h"

namespace vidod {

// Writes the copy at temporary (which the caller renames or removes). False
// with a French *error, temporary then being incomplete or absent.
bool WritePlayerWithQuiz(const std::filesystem::path& player, const std::filesystem::path& temporary,
                         const std::vector<ResourceEntry>& quiz, std::string* error);

}  // namespace vidod
