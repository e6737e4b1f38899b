#include "maker/pe_resources.h"

#include <algorithm>
#include <set>

#include "maker/pe_image.h"

namespace vidod {
namespace {

constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr int kTypeLevel = 0;
constexpr int kLanguageLevel = 2;
const char* const kLevelNames[] = {"types", "noms", "langues"};
constexpr uint64_t kMostHeaderBytes = 64 * 1024;

// The directory read table by table through read, each piece checked to lie
// within the region (the resource section from the root on) before it is
// fetched. With copyData each resource's bytes are copied; without, the
// entry only says where they lie.
class ResourceTreeReader {
 public:
  ResourceTreeReader(const FileBytesReader& read, std::size_t fileSize, const PeImage& image, std::size_t rootOffset,
                     std::size_t regionSize, bool copyData, std::vector<ResourceEntry>* entries, std::string* error)
      : read_(read),
        fileSize_(fileSize),
        image_(image),
        root_(rootOffset),
        regionSize_(regionSize),
        copyData_(copyData),
        entries_(entries),
        error_(error) {}

  bool Read() {
    ResourceEntry path;
    return ReadDirectory(0, kTypeLevel, &path);
  }

 private:
  bool Fail(const std::string& why) {
    *error_ = "répertoire des ressources endommagé : " + why;
    return false;
  }

  // A directory larger than any quiz's: a damaged file, or one made to
  // exhaust the memory of whoever reads it.
  bool TooLarge(const std::string& what) {
    *error_ = what + " : un exécutable de quiz en a bien moins ; ce n'est pas un quiz Vidod, ou il est endommagé "
              "(reconstruisez-le à partir de sa source)";
    return false;
  }

  bool InRegion(uint64_t offset, uint64_t length) const {
    return offset <= regionSize_ && length <= regionSize_ - offset;
  }

  // Bytes of the region, already checked to lie in it.
  bool Fetch(uint64_t offset, std::size_t length, uint8_t* out) {
    if (length == 0 || read_(root_ + offset, length, out)) return true;
    *error_ = "erreur de lecture du répertoire des ressources";
    return false;
  }

  bool ReadName(uint32_t field, ResourceName* name) {
    if (!(field & kHighBit)) {
      if (field > 0xFFFF) return Fail("numéro de ressource " + std::to_string(field) + " hors de 0 à 65535");
      *name = ResourceName::Number(static_cast<uint16_t>(field));
      return true;
    }
    const uint32_t offset = field & ~kHighBit;
    if (!InRegion(offset, 2)) return Fail("nom hors de la section");
    uint8_t lengthField[2];
    if (!Fetch(offset, 2, lengthField)) return false;
    const uint16_t length = ReadLittle16(lengthField);
    if (!InRegion(uint64_t{offset} + 2, uint64_t{length} * 2)) return Fail("nom tronqué");
    if (length > kMaxResourceNameLength)
      return TooLarge("nom de ressource de " + std::to_string(length) + " caractères (au plus " +
                      std::to_string(kMaxResourceNameLength) + ")");
    std::vector<uint8_t> units(std::size_t{length} * 2);
    if (!Fetch(uint64_t{offset} + 2, units.size(), units.data())) return false;
    name->isString = true;
    name->id = 0;
    name->text.clear();
    for (uint16_t i = 0; i < length; ++i) name->text.push_back(static_cast<char16_t>(ReadLittle16(&units[2 * i])));
    return true;
  }

