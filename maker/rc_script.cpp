#include "maker/rc_script.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

// The path as a quoted resource-script string: absolute, forward slashes,
// with the script's own escapes for quotes and backslashes.
std::string RcPathLiteral(const fs::path& path) {
  const std::string text = fs::absolute(path).lexically_normal().generic_u8string();
  std::string literal = "\"";
  for (char c : text) {
    // The script doubles a quote inside a string and reads a backslash as
    // the start of an escape; a backslash left here is part of a file name.
    if (c == '"') literal += "\"\"";
    else if (c == '\\') literal += "\\\\";
    else literal += c;
  }
  return literal + "\"";
}

}  // namespace

std::string WriteQuizRcScript(const fs::path& answers, const fs::path& codes, const fs::path& acceptedAnswers,
                              const fs::path& link,
                              const std::vector<QuizPicture>& pictures) {
  std::string script;
  script += std::to_string(kAnswersResourceId) + " " + kQuizBlobType + " " + RcPathLiteral(answers) + "\n";
  script += std::to_string(kCodesResourceId) + " " + kQuizBlobType + " " + RcPathLiteral(codes) + "\n";
  if (!acceptedAnswers.empty())
    script += std::to_string(kAcceptedAnswersResourceId) + " " + kQuizBlobType + " " + RcPathLiteral(acceptedAnswers) +
              "\n";
  if (!link.empty())
    script += std::to_string(kHomeLinkResourceId) + " " + kQuizBlobType + " " + RcPathLiteral(link) + "\n";
  for (const QuizPicture& picture : pictures) {
    // The player's PNG route looks for raw data only when no "IMG" resource
    // of the id exists.
    const std::string type = picture.format == PictureFormat::kPng ? " RCDATA " : std::string(" ") + kPictureType + " ";
    script += std::to_string(kFirstPictureResourceId + picture.question) + type + RcPathLiteral(picture.file) + "\n";
  }
  return script;
}

}  // namespace vidod
