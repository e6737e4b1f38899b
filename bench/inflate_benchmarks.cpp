// The inflater, reached as the decoder reaches it (Decode: allocate the
// inflated-data block, walk the IDAT chunks, inflate), against zlib's inflate
// of the same stream, joined beforehand, into a block allocated the same way.
// zlib's inflate also computes the Adler-32 that ours reads past unchecked,
// so a second reference inflates the raw DEFLATE body alone.
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "bench/picture_benchmarks.h"
#include "bench/ratio_report.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace bench {
namespace {

constexpr double kInflateTarget = 0.6;

// Runs Decode once; the inflated bytes are copied to *copy when given.
bool DecodeOnce(const BenchPicture& picture, Bytes* copy) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  bool ok = PngDecoder::OpenBytes(&state, picture.file.data(),
                                  static_cast<uint32_t>(picture.file.size())) &&
            PngDecoder::Decode(&state);
  if (ok) {
    benchmark::DoNotOptimize(state.inflatedData[state.inflatedSize - 1]);
    if (copy) copy->assign(state.inflatedData, state.inflatedData + state.inflatedSize);
  }
  PngDecoder::Release(&state);
  return ok;
}

constexpr size_t kZlibHeaderSize = 2;
constexpr int kRawDeflateWindowBits = -15;

enum class ZlibFraming { kZlibStream, kRawBody };

bool ZlibInflateOnce(const BenchPicture& picture, ZlibFraming framing, Bytes* copy) {
  uint8_t* out = static_cast<uint8_t*>(std::malloc(picture.inflatedSize));
  if (out == nullptr) return false;
  z_stream stream = {};
  const bool raw = framing == ZlibFraming::kRawBody;
  bool ok = (raw ? inflateInit2(&stream, kRawDeflateWindowBits) : inflateInit(&stream)) == Z_OK &&
            picture.zlibStream.size() > kZlibHeaderSize;
  if (ok) {
    const size_t skipped = raw ? kZlibHeaderSize : 0;
    stream.next_in = const_cast<Bytef*>(picture.zlibStream.data() + skipped);
    stream.avail_in = static_cast<uInt>(picture.zlibStream.size() - skipped);
    stream.next_out = out;
    stream.avail_out = picture.inflatedSize;
    ok = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
  }
  benchmark::DoNotOptimize(out[picture.inflatedSize - 1]);
  if (ok && copy) copy->assign(out, out + picture.inflatedSize);
  std::free(out);
  return ok;
}

void SetUpInflatedSize(BenchPicture* picture) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  if (!PngDecoder::OpenBytes(&state, picture->file.data(),
                             static_cast<uint32_t>(picture->file.size())) ||
      !PngDecoder::Decode(&state)) {
    throw std::runtime_error(picture->name + ": the decoder refuses it");
  }
  picture->inflatedSize = state.inflatedSize;
  PngDecoder::Release(&state);
}

}  // namespace

void RegisterInflateBenchmarks(std::vector<BenchPicture>* pictures) {
  for (BenchPicture& picture : *pictures) {
    SetUpInflatedSize(&picture);
    Bytes ours;
    Bytes reference;
    Bytes raw;
    if (!DecodeOnce(picture, &ours) ||
        !ZlibInflateOnce(picture, ZlibFraming::kZlibStream, &reference) ||
        !ZlibInflateOnce(picture, ZlibFraming::kRawBody, &raw) || ours != reference ||
        raw != reference) {
      throw std::runtime_error(picture.name + ": inflated data differs from zlib's");
    }
    const BenchPicture* p = &picture;
    const std::string subject = "Inflate/" + picture.name + "/vidod";
    const std::string zlib = "Inflate/" + picture.name + "/zlib";
    const std::string zlibRaw = "Inflate/" + picture.name + "/zlib-raw";
    benchmark::RegisterBenchmark(subject.c_str(), [p](benchmark::State& state) {
      for (auto _ : state) {
        if (!DecodeOnce(*p, nullptr)) state.SkipWithError("Decode failed");
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * p->inflatedSize);
    });
    for (const auto& reference : {std::make_pair(zlib, ZlibFraming::kZlibStream),
                                  std::make_pair(zlibRaw, ZlibFraming::kRawBody)}) {
      const ZlibFraming framing = reference.second;
      benchmark::RegisterBenchmark(reference.first.c_str(), [p, framing](benchmark::State& state) {
        for (auto _ : state) {
          if (!ZlibInflateOnce(*p, framing, nullptr)) state.SkipWithError("inflate failed");
        }
        state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * p->inflatedSize);
      });
    }
    DeclareRatio({"Inflate " + picture.name + " / zlib", subject, zlib, kInflateTarget, {}});
    DeclareRatio({"Inflate " + picture.name + " / zlib, no Adler-32", subject, zlibRaw, 0, {}});
  }
}

}  // namespace bench
}  // namespace vidod
