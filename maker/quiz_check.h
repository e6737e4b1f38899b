// What the player will do with a quiz that surprises its author, though the
// quiz builds: answers that cannot or can hardly be found, pictures it cannot
// show or is slow to show, missing codes, reveal texts and labels.
#pragma once

#include <filesystem>
#include <vector>

#include "maker/quiz_source.h"

namespace vidod {

// Pictures of more than this many pixels (four times the 640 x 480 of the
// single-question view) make the quiz slow to start: every picture is
// decoded whole each time it is shown.
constexpr uint64_t kSlowPicturePixels = 4ull * 640 * 480;

// Warnings about a quiz read without errors from sourceFile (which anchors
// its picture paths), in question order, without lines.
std::vector<SourceIssue> FindSurprises(const QuizSource& quiz, const std::filesystem::path& sourceFile);

}  // namespace vidod
