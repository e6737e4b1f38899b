#include "maker/quiz_resources.h"

#include <algorithm>
#include <deque>
#include <future>
#include <thread>

#include "maker/picture_check.h"

#include "lzw/lzw.h"
#include "maker/blob_codec.h"
#include "maker/file_io.h"
#include "maker/picture_reduction.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

ResourceEntry Resource(const ResourceName& type, uint16_t id, std::vector<uint8_t> data) {
  ResourceEntry entry;
  entry.type = type;
  entry.name = ResourceName::Number(id);
  entry.language = kLanguageNeutral;
  entry.data = std::move(data);
  return entry;
}

}  // namespace

bool CompressBlob(const std::vector<uint8_t>& blob, const std::string& what, std::vector<uint8_t>* packed,
                  std::string* error) {
  if (blob.size() > kLzwMaxInput) {
    *error = what + " fait " + std::to_string(blob.size()) + " octets, le format en accepte " +
             std::to_string(kLzwMaxInput) + " au plus : raccourcissez les textes ou retirez des questions";
    return false;
  }
  const CodecRun run = CompressBytes(blob);
  if (run.result != 0) {
    *error = "compression impossible pour " + what + " : résultat " + std::to_string(run.result) + " (" +
             DescribeLzwResult(run.result, true) + ")";
    return false;
  }
  const CodecRun check = DecompressBytes(run.bytes);
  if (check.result != 0 || check.bytes != blob) {
    *error = "erreur interne : " + what + " compressé ne redonne pas ses octets";
    return false;
  }
  *packed = run.bytes;
  return true;
}

bool CompressQuizBlobs(const QuizSource& quiz, PackedBlobs* packed, std::string* error) {
  if (!CompressBlob(WriteAnswersBlob(quiz), "le blob des réponses", &packed->answers, error) ||
      !CompressBlob(WriteCodesBlob(quiz), "le blob des codes", &packed->codes, error))
    return false;
  packed->acceptedAnswers.clear();
  packed->link.clear();
  const std::vector<uint8_t> accepted = WriteAcceptedAnswersBlob(quiz);
  if (!accepted.empty() &&
      !CompressBlob(accepted, "le blob des autres réponses acceptées", &packed->acceptedAnswers, error))
    return false;
  return quiz.link.empty() ||
         CompressBlob(std::vector<uint8_t>(quiz.link.begin(), quiz.link.end()), "le lien", &packed->link, error);
}

namespace {

// The pictures of the questions that have one, in question order; asTheyAre
// refuses those that would have to be redrawn for the player.
bool CollectPictures(const QuizSource& quiz, const fs::path& sourceFile, bool asTheyAre,
                     std::vector<QuizPicture>* pictures, std::string* error) {
  pictures->clear();
  for (std::size_t k = 0; k < quiz.questions.size(); ++k) {
    if (quiz.questions[k].image.empty()) continue;
    const fs::path file = PicturePath(sourceFile, quiz.questions[k].image);
    const PictureFormat format = DetectPictureFileFormat(file);
    const std::string where = "« " + PathText(file) + " » (question " + std::to_string(k + 1) + ") : ";
    if (format == PictureFormat::kUnknown) {
      *error = where + "format d'image non reconnu, JPEG, PNG, GIF, BMP, WebP, HEIC ou AVIF attendu";
      return false;
    }
    if (asTheyAre && (!PlayerShowsFormat(format) || quiz.questions[k].rotation != 0)) {
      *error = where + "pack range les images telles quelles et celle-ci doit être " +
               (PlayerShowsFormat(format) ? "tournée" : std::string("convertie depuis ") + PictureFormatName(format)) +
               " : construisez le quiz avec build";
      return false;
    }
    pictures->push_back({k, file, format});
  }
  return true;
}

}  // namespace

bool CollectQuizPictures(const QuizSource& quiz, const fs::path& sourceFile, std::vector<QuizPicture>* pictures,
                         std::string* error) {
  return CollectPictures(quiz, sourceFile, true, pictures, error);
}

