// The resource reader on any bytes: a refusal says why and gives nothing; a
// success stays within the reader's limits, holds no more memory than the
// file's size and a few megabytes (every name copied into every resource
// counted), and the resources' bytes together are no more than the file's.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "maker/pe_resources.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr std::size_t kMemoryAboveFileSize = 4u << 20;

bool WithinLimits(const ResourceName& name) { return name.text.size() <= kMaxResourceNameLength; }

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> file(data, data + size);
  std::vector<ResourceEntry> entries;
  std::string error;
  if (!ReadPeResources(file.data(), file.size(), &entries, &error)) {
    Check(entries.empty(), "a refused file gives no resources");
    Check(!error.empty(), "a refusal says why");
    return 0;
  }
  Check(entries.size() <= kMaxResourceEntries, "no more resources than the limit");
  std::size_t held = 0, resourceBytes = 0;
  for (const ResourceEntry& entry : entries) {
    Check(WithinLimits(entry.type) && WithinLimits(entry.name), "names within the limit");
    resourceBytes += entry.data.size();
    held += sizeof entry + entry.data.size() + sizeof(char16_t) * (entry.type.text.size() + entry.name.text.size());
  }
  Check(resourceBytes <= size, "distinct resources share no bytes");
  Check(held <= size + kMemoryAboveFileSize, "the resources hold no more than the file and a few megabytes");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
