#include "maker/pe_image.h"

#include <algorithm>

namespace vidod {
namespace {

constexpr uint16_t kDosSignature = 0x5A4D;         // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;      // "PE\0\0"
constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderPointer = 0x3C;
constexpr std::size_t kFileHeaderSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Optional header fields shared by both forms, then where the directories
// start in each.
constexpr std::size_t kSectionAlignmentField = 32;
constexpr std::size_t kFileAlignmentField = 36;
constexpr std::size_t kSizeOfImageField = 56;
constexpr std::size_t kSizeOfHeadersField = 60;
constexpr std::size_t kChecksumField = 64;
constexpr std::size_t kPe32DirectoryCountField = 92;
constexpr std::size_t kPe32PlusDirectoryCountField = 108;
constexpr std::size_t kDataDirectorySize = 8;
constexpr uint32_t kMaxDataDirectories = 16;

bool Fail(std::string* error, const std::string& why) {
  *error = why;
  return false;
}

bool Fits(std::size_t size, uint64_t offset, uint64_t length) { return offset <= size && length <= size - offset; }

}  // namespace

uint16_t ReadLittle16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }
uint32_t ReadLittle32(const uint8_t* at) { return ReadLittle16(at) | (uint32_t{ReadLittle16(at + 2)} << 16); }
void WriteLittle16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void WriteLittle32(uint8_t* at, uint32_t value) {
  WriteLittle16(at, value);
  WriteLittle16(at + 2, value >> 16);
}

bool ParsePeImage(const uint8_t* data, std::size_t size, PeImage* image, std::string* error) {
  *image = PeImage();
  if (size < kDosHeaderSize || ReadLittle16(data) != kDosSignature)
    return Fail(error, "pas un exécutable Windows (signature MZ absente)");
  const uint32_t peOffset = ReadLittle32(data + kNewHeaderPointer);
  if (!Fits(size, peOffset, 4 + kFileHeaderSize) || ReadLittle32(data + peOffset) != kPeSignature)
    return Fail(error, "pas un exécutable Windows (en-tête PE absent ou hors du fichier)");
  image->fileHeaderOffset = peOffset + 4;
  const uint8_t* fileHeader = data + image->fileHeaderOffset;
  const uint16_t sectionCount = ReadLittle16(fileHeader + 2);
  const uint16_t optionalSize = ReadLittle16(fileHeader + 16);
  image->optionalHeaderOffset = image->fileHeaderOffset + kFileHeaderSize;
  if (!Fits(size, image->optionalHeaderOffset, optionalSize) || optionalSize < 2)
    return Fail(error, "en-tête optionnel PE tronqué");
  const uint8_t* optional = data + image->optionalHeaderOffset;
  const uint16_t magic = ReadLittle16(optional);
  if (magic != kPe32Magic && magic != kPe32PlusMagic)
    return Fail(error, "en-tête optionnel PE de type inconnu");
  image->pe32Plus = magic == kPe32PlusMagic;
  const std::size_t countField = image->pe32Plus ? kPe32PlusDirectoryCountField : kPe32DirectoryCountField;
  if (optionalSize < countField + 4) return Fail(error, "en-tête optionnel PE tronqué");
  image->sectionAlignment = ReadLittle32(optional + kSectionAlignmentField);
  image->fileAlignment = ReadLittle32(optional + kFileAlignmentField);
  image->sizeOfImage = ReadLittle32(optional + kSizeOfImageField);
  image->sizeOfHeaders = ReadLittle32(optional + kSizeOfHeadersField);
  image->checksum = ReadLittle32(optional + kChecksumField);
  const auto powerOfTwo = [](uint32_t value) { return value != 0 && (value & (value - 1)) == 0; };
  if (!powerOfTwo(image->sectionAlignment) || !powerOfTwo(image->fileAlignment))
    return Fail(error, "alignements de l'en-tête PE invalides");
  image->dataDirectoryOffset = image->optionalHeaderOffset + countField + 4;
  const uint32_t declared = ReadLittle32(optional + countField);
  const std::size_t room = (optionalSize - countField - 4) / kDataDirectorySize;
  image->dataDirectoryCount = static_cast<uint32_t>(
      std::min<std::size_t>({declared, room, std::size_t{kMaxDataDirectories}}));

  image->sectionTableOffset = image->optionalHeaderOffset + optionalSize;
  if (!Fits(size, image->sectionTableOffset, uint64_t{sectionCount} * kPeSectionHeaderSize))
    return Fail(error, "table des sections hors du fichier");
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const std::size_t at = image->sectionTableOffset + i * kPeSectionHeaderSize;
    const uint8_t* header = data + at;
    PeSection section;
    std::size_t nameLength = 0;
    while (nameLength < 8 && header[nameLength] != 0) ++nameLength;
    section.name.assign(reinterpret_cast<const char*>(header), nameLength);
    section.virtualSize = ReadLittle32(header + 8);
    section.virtualAddress = ReadLittle32(header + 12);
    section.rawSize = ReadLittle32(header + 16);
    section.rawOffset = ReadLittle32(header + 20);
    section.characteristics = ReadLittle32(header + 36);
    section.headerOffset = at;
    image->sections.push_back(section);
  }
  return true;
}

