// The whole PNG route (open, inflate, unfilter, convert into top-down DIB
// rows) against libpng reading the same file from memory into the same pixel
// layout: B, G, R (and A) bytes, high byte of 16-bit samples, rows padded to
// a multiple of 4 bytes.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>

#include "bench/picture_benchmarks.h"
#include "bench/ratio_report.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace bench {
namespace {

constexpr double kPngRouteTarget = 0.5;

struct Bitmap {
  uint32_t stride = 0;
  uint32_t rowBytes = 0;  // pixel bytes of a row, without the padding
  Bytes bits;
};

bool OursOnce(const BenchPicture& picture, Bitmap* bitmap) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  BitmapInfo info;
  const bool ok = PngDecoder::OpenBytes(&state, picture.file.data(),
                                        static_cast<uint32_t>(picture.file.size())) &&
                  PngDecoder::Decode(&state) && PngDecoder::BuildBitmapInfo(&state, &info) &&
                  PngDecoder::UnfilterAndConvert(&state, bitmap->bits.data());
  PngDecoder::Release(&state);
  benchmark::DoNotOptimize(bitmap->bits.data());
  benchmark::ClobberMemory();
  return ok;
}

struct MemoryReader {
  const uint8_t* data;
  size_t size;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  MemoryReader* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->position) png_error(png, "read past the end");
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
}

// Only the formats the benchmark pictures use: truecolour with or without
// alpha, 8 or 16 bits.
bool LibpngOnce(const BenchPicture& picture, Bitmap* bitmap, std::vector<png_bytep>* rows) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  MemoryReader reader = {picture.file.data(), picture.file.size(), 0};
  bool ok = false;
  if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    const png_byte colourType = png_get_color_type(png, info);
    if (colourType == PNG_COLOR_TYPE_RGB || colourType == PNG_COLOR_TYPE_RGB_ALPHA) {
      png_set_strip_16(png);
      png_set_bgr(png);
      png_read_update_info(png, info);
      png_read_image(png, rows->data());
      png_read_end(png, nullptr);
      ok = true;
    }
  }
  png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  benchmark::DoNotOptimize(bitmap->bits.data());
  benchmark::ClobberMemory();
  return ok;
}

Bitmap MakeBitmap(const BenchPicture& picture) {
  PngDecoderState state;
  PngDecoder::Reset(&state);
  Bitmap bitmap;
  uint32_t size = 0;
  BitmapInfo info;
  if (!PngDecoder::OpenBytes(&state, picture.file.data(),
                             static_cast<uint32_t>(picture.file.size())) ||
      !PngDecoder::BitmapSize(&state, &bitmap.stride, &size) || !PngDecoder::Decode(&state) ||
      !PngDecoder::BuildBitmapInfo(&state, &info)) {
    throw std::runtime_error(picture.name + ": the decoder refuses it");
  }
  bitmap.rowBytes = picture.width * (info.header.bitCount / 8);
  bitmap.bits.assign(size, 0);
  PngDecoder::Release(&state);
  return bitmap;
}

std::vector<png_bytep> RowPointers(Bitmap* bitmap, uint32_t height) {
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = bitmap->bits.data() + size_t{y} * bitmap->stride;
  return rows;
}

bool SamePixels(const Bitmap& a, const Bitmap& b, uint32_t height) {
  for (uint32_t y = 0; y < height; ++y) {
    if (std::memcmp(a.bits.data() + size_t{y} * a.stride, b.bits.data() + size_t{y} * b.stride,
                    a.rowBytes) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

void RegisterPngRouteBenchmarks(const std::vector<BenchPicture>& pictures) {
  for (const BenchPicture& picture : pictures) {
    Bitmap ours = MakeBitmap(picture);
    Bitmap reference = MakeBitmap(picture);
    std::vector<png_bytep> rows = RowPointers(&reference, picture.height);
    if (!OursOnce(picture, &ours) || !LibpngOnce(picture, &reference, &rows) ||
        !SamePixels(ours, reference, picture.height)) {
      throw std::runtime_error(picture.name + ": pixels differ from libpng's");
    }
    const BenchPicture* p = &picture;
    const std::string subject = "PngRoute/" + picture.name + "/vidod";
    const std::string libpng = "PngRoute/" + picture.name + "/libpng";
    auto decodeOurs = [p, bitmap = ours](benchmark::State& state) mutable {
      for (auto _ : state) {
        if (!OursOnce(*p, &bitmap)) state.SkipWithError("decoding failed");
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bitmap.bits.size());
    };
    auto decodeLibpng = [p, bitmap = reference](benchmark::State& state) mutable {
      std::vector<png_bytep> pointers = RowPointers(&bitmap, p->height);
      for (auto _ : state) {
        if (!LibpngOnce(*p, &bitmap, &pointers)) state.SkipWithError("libpng failed");
      }
      state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bitmap.bits.size());
    };
    benchmark::RegisterBenchmark(subject.c_str(), decodeOurs);
    benchmark::RegisterBenchmark(libpng.c_str(), decodeLibpng);
    DeclareRatio({"PNG route " + picture.name + " / libpng", subject, libpng, kPngRouteTarget, {}});
  }
}

}  // namespace bench
}  // namespace vidod
