// The resource script that carries a quiz: the compressed blobs (106 and
// 107 only when their paths are not empty) and the pictures, each named by
// an absolute path so that the resource compiler finds it from any working
// directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "maker/quiz_resources.h"

namespace vidod {

// acceptedAnswers empty: the quiz has no resource 106; link empty: no 107.
std::string WriteQuizRcScript(const std::filesystem::path& answers, const std::filesystem::path& codes,
                              const std::filesystem::path& acceptedAnswers, const std::filesystem::path& link,
                              const std::vector<QuizPicture>& pictures);

}  // namespace vidod
