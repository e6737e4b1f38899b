#include "maker/quiz_resources.h"

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
  const std::vector<uint8_t> accepted = WriteAcceptedAnswersBlob(quiz);
  return accepted.empty() ||
         CompressBlob(accepted, "le blob des autres réponses acceptées", &packed->acceptedAnswers, error);
}

bool CollectQuizPictures(const QuizSource& quiz, const fs::path& sourceFile, std::vector<QuizPicture>* pictures,
                         std::string* error) {
  pictures->clear();
  for (std::size_t k = 0; k < quiz.questions.size(); ++k) {
    if (quiz.questions[k].image.empty()) continue;
    const fs::path file = PicturePath(sourceFile, quiz.questions[k].image);
    const PictureFormat format = DetectPictureFileFormat(file);
    if (format == PictureFormat::kUnknown) {
      *error = "« " + PathText(file) + " » (question " + std::to_string(k + 1) +
               ") : format d'image non reconnu, JPEG, GIF, BMP ou PNG attendu";
      return false;
    }
    pictures->push_back({k, file, format});
  }
  return true;
}

bool MakeQuizResources(const QuizSource& quiz, const fs::path& sourceFile, bool reducePictures,
                       std::vector<ResourceEntry>* entries, std::string* error) {
  PackedBlobs blobs;
  if (!CompressQuizBlobs(quiz, &blobs, error)) return false;
  std::vector<QuizPicture> pictures;
  if (!CollectQuizPictures(quiz, sourceFile, &pictures, error)) return false;

  entries->clear();
  const ResourceName blobType = ResourceName::Text(kQuizBlobType);
  entries->push_back(Resource(blobType, kAnswersResourceId, std::move(blobs.answers)));
  entries->push_back(Resource(blobType, kCodesResourceId, std::move(blobs.codes)));
  if (!blobs.acceptedAnswers.empty())
    entries->push_back(Resource(blobType, kAcceptedAnswersResourceId, std::move(blobs.acceptedAnswers)));
  for (const QuizPicture& picture : pictures) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(picture.file, &bytes, error)) return false;
    // A picture that cannot be reduced is stored as it is: the checks have
    // said so already.
    std::vector<uint8_t> reduced;
    std::string unreduced;
    if (reducePictures && ReducePictureFile(bytes, &reduced, &unreduced)) bytes = std::move(reduced);
    // The player's PNG route looks for raw data only when no "IMG" resource
    // of the id exists.
    const ResourceName type = picture.format == PictureFormat::kPng ? ResourceName::Number(kResourceTypeRawData)
                                                                     : ResourceName::Text(kPictureType);
    entries->push_back(
        Resource(type, static_cast<uint16_t>(kFirstPictureResourceId + picture.question), std::move(bytes)));
  }
  return true;
}

}  // namespace vidod
