// A quiz as one web page, with everything inside it: the page's markup,
// style and script, the judging module, the quiz's compressed resources as
// the executable keeps them (its reward codes are decoded by the module only
// when earned) and its pictures as data addresses.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "maker/pe_resources.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_source.h"

namespace vidod {

// The page of the quiz in resources (as FindQuizResources finds them), UTF-8.
// False with a French *error when this vidod-make was built without the
// page, or when the answers resource is missing or refused.
bool MakeQuizPage(const std::vector<ResourceEntry>& resources, std::string* html, std::string* error);

struct PageSettings {
  std::filesystem::path output;  // the page; ".html" is added when it has no extension
  bool force = false;            // replace an existing output that is no page
  const BuildProgress* progress = nullptr;
  PictureCheckCache* pictureCache = nullptr;  // the caller's, to avoid decoding twice
};

// From a quiz source: checked as build checks it (refused on any error),
// the pictures prepared as build --reduire stores them, so that the page
// stays light enough to send and to open on a phone.
bool WriteQuizPageFromSource(const QuizSource& quiz, const std::filesystem::path& sourceFile,
                             const PageSettings& settings, std::filesystem::path* written, std::string* error);
// From a quiz executable: its resources as they are.
bool WriteQuizPageFromExecutable(const std::filesystem::path& executable, const PageSettings& settings,
                                 std::filesystem::path* written, std::string* error);

}  // namespace vidod
