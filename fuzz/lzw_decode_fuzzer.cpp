// The LZW decoder on arbitrary code streams: every run ends with one of its
// result codes, never reports more than its output buffer holds, and holds no
// allocation once the caller has released the output. Each input is decoded a
// second time with one allocation made to fail, which must end the run with
// the memory result and release everything as well.
#include <cstddef>
#include <cstdint>

#include "common/heap.h"
#include "fuzz/fuzz_support.h"
#include "lzw/lzw.h"

namespace vidod {
namespace {

using fuzz::Check;

constexpr uint32_t kReportedExtra = 2;     // the decoder reports decoded + 2
constexpr uint32_t kMinimumCodeBytes = 2;  // the first code takes 9 bits

// Out-parameters that a run must either set or leave exactly as they were.
uint8_t g_untouchedMarker;
uint8_t* const kUntouchedOutput = &g_untouchedMarker;
constexpr uint32_t kUntouchedLength = 0xDEADBEEF;

struct DecodeRun {
  int32_t result;
  uint8_t* output;
  uint32_t reported;
};

DecodeRun Decode(const uint8_t* data, std::size_t size) {
  DecodeRun run = {0, kUntouchedOutput, kUntouchedLength};
  run.result = LzwDecoder::Decode(data, static_cast<uint32_t>(size), &run.output, &run.reported);
  return run;
}

bool OutputSet(const DecodeRun& run) { return run.output != kUntouchedOutput; }

void CheckOutputParameters(const DecodeRun& run) {
  if (!OutputSet(run)) {
    Check(run.reported == kUntouchedLength, "length left untouched with the output");
    return;
  }
  Check(run.output != nullptr, "a set output buffer is not null");
  Check(run.reported >= kReportedExtra, "reported length counts the extra 2");
  Check(run.reported - kReportedExtra <= kLzwDecodedCapacity,
        "reported length within the output buffer");
}

int FuzzOneInput(const uint8_t* data, std::size_t size) {
  if (size > kLzwMaxInput) return 0;
  const long live = LiveAllocationCount();
  const long attemptsBefore = AllocationAttemptCount();

  const DecodeRun run = Decode(data, size);
  Check(run.result == kLzwOk || run.result == kLzwShortInput || run.result == kLzwBadStream,
        "decoder result is 0, -5 or -7 when memory does not run out");
  if (size < kMinimumCodeBytes) Check(run.result == kLzwShortInput, "too short for a code");
  Check(OutputSet(run), "the output buffer is handed over once allocated");
  CheckOutputParameters(run);
  LzwReleaseOutput(run.output);
  fuzz::CheckNoLeak(live, "a decode");

  const long attempts = AllocationAttemptCount() - attemptsBefore;
  SetAllocationFailureAfter(static_cast<long>(fuzz::InputHash(data, size) % attempts));
  const DecodeRun failed = Decode(data, size);
  SetAllocationFailureAfter(fuzz::kNoAllocationFailure);
  Check(failed.result == kLzwNoMemory, "a failed allocation gives -4");
  CheckOutputParameters(failed);
  if (OutputSet(failed)) LzwReleaseOutput(failed.output);
  fuzz::CheckNoLeak(live, "a decode whose allocation failed");
  return 0;
}

}  // namespace
}  // namespace vidod

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  return vidod::FuzzOneInput(data, size);
}
