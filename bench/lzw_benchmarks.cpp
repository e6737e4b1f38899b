// The LZW codec against zlib doing the same job on the same bytes: Encode
// against compress2 at zlib's default level, Decode against uncompress.
#include <zlib.h>

#include <stdexcept>
#include <string>

#include "bench/bench_data.h"
#include "bench/codec_benchmarks.h"
#include "bench/ratio_report.h"
#include "lzw/lzw.h"

namespace vidod {
namespace bench {
namespace {

constexpr size_t kInputSize = 65000;
constexpr uint32_t kTextSeed = 2024;
constexpr uint32_t kRandomSeed = 7;
// The reported lengths count one byte more than the packed bytes (encoder)
// and two more than the decoded bytes (decoder).
constexpr uint32_t kPackedLengthExtra = 1;
constexpr uint32_t kDecodedLengthExtra = 2;

struct LzwCase {
  std::string name;
  Bytes input;
  Bytes packed;      // our encoder's output
  Bytes zlibPacked;  // compress2's output
};

struct EncodeOutcome {
  int32_t result;
  uint32_t packedBytes;
};

EncodeOutcome EncodeOnce(const Bytes& input, Bytes* packed) {
  uint8_t* output = nullptr;
  uint32_t reported = 0;
  const int32_t result = LzwEncoder::Encode(input.data(), static_cast<uint32_t>(input.size()),
                                            &output, &reported);
  const uint32_t bytes = reported >= kPackedLengthExtra ? reported - kPackedLengthExtra : 0;
  if (packed != nullptr && output != nullptr) packed->assign(output, output + bytes);
  benchmark::DoNotOptimize(output);
  LzwReleaseOutput(output);
  return {result, bytes};
}

bool DecodeOnce(const Bytes& packed, Bytes* plain) {
  uint8_t* output = nullptr;
  uint32_t reported = 0;
  const int32_t result = LzwDecoder::Decode(packed.data(), static_cast<uint32_t>(packed.size()),
                                            &output, &reported);
  if (plain != nullptr && output != nullptr && reported >= kDecodedLengthExtra) {
    plain->assign(output, output + reported - kDecodedLengthExtra);
  }
  benchmark::DoNotOptimize(output);
  LzwReleaseOutput(output);
  return result == kLzwOk;
}

bool ZlibCompressOnce(const Bytes& input, Bytes* packed) {
  uLongf size = compressBound(static_cast<uLong>(input.size()));
  packed->resize(size);
  const bool ok = compress2(packed->data(), &size, input.data(), static_cast<uLong>(input.size()),
                            Z_DEFAULT_COMPRESSION) == Z_OK;
  packed->resize(size);
  benchmark::DoNotOptimize(packed->data());
  return ok;
}

bool ZlibUncompressOnce(const Bytes& packed, Bytes* plain) {
  uLongf size = static_cast<uLongf>(plain->size());
  const bool ok = uncompress(plain->data(), &size, packed.data(),
                             static_cast<uLong>(packed.size())) == Z_OK &&
                  size == plain->size();
  benchmark::DoNotOptimize(plain->data());
  return ok;
}

std::string Describe(const EncodeOutcome& outcome) {
  return "result " + std::to_string(outcome.result) + ", " + std::to_string(outcome.packedBytes) +
         " packed bytes kept";
}

// When the whole input does not fit, records what the encoder answered and
// cuts the input to the longest prefix that encodes (the packed size grows
// with the prefix, so a bisection finds it).
Bytes FittingInput(const std::string& name, Bytes input) {
  const EncodeOutcome whole = EncodeOnce(input, nullptr);
  if (whole.result == kLzwOk) return input;
  AddSummaryNote("LZW " + name + ": Encode of " + std::to_string(input.size()) + " bytes fails (" +
                 Describe(whole) + "; the packed limit is " + std::to_string(kLzwPackedCapacity) +
                 " bytes)");
  size_t fits = 0;
  size_t fails = input.size();
  while (fails - fits > 1) {
    const size_t middle = fits + (fails - fits) / 2;
    const Bytes prefix(input.begin(), input.begin() + middle);
    (EncodeOnce(prefix, nullptr).result == kLzwOk ? fits : fails) = middle;
  }
  if (fits == 0) throw std::runtime_error("LZW " + name + ": no input fits the packed limit");
  input.resize(fits);
  AddSummaryNote("LZW " + name + ": measured on the largest input that fits, " +
                 std::to_string(fits) + " bytes");
  return input;
}

LzwCase MakeCase(const std::string& name, Bytes input) {
  LzwCase c;
  c.name = name;
  c.input = FittingInput(name, std::move(input));
  Bytes plain;
  if (EncodeOnce(c.input, &c.packed).result != kLzwOk || !DecodeOnce(c.packed, &plain) ||
      plain != c.input) {
    throw std::runtime_error("LZW " + name + ": the codec does not round-trip");
  }
  Bytes zlibPlain(c.input.size());
  if (!ZlibCompressOnce(c.input, &c.zlibPacked) || !ZlibUncompressOnce(c.zlibPacked, &zlibPlain) ||
      zlibPlain != c.input) {
    throw std::runtime_error("LZW " + name + ": zlib does not round-trip");
  }
  return c;
}

void SetCounters(benchmark::State& state, const LzwCase& c) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.input.size()));
  state.counters["input"] = static_cast<double>(c.input.size());
  state.counters["lzw"] = static_cast<double>(c.packed.size());
  state.counters["zlib"] = static_cast<double>(c.zlibPacked.size());
}

void Register(const LzwCase* c) {
  const std::string prefix = "Lzw/" + c->name;
  benchmark::RegisterBenchmark((prefix + "/Encode/vidod").c_str(), [c](benchmark::State& state) {
    for (auto _ : state) {
      if (EncodeOnce(c->input, nullptr).result != kLzwOk) state.SkipWithError("Encode failed");
    }
    SetCounters(state, *c);
  });
  benchmark::RegisterBenchmark((prefix + "/Encode/zlib").c_str(), [c](benchmark::State& state) {
    Bytes packed;
    for (auto _ : state) {
      if (!ZlibCompressOnce(c->input, &packed)) state.SkipWithError("compress2 failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c->input.size()));
  });
  benchmark::RegisterBenchmark((prefix + "/Decode/vidod").c_str(), [c](benchmark::State& state) {
    for (auto _ : state) {
      if (!DecodeOnce(c->packed, nullptr)) state.SkipWithError("Decode failed");
    }
    SetCounters(state, *c);
  });
  benchmark::RegisterBenchmark((prefix + "/Decode/zlib").c_str(), [c](benchmark::State& state) {
    Bytes plain(c->input.size());
    for (auto _ : state) {
      if (!ZlibUncompressOnce(c->zlibPacked, &plain)) state.SkipWithError("uncompress failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c->input.size()));
  });
  const std::vector<std::string> sizes = {"input", "lzw", "zlib"};
  DeclareRatio({"LZW Encode " + c->name + " / deflate", prefix + "/Encode/vidod",
                prefix + "/Encode/zlib", 0, sizes});
  DeclareRatio({"LZW Decode " + c->name + " / inflate", prefix + "/Decode/vidod",
                prefix + "/Decode/zlib", 0, sizes});
}

}  // namespace

void RegisterLzwBenchmarks() {
  // Built once and kept for the whole run: the benchmarks point into them.
  static const LzwCase text = MakeCase("text", QuizLikeText(kInputSize, kTextSeed));
  static const LzwCase random = MakeCase("random", RandomBytes(kInputSize, kRandomSeed));
  Register(&text);
  Register(&random);
}

}  // namespace bench
}  // namespace vidod
