// Writes a copy of the player that carries a quiz: every quiz resource the
// player may already hold (IsQuizResource) is removed, whatever its
// language, and the new ones added. The tool rewrites the resource section
// itself on every system: the system's resource update functions would
// hold the whole quiz in memory.
#pragma once

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "maker/pe_resources.h"

namespace vidod {

// "« FOLDER » : impossible d'y écrire le quiz (REASON)" after opening
// (opened false) or writing a file of folder failed with errno's code (0:
// none known). A disk with less room left than a chunk of the writing is
// said to be full when the code says nothing clearer; a write into an open file that fails
// with no code, or with a bad argument (which a C runtime may give for a full
// disk), is said to have met a full or removed disk.
std::string QuizWriteFailure(const std::filesystem::path& folder, int code, bool opened);

// Writes the copy at temporary (which the caller renames or removes), as it
// goes: the bytes of stored entries are read through stored a chunk at a
// time. A set cancel stops the writing between chunks with kBuildCancelled.
// False with a French *error, temporary then being incomplete or absent.
bool WritePlayerWithQuiz(const std::filesystem::path& player, const std::filesystem::path& temporary,
                         const std::vector<ResourceEntry>& quiz, const FileBytesReader& stored,
                         const std::atomic<bool>* cancel, std::string* error);

}  // namespace vidod
