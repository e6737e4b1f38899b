#include "fuzz/png_reference.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>

namespace vidod {
namespace fuzz {

namespace {

constexpr uint32_t kRgbBytes = 3;

struct MemoryReader {
  const uint8_t* data;
  std::size_t size;
  std::size_t position;
  bool warned;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (reader->size - reader->position < length) png_error(png, "read past the end");
  std::copy(reader->data + reader->position, reader->data + reader->position + length, out);
  reader->position += length;
}

void NoteWarning(png_structp png, png_const_charp) {
  static_cast<MemoryReader*>(png_get_error_ptr(png))->warned = true;
}

void StopOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// libpng jumps back here on error, so nothing with a destructor lives in this
// frame: the pixels and row pointers belong to the caller.
bool ReadRows(png_structp png, png_infop info, RgbPicture* picture, std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const int colourType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  png_set_strip_16(png);  // keeps the high byte, as the DIB does
  png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  picture->width = png_get_image_width(png, info);
  picture->height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != picture->width * kRgbBytes) return false;
  picture->rgb.assign(std::size_t{picture->width} * picture->height * kRgbBytes, 0);
  rows->resize(picture->height);
  for (uint32_t y = 0; y < picture->height; ++y) {
    (*rows)[y] = picture->rgb.data() + std::size_t{y} * picture->width * kRgbBytes;
  }
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

bool DecodeWithLibpng(const uint8_t* data, std::size_t size, RgbPicture* picture) {
  MemoryReader reader = {data, size, 0, false};
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, StopOnError, NoteWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  std::vector<png_bytep> rows;
  const bool read = ReadRows(png, info, picture, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  return read && !reader.warned;
}

RgbPicture ResolveDib(const BitmapInfo& info, const uint8_t* bits, uint32_t stride) {
  const DibHeader& header = info.header;
  RgbPicture picture = {
      static_cast<uint32_t>(header.width), static_cast<uint32_t>(-header.height), {}};
  picture.rgb.reserve(std::size_t{picture.width} * picture.height * kRgbBytes);
  for (uint32_t y = 0; y < picture.height; ++y) {
    const uint8_t* row = bits + std::size_t{y} * stride;
    for (uint32_t x = 0; x < picture.width; ++x) {
      DibColour colour = {0, 0, 0, 0};
      switch (header.bitCount) {
        case 1:
          colour = info.colours[(row[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          colour = info.colours[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
          break;
        case 8:
          colour = info.colours[row[x]];
          break;
        case 24:
          colour = {row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
          break;
        case 32:
          colour = {row[4 * x], row[4 * x + 1], row[4 * x + 2], 0};
          break;
      }
      picture.rgb.push_back(colour.red);
      picture.rgb.push_back(colour.green);
      picture.rgb.push_back(colour.blue);
    }
  }
  return picture;
}

}  // namespace fuzz
}  // namespace vidod
