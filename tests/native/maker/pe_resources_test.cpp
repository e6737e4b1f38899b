#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "maker/pe_image.h"
#include "maker/pe_resource_writer.h"
#include "maker/pe_resources.h"
#include "test_executable.h"

namespace vidod {
namespace {

using makertest::kTestDataDirectoryOffset;
using makertest::kTestResourceFileOffset;
using makertest::kTestSectionTableOffset;
using makertest::MakeTestExecutable;
using makertest::TestExecutableLayout;
using makertest::TestResource;

const ResourceName kPatch = ResourceName::Text("PATCH");
const ResourceName kImg = ResourceName::Text("IMG");
const ResourceName kRawData = ResourceName::Number(kResourceTypeRawData);
const ResourceName kDialog = ResourceName::Number(kResourceTypeDialog);

std::vector<ResourceEntry> SampleResources() {
  return {
      TestResource(kDialog, 1001, 1033, std::vector<uint8_t>(54, 1)),
      TestResource(kPatch, 104, 0, {1, 2, 3}),
      TestResource(kImg, 401, 0, std::vector<uint8_t>(1000, 9)),
      TestResource(kRawData, 402, 0, {0x89, 'P', 'N', 'G'}),
  };
}

std::vector<ResourceEntry> ReadOrFail(const std::vector<uint8_t>& file) {
  std::vector<ResourceEntry> entries;
  std::string error;
  EXPECT_TRUE(ReadPeResources(file.data(), file.size(), &entries, &error)) << error;
  return entries;
}

// Entries compared on what the loader sees.
void ExpectSameResources(std::vector<ResourceEntry> got, std::vector<ResourceEntry> wanted) {
  const auto order = [](const ResourceEntry& a, const ResourceEntry& b) {
    if (a.type != b.type) return a.type < b.type;
    if (a.name != b.name) return a.name < b.name;
    return a.language < b.language;
  };
  std::sort(got.begin(), got.end(), order);
  std::sort(wanted.begin(), wanted.end(), order);
  ASSERT_EQ(got.size(), wanted.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].type, wanted[i].type) << i;
    EXPECT_EQ(got[i].name, wanted[i].name) << i;
    EXPECT_EQ(got[i].language, wanted[i].language) << i;
    EXPECT_EQ(got[i].data, wanted[i].data) << DescribeResourceName(got[i].type) << " " << DescribeResourceName(got[i].name);
  }
}

PeImage ParseOrFail(const std::vector<uint8_t>& file) {
  PeImage image;
  std::string error;
  EXPECT_TRUE(ParsePeImage(file.data(), file.size(), &image, &error)) << error;
  return image;
}

