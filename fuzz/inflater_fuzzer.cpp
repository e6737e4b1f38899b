// The inflater on zlib streams laid out as a PNG's IDAT run. Input: a
// big-endian 16-bit size of the inflated-data buffer, the layout byte of the
// IDAT run (fuzz/idat_container.h), then the stream. Besides staying inside
// its buffers and allocating nothing, the inflater is compared with zlib:
// whenever zlib inflates the stream to exactly the buffer's size (checksums
// verified), the inflater must succeed with the same bytes; and whenever both
// succeed, their bytes agree.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/heap.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/idat_container.h"
#include "pictures/inflater.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr std::size_t kSizeBytes = 2;
constexpr std::size_t kHeaderBytes = kSizeBytes + 1;
constexpr uint8_t kUnwrittenByte = 0xA5;

// True when zlib inflates the whole stream, checksum included, to exactly
// expected.size() bytes, which it leaves in expected.
bool InflateWithZlib(const uint8_t* stream, std::size_t size, std::vector<uint8_t>* expected) {
  z_stream z;
  std::memset(&z, 0, sizeof z);
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(stream);
  z.avail_in = static_cast<uInt>(size);
  z.next_out = expected->data();
  z.avail_out = static_cast<uInt>(expected->size());
  const int result = inflate(&z, Z_FINISH);
  const bool whole = result == Z_STREAM_END && z.avail_out == 0;
  inflateEnd(&z);
  return whole;
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  if (size < kHeaderBytes) return 0;
  const std::size_t inflatedSize = (std::size_t{data[0]} << 8) | data[1];
  if (inflatedSize == 0) return 0;  // every image row holds at least its filter byte
  const uint8_t* stream = data + kHeaderBytes;
  const std::size_t streamSize = size - kHeaderBytes;
  const std::vector<uint8_t> container =
      fuzz::BuildIdatContainer(stream, streamSize, data[kSizeBytes]);

  std::vector<uint8_t> inflated(inflatedSize, kUnwrittenByte);
  PngDecoderState state;
  PngDecoder::Reset(&state);
  state.sourceBytes = container.data();
  state.sourceSize = static_cast<uint32_t>(container.size());
  state.firstImageData = container.data() + fuzz::kPngSignatureSize;
  state.inflatedData = inflated.data();
  state.inflatedSize = static_cast<uint32_t>(inflatedSize);

  const long attempts = AllocationAttemptCount();
  const bool inflatedOk = Inflate(&state);
  Check(AllocationAttemptCount() == attempts, "the inflater allocates nothing");
  Check(state.lastError == (inflatedOk ? kPngErrorNone : kPngErrorNotPng),
        "last error 0 on success, 0x2000 on failure");

  std::vector<uint8_t> expected(inflatedSize);
  if (InflateWithZlib(stream, streamSize, &expected)) {
    Check(inflatedOk, "a stream that zlib inflates to the buffer's size is inflated");
    Check(inflated == expected, "the inflated bytes are zlib's");
  }
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
