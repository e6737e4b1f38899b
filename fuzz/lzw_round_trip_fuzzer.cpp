// Encoder then decoder: whenever the encoder succeeds, its packed bytes fit
// its output buffer and decode back to exactly the input. Inputs whose packed
// form overflows must fail with -6 without writing past the buffer. The
// encoder is also run with one allocation made to fail.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/heap.h"
#include "fuzz/fuzz_support.h"
#include "lzw/lzw.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr uint32_t kPackedExtra = 1;   // the encoder reports packed + 1
constexpr uint32_t kDecodedExtra = 2;  // the decoder reports decoded + 2

struct Run {
  int32_t result;
  uint8_t* output;
  uint32_t reported;
};

Run Encode(const uint8_t* data, std::size_t size) {
  Run run = {0, nullptr, 0};
  run.result = LzwEncoder::Encode(data, static_cast<uint32_t>(size), &run.output, &run.reported);
  return run;
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  if (size > kLzwMaxInput) return 0;
  const long live = LiveAllocationCount();
  const long attemptsBefore = AllocationAttemptCount();

  const Run packed = Encode(data, size);
  const long encoderAttempts = AllocationAttemptCount() - attemptsBefore;
  Check(packed.result == kLzwOk || packed.result == kLzwShortInput || packed.result == kLzwBadWrite,
        "encoder result is 0, -5 or -6 when memory does not run out");
  Check((size == 0) == (packed.result == kLzwShortInput), "-5 exactly for empty input");
  Check(packed.output != nullptr, "the output buffer is handed over");
  Check(packed.reported >= kPackedExtra && packed.reported - kPackedExtra <= kLzwPackedCapacity,
        "packed length within the output buffer");

  if (packed.result == kLzwOk) {
    Run decoded = {0, nullptr, 0};
    decoded.result = LzwDecoder::Decode(packed.output, packed.reported - kPackedExtra,
                                        &decoded.output, &decoded.reported);
    Check(decoded.result == kLzwOk, "the encoder's stream decodes");
    Check(decoded.reported == size + kDecodedExtra, "decoded length equals the input's");
    Check(std::memcmp(decoded.output, data, size) == 0, "decoded bytes equal the input");
    LzwReleaseOutput(decoded.output);
  }
  LzwReleaseOutput(packed.output);
  fuzz::CheckNoLeak(live, "an encode and decode");

  // Runs are deterministic, so the chosen allocation is reached again; an
  // empty input ends before its dictionary strings, but after its storage.
  SetAllocationFailureAfter(static_cast<long>(fuzz::InputHash(data, size) % encoderAttempts));
  const Run failed = Encode(data, size);
  SetAllocationFailureAfter(fuzz::kNoAllocationFailure);
  Check(failed.result == kLzwNoMemory, "a failed allocation gives -4");
  LzwReleaseOutput(failed.output);
  fuzz::CheckNoLeak(live, "an encode whose allocation failed");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
