// PNG decoding into the pixel layouts a Windows DIB can hold: chunk parsing,
// inflating the image data, undoing the row filters, Adam7 placing and the
// colour conversions. Portable: the caller finds the PNG bytes and provides
// the bitmap memory (a DIB section on Windows).
//
// Order of use: Reset, OpenBytes, Decode, BuildBitmapInfo, UnfilterAndConvert
// (any number of times), Release. Every operation returns false on failure and
// leaves a code in the record's lastError.
#pragma once

#include <cstdint>

namespace vidod {

// Failure codes kept in PngDecoderState::lastError.
constexpr uint32_t kPngErrorNone = 0;
constexpr uint32_t kPngErrorSourceInUse = 0x1002;   // open on a record that is not empty
constexpr uint32_t kPngErrorNotPng = 0x2000;        // not a PNG, damaged image data, missing IDAT
constexpr uint32_t kPngErrorUnsupported = 0x2001;   // unknown critical chunk, format outside the table,
                                                    // indexed image without a palette
constexpr uint32_t kPngErrorWrongState = 0x2003;    // operation called in the wrong state
constexpr uint32_t kPngErrorTooLarge = 0x2004;      // past kPngMaxPixels or kPngMaxDecodedBytes,
                                                    // or a buffer size would pass 32 bits
constexpr uint32_t kPngErrorNoMemory = 0x2005;      // a heap allocation failed
constexpr uint32_t kPngErrorNoBitmap = 0x2006;      // no bitmap memory to fill
constexpr uint32_t kPngErrorNoResource = 0x3001;    // no raw-data resource with that id
constexpr uint32_t kPngErrorResourceUnloaded = 0x3002;  // resource not loadable, or empty

// The largest picture the decoder takes on. The player shows a picture in a
// box of at most 640 x 480, so a bigger one only costs memory: it is refused
// with kPngErrorTooLarge before anything is allocated. Both limits hold: the
// pixel count, and each of the two large buffers (the inflated rows with their
// filter bytes, and the bitmap), so 16-bit samples halve the pixels allowed.
constexpr uint64_t kPngMaxPixels = 64000000;
constexpr uint64_t kPngMaxDecodedBytes = 256000000;

constexpr uint32_t kPngSourceNone = 0;
constexpr uint32_t kPngSourceResource = 2;

constexpr uint32_t kPngStateEmpty = 0;
constexpr uint32_t kPngStateOpened = 1;   // chunks parsed and checked
constexpr uint32_t kPngStateDecoded = 2;  // inflated data present

// The whole state of one decoding; the caller owns it. Multi-byte fields are
// in host order.
struct PngDecoderState {
  uint32_t width;
  uint32_t height;
  uint32_t lastError;
  uint32_t paletteEntryCount;  // first PLTE length / 3
  uint8_t colourType;
  uint8_t bitDepth;
  uint8_t interlaceMethod;
  const uint8_t* sourceBytes;  // the PNG file, not owned
  uint32_t sourceSize;
  const uint8_t* chunkCursor;  // length field of the chunk being examined
  uint8_t* inflatedData;       // inflated scan lines, owned (common/heap.h)
  uint32_t inflatedSize;
  const uint8_t* paletteData;  // data of the first PLTE, or nullptr
  uint32_t sourceKind;
  const uint8_t* headerData;      // data of the IHDR chunk
  const uint8_t* firstImageData;  // length field of the first IDAT, or nullptr
  uint32_t state;
};

// Exactly the memory layout of BITMAPINFOHEADER and RGBQUAD (little-endian
// fields on every Windows target), so that the Windows side can hand a
// BitmapInfo to CreateDIBSection as it is.
struct DibHeader {
  uint32_t size;
  int32_t width;
  int32_t height;  // negative: rows stored top-down
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;
  uint32_t imageSize;
  int32_t xPixelsPerMeter;
  int32_t yPixelsPerMeter;
  uint32_t coloursUsed;
  uint32_t coloursImportant;
};
struct DibColour {
  uint8_t blue;
  uint8_t green;
  uint8_t red;
  uint8_t reserved;
};
constexpr uint32_t kDibHeaderSize = 40;
constexpr uint32_t kDibColourTableEntries = 256;
struct BitmapInfo {
  DibHeader header;
  DibColour colours[kDibColourTableEntries];
};
static_assert(sizeof(DibHeader) == kDibHeaderSize, "DibHeader must match BITMAPINFOHEADER");
static_assert(sizeof(DibColour) == 4, "DibColour must match RGBQUAD");
static_assert(sizeof(BitmapInfo) == kDibHeaderSize + 4 * kDibColourTableEntries,
              "BitmapInfo must be the header followed by the colour table");

// True when a picture of these IHDR fields is within kPngMaxPixels and
// kPngMaxDecodedBytes; false too for a colour type and depth the decoder does
// not take. For tools that check a picture before the player meets it.
bool PngSizeWithinLimits(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                         uint8_t interlaceMethod);

namespace PngDecoder {

// Zeroes the record. Always true.
bool Reset(PngDecoderState* state);
// The portable part of opening a resource: attaches the PNG bytes (which must
// outlive the record's use) and parses and checks the chunks. Requires an
// empty record without a source (else 0x1002); nullptr or size 0 give 0x3002.
// On failure the record is left without a source, with the parser's code.
bool OpenBytes(PngDecoderState* state, const uint8_t* bytes, uint32_t size);
// Inflates all image data into one heap block. Requires state 1 (else 0x2003);
// a picture past the size limits fails with 0x2004 before any allocation.
bool Decode(PngDecoderState* state);
// Fills the header and colour table of the natural output format. Requires
// state 2. Fails with 0x2004 when the picture is past the size limits.
bool BuildBitmapInfo(PngDecoderState* state, BitmapInfo* info);
// Row stride (a multiple of 4) and total byte count of the top-down bitmap
// that UnfilterAndConvert fills; false when the picture is past the size
// limits.
bool BitmapSize(const PngDecoderState* state, uint32_t* stride, uint32_t* size);
// Reconstructs the filtered rows and writes the converted pixels into bits,
// which must hold the BitmapSize byte count. Requires state 2; the inflated
// data is left untouched, so it may be called again.
bool UnfilterAndConvert(PngDecoderState* state, uint8_t* bits);
// Frees the inflated data and zeroes the record. Always true.
bool Release(PngDecoderState* state);

}  // namespace PngDecoder

}  // namespace vidod