TEST(PeResourcesTest, ReadsBackWhatWasWrittenInTheLoadersOrder) {
  const std::vector<uint8_t> file = MakeTestExecutable(SampleResources());
  const std::vector<ResourceEntry> entries = ReadOrFail(file);
  ExpectSameResources(entries, SampleResources());
  // Named types come first, each level sorted, as the loader's binary search needs.
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(NameIs(entries[0].type, "img"));
  EXPECT_TRUE(NameIs(entries[1].type, "PATCH"));
  EXPECT_EQ(entries[2].type, kDialog);
  EXPECT_EQ(entries[3].type, kRawData);
  EXPECT_FALSE(NameIs(entries[0].type, "IM"));
  EXPECT_EQ(FindResourceEntryAnyLanguage(entries, kPatch, ResourceName::Number(104))->data, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(FindResourceEntryAnyLanguage(entries, kPatch, ResourceName::Number(105)), nullptr);
}

TEST(PeResourcesTest, AnExecutableWithoutResourcesHasNone) {
  std::vector<uint8_t> file = MakeTestExecutable(SampleResources());
  std::fill_n(file.begin() + kTestDataDirectoryOffset + 16, 8, 0);
  EXPECT_TRUE(ReadOrFail(file).empty());
}

struct Damage {
  const char* what;
  std::function<void(std::vector<uint8_t>*)> apply;
  const char* expected;  // part of the error
};

void Put32(std::vector<uint8_t>* file, std::size_t at, uint32_t value) { WriteLittle32(file->data() + at, value); }
void Put16(std::vector<uint8_t>* file, std::size_t at, uint32_t value) { WriteLittle16(file->data() + at, value); }

TEST(PeResourcesTest, DamagedExecutablesAreRefusedWithAReason) {
  // The resource section of the sample starts with the type table: 2 named
  // entries (IMG, PATCH), then 2 numbered ones. The data entries come after
  // the tables and names; the 1000-byte picture's is found by its size.
  const std::vector<uint8_t> sound = MakeTestExecutable(SampleResources());
  const std::size_t root = kTestResourceFileOffset;
  const std::size_t firstTypeEntry = root + 16;
  std::size_t pictureEntry = 0;
  for (std::size_t at = root; at + 16 <= sound.size(); at += 8)
    if (ReadLittle32(&sound[at + 4]) == 1000 && ReadLittle32(&sound[at]) > makertest::kTestResourceRva) pictureEntry = at;
  ASSERT_NE(pictureEntry, 0u);
  const Damage cases[] = {
      // Nothing at all.
      {"empty", [](std::vector<uint8_t>* f) { f->clear(); }, "MZ"},
      // Not an executable.
      {"no MZ", [](std::vector<uint8_t>* f) { (*f)[0] = 'X'; }, "MZ"},
      // Cut inside the DOS header.
      {"short DOS header", [](std::vector<uint8_t>* f) { f->resize(40); }, "MZ"},
      // The PE header pointer leads past the end.
      {"PE pointer past end", [](std::vector<uint8_t>* f) { Put32(f, 0x3C, 0x7FFFFFF0); }, "PE"},
      // A DOS program: no PE signature.
      {"no PE signature", [](std::vector<uint8_t>* f) { (*f)[makertest::kTestPeOffset] = 'N'; }, "PE"},
      // An optional header too short for its data directories.
      {"tiny optional header", [](std::vector<uint8_t>* f) { Put16(f, makertest::kTestPeOffset + 4 + 16, 8); }, "tronqué"},
      // Neither PE32 nor PE32+.
      {"unknown magic", [](std::vector<uint8_t>* f) { Put16(f, makertest::kTestOptionalHeaderOffset, 0x107); }, "inconnu"},
      // A file alignment of 3 bytes.
      {"bad alignment", [](std::vector<uint8_t>* f) { Put32(f, makertest::kTestOptionalHeaderOffset + 36, 3); }, "alignements"},
      // More sections than the file can hold headers for.
      {"section table past end", [](std::vector<uint8_t>* f) { Put16(f, makertest::kTestPeOffset + 6, 0xFFFF); }, "sections"},
      // The resource directory points at no section.
      {"directory outside sections", [](std::vector<uint8_t>* f) { Put32(f, kTestDataDirectoryOffset + 16, 0x900000); }, "hors des sections"},
      // The section's bytes are cut off by the end of the file.
      {"section cut short", [](std::vector<uint8_t>* f) { f->resize(kTestResourceFileOffset + 8); }, "hors des sections"},
      // The type table claims more entries than the section holds.
      {"entry count too large", [root](std::vector<uint8_t>* f) { Put16(f, root + 14, 0xFFFF); }, "entrées de la table des types"},
      // A type name whose offset leaves the section.
      {"name outside", [firstTypeEntry](std::vector<uint8_t>* f) { Put32(f, firstTypeEntry, 0x8000FFF0); }, "nom hors"},
      // A type name longer than the section.
      {"name too long", [firstTypeEntry](std::vector<uint8_t>* f) {
         const uint32_t offset = ReadLittle32(f->data() + firstTypeEntry) & 0x7FFFFFFF;
         Put16(f, kTestResourceFileOffset + offset, 0xFFFF);
       }, "nom tronqué"},
      // A type entry leading back to the type table: a loop.
      {"loop", [firstTypeEntry](std::vector<uint8_t>* f) { Put32(f, firstTypeEntry + 4, 0x80000000); }, "deux fois"},
      // A type entry leading to data instead of a table of names.
      {"data at type level", [firstTypeEntry](std::vector<uint8_t>* f) {
         Put32(f, firstTypeEntry + 4, ReadLittle32(f->data() + firstTypeEntry + 4) & 0x7FFFFFFF);
       }, "donnée à la place"},
      // A numbered type above 65535.
      {"number too large", [firstTypeEntry](std::vector<uint8_t>* f) { Put32(f, firstTypeEntry + 16, 0x10000); }, "hors de 0 à 65535"},
      // A subtable outside the section.
      {"subtable outside", [firstTypeEntry](std::vector<uint8_t>* f) { Put32(f, firstTypeEntry + 4, 0x8000FFF0); }, "hors de la section"},
      // A picture whose bytes run past the end of the file.
      {"data past end", [pictureEntry](std::vector<uint8_t>* f) { Put32(f, pictureEntry + 4, 0x7FFFFFFF); }, "hors du fichier"},
      // A picture whose RVA is in no section.
      {"data outside sections", [pictureEntry](std::vector<uint8_t>* f) { Put32(f, pictureEntry, 0x800000); }, "hors du fichier"},
  };
  for (const Damage& damage : cases) {
    std::vector<uint8_t> file = sound;
    damage.apply(&file);
    std::vector<ResourceEntry> entries;
    std::string error;
    EXPECT_FALSE(ReadPeResources(file.data(), file.size(), &entries, &error)) << damage.what;
    EXPECT_NE(error.find(damage.expected), std::string::npos) << damage.what << ": " << error;
    EXPECT_TRUE(entries.empty()) << damage.what;
  }
}

// Resources of one type, numbered from 1.
std::vector<ResourceEntry> ManyResources(const ResourceName& type, std::size_t count) {
  std::vector<ResourceEntry> entries;
  for (std::size_t i = 0; i < count; ++i) entries.push_back(TestResource(type, static_cast<uint16_t>(i + 1), 0, {1}));
  return entries;
}

TEST(PeResourcesTest, DirectoriesPastAQuizsLimitsAreRefusedBeforeCopying) {
  const struct {
    const char* what;
    std::vector<ResourceEntry> resources;
    const char* expected;  // part of the error
  } cases[] = {
      // Every resource of a type carries its name: a long one, shared by
      // thousands, would take gigabytes.
      {"long type name", ManyResources(ResourceName::Text(std::string(kMaxResourceNameLength + 1, 'N')), 2),
       "nom de ressource de 257 caractères (au plus 256)"},
      // Far more resources than a quiz and its player hold.
      {"too many", ManyResources(kImg, kMaxResourceEntries + 1), "plus de 4096 ressources"},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> file = MakeTestExecutable(c.resources);
    std::vector<ResourceEntry> entries;
    std::string error;
    EXPECT_FALSE(ReadPeResources(file.data(), file.size(), &entries, &error)) << c.what;
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.what << ": " << error;
    EXPECT_TRUE(entries.empty()) << c.what;
  }
  // At the limits, everything is read.
  std::vector<ResourceEntry> most = ManyResources(ResourceName::Text(std::string(kMaxResourceNameLength, 'N')),
                                                  kMaxResourceEntries);
  EXPECT_EQ(ReadOrFail(MakeTestExecutable(most)).size(), kMaxResourceEntries);
}

std::vector<ResourceEntry> NewResources() {
  return {
      TestResource(kDialog, 1001, 1033, std::vector<uint8_t>(54, 1)),
      TestResource(kPatch, 104, 0, std::vector<uint8_t>(5000, 7)),
      TestResource(kPatch, 105, 0, {4, 5}),
      TestResource(kImg, 401, 0, std::vector<uint8_t>(20000, 3)),
  };
}

TEST(PeResourceWriterTest, ASectionAfterTheResourcesGetsANewLastSection) {
  TestExecutableLayout layout;
  layout.sectionAfterResources = true;
  layout.tailSize = 18 * 10;
  layout.withChecksum = true;
  const std::vector<uint8_t> original = MakeTestExecutable(SampleResources(), layout);
  const PeImage before = ParseOrFail(original);

  std::vector<uint8_t> written;
  std::string error;
  ASSERT_TRUE(ReplacePeResources(original, NewResources(), &written, &error)) << error;
  ExpectSameResources(ReadOrFail(written), NewResources());

  const PeImage after = ParseOrFail(written);
  ASSERT_EQ(after.sections.size(), before.sections.size() + 1);
  const PeSection& added = after.sections.back();
  EXPECT_EQ(added.name, ".rsrc");
  EXPECT_EQ(after.sections[1].name, ".oldrsrc");
  EXPECT_EQ(added.virtualAddress % after.sectionAlignment, 0u);
  EXPECT_GE(added.virtualAddress, before.sizeOfImage);
  EXPECT_EQ(after.sizeOfImage, (added.virtualAddress + added.virtualSize + 0xFFF) / 0x1000 * 0x1000);
  EXPECT_EQ(added.rawOffset % after.fileAlignment, 0u);
  // The other sections' bytes and headers are untouched.
  const PeSection& reloc = after.sections[2];
  EXPECT_EQ(reloc.rawOffset, before.sections[2].rawOffset);
  EXPECT_TRUE(std::equal(original.begin() + reloc.rawOffset, original.begin() + reloc.rawOffset + reloc.rawSize,
                         written.begin() + reloc.rawOffset));
  // The new bytes come right after the sections' bytes; the symbol table moved behind them.
  EXPECT_EQ(added.rawOffset, reloc.rawOffset + reloc.rawSize);
  const uint32_t symbols = ReadLittle32(&written[makertest::kTestPeOffset + 4 + 8]);
  EXPECT_EQ(symbols, added.rawOffset + added.rawSize);
  EXPECT_TRUE(std::equal(original.end() - 180, original.end(), written.begin() + symbols));
  EXPECT_EQ(written.size(), symbols + 180u);
  const PeDataDirectory directory = DataDirectory(after, written.data(), kPeResourceDirectory);
  EXPECT_EQ(directory.address, added.virtualAddress);
  EXPECT_EQ(directory.size, added.virtualSize);
  EXPECT_EQ(after.checksum, ComputePeChecksum(written, after));
  EXPECT_NE(after.checksum, before.checksum);
}

TEST(PeResourceWriterTest, ALastResourceSectionIsRewrittenInPlace) {
  const std::vector<uint8_t> original = MakeTestExecutable(SampleResources());
  std::vector<uint8_t> once, twice, back;
  std::string error;
  ASSERT_TRUE(ReplacePeResources(original, NewResources(), &once, &error)) << error;
  const PeImage after = ParseOrFail(once);
  ASSERT_EQ(after.sections.size(), 2u);
  EXPECT_EQ(after.sections[1].virtualAddress, makertest::kTestResourceRva);
  EXPECT_EQ(after.sections[1].rawOffset, kTestResourceFileOffset);
  EXPECT_EQ(once.size(), kTestResourceFileOffset + after.sections[1].rawSize);
  ExpectSameResources(ReadOrFail(once), NewResources());
  // Writing again gives the same bytes, and a smaller set shrinks the file again.
  ASSERT_TRUE(ReplacePeResources(once, NewResources(), &twice, &error)) << error;
  EXPECT_EQ(twice, once);
  ASSERT_TRUE(ReplacePeResources(once, SampleResources(), &back, &error)) << error;
  EXPECT_EQ(back.size(), original.size());
  ExpectSameResources(ReadOrFail(back), SampleResources());
  EXPECT_EQ(ParseOrFail(back).sizeOfImage, ParseOrFail(original).sizeOfImage);
}

TEST(PeResourceWriterTest, ASignatureIsDroppedAndFullHeadersRefused) {
  TestExecutableLayout signedLayout;
  signedLayout.sectionAfterResources = true;
  signedLayout.signatureSize = 64;
  const std::vector<uint8_t> signedFile = MakeTestExecutable(SampleResources(), signedLayout);
  std::vector<uint8_t> written;
  std::string error;
  ASSERT_TRUE(ReplacePeResources(signedFile, NewResources(), &written, &error)) << error;
  const PeImage after = ParseOrFail(written);
  EXPECT_EQ(DataDirectory(after, written.data(), kPeSecurityDirectory).size, 0u);
  EXPECT_EQ(written.size(), after.sections.back().rawOffset + after.sections.back().rawSize);

  // Headers that end right after the section table leave no room for one more entry.
  TestExecutableLayout full;
  full.sectionAfterResources = true;
  full.sizeOfHeaders = static_cast<uint32_t>(kTestSectionTableOffset + 3 * kPeSectionHeaderSize);
  const std::vector<uint8_t> crowded = MakeTestExecutable(SampleResources(), full);
  EXPECT_FALSE(ReplacePeResources(crowded, NewResources(), &written, &error));
  EXPECT_NE(error.find("pas de place"), std::string::npos) << error;
  std::vector<uint8_t> notExecutable = {'M', 'Z'};
  EXPECT_FALSE(ReplacePeResources(notExecutable, NewResources(), &written, &error));
}

// Pictures larger than the writer's chunk, of odd sizes, kept in a spool: the
// file written piece by piece is the one written whole, and reading only
// its directory finds every resource where its bytes are.
TEST(PeResourceWriterTest, StoredResourcesAreStreamedByteForByte) {
  TestExecutableLayout layout;
  layout.sectionAfterResources = true;
  layout.tailSize = 181;
  layout.withChecksum = true;
  const std::vector<uint8_t> player = MakeTestExecutable(SampleResources(), layout);
  std::vector<ResourceEntry> whole = NewResources();
  whole.push_back(TestResource(kImg, 402, 0, std::vector<uint8_t>((5 << 19) + 3)));
  whole.push_back(TestResource(kRawData, 403, 0, std::vector<uint8_t>((3 << 20) + 1)));
  for (std::size_t i = 0; i < whole.back().data.size(); ++i) whole.back().data[i] = static_cast<uint8_t>(i * 7 + i / 251);
  for (std::size_t i = 0; i < whole[4].data.size(); ++i) whole[4].data[i] = static_cast<uint8_t>(i / 3);
  std::vector<uint8_t> expected;
  std::string error;
  ASSERT_TRUE(ReplacePeResources(player, whole, &expected, &error)) << error;

  // The pictures moved to a spool, the blobs kept in memory.
  std::vector<uint8_t> spool;
  std::vector<ResourceEntry> spooled = whole;
  for (ResourceEntry& entry : spooled) {
    if (entry.type == kPatch) continue;
    entry.stored = true;
    entry.offset = spool.size();
    entry.size = static_cast<uint32_t>(entry.data.size());
    spool.insert(spool.end(), entry.data.begin(), entry.data.end());
    entry.data.clear();
  }
  const FileBytesReader fromSpool = [&spool](uint64_t offset, std::size_t length, uint8_t* out) {
    std::copy(spool.begin() + static_cast<std::ptrdiff_t>(offset),
              spool.begin() + static_cast<std::ptrdiff_t>(offset + length), out);
    return true;
  };
  std::vector<uint8_t> written;
  std::size_t largestPiece = 0;
  PeOutput output;
  output.append = [&](const uint8_t* bytes, std::size_t count, std::string*) {
    largestPiece = std::max(largestPiece, count);
    written.insert(written.end(), bytes, bytes + count);
    return true;
  };
  output.rewrite = [&](uint64_t at, const uint8_t* bytes, std::size_t count, std::string*) {
    std::copy(bytes, bytes + count, written.begin() + static_cast<std::ptrdiff_t>(at));
    return true;
  };
  ASSERT_TRUE(WritePeWithResources(player, spooled, fromSpool, output, &error)) << error;
  EXPECT_TRUE(written == expected);
  EXPECT_LE(largestPiece, std::size_t{1} << 20);

  const FileBytesReader fromFile = [&written](uint64_t offset, std::size_t length, uint8_t* out) {
    if (offset + length > written.size()) return false;
    std::copy(written.begin() + static_cast<std::ptrdiff_t>(offset),
              written.begin() + static_cast<std::ptrdiff_t>(offset + length), out);
    return true;
  };
  std::vector<ResourceEntry> directory;
  ASSERT_TRUE(ReadPeResourceDirectory(fromFile, written.size(), &directory, &error)) << error;
  for (ResourceEntry& entry : directory) {
    ASSERT_TRUE(entry.stored && entry.data.empty());
    entry.data.assign(written.begin() + static_cast<std::ptrdiff_t>(entry.offset),
                      written.begin() + static_cast<std::ptrdiff_t>(entry.offset + entry.size));
  }
  ExpectSameResources(directory, whole);

  // A spool that cannot be read half-way stops the writing with the resource named.
  const FileBytesReader failing = [&](uint64_t offset, std::size_t length, uint8_t* out) {
    return offset < (1 << 20) && fromSpool(offset, length, out);
  };
  EXPECT_FALSE(WritePeWithResources(player, spooled, failing, output, &error));
  EXPECT_NE(error.find("« IMG » #402"), std::string::npos) << error;
}

}  // namespace
}  // namespace vidod
