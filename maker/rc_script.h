// The resource script that carries a quiz: the two compressed blobs and the
// pictures, each named by an absolute path so that the resource compiler
// finds it from any working directory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "maker/picture_format.h"

namespace vidod {

struct QuizPicture {
  std::size_t question;  // from 0; its resource id is 401 + question
  std::filesystem::path file;
  PictureFormat format;  // JPEG, GIF or BMP go in as "IMG", PNG as raw data
};

std::string WriteQuizRcScript(const std::filesystem::path& answers, const std::filesystem::path& codes,
                              const std::vector<QuizPicture>& pictures);

}  // namespace vidod
