// The resources of a Windows executable as a flat list, read from its
// resource directory (types, then names, then languages) with every offset
// checked, so that a damaged file is refused with a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vidod {

constexpr uint16_t kResourceTypeCursor = 1;
constexpr uint16_t kResourceTypeDialog = 5;
constexpr uint16_t kResourceTypeRawData = 10;  // RT_RCDATA
constexpr uint16_t kResourceTypeGroupCursor = 12;
constexpr uint16_t kResourceTypeVersion = 16;
constexpr uint16_t kResourceTypeManifest = 24;
constexpr uint16_t kLanguageNeutral = 0;

// What the reader takes from one executable, counted before anything is
// copied. A quiz has at most 98 resources of its own (two blobs, 96
// pictures) and the player about ten, all named by numbers or by words of a
// few letters ("PATCH", "IMG").
constexpr std::size_t kMaxResourceEntries = 4096;
constexpr std::size_t kMaxResourceDirectoryEntries = 4 * kMaxResourceEntries;  // types, names and languages
constexpr std::size_t kMaxResourceNameLength = 256;  // UTF-16 units

// A resource type or name: a number, or a string (UTF-16 as stored).
struct ResourceName {
  bool isString = false;
  uint16_t id = 0;
  std::u16string text;

  static ResourceName Number(uint16_t id);
  // ASCII names only, as the quiz's types are.
  static ResourceName Text(const std::string& ascii);
};
bool operator==(const ResourceName& a, const ResourceName& b);
bool operator!=(const ResourceName& a, const ResourceName& b);
// Strings first, each in the order the loader's binary search expects (code
// unit by code unit), then numbers ascending.
bool operator<(const ResourceName& a, const ResourceName& b);
// True for the string name given in ASCII, compared as the loader compares a
// name it was given: letter case ignored.
bool NameIs(const ResourceName& name, const char* ascii);
// "PATCH", "#104" for messages.
std::string DescribeResourceName(const ResourceName& name);

struct ResourceEntry {
  ResourceName type;
  ResourceName name;
  uint16_t language = kLanguageNeutral;
  uint32_t codePage = 0;
  std::vector<uint8_t> data;
  // Bytes kept out of memory: when stored is set, data is empty and the
  // resource's size bytes lie at offset in a file its reader or writer
  // names (the executable read, a build's spool).
  bool stored = false;
  uint64_t offset = 0;
  uint32_t size = 0;

  uint32_t Size() const { return stored ? size : static_cast<uint32_t>(data.size()); }
};

// Reads length bytes at offset of a file into out; false when it cannot.
using FileBytesReader = std::function<bool(uint64_t offset, std::size_t length, uint8_t* out)>;

// Reads every resource of the executable in data. An executable without a
// resource directory gives an empty list. False with a French *error for a
// file that is not a PE image or whose directory is damaged: an offset out
// of its section, a level of the wrong kind, a table or data entry reached
// twice, data outside the file; or that passes the limits above. The memory
// taken stays below the file's size plus a few megabytes.
bool ReadPeResources(const uint8_t* data, std::size_t size, std::vector<ResourceEntry>* entries,
                     std::string* error);
// The same read through read from a file of fileSize bytes, with the same
// checks, but no resource's bytes copied: each entry comes stored, its
// offset the file's. Only the headers and the directory are read.
bool ReadPeResourceDirectory(const FileBytesReader& read, uint64_t fileSize, std::vector<ResourceEntry>* entries,
                             std::string* error);

// The entry with that type, name and language; nullptr when there is none.
const ResourceEntry* FindResourceEntry(const std::vector<ResourceEntry>& entries, const ResourceName& type,
                                  const ResourceName& name, uint16_t language);
// The entry with that type and name that the player's lookup finds: the
// language-neutral one, else the first by language. nullptr when none.
const ResourceEntry* FindResourceEntryAnyLanguage(const std::vector<ResourceEntry>& entries, const ResourceName& type,
                                             const ResourceName& name);

}  // namespace vidod
