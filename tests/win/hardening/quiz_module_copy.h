// Quiz modules made while the tests run: a copy of a built quiz module with
// one resource replaced through the system's resource update functions, so
// that every cut of a blob is a real module without a build step per cut.
#pragma once

#include <windows.h>

#include <string>

namespace vidod::testing {

// The bytes of a resource of the module (empty when it has none).
std::string ResourceBytes(HMODULE module, const char* type, int id);

// Copies the built quiz module quizName to path and puts bytes in place of
// its resource (type, id). Returns false when the copy cannot be made.
bool CopyQuizModuleWithResource(const char* quizName, const std::string& path, const char* type,
                                int id, const std::string& bytes);

}  // namespace vidod::testing
