// The layout of a Windows executable (PE32 or PE32+) as far as its resources
// need it: headers, section table, data directories. Every offset is checked
// against the file, so a damaged file is refused, never read past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vidod {

constexpr std::size_t kPeSectionHeaderSize = 40;
constexpr uint32_t kPeResourceDirectory = 2;
constexpr uint32_t kPeSecurityDirectory = 4;

struct PeSection {
  std::string name;  // as stored, up to 8 bytes ("/4" for a long name)
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
  uint32_t characteristics = 0;
  std::size_t headerOffset = 0;  // of its entry in the section table
};

struct PeDataDirectory {
  uint32_t address = 0;  // an RVA, but a file offset for the security directory
  uint32_t size = 0;
};

struct PeImage {
  bool pe32Plus = false;
  std::size_t fileHeaderOffset = 0;      // COFF header, after "PE\0\0"
  std::size_t optionalHeaderOffset = 0;
  uint32_t sectionAlignment = 0;
  uint32_t fileAlignment = 0;
  uint32_t sizeOfImage = 0;
  uint32_t sizeOfHeaders = 0;
  uint32_t checksum = 0;
  std::size_t dataDirectoryOffset = 0;
  uint32_t dataDirectoryCount = 0;
  std::size_t sectionTableOffset = 0;
  std::vector<PeSection> sections;
};

// Reads the headers and the section table. False with a French *error for a
// file that is not a PE image or whose headers do not fit in it.
bool ParsePeImage(const uint8_t* data, std::size_t size, PeImage* image, std::string* error);

// Directory number index; zeroes when the image has fewer directories.
PeDataDirectory DataDirectory(const PeImage& image, const uint8_t* data, uint32_t index);

// The section whose raw data holds the RVA range [rva, rva + length), and the
// file offset of rva; false when no section holds all of it in the file.
bool FindRvaInFile(const PeImage& image, std::size_t fileSize, uint32_t rva, uint32_t length,
                   std::size_t* offset, std::size_t* sectionIndex = nullptr);

// The image checksum as the Windows loader computes it for drivers and
// system files: 16-bit sums folded with carries, the field itself skipped,
// plus the file length.
uint32_t ComputePeChecksum(const std::vector<uint8_t>& file, const PeImage& image);
std::size_t ChecksumOffset(const PeImage& image);

// The same sum taken over a file written piece by piece, in order: the
// field at skip (the checksum's own) is left out wherever the pieces cut.
struct PeChecksumSum {
  uint64_t skip = 0;
  uint64_t length = 0;  // bytes added so far
  uint32_t sum = 0;
  int pendingLow = -1;  // the low byte of a word cut by a piece's end
};
void AddToPeChecksum(PeChecksumSum* sum, const uint8_t* bytes, std::size_t count);
uint32_t FinishPeChecksum(const PeChecksumSum& sum);

uint16_t ReadLittle16(const uint8_t* at);
uint32_t ReadLittle32(const uint8_t* at);
void WriteLittle16(uint8_t* at, uint32_t value);
void WriteLittle32(uint8_t* at, uint32_t value);

}  // namespace vidod