namespace {

// One picture as stored, or the French reason why it cannot be.
struct PreparedPicture {
  bool ok = false;
  PictureFormat format = PictureFormat::kUnknown;
  std::vector<uint8_t> stored;
  std::string error;
};

// The picture read and made what the player shows. Unless checked says its
// file was inspected already, the decoding that redraws it stands for the
// checks' (a picture that does not decode cannot be redrawn), and one that
// is stored as it is gets the checks' inspection here.
PreparedPicture PreparePicture(const QuizPicture& picture, int rotation, bool reducePictures, bool checked) {
  PreparedPicture prepared;
  const std::string where = "« " + PathText(picture.file) + " » (question " + std::to_string(picture.question + 1) + ") : ";
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(picture.file, &bytes, &prepared.error)) return prepared;
  std::string problem;
  prepared.format = picture.format;
  const StoredPicture result =
      PreparePictureForPlayer(bytes, rotation, reducePictures, &prepared.stored, &prepared.format, &problem);
  const bool asItIs = result == StoredPicture::kAsIs ||
                      (result == StoredPicture::kFailed && PlayerShowsFormat(picture.format) && rotation == 0 &&
                       prepared.format == picture.format);
  if (!asItIs && result == StoredPicture::kFailed) {
    prepared.error = where + problem;
    return prepared;
  }
  if (asItIs) {
    // A picture that could not be reduced (a JPEG in printing colours) is
    // stored as it is, when the player can show it.
    if (!checked) {
      const PictureInspection inspection = InspectPicture(bytes);
      if (!inspection.showable) {
        prepared.error = where + inspection.problem + " ; le lecteur montrerait une case vide à la place";
        return prepared;
      }
    }
    prepared.format = picture.format;
    prepared.stored = std::move(bytes);
  }
  prepared.ok = true;
  return prepared;
}

// Pictures prepared side by side, at most this many at a time: each holds
// one picture's file and pixels.
constexpr unsigned kMostPicturesAtOnce = 4;

}  // namespace

bool MakeQuizResources(const QuizSource& quiz, const fs::path& sourceFile, bool reducePictures,
                       std::vector<ResourceEntry>* entries, std::string* error, const BuildProgress* progress,
                       const std::function<bool(const fs::path&)>& checked) {
  entries->clear();
  std::vector<ResourceEntry> made;
  const auto keep = [&made](ResourceEntry&& entry, std::string*) {
    made.push_back(std::move(entry));
    return true;
  };
  if (!MakeQuizResources(quiz, sourceFile, reducePictures, keep, error, progress, checked)) return false;
  *entries = std::move(made);
  return true;
}

bool MakeQuizResources(const QuizSource& quiz, const fs::path& sourceFile, bool reducePictures,
                       const ResourceSink& take, std::string* error, const BuildProgress* progress,
                       const std::function<bool(const fs::path&)>& checked) {
  PackedBlobs blobs;
  if (!CompressQuizBlobs(quiz, &blobs, error)) return false;
  std::vector<QuizPicture> pictures;
  if (!CollectPictures(quiz, sourceFile, false, &pictures, error)) return false;

  const ResourceName blobType = ResourceName::Text(kQuizBlobType);
  if (!take(Resource(blobType, kAnswersResourceId, std::move(blobs.answers)), error) ||
      !take(Resource(blobType, kCodesResourceId, std::move(blobs.codes)), error) ||
      (!blobs.acceptedAnswers.empty() &&
       !take(Resource(blobType, kAcceptedAnswersResourceId, std::move(blobs.acceptedAnswers)), error)) ||
      (!blobs.link.empty() && !take(Resource(blobType, kHomeLinkResourceId, std::move(blobs.link)), error)))
    return false;
  const auto cancelled = [progress] { return progress && progress->cancel && progress->cancel->load(); };
  const auto prepare = [&](std::size_t i) {
    if (cancelled()) return PreparedPicture();
    const QuizPicture& picture = pictures[i];
    return PreparePicture(picture, quiz.questions[picture.question].rotation, reducePictures,
                          checked && checked(picture.file));
  };
  // A few pictures at once, one per core: only what is stored is kept, in
  // quiz order; progress is told from this thread.
  const unsigned atOnce = std::clamp(std::thread::hardware_concurrency(), 1u, kMostPicturesAtOnce);
  std::deque<std::future<PreparedPicture>> running;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (progress && progress->onPicture) progress->onPicture(i, pictures.size());
    while (next < pictures.size() && running.size() < atOnce) running.push_back(std::async(std::launch::async, prepare, next++));
    PreparedPicture prepared = running.front().get();
    running.pop_front();
    if (cancelled()) {
      *error = kBuildCancelled;
      return false;
    }
    if (!prepared.ok) {
      *error = prepared.error;
      return false;
    }
    // The player's PNG route looks for raw data only when no "IMG" resource
    // of the id exists.
    const ResourceName type = prepared.format == PictureFormat::kPng ? ResourceName::Number(kResourceTypeRawData)
                                                                     : ResourceName::Text(kPictureType);
    if (!take(Resource(type, static_cast<uint16_t>(kFirstPictureResourceId + pictures[i].question),
                       std::move(prepared.stored)),
              error))
      return false;
  }
  if (progress && progress->onPicture) progress->onPicture(pictures.size(), pictures.size());
  return true;
}

}  // namespace vidod
