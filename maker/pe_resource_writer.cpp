#include "maker/pe_resource_writer.h"

#include <algorithm>
#include <map>

#include "maker/pe_image.h"

namespace vidod {
namespace {

constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr std::size_t kPieceAlignment = 8;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr char kResourceSectionName[] = ".rsrc";
constexpr char kRetiredSectionName[] = ".oldrsrc";  // the old section, kept but no longer used
constexpr uint32_t kResourceSectionCharacteristics = 0x40000040;  // initialised data, readable
constexpr std::size_t kSizeOfInitializedDataField = 8;
constexpr std::size_t kSizeOfImageField = 56;
constexpr std::size_t kNumberOfSectionsField = 2;
constexpr std::size_t kSymbolTableField = 8;
constexpr uint32_t kPeDebugDirectory = 6;
constexpr std::size_t kDebugEntrySize = 28;
constexpr std::size_t kDebugDataPointerField = 24;
constexpr std::size_t kDataDirectorySize = 8;
// Resources kept out of memory are copied this many bytes at a time.
constexpr std::size_t kStreamChunk = 1 << 20;

uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// The tree of the entries, each level sorted by ResourceName's order and the
// languages ascending.
using LanguageMap = std::map<uint16_t, const ResourceEntry*>;
using NameMap = std::map<ResourceName, LanguageMap>;
using TypeMap = std::map<ResourceName, NameMap>;

std::size_t TableSize(std::size_t entries) { return kDirectoryHeaderSize + entries * kDirectoryEntrySize; }

// Where each piece of a resource section goes: the three levels of tables,
// the names, the data entries (the directory, made in memory), then each
// resource's bytes at its offset, in the order of the tree.
struct SectionLayout {
  std::vector<uint8_t> directory;
  std::vector<const ResourceEntry*> order;
  std::vector<uint64_t> offsets;  // of each resource's bytes, from the section's start
  uint64_t size = 0;              // the section's, its last piece padded
};

class SectionBuilder {
 public:
  explicit SectionBuilder(const std::vector<ResourceEntry>& entries) {
    for (const ResourceEntry& entry : entries) tree_[entry.type][entry.name][entry.language] = &entry;
  }

