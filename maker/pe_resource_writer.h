// Writes a new set of resources into a Windows executable without the
// system's help: a fresh resource section, placed where the old one was when
// it is the last section, else added as a new last section. Its bytes go
// right after the other sections' bytes; what followed them in the file (the
// symbol table, an overlay) moves behind it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "maker/pe_resources.h"

namespace vidod {

// The resource section's bytes for the given entries (held in memory), laid
// out for the RVA sectionRva: the three levels of tables (each sorted as the
// loader's binary search expects), the names, the data entries, then the
// data, each piece aligned to 8 bytes. Entries must be unique by type, name,
// language.
std::vector<uint8_t> BuildResourceSection(const std::vector<ResourceEntry>& entries, uint32_t sectionRva);

// Where a rewritten executable goes: its bytes appended in order, then a few
// of them rewritten (the checksum, known once everything is written). Each
// returns false with a French *error.
struct PeOutput {
  std::function<bool(const uint8_t* bytes, std::size_t count, std::string* error)> append;
  std::function<bool(uint64_t at, const uint8_t* bytes, std::size_t count, std::string* error)> rewrite;
};

// ReplacePeResources written as it goes: the section laid out from the
// entries' sizes, every header set before the first byte is written, the
// bytes of stored entries read through stored a chunk at a time, so that
// no more than a chunk of them is in memory at once.
bool WritePeWithResources(const std::vector<uint8_t>& executable, const std::vector<ResourceEntry>& entries,
                          const FileBytesReader& stored, const PeOutput& output, std::string* error);

// *output is executable with its resources replaced by entries. The resource
// data directory, SizeOfImage and SizeOfInitializedData follow the new
// section; a non-zero checksum is recomputed; a signature is dropped (the
// change would invalidate it anyway). False with a French *error when the
// executable cannot be read or has no room for one more section header.
bool ReplacePeResources(const std::vector<uint8_t>& executable, const std::vector<ResourceEntry>& entries,
                        std::vector<uint8_t>* output, std::string* error);

}  // namespace vidod
