#include "test_executable.h"

#include <string>

#include "maker/pe_image.h"
#include "maker/pe_resource_writer.h"

namespace vidod {
namespace makertest {
namespace {

constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kTextRva = 0x1000;
constexpr uint32_t kTextFileOffset = 0x400;
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint16_t kLanguageUsEnglish = 1033;

uint32_t AlignUp(uint32_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

void PutSection(std::vector<uint8_t>* file, std::size_t index, const char* name, uint32_t virtualSize, uint32_t rva,
                uint32_t rawSize, uint32_t rawOffset, uint32_t characteristics) {
  uint8_t* header = file->data() + kTestSectionTableOffset + index * kPeSectionHeaderSize;
  for (std::size_t i = 0; name[i] != 0; ++i) header[i] = static_cast<uint8_t>(name[i]);
  WriteLittle32(header + 8, virtualSize);
  WriteLittle32(header + 12, rva);
  WriteLittle32(header + 16, rawSize);
  WriteLittle32(header + 20, rawOffset);
  WriteLittle32(header + 36, characteristics);
}

}  // namespace

ResourceEntry TestResource(const ResourceName& type, uint16_t id, uint16_t language, const std::vector<uint8_t>& data) {
  ResourceEntry entry;
  entry.type = type;
  entry.name = ResourceName::Number(id);
  entry.language = language;
  entry.data = data;
  return entry;
}

std::vector<ResourceEntry> PlayerOwnResources() {
  const std::vector<uint8_t> dialog(54, 0x11);
  return {
      TestResource(ResourceName::Number(kResourceTypeCursor), 1, kLanguageUsEnglish, std::vector<uint8_t>(308, 0x22)),
      TestResource(ResourceName::Number(kResourceTypeDialog), 1001, kLanguageUsEnglish, dialog),
      TestResource(ResourceName::Number(kResourceTypeDialog), 1002, kLanguageUsEnglish, dialog),
      TestResource(ResourceName::Number(kResourceTypeGroupCursor), 1003, kLanguageUsEnglish,
                   std::vector<uint8_t>(20, 0x33)),
      TestResource(ResourceName::Number(kResourceTypeVersion), 1, kLanguageUsEnglish, std::vector<uint8_t>(560, 0x44)),
      TestResource(ResourceName::Number(kResourceTypeManifest), 1, kLanguageUsEnglish, std::vector<uint8_t>(937, 0x55)),
  };
}

std::vector<uint8_t> MakeTestPlayer(const TestExecutableLayout& layout) {
  return MakeTestExecutable(PlayerOwnResources(), layout);
}

std::vector<uint8_t> MakeTestExecutable(const std::vector<ResourceEntry>& resources,
                                        const TestExecutableLayout& layout) {
  const std::vector<uint8_t> section = BuildResourceSection(resources, kTestResourceRva);
  const uint32_t resourceRaw = AlignUp(static_cast<uint32_t>(section.size()), kFileAlignment);
  const uint32_t relocRva = AlignUp(kTestResourceRva + static_cast<uint32_t>(section.size()), kSectionAlignment);
  const uint32_t relocOffset = kTestResourceFileOffset + resourceRaw;
  const std::size_t sectionCount = layout.sectionAfterResources ? 3 : 2;
  const uint32_t imageEnd = layout.sectionAfterResources ? relocRva + kSectionAlignment : relocRva;

  std::vector<uint8_t> file(kTestResourceFileOffset, 0);
  file[0] = 'M';
  file[1] = 'Z';
  WriteLittle32(&file[0x3C], kTestPeOffset);
  WriteLittle32(&file[kTestPeOffset], 0x00004550);
  uint8_t* coff = &file[kTestPeOffset + 4];
  WriteLittle16(coff, kMachineAmd64);
  WriteLittle16(coff + 2, static_cast<uint32_t>(sectionCount));
  WriteLittle16(coff + 16, 240);
  WriteLittle16(coff + 18, 0x22);
  uint8_t* optional = &file[kTestOptionalHeaderOffset];
  WriteLittle16(optional, kPe32PlusMagic);
  WriteLittle32(optional + 32, kSectionAlignment);
  WriteLittle32(optional + 36, kFileAlignment);
  WriteLittle32(optional + 56, imageEnd);
  WriteLittle32(optional + 60, layout.sizeOfHeaders);
  WriteLittle32(optional + 108, 16);
  WriteLittle32(&file[kTestDataDirectoryOffset + 2 * 8], kTestResourceRva);
  WriteLittle32(&file[kTestDataDirectoryOffset + 2 * 8 + 4], static_cast<uint32_t>(section.size()));

  PutSection(&file, 0, ".text", 0x10, kTextRva, kFileAlignment, kTextFileOffset, 0x60000020);
  for (uint32_t i = 0; i < 0x10; ++i) file[kTextFileOffset + i] = static_cast<uint8_t>(0xC3 - i);
  PutSection(&file, 1, ".rsrc", static_cast<uint32_t>(section.size()), kTestResourceRva, resourceRaw,
             kTestResourceFileOffset, 0x40000040);
  file.insert(file.end(), section.begin(), section.end());
  file.resize(relocOffset, 0);
  if (layout.sectionAfterResources) {
    PutSection(&file, 2, ".reloc", 0x20, relocRva, kFileAlignment, relocOffset, 0x42000040);
    for (uint32_t i = 0; i < kFileAlignment; ++i) file.push_back(static_cast<uint8_t>(i * 7));
  }
  if (layout.tailSize != 0) {
    // A symbol table: the file header points at it.
    WriteLittle32(&file[kTestPeOffset + 4 + 8], static_cast<uint32_t>(file.size()));
    WriteLittle32(&file[kTestPeOffset + 4 + 12], static_cast<uint32_t>(layout.tailSize / 18));
    for (std::size_t i = 0; i < layout.tailSize; ++i) file.push_back(static_cast<uint8_t>(0xA0 + i % 50));
  }
  if (layout.signatureSize != 0) {
    WriteLittle32(&file[kTestDataDirectoryOffset + 4 * 8], static_cast<uint32_t>(file.size()));
    WriteLittle32(&file[kTestDataDirectoryOffset + 4 * 8 + 4], static_cast<uint32_t>(layout.signatureSize));
    file.insert(file.end(), layout.signatureSize, 0x5A);
  }
  if (layout.withChecksum) {
    PeImage image;
    std::string error;
    if (ParsePeImage(file.data(), file.size(), &image, &error))
      WriteLittle32(&file[ChecksumOffset(image)], ComputePeChecksum(file, image));
  }
  return file;
}

}  // namespace makertest
}  // namespace vidod