  bool ReadDirectory(uint32_t offset, int level, ResourceEntry* path) {
    if (!visited_.insert(offset).second) return Fail("une table est atteinte deux fois");
    if (!InRegion(offset, kDirectoryHeaderSize)) return Fail("table des " + std::string(kLevelNames[level]) + " hors de la section");
    uint8_t header[kDirectoryHeaderSize];
    if (!Fetch(offset, kDirectoryHeaderSize, header)) return false;
    const uint32_t count = uint32_t{ReadLittle16(header + 12)} + ReadLittle16(header + 14);
    if (!InRegion(uint64_t{offset} + kDirectoryHeaderSize, uint64_t{count} * kDirectoryEntrySize))
      return Fail("entrées de la table des " + std::string(kLevelNames[level]) + " hors de la section");
    directoryEntries_ += count;
    if (directoryEntries_ > kMaxResourceDirectoryEntries)
      return TooLarge("plus de " + std::to_string(kMaxResourceDirectoryEntries) +
                      " entrées dans le répertoire des ressources");
    std::vector<uint8_t> table(std::size_t{count} * kDirectoryEntrySize);
    if (!Fetch(uint64_t{offset} + kDirectoryHeaderSize, table.size(), table.data())) return false;
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* entry = &table[i * kDirectoryEntrySize];
      const uint32_t nameField = ReadLittle32(entry);
      const uint32_t target = ReadLittle32(entry + 4);
      const bool isTable = (target & kHighBit) != 0;
      if (level == kTypeLevel) {
        if (!ReadName(nameField, &path->type)) return false;
      } else if (level < kLanguageLevel) {
        if (!ReadName(nameField, &path->name)) return false;
      } else {
        if (nameField > 0xFFFF) return Fail("langue " + std::to_string(nameField) + " invalide");
        path->language = static_cast<uint16_t>(nameField);
      }
      if (level < kLanguageLevel) {
        if (!isTable) return Fail("donnée à la place d'une table des " + std::string(kLevelNames[level + 1]));
        if (!ReadDirectory(target & ~kHighBit, level + 1, path)) return false;
      } else {
        if (isTable) return Fail("table à la place d'une donnée (ressource " + DescribeResourceName(path->type) +
                                 " " + DescribeResourceName(path->name) + ")");
        if (!ReadData(target, path)) return false;
      }
    }
    return true;
  }

  bool ReadData(uint32_t offset, ResourceEntry* path) {
    if (!visited_.insert(offset).second) return Fail("une donnée est atteinte deux fois");
    if (entries_->size() == kMaxResourceEntries)
      return TooLarge("plus de " + std::to_string(kMaxResourceEntries) + " ressources");
    if (!InRegion(offset, kDataEntrySize)) return Fail("entrée de donnée hors de la section");
    uint8_t entry[kDataEntrySize];
    if (!Fetch(offset, kDataEntrySize, entry)) return false;
    const uint32_t rva = ReadLittle32(entry);
    const uint32_t size = ReadLittle32(entry + 4);
    std::size_t at = 0;
    if (!FindRvaInFile(image_, fileSize_, rva, size, &at))
      return Fail("données de la ressource " + DescribeResourceName(path->type) + " " +
                  DescribeResourceName(path->name) + " hors du fichier");
    // Distinct resources never share bytes: more data than the file holds
    // means entries that overlap, which a damaged file could use to make the
    // reader copy without end.
    total_ += size;
    if (total_ > fileSize_) return Fail("les données des ressources dépassent la taille du fichier");
    path->codePage = ReadLittle32(entry + 8);
    ResourceEntry found = *path;
    if (copyData_) {
      found.data.resize(size);
      if (size != 0 && !read_(at, size, found.data.data())) {
        *error_ = "erreur de lecture des données de la ressource " + DescribeResourceName(path->type) + " " +
                  DescribeResourceName(path->name);
        return false;
      }
    } else {
      found.stored = true;
      found.offset = at;
      found.size = size;
    }
    entries_->push_back(std::move(found));
    return true;
  }