  SectionLayout Build(uint32_t sectionRva) {
    // First pass: where each piece goes.
    std::size_t size = TableSize(tree_.size());
    for (const auto& [type, names] : tree_) size += TableSize(names.size());
    for (const auto& [type, names] : tree_)
      for (const auto& [name, languages] : names) size += TableSize(languages.size());
    std::map<std::u16string, std::size_t> strings;
    for (const auto& [type, names] : tree_) {
      AddString(type, &strings, &size);
      for (const auto& [name, languages] : names) AddString(name, &strings, &size);
    }
    size = AlignUp(size, kPieceAlignment);
    const std::size_t dataEntries = size;
    std::size_t dataCount = 0;
    for (const auto& [type, names] : tree_)
      for (const auto& [name, languages] : names) dataCount += languages.size();
    size += dataCount * kDataEntrySize;

    bytes_.assign(size, 0);
    SectionLayout layout;
    uint64_t end = size;
    for (const auto& [type, names] : tree_)
      for (const auto& [name, languages] : names)
        for (const auto& [language, entry] : languages) {
          const uint64_t at = AlignUp(end, kPieceAlignment);
          layout.order.push_back(entry);
          layout.offsets.push_back(at);
          end = at + entry->Size();
        }
    layout.size = AlignUp(end, kPieceAlignment);

    // Second pass: the tables, breadth first, then the data entries.
    std::size_t nextTable = 0;
    const std::size_t root = Claim(&nextTable, tree_.size());
    std::size_t dataIndex = 0;
    std::vector<std::size_t> typeTables;
    for (const auto& [type, names] : tree_) typeTables.push_back(Claim(&nextTable, names.size()));
    std::size_t typeIndex = 0;
    std::size_t rootSlot = 0;
    for (const auto& [type, names] : tree_) {
      const std::size_t typeTable = typeTables[typeIndex++];
      PutEntry(root, rootSlot++, type, strings, static_cast<uint32_t>(typeTable) | kHighBit);
      WriteCounts(typeTable, names);
      std::size_t nameSlot = 0;
      for (const auto& [name, languages] : names) {
        const std::size_t languageTable = Claim(&nextTable, languages.size());
        PutEntry(typeTable, nameSlot++, name, strings, static_cast<uint32_t>(languageTable) | kHighBit);
        WriteLittle16(&bytes_[languageTable + 14], static_cast<uint32_t>(languages.size()));
        std::size_t languageSlot = 0;
        for (const auto& [language, entry] : languages) {
          const std::size_t dataEntry = dataEntries + dataIndex * kDataEntrySize;
          uint8_t* slot = &bytes_[languageTable + kDirectoryHeaderSize + languageSlot++ * kDirectoryEntrySize];
          WriteLittle32(slot, language);
          WriteLittle32(slot + 4, static_cast<uint32_t>(dataEntry));
          WriteLittle32(&bytes_[dataEntry], static_cast<uint32_t>(sectionRva + layout.offsets[dataIndex]));
          WriteLittle32(&bytes_[dataEntry + 4], entry->Size());
          WriteLittle32(&bytes_[dataEntry + 8], entry->codePage);
          ++dataIndex;
        }
      }
    }
    WriteCounts(root, tree_);
    for (const auto& [text, offset] : strings) {
      WriteLittle16(&bytes_[offset], static_cast<uint32_t>(text.size()));
      for (std::size_t i = 0; i < text.size(); ++i) WriteLittle16(&bytes_[offset + 2 + 2 * i], text[i]);
    }
    layout.directory = std::move(bytes_);
    return layout;
  }

 private:
  static void AddString(const ResourceName& name, std::map<std::u16string, std::size_t>* strings, std::size_t* size) {
    if (!name.isString || strings->count(name.text)) return;
    (*strings)[name.text] = *size;
    *size += 2 + 2 * name.text.size();
  }

  static std::size_t Claim(std::size_t* next, std::size_t entries) {
    const std::size_t at = *next;
    *next += TableSize(entries);
    return at;
  }

  template <typename Map>
  void WriteCounts(std::size_t table, const Map& map) {
    uint32_t named = 0;
    for (const auto& item : map) named += item.first.isString ? 1 : 0;
    WriteLittle16(&bytes_[table + 12], named);
    WriteLittle16(&bytes_[table + 14], static_cast<uint32_t>(map.size() - named));
  }

  void PutEntry(std::size_t table, std::size_t slot, const ResourceName& name,
                const std::map<std::u16string, std::size_t>& strings, uint32_t target) {
    uint8_t* at = &bytes_[table + kDirectoryHeaderSize + slot * kDirectoryEntrySize];
    WriteLittle32(at, name.isString ? static_cast<uint32_t>(strings.at(name.text)) | kHighBit : name.id);
    WriteLittle32(at + 4, target);
  }