PeDataDirectory DataDirectory(const PeImage& image, const uint8_t* data, uint32_t index) {
  PeDataDirectory directory;
  if (index >= image.dataDirectoryCount) return directory;
  const uint8_t* entry = data + image.dataDirectoryOffset + index * kDataDirectorySize;
  directory.address = ReadLittle32(entry);
  directory.size = ReadLittle32(entry + 4);
  return directory;
}

bool FindRvaInFile(const PeImage& image, std::size_t fileSize, uint32_t rva, uint32_t length, std::size_t* offset,
                   std::size_t* sectionIndex) {
  for (std::size_t i = 0; i < image.sections.size(); ++i) {
    const PeSection& section = image.sections[i];
    if (rva < section.virtualAddress) continue;
    const uint64_t into = uint64_t{rva} - section.virtualAddress;
    if (into + length > section.rawSize) continue;
    if (!Fits(fileSize, uint64_t{section.rawOffset} + into, length)) return false;
    *offset = static_cast<std::size_t>(section.rawOffset + into);
    if (sectionIndex) *sectionIndex = i;
    return true;
  }
  return false;
}

std::size_t ChecksumOffset(const PeImage& image) { return image.optionalHeaderOffset + kChecksumField; }

namespace {

void AddWord(PeChecksumSum* sum, uint64_t at, uint32_t word) {
  if (at == sum->skip || at == sum->skip + 2) return;
  sum->sum += word;
  sum->sum = (sum->sum & 0xFFFF) + (sum->sum >> 16);
}

}  // namespace

void AddToPeChecksum(PeChecksumSum* sum, const uint8_t* bytes, std::size_t count) {
  std::size_t i = 0;
  if (count != 0 && sum->pendingLow >= 0) {
    AddWord(sum, sum->length - 1, static_cast<uint32_t>(sum->pendingLow) | (uint32_t{bytes[0]} << 8));
    sum->pendingLow = -1;
    i = 1;
  }
  for (; i + 1 < count; i += 2) AddWord(sum, sum->length + i, bytes[i] | (uint32_t{bytes[i + 1]} << 8));
  if (i < count) sum->pendingLow = bytes[i];
  sum->length += count;
}

uint32_t FinishPeChecksum(const PeChecksumSum& sum) {
  PeChecksumSum last = sum;
  // A file of odd length ends with half a word.
  if (last.pendingLow >= 0) AddWord(&last, last.length - 1, static_cast<uint32_t>(last.pendingLow));
  last.sum = (last.sum & 0xFFFF) + (last.sum >> 16);
  return static_cast<uint32_t>(last.sum + last.length);
}

uint32_t ComputePeChecksum(const std::vector<uint8_t>& file, const PeImage& image) {
  PeChecksumSum sum;
  sum.skip = ChecksumOffset(image);
  AddToPeChecksum(&sum, file.data(), file.size());
  return FinishPeChecksum(sum);
}

}  // namespace vidod
