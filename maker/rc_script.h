// The resource script that carries a quiz: the compressed blobs (the link's
// only when link is not empty) and the pictures, each named by an absolute
// path so that the resource compiler finds it from any working directory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "maker/quiz_resources.h"

namespace vidod {

std::string WriteQuizRcScript(const std::filesystem::path& answers, const std::filesystem::path& codes,
                              const std::filesystem::path& link, const std::vector<QuizPicture>& pictures);

}  // namespace vidod