  TypeMap tree_;
  std::vector<uint8_t> bytes_;
};

// The output as it is written: every piece counted into the checksum.
struct OutputStream {
  const PeOutput& output;
  PeChecksumSum checksum;
  std::string* error;
};

bool Put(OutputStream* out, const uint8_t* bytes, std::size_t count) {
  AddToPeChecksum(&out->checksum, bytes, count);
  return out->output.append(bytes, count, out->error);
}

bool PutZeros(OutputStream* out, uint64_t count) {
  static const uint8_t kZeros[kStreamChunk] = {};
  for (uint64_t left = count; left != 0;) {
    const std::size_t now = static_cast<std::size_t>(std::min<uint64_t>(left, kStreamChunk));
    if (!Put(out, kZeros, now)) return false;
    left -= now;
  }
  return true;
}

// The section's bytes: the directory, then each resource at its offset, those
// kept out of memory copied a chunk at a time.
bool PutSection(OutputStream* out, const SectionLayout& layout, const FileBytesReader& stored) {
  if (!Put(out, layout.directory.data(), layout.directory.size())) return false;
  uint64_t at = layout.directory.size();
  std::vector<uint8_t> chunk;
  for (std::size_t i = 0; i < layout.order.size(); ++i) {
    const ResourceEntry& entry = *layout.order[i];
    if (!PutZeros(out, layout.offsets[i] - at)) return false;
    if (!entry.stored) {
      if (!Put(out, entry.data.data(), entry.data.size())) return false;
    } else {
      chunk.resize(kStreamChunk);
      for (uint64_t done = 0; done < entry.size;) {
        const std::size_t now = static_cast<std::size_t>(std::min<uint64_t>(entry.size - done, kStreamChunk));
        if (!stored || !stored(entry.offset + done, now, chunk.data())) {
          *out->error = "ressource " + DescribeResourceName(entry.type) + " " + DescribeResourceName(entry.name) +
                        " : lecture impossible de ses octets mis de côté";
          return false;
        }
        if (!Put(out, chunk.data(), now)) return false;
        done += now;
      }
    }
    at = layout.offsets[i] + entry.Size();
  }
  return PutZeros(out, layout.size - at);
}

void WriteSectionHeader(std::vector<uint8_t>* file, std::size_t at, const char* name, uint32_t virtualSize,
                        uint32_t virtualAddress, uint32_t rawSize, uint32_t rawOffset) {
  uint8_t* header = file->data() + at;
  std::fill(header, header + kPeSectionHeaderSize, 0);
  for (std::size_t i = 0; name[i] != 0 && i < 8; ++i) header[i] = static_cast<uint8_t>(name[i]);
  WriteLittle32(header + 8, virtualSize);
  WriteLittle32(header + 12, virtualAddress);
  WriteLittle32(header + 16, rawSize);
  WriteLittle32(header + 20, rawOffset);
  WriteLittle32(header + 36, kResourceSectionCharacteristics);
}

void RenameSection(std::vector<uint8_t>* file, const PeSection& section, const char* name) {
  uint8_t* header = file->data() + section.headerOffset;
  std::fill(header, header + 8, 0);
  for (std::size_t i = 0; name[i] != 0 && i < 8; ++i) header[i] = static_cast<uint8_t>(name[i]);
}

// Debug directory entries locate their data by file offset; data that lay in
// the tail has moved with it.
void MoveDebugDataPointers(const PeImage& image, uint64_t tailWas, uint64_t tailIs, std::vector<uint8_t>* file) {
  const PeDataDirectory debug = DataDirectory(image, file->data(), kPeDebugDirectory);
  std::size_t at = 0;
  if (debug.size == 0 || !FindRvaInFile(image, file->size(), debug.address, debug.size, &at)) return;
  for (std::size_t entry = 0; entry + kDebugEntrySize <= debug.size; entry += kDebugEntrySize) {
    uint8_t* pointer = &(*file)[at + entry + kDebugDataPointerField];
    const uint32_t offset = ReadLittle32(pointer);
    if (offset >= tailWas) WriteLittle32(pointer, static_cast<uint32_t>(offset - tailWas + tailIs));
  }
}

}  // namespace

std::vector<uint8_t> BuildResourceSection(const std::vector<ResourceEntry>& entries, uint32_t sectionRva) {
  const SectionLayout layout = SectionBuilder(entries).Build(sectionRva);
  std::vector<uint8_t> section(static_cast<std::size_t>(layout.size), 0);
  std::copy(layout.directory.begin(), layout.directory.end(), section.begin());
  for (std::size_t i = 0; i < layout.order.size(); ++i)
    std::copy(layout.order[i]->data.begin(), layout.order[i]->data.end(),
              section.begin() + static_cast<std::ptrdiff_t>(layout.offsets[i]));
  return section;
}

bool WritePeWithResources(const std::vector<uint8_t>& executable, const std::vector<ResourceEntry>& entries,
                          const FileBytesReader& stored, const PeOutput& output, std::string* error) {
  PeImage image;
  if (!ParsePeImage(executable.data(), executable.size(), &image, error)) return false;
  if (image.dataDirectoryCount <= kPeResourceDirectory) {
    *error = "l'exécutable n'a pas d'entrée de répertoire pour les ressources";
    return false;
  }

  // The file is the headers, the sections' raw data, then a tail that no
  // section maps (the symbol table and its strings, a signature). The new
  // section goes before the tail, so that every section's bytes stay within
  // the image's extent, as linkers lay them out.
  uint64_t rawEnd = image.sizeOfHeaders;
  uint64_t imageEnd = 0;
  for (const PeSection& section : image.sections) {
    if (section.rawSize != 0) rawEnd = std::max<uint64_t>(rawEnd, uint64_t{section.rawOffset} + section.rawSize);
    imageEnd = std::max<uint64_t>(imageEnd, uint64_t{section.virtualAddress} +
                                                std::max(section.virtualSize, section.rawSize));
  }
  if (rawEnd > executable.size()) {
    *error = "les sections de l'exécutable dépassent la fin du fichier";
    return false;
  }
  uint64_t tailSize = executable.size() - rawEnd;
  // A signature covers the bytes that change: it is dropped, with its bytes
  // when they end the file, as signing tools place them.
  const PeDataDirectory security = DataDirectory(image, executable.data(), kPeSecurityDirectory);
  if (security.size != 0 && security.address >= rawEnd && uint64_t{security.address} + security.size >= executable.size())
    tailSize = security.address - rawEnd;

  // The section that holds the current resources, if any; rewritten in place
  // when it ends both the image and the sections' bytes.
  const PeDataDirectory resources = DataDirectory(image, executable.data(), kPeResourceDirectory);
  std::size_t oldIndex = image.sections.size();
  if (resources.address != 0) {
    std::size_t ignored = 0;
    FindRvaInFile(image, executable.size(), resources.address, 1, &ignored, &oldIndex);
  }
  bool inPlace = false;
  if (oldIndex + 1 == image.sections.size()) {
    const PeSection& old = image.sections[oldIndex];
    inPlace = uint64_t{old.virtualAddress} + std::max(old.virtualSize, old.rawSize) == imageEnd &&
              uint64_t{old.rawOffset} + old.rawSize == rawEnd &&
              old.rawOffset == AlignUp(old.rawOffset, image.fileAlignment);
  }

  std::size_t headerAt = 0;
  uint32_t rva = 0;
  uint64_t rawOffset = 0;
  uint32_t previousRawSize = 0;
  if (inPlace) {
    const PeSection& old = image.sections[oldIndex];
    headerAt = old.headerOffset;
    rva = old.virtualAddress;
    rawOffset = old.rawOffset;
    previousRawSize = old.rawSize;
  } else {
    headerAt = image.sectionTableOffset + image.sections.size() * kPeSectionHeaderSize;
    uint64_t firstRaw = image.sizeOfHeaders;
    for (const PeSection& section : image.sections)
      if (section.rawSize != 0) firstRaw = std::min<uint64_t>(firstRaw, section.rawOffset);
    if (headerAt + kPeSectionHeaderSize > firstRaw) {
      *error = "pas de place dans les en-têtes de l'exécutable pour une section de plus";
      return false;
    }
    rva = static_cast<uint32_t>(AlignUp(imageEnd, image.sectionAlignment));
    rawOffset = AlignUp(rawEnd, image.fileAlignment);
  }

  const SectionLayout section = SectionBuilder(entries).Build(rva);
  const uint64_t rawSize = AlignUp(section.size, image.fileAlignment);
  const uint64_t sizeOfImage = AlignUp(uint64_t{rva} + section.size, image.sectionAlignment);
  const uint64_t tailStart = rawOffset + rawSize;
  if (tailStart + tailSize > 0xFFFFFFFFu || sizeOfImage > 0xFFFFFFFFu || section.size > 0xFFFFFFFFu) {
    *error = "l'exécutable dépasserait 4 Gio";
    return false;
  }
  // Everything before the new section, its headers set before it is written:
  // only the checksum waits for the end.
  std::vector<uint8_t> file(executable.begin(), executable.begin() + static_cast<std::ptrdiff_t>(std::min(rawOffset, rawEnd)));
  file.resize(static_cast<std::size_t>(rawOffset), 0);

  if (security.size != 0)
    std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(image.dataDirectoryOffset +
                                                           kPeSecurityDirectory * kDataDirectorySize),
                kDataDirectorySize, 0);
  // The symbol table moved with the tail; nothing in it is a file offset.
  const uint32_t symbols = ReadLittle32(&file[image.fileHeaderOffset + kSymbolTableField]);
  if (symbols != 0 && symbols >= rawEnd)
    WriteLittle32(&file[image.fileHeaderOffset + kSymbolTableField], static_cast<uint32_t>(symbols - rawEnd + tailStart));

