#include "pictures/bmp_file.h"

#include <cstring>
#include <new>

#include "common/heap.h"

namespace vidod {
namespace {

constexpr uint64_t kMaxFileSize = 0xFFFFFFFFu;
constexpr uint32_t kDibColourSize = 4;

void PutLittleEndian16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}
void PutLittleEndian32(uint8_t* at, uint32_t value) {
  PutLittleEndian16(at, value);
  PutLittleEndian16(at + 2, value >> 16);
}

uint32_t ColoursInUse(const DibHeader& header) {
  if (header.bitCount > 8) return 0;
  const uint32_t full = 1u << header.bitCount;
  return header.coloursUsed != 0 && header.coloursUsed < full ? header.coloursUsed : full;
}

}  // namespace

uint32_t BuildBmpFile(const BitmapInfo& info, const uint8_t* bits, std::vector<uint8_t>* file) {
  const DibHeader& header = info.header;
  const uint64_t width = header.width < 0 ? 0 : static_cast<uint64_t>(header.width);
  const uint64_t rows = header.height < 0 ? 0 - static_cast<int64_t>(header.height)
                                          : static_cast<uint64_t>(header.height);
  const uint64_t stride = (width * header.bitCount + 31) / 32 * 4;
  const uint32_t colours = ColoursInUse(header);
  const uint64_t bitsOffset = kBmpFileHeaderSize + kDibHeaderSize + uint64_t{colours} * kDibColourSize;
  const uint64_t fileSize = bitsOffset + stride * rows;
  if (fileSize > kMaxFileSize) return kPngErrorTooLarge;
  try {
    file->assign(static_cast<size_t>(fileSize), 0);
  } catch (const std::bad_alloc&) {
    return kPngErrorNoMemory;
  }

  uint8_t* out = file->data();
  out[0] = 'B';
  out[1] = 'M';
  PutLittleEndian32(out + 2, static_cast<uint32_t>(fileSize));
  PutLittleEndian32(out + 10, static_cast<uint32_t>(bitsOffset));
  out += kBmpFileHeaderSize;
  PutLittleEndian32(out, header.size);
  PutLittleEndian32(out + 4, static_cast<uint32_t>(header.width));
  PutLittleEndian32(out + 8, static_cast<uint32_t>(header.height));
  PutLittleEndian16(out + 12, header.planes);
  PutLittleEndian16(out + 14, header.bitCount);
  PutLittleEndian32(out + 16, header.compression);
  PutLittleEndian32(out + 20, header.imageSize);
  PutLittleEndian32(out + 24, static_cast<uint32_t>(header.xPixelsPerMeter));
  PutLittleEndian32(out + 28, static_cast<uint32_t>(header.yPixelsPerMeter));
  PutLittleEndian32(out + 32, header.coloursUsed);
  PutLittleEndian32(out + 36, header.coloursImportant);
  out += kDibHeaderSize;
  for (uint32_t i = 0; i < colours; ++i, out += kDibColourSize) {
    out[0] = info.colours[i].blue;
    out[1] = info.colours[i].green;
    out[2] = info.colours[i].red;
    out[3] = info.colours[i].reserved;
  }
  if (stride * rows != 0) std::memcpy(out, bits, static_cast<size_t>(stride * rows));
  return kPngErrorNone;
}

uint32_t ConvertPngToBmp(const uint8_t* png, uint32_t size, std::vector<uint8_t>* file,
                         const PngBackground* background) {
  PngDecoderState state;
  BitmapInfo info;
  uint32_t stride = 0;
  uint32_t bitsSize = 0;
  PngDecoder::Reset(&state);
  if (background) PngDecoder::SetBackground(&state, *background);
  if (!PngDecoder::OpenBytes(&state, png, size) || !PngDecoder::Decode(&state) ||
      !PngDecoder::BuildBitmapInfo(&state, &info) ||
      !PngDecoder::BitmapSize(&state, &stride, &bitsSize)) {
    const uint32_t code = state.lastError;
    PngDecoder::Release(&state);
    return code;
  }
  uint8_t* bits = static_cast<uint8_t*>(HeapAllocate(bitsSize));
  uint32_t code = kPngErrorNoMemory;
  if (bits != nullptr) {
    // Zeroed so that row padding does not carry heap contents into the file.
    std::memset(bits, 0, bitsSize);
    code = PngDecoder::UnfilterAndConvert(&state, bits) ? BuildBmpFile(info, bits, file)
                                                        : state.lastError;
  }
  HeapRelease(bits);
  PngDecoder::Release(&state);
  return code;
}

}  // namespace vidod
