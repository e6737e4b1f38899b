// The quiz resources of an executable as the player's lookups find them.
#include "maker/quiz_resources.h"

namespace vidod {
namespace {

// The entry the player's FindResourceA finds: names compared without case,
// the language-neutral entry first.
const ResourceEntry* Lookup(const std::vector<ResourceEntry>& entries, const char* typeName, uint16_t typeId,
                            uint16_t id) {
  const ResourceEntry* found = nullptr;
  for (const ResourceEntry& entry : entries) {
    const bool typeMatches = typeName ? NameIs(entry.type, typeName) : entry.type == ResourceName::Number(typeId);
    if (!typeMatches || entry.name != ResourceName::Number(id)) continue;
    if (!found || entry.language < found->language) found = &entry;
  }
  return found;
}

}  // namespace

bool IsQuizResource(const ResourceEntry& entry) {
  if (NameIs(entry.type, kQuizBlobType) || NameIs(entry.type, kPictureType)) return true;
  return entry.type == ResourceName::Number(kResourceTypeRawData) && !entry.name.isString &&
         entry.name.id >= kFirstPictureResourceId;
}

QuizResourceSet FindQuizResources(const std::vector<ResourceEntry>& entries, std::size_t questionCount) {
  QuizResourceSet set;
  set.answers = Lookup(entries, kQuizBlobType, 0, kAnswersResourceId);
  set.codes = Lookup(entries, kQuizBlobType, 0, kCodesResourceId);
  set.acceptedAnswers = Lookup(entries, kQuizBlobType, 0, kAcceptedAnswersResourceId);
  set.link = Lookup(entries, kQuizBlobType, 0, kHomeLinkResourceId);
  for (std::size_t k = 0; k < questionCount; ++k) {
    const uint16_t id = static_cast<uint16_t>(kFirstPictureResourceId + k);
    const ResourceEntry* picture = Lookup(entries, kPictureType, 0, id);
    if (!picture) picture = Lookup(entries, nullptr, kResourceTypeRawData, id);
    set.pictures.push_back(picture);
  }
  return set;
}

}  // namespace vidod