  const FileBytesReader& read_;
  std::size_t fileSize_;
  const PeImage& image_;
  uint64_t root_;
  std::size_t regionSize_;
  bool copyData_;
  std::vector<ResourceEntry>* entries_;
  std::string* error_;
  std::set<uint32_t> visited_;
  uint64_t total_ = 0;
  std::size_t directoryEntries_ = 0;
};

// The directory of a file whose first headerBytes bytes are in headers.
bool ReadDirectoryOf(const uint8_t* headers, std::size_t headerBytes, const FileBytesReader& read,
                     std::size_t fileSize, bool copyData, std::vector<ResourceEntry>* entries, std::string* error) {
  entries->clear();
  PeImage image;
  if (!ParsePeImage(headers, headerBytes, &image, error)) return false;
  const PeDataDirectory directory = DataDirectory(image, headers, kPeResourceDirectory);
  if (directory.address == 0 && directory.size == 0) return true;
  std::size_t rootOffset = 0;
  std::size_t sectionIndex = 0;
  if (!FindRvaInFile(image, fileSize, directory.address, kDirectoryHeaderSize, &rootOffset, &sectionIndex)) {
    *error = "répertoire des ressources hors des sections du fichier";
    return false;
  }
  const PeSection& section = image.sections[sectionIndex];
  const std::size_t regionSize = section.rawOffset + std::size_t{section.rawSize} - rootOffset;
  std::vector<ResourceEntry> found;
  ResourceTreeReader reader(read, fileSize, image, rootOffset, std::min(regionSize, fileSize - rootOffset), copyData,
                            &found, error);
  if (!reader.Read()) return false;
  *entries = std::move(found);
  return true;
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

ResourceName ResourceName::Number(uint16_t id) {
  ResourceName name;
  name.id = id;
  return name;
}

ResourceName ResourceName::Text(const std::string& ascii) {
  ResourceName name;
  name.isString = true;
  for (char c : ascii) name.text.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return name;
}

bool operator==(const ResourceName& a, const ResourceName& b) {
  return a.isString == b.isString && (a.isString ? a.text == b.text : a.id == b.id);
}
bool operator!=(const ResourceName& a, const ResourceName& b) { return !(a == b); }

bool operator<(const ResourceName& a, const ResourceName& b) {
  if (a.isString != b.isString) return a.isString;
  return a.isString ? a.text < b.text : a.id < b.id;
}

bool NameIs(const ResourceName& name, const char* ascii) {
  if (!name.isString) return false;
  std::size_t i = 0;
  for (; ascii[i] != 0; ++i)
    if (i >= name.text.size() || Upper(name.text[i]) != Upper(static_cast<char16_t>(ascii[i]))) return false;
  return i == name.text.size();
}

std::string DescribeResourceName(const ResourceName& name) {
  if (!name.isString) return "#" + std::to_string(name.id);
  std::string text;
  for (char16_t c : name.text) text += c < 0x80 ? static_cast<char>(c) : '?';
  return "« " + text + " »";
}

bool ReadPeResources(const uint8_t* data, std::size_t size, std::vector<ResourceEntry>* entries,
                     std::string* error) {
  // Every offset handed to the reader has been checked against size.
  const FileBytesReader read = [data](uint64_t offset, std::size_t length, uint8_t* out) {
    std::copy(data + offset, data + offset + length, out);
    return true;
  };
  return ReadDirectoryOf(data, size, read, size, true, entries, error);
}

bool ReadPeResourceDirectory(const FileBytesReader& read, uint64_t fileSize, std::vector<ResourceEntry>* entries,
                             std::string* error) {
  entries->clear();
  // The headers of any executable the tools write fit well within this.
  std::vector<uint8_t> headers(static_cast<std::size_t>(std::min<uint64_t>(fileSize, kMostHeaderBytes)));
  if (!read(0, headers.size(), headers.data())) {
    *error = "erreur de lecture des en-têtes";
    return false;
  }
  return ReadDirectoryOf(headers.data(), headers.size(), read, static_cast<std::size_t>(fileSize), false, entries,
                         error);
}

const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries, const ResourceName& type,
                                  const ResourceName& name, uint16_t language) {
  for (const ResourceEntry& entry : entries)
    if (entry.type == type && entry.name == name && entry.language == language) return &entry;
  return nullptr;
}

const ResourceEntry* FindResourceEntryAnyLanguage(const std::vector<ResourceEntry>& entries, const ResourceName& type,
                                             const ResourceName& name) {
  const ResourceEntry* found = nullptr;
  for (const ResourceEntry& entry : entries) {
    if (entry.type != type || entry.name != name) continue;
    if (!found || entry.language < found->language) found = &entry;
  }
  return found;
}

}  // namespace vidod