  MoveDebugDataPointers(image, rawEnd, tailStart, &file);

  WriteSectionHeader(&file, headerAt, kResourceSectionName, static_cast<uint32_t>(section.size), rva,
                     static_cast<uint32_t>(rawSize), static_cast<uint32_t>(rawOffset));
  if (!inPlace) {
    WriteLittle16(&file[image.fileHeaderOffset + kNumberOfSectionsField],
                  static_cast<uint32_t>(image.sections.size() + 1));
    if (oldIndex < image.sections.size() && image.sections[oldIndex].name == kResourceSectionName)
      RenameSection(&file, image.sections[oldIndex], kRetiredSectionName);
  }
  uint8_t* directory = &file[image.dataDirectoryOffset + kPeResourceDirectory * kDataDirectorySize];
  WriteLittle32(directory, rva);
  WriteLittle32(directory + 4, static_cast<uint32_t>(section.size));
  // An appended section only ever extends the image; a section rewritten in
  // place is the last one, so its end is the image's end.
  const uint64_t newSizeOfImage = inPlace ? sizeOfImage : std::max<uint64_t>(sizeOfImage, image.sizeOfImage);
  WriteLittle32(&file[image.optionalHeaderOffset + kSizeOfImageField], static_cast<uint32_t>(newSizeOfImage));
  uint8_t* initialised = &file[image.optionalHeaderOffset + kSizeOfInitializedDataField];
  WriteLittle32(initialised, static_cast<uint32_t>(ReadLittle32(initialised) - previousRawSize + rawSize));

