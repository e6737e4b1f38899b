#include "picture_test_support.h"

#include <dirent.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace vidod {
namespace test {

Bytes ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string PngSuitePath(const std::string& name) {
  return std::string(VIDOD_SHARED_DIR) + "/pngsuite/" + name;
}

std::vector<std::string> PngSuiteFiles() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(PngSuitePath("").c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

void PutBigEndian32(Bytes* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t LittleEndian(const Bytes& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

}  // namespace

Bytes AssemblePng(const std::vector<Chunk>& chunks) {
  Bytes file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (const Chunk& chunk : chunks) {
    PutBigEndian32(&file, static_cast<uint32_t>(chunk.data.size()));
    Bytes typed(chunk.type.begin(), chunk.type.end());
    typed.insert(typed.end(), chunk.data.begin(), chunk.data.end());
    file.insert(file.end(), typed.begin(), typed.end());
    PutBigEndian32(&file, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
  }
  return file;
}

Bytes IhdrData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
               uint8_t interlace, uint8_t compression, uint8_t filter) {
  Bytes data;
  PutBigEndian32(&data, width);
  PutBigEndian32(&data, height);
  data.insert(data.end(), {bitDepth, colourType, compression, filter, interlace});
  return data;
}

std::vector<Chunk> IdatChunks(const Bytes& zlibStream, const std::vector<size_t>& pieces,
                              const std::string& type) {
  std::vector<Chunk> chunks;
  size_t at = 0;
  for (size_t piece : pieces) {
    const size_t take = std::min(piece, zlibStream.size() - at);
    chunks.push_back({chunks.empty() ? "IDAT" : type, Bytes(zlibStream.begin() + at, zlibStream.begin() + at + take)});
    at += take;
  }
  chunks.push_back({chunks.empty() ? "IDAT" : type, Bytes(zlibStream.begin() + at, zlibStream.end())});
  return chunks;
}

Bytes ZlibCompress(const Bytes& data, int level, int strategy) {
  z_stream z = {};
  deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy);
  Bytes out(deflateBound(&z, data.size()) + 16);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

bool ZlibInflatesBody(const Bytes& stream, size_t size, Bytes* out) {
  z_stream z = {};
  inflateInit2(&z, -15);
  out->assign(size + 1, 0);
  const size_t header = stream.size() < 2 ? stream.size() : 2;
  z.next_in = const_cast<Bytef*>(stream.data() + header);
  z.avail_in = static_cast<uInt>(stream.size() - header);
  z.next_out = out->data();
  z.avail_out = static_cast<uInt>(out->size());
  const int result = inflate(&z, Z_FINISH);
  const size_t produced = z.total_out;
  inflateEnd(&z);
  out->resize(produced);
  return result == Z_STREAM_END && produced == size;
}

// --- libpng ----------------------------------------------------------------------

namespace {

struct MemoryReader {
  const Bytes* bytes;
  size_t at;
};

void ReadFromMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->bytes->size() - reader->at < length) png_error(png, "read past the end");
  std::memcpy(data, reader->bytes->data() + reader->at, length);
  reader->at += length;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void FlushNothing(png_structp) {}

// libpng's setjmp error handling must not skip destructors: everything with
// one lives in the caller's frame.
bool ReadRows(const Bytes& file, OraclePicture* picture, std::vector<png_bytep>* rows) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  MemoryReader reader = {&file, 0};
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_read_info(png, info);
  picture->width = png_get_image_width(png, info);
  picture->height = png_get_image_height(png, info);
  picture->colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  png_set_strip_16(png);  // keeps the high byte
  png_set_packing(png);
  if (picture->colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (picture->colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if ((picture->colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // R G B A for every type
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != picture->width * 4) png_error(png, "unexpected layout");
  picture->rgba.assign(size_t{picture->width} * picture->height * 4, 0);
  rows->resize(picture->height);
  for (uint32_t y = 0; y < picture->height; ++y) {
    (*rows)[y] = picture->rgba.data() + size_t{y} * picture->width * 4;
  }
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

bool WriteImage(Bytes* out, uint32_t width, uint32_t height, int colourType, int bitDepth,
                bool interlaced, const Bytes& palette, std::vector<png_bytep>* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, WriteToMemory, FlushNothing);
  png_set_IHDR(png, info, width, height, bitDepth, colourType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) {
    std::vector<png_color> entries(palette.size() / 3);
    for (size_t i = 0; i < entries.size(); ++i) {
      entries[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
    }
    png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
  }
  png_set_filter(png, 0, PNG_ALL_FILTERS);
  png_write_info(png, info);
  png_write_image(png, rows->data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

OraclePicture DecodeWithLibpng(const Bytes& png) {
  OraclePicture picture;
  std::vector<png_bytep> rows;
  picture.ok = ReadRows(png, &picture, &rows);
  return picture;
}

Bytes EncodeWithLibpng(uint32_t width, uint32_t height, int colourType, int bitDepth, bool interlaced,
                       uint32_t seed) {
  std::mt19937 random(seed);
  const int channels = colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
  const size_t rowBytes = (size_t{width} * channels * bitDepth + 7) / 8;
  Bytes samples(rowBytes * height);
  // Smooth rows with noise, so that every filter type wins somewhere.
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<uint8_t>((i % 3 == 0) ? random() : (i * 7 + (random() & 3)));
  }
  Bytes palette;
  if (colourType == 3) {
    palette.resize(3 * (size_t{1} << bitDepth));
    for (uint8_t& entry : palette) entry = static_cast<uint8_t>(random());
  }
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = samples.data() + y * rowBytes;
  Bytes out;
  if (!WriteImage(&out, width, height, colourType, bitDepth, interlaced, palette, &rows)) out.clear();
  return out;
}

// --- .bmp reading -------------------------------------------------------------------

BmpPicture ReadBmp(const Bytes& file) {
  BmpPicture picture;
  auto fail = [&picture](const char* why) {
    picture.fault = why;
    return picture;
  };
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') return fail("no BMP header");
  if (LittleEndian(file, 2, 4) != file.size()) return fail("file size field");
  if (LittleEndian(file, 14, 4) != 40) return fail("info header size");
  const int32_t width = static_cast<int32_t>(LittleEndian(file, 18, 4));
  const int32_t height = static_cast<int32_t>(LittleEndian(file, 22, 4));
  if (width <= 0 || height >= 0) return fail("not a top-down bitmap");
  if (LittleEndian(file, 26, 2) != 1 || LittleEndian(file, 30, 4) != 0) return fail("planes or compression");
  picture.width = static_cast<uint32_t>(width);
  picture.height = static_cast<uint32_t>(-height);
  picture.bitCount = static_cast<uint16_t>(LittleEndian(file, 28, 2));
  picture.coloursUsed = LittleEndian(file, 46, 4);
  const uint32_t entries =
      picture.bitCount > 8 ? 0 : picture.coloursUsed ? picture.coloursUsed : 1u << picture.bitCount;
  const size_t offset = 54 + size_t{entries} * 4;
  if (LittleEndian(file, 10, 4) != offset) return fail("pixel data offset");
  for (uint32_t i = 0; i < entries; ++i) {
    const uint8_t* at = file.data() + 54 + 4 * i;
    picture.colours.push_back({at[0], at[1], at[2], at[3]});
  }
  const size_t stride = (size_t{picture.width} * picture.bitCount + 31) / 32 * 4;
  if (file.size() != offset + stride * picture.height) return fail("pixel data size");
  picture.rgba.resize(size_t{picture.width} * picture.height * 4);
  for (uint32_t y = 0; y < picture.height; ++y) {
    const uint8_t* row = file.data() + offset + y * stride;
    for (uint32_t x = 0; x < picture.width; ++x) {
      uint8_t* px = picture.rgba.data() + (size_t{y} * picture.width + x) * 4;
      if (picture.bitCount <= 8) {
        const uint32_t bit = x * picture.bitCount;
        const uint32_t index = (row[bit / 8] >> (8 - picture.bitCount - bit % 8)) & ((1u << picture.bitCount) - 1);
        if (index >= entries) return fail("index past the colour table");
        const DibColour& c = picture.colours[index];
        px[0] = c.red, px[1] = c.green, px[2] = c.blue, px[3] = 0;
      } else {
        const uint8_t* p = row + x * (picture.bitCount / 8);
        px[0] = p[2], px[1] = p[1], px[2] = p[0], px[3] = picture.bitCount == 32 ? p[3] : 0;
      }
    }
  }
  picture.ok = true;
  return picture;
}

// --- DEFLATE writing ------------------------------------------------------------

void BitWriter::Bits(uint32_t value, int count) {
  for (int i = 0; i < count; ++i) {
    pending_ |= ((value >> i) & 1) << pendingCount_;
    if (++pendingCount_ == 8) {
      bytes_.push_back(static_cast<uint8_t>(pending_));
      pending_ = 0;
      pendingCount_ = 0;
    }
  }
}

void BitWriter::Code(uint32_t code, int length) {
  for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1, 1);
}

void BitWriter::AlignToByte() {
  if (pendingCount_ > 0) Bits(0, 8 - pendingCount_);
}

void BitWriter::Byte(uint8_t value) { Bits(value, 8); }

Bytes BitWriter::Finish() {
  AlignToByte();
  return bytes_;
}

std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
  uint32_t counts[16] = {};
  for (uint8_t length : lengths) ++counts[length];
  counts[0] = 0;
  uint32_t next[16] = {};
  uint32_t code = 0;
  for (int n = 1; n < 16; ++n) {
    code = (code + counts[n - 1]) << 1;
    next[n] = code;
  }
  std::vector<uint32_t> codes(lengths.size(), 0);
  for (size_t i = 0; i < lengths.size(); ++i) {
    if (lengths[i] != 0) codes[i] = next[lengths[i]]++;
  }
  return codes;
}

void FixedSymbol(BitWriter* out, int symbol) {
  if (symbol < 144) {
    out->Code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    out->Code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    out->Code(symbol - 256, 7);
  } else {
    out->Code(0xC0 + symbol - 280, 8);
  }
}

void FixedDistance(BitWriter* out, int code) { out->Code(code, 5); }

std::vector<uint8_t> FullCodeLengthCode() {
  std::vector<uint8_t> lengths(19, 4);
  for (int symbol = 13; symbol < 19; ++symbol) lengths[symbol] = 5;
  return lengths;
}

void DynamicHeader(BitWriter* out, bool final, uint32_t literalCount, uint32_t distanceCount,
                   const std::vector<uint8_t>& codeLengthCode, const std::vector<LengthStep>& steps) {
  static const int kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  out->Bits(final ? 1 : 0, 1);
  out->Bits(2, 2);
  out->Bits(literalCount - 257, 5);
  out->Bits(distanceCount - 1, 5);
  out->Bits(19 - 4, 4);
  for (int symbol : kOrder) out->Bits(codeLengthCode[symbol], 3);
  const std::vector<uint32_t> codes = CanonicalCodes(codeLengthCode);
  static const int kExtraBits[3] = {2, 3, 7};
  for (const LengthStep& step : steps) {
    out->Code(codes[step.symbol], codeLengthCode[step.symbol]);
    if (step.symbol >= 16) out->Bits(step.extra, kExtraBits[step.symbol - 16]);
  }
}

std::vector<LengthStep> PlainSteps(const std::vector<uint8_t>& lengths) {
  std::vector<LengthStep> steps;
  for (uint8_t length : lengths) steps.push_back({length, 0});
  return steps;
}

}  // namespace test
}  // namespace vidod
