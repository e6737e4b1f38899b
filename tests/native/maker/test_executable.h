// Small but complete PE32+ executables built in memory, for the tests of the
// resource reader and writer and of the commands that take a player: headers,
// a code section, a resource section, and on request a section after it and
// an unmapped tail, as linkers lay out a player with debugging symbols.
#pragma once

#include <cstdint>
#include <vector>

#include "maker/pe_resources.h"

namespace vidod {
namespace makertest {

struct TestExecutableLayout {
  bool sectionAfterResources = false;  // a ".reloc" after ".rsrc"
  std::size_t tailSize = 0;            // unmapped bytes at the end, as a symbol table
  bool withChecksum = false;
  std::size_t signatureSize = 0;       // a certificate after the tail
  uint32_t sizeOfHeaders = 0x400;
};

// Offsets of the test executable's parts, for tests that damage them.
constexpr std::size_t kTestPeOffset = 0x40;
constexpr std::size_t kTestOptionalHeaderOffset = kTestPeOffset + 24;
constexpr std::size_t kTestDataDirectoryOffset = kTestOptionalHeaderOffset + 112;
constexpr std::size_t kTestSectionTableOffset = kTestOptionalHeaderOffset + 240;
constexpr uint32_t kTestResourceRva = 0x2000;
constexpr uint32_t kTestResourceFileOffset = 0x600;

std::vector<uint8_t> MakeTestExecutable(const std::vector<ResourceEntry>& resources,
                                        const TestExecutableLayout& layout = TestExecutableLayout());

// The player's own resources as the player carries them (dialog templates
// 1001 and 1002, cursor 1003, manifest, version), in language 1033.
std::vector<ResourceEntry> PlayerOwnResources();
// MakeTestExecutable of them: what build accepts as a player.
std::vector<uint8_t> MakeTestPlayer(const TestExecutableLayout& layout = TestExecutableLayout());

ResourceEntry TestResource(const ResourceName& type, uint16_t id, uint16_t language, const std::vector<uint8_t>& data);

}  // namespace makertest
}  // namespace vidod
