// A folder of pictures turned into the questions of a new quiz.
#include <algorithm>
#include <system_error>

#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

// The picture as the source names it: relative to the source's folder when
// both share a root, with forward slashes so that it reads the same anywhere.
std::string ImageKey(const fs::path& picture, const fs::path& sourceFolder) {
  const fs::path relative = picture.lexically_relative(sourceFolder);
  return (relative.empty() ? picture : relative).generic_u8string();
}

}  // namespace

bool ScanPictureFolder(const fs::path& folder, const fs::path& sourceFile, bool takeFirst96, PictureFolder* result,
                       std::string* error) {
  *result = PictureFolder();
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    *error = "« " + PathText(folder) + " » n'est pas un dossier";
    return false;
  }
  fs::directory_iterator entries(folder, code);
  if (code) {
    *error = "« " + PathText(folder) + " » : impossible de lire le dossier (" + code.message() + ")";
    return false;
  }
  std::vector<fs::path> pictures;
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    if (!entry.is_regular_file(ignored)) continue;
    if (DetectPictureFileFormat(entry.path()) == PictureFormat::kUnknown) {
      result->skipped.push_back({entry.path(), "ni JPEG, ni GIF, ni BMP, ni PNG"});
      continue;
    }
    pictures.push_back(entry.path());
  }
  std::sort(pictures.begin(), pictures.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().u8string() < b.filename().u8string();
  });
  std::sort(result->skipped.begin(), result->skipped.end(),
            [](const SkippedFile& a, const SkippedFile& b) { return a.file < b.file; });
  if (pictures.empty()) {
    *error = "« " + PathText(folder) + " » ne contient aucune image JPEG, GIF, BMP ou PNG";
    return false;
  }
  if (pictures.size() > kMaxSourceQuestions) {
    if (!takeFirst96) {
      *error = "« " + PathText(folder) + " » contient " + std::to_string(pictures.size()) +
               " images, un quiz a " + std::to_string(kMaxSourceQuestions) + " questions au plus";
      return false;
    }
    for (std::size_t i = kMaxSourceQuestions; i < pictures.size(); ++i)
      result->skipped.push_back({pictures[i], "au-delà des " + std::to_string(kMaxSourceQuestions) +
                                                  " questions d'un quiz"});
    pictures.resize(kMaxSourceQuestions);
  }
  const fs::path sourceFolder = sourceFile.parent_path();
  for (const fs::path& picture : pictures)
    result->questions.push_back({picture.stem().u8string(), ImageKey(picture, sourceFolder)});
  return true;
}

}  // namespace vidod
