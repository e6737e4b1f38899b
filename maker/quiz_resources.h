// The resources that carry a quiz inside an executable: "PATCH" 104 (the
// compressed answers blob), "PATCH" 105 (the compressed codes blob), "PATCH"
// 106 (the compressed accepted-answers blob, only in a quiz that has other
// answers or tolerances), 107 (the compressed header link, only in a quiz
// that has one) and the picture of question k as "IMG" 401 + k (JPEG, GIF,
// BMP) or raw data 401 + k (PNG), all language neutral.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "maker/pe_resources.h"
#include "maker/picture_format.h"
#include "maker/quiz_source.h"
#include "quiz/home_link.h"

namespace vidod {

constexpr uint16_t kAnswersResourceId = 104;
constexpr uint16_t kCodesResourceId = 105;
constexpr uint16_t kAcceptedAnswersResourceId = 106;
constexpr uint16_t kFirstPictureResourceId = 401;
constexpr char kQuizBlobType[] = "PATCH";
constexpr char kPictureType[] = "IMG";

// The blob compressed, and checked to decode back to itself; what names it
// in the French *error ("le blob des réponses").
bool CompressBlob(const std::vector<uint8_t>& blob, const std::string& what, std::vector<uint8_t>* packed,
                  std::string* error);
// The quiz's blobs compressed: 104, 105, and 106 and 107 (each empty when
// the quiz needs none: a quiz without other answers, tolerances or a link
// holds exactly the resources it held before them).
struct PackedBlobs {
  std::vector<uint8_t> answers, codes, acceptedAnswers, link;
};
bool CompressQuizBlobs(const QuizSource& quiz, PackedBlobs* packed, std::string* error);

struct QuizPicture {
  std::size_t question;  // from 0; its resource id is 401 + question
  std::filesystem::path file;
  PictureFormat format;  // JPEG, GIF or BMP go in as "IMG", PNG as raw data
};

// The pictures of a source read without errors, to be stored as they are,
// with their formats checked again (a file may have been replaced since):
// a picture that must be converted or turned is refused.
bool CollectQuizPictures(const QuizSource& quiz, const std::filesystem::path& sourceFile,
                         std::vector<QuizPicture>* pictures, std::string* error);

// How far a build has gone, and the author's wish to stop it. onPicture is
// called before each picture (done of total) and once at the end; cancel is
// read between pictures, from any thread.
struct BuildProgress {
  std::function<void(std::size_t done, std::size_t total)> onPicture;
  const std::atomic<bool>* cancel = nullptr;
};
// The French error of a build stopped by its cancel flag.
constexpr char kBuildCancelled[] = "construction annulée";

// Everything the quiz puts into an executable, in the order above, each
// picture as PreparePictureForPlayer stores it (upright, in a format the
// player shows, with reducePictures no larger than the views). A picture
// whose file checked does not name is checked here from the same decoding,
// and refused with the checks' words when the player could not show it.
bool MakeQuizResources(const QuizSource& quiz, const std::filesystem::path& sourceFile, bool reducePictures,
                       std::vector<ResourceEntry>* entries, std::string* error,
                       const BuildProgress* progress = nullptr,
                       const std::function<bool(const std::filesystem::path&)>& checked = nullptr);
// The same, each resource handed to take as soon as it is made, in that
// order, so that a build need not keep every picture: take returns false
// with a French *error to stop.
using ResourceSink = std::function<bool(ResourceEntry&& entry, std::string* error)>;
bool MakeQuizResources(const QuizSource& quiz, const std::filesystem::path& sourceFile, bool reducePictures,
                       const ResourceSink& take, std::string* error, const BuildProgress* progress = nullptr,
                       const std::function<bool(const std::filesystem::path&)>& checked = nullptr);

// True for a resource of the kinds a quiz brings, whatever its language:
// any "PATCH" or "IMG", and raw data from 401 on. Replacing a quiz removes
// them all, so that no picture of an earlier quiz is left for the player to
// find.
bool IsQuizResource(const ResourceEntry& entry);

// The quiz resources that the player's lookups find in an executable.
struct QuizResourceSet {
  const ResourceEntry* answers = nullptr;
  const ResourceEntry* codes = nullptr;
  const ResourceEntry* acceptedAnswers = nullptr;
  const ResourceEntry* link = nullptr;
  // One per question; the player takes "IMG" first, raw data only when there
  // is no "IMG" of that id. nullptr when the question has neither.
  std::vector<const ResourceEntry*> pictures;
};
QuizResourceSet FindQuizResources(const std::vector<ResourceEntry>& entries, std::size_t questionCount);

}  // namespace vidod