  OutputStream out{output, PeChecksumSum(), error};
  out.checksum.skip = ChecksumOffset(image);
  if (!Put(&out, file.data(), file.size()) || !PutSection(&out, section, stored) ||
      !PutZeros(&out, rawSize - section.size) || !Put(&out, executable.data() + rawEnd, static_cast<std::size_t>(tailSize)))
    return false;
  if (image.checksum == 0) return true;
  uint8_t checksum[4];
  WriteLittle32(checksum, FinishPeChecksum(out.checksum));
  return output.rewrite(ChecksumOffset(image), checksum, sizeof checksum, error);
}

bool ReplacePeResources(const std::vector<uint8_t>& executable, const std::vector<ResourceEntry>& entries,
                        std::vector<uint8_t>* output, std::string* error) {
  std::vector<uint8_t> file;
  PeOutput toMemory;
  toMemory.append = [&file](const uint8_t* bytes, std::size_t count, std::string*) {
    file.insert(file.end(), bytes, bytes + count);
    return true;
  };
  toMemory.rewrite = [&file](uint64_t at, const uint8_t* bytes, std::size_t count, std::string*) {
    std::copy(bytes, bytes + count, file.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  };
  if (!WritePeWithResources(executable, entries, nullptr, toMemory, error)) return false;
  *output = std::move(file);
  return true;
}

}  // namespace vidod
