#include "pictures/png_decoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "common/heap.h"
#include "picture_test_support.h"
#include "pictures/bmp_file.h"

namespace vidod {
namespace {

using test::Bytes;
using test::Chunk;

Bytes Zlib(const Bytes& data) { return test::ZlibCompress(data, 9, Z_DEFAULT_STRATEGY); }

// Rows of an image of rowBytes bytes per row, each led by the filter type
// given for it, with varied content.
Bytes Scanlines(uint32_t rows, uint32_t rowBytes, const std::vector<uint8_t>& filters) {
  Bytes data;
  for (uint32_t y = 0; y < rows; ++y) {
    data.push_back(filters[y % filters.size()]);
    for (uint32_t x = 0; x < rowBytes; ++x) data.push_back(static_cast<uint8_t>(x * 29 + y * 71 + (x * y) % 7));
  }
  return data;
}

// A 5 x 4 truecolour image using the four filters that predict.
std::vector<Chunk> BaseChunks() {
  return {{"IHDR", test::IhdrData(5, 4, 8, 2)}, {"IDAT", Zlib(Scanlines(4, 15, {1, 2, 3, 4}))}, {"IEND", {}}};
}

enum class Step { kOpen, kDecode, kBuildInfo, kConvert, kNone };
const char* StepName(Step step) {
  static const char* const kNames[] = {"open", "decode", "build info", "convert", "none"};
  return kNames[static_cast<int>(step)];
}

struct StepRun {
  Step failedAt = Step::kNone;
  uint32_t code = 0;
  PngDecoderState after = {};  // the record right after the failing step
};

// Runs the decoder's steps in order and reports the first that fails.
StepRun RunSteps(const Bytes& file) {
  StepRun run;
  PngDecoderState state;
  BitmapInfo info;
  PngDecoder::Reset(&state);
  uint32_t stride = 0;
  uint32_t size = 0;
  Bytes bits;
  if (!PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size()))) {
    run.failedAt = Step::kOpen;
  } else if (!PngDecoder::Decode(&state)) {
    run.failedAt = Step::kDecode;
  } else if (!PngDecoder::BuildBitmapInfo(&state, &info)) {
    run.failedAt = Step::kBuildInfo;
  } else if (PngDecoder::BitmapSize(&state, &stride, &size), bits.resize(size),
             !PngDecoder::UnfilterAndConvert(&state, bits.data())) {
    run.failedAt = Step::kConvert;
  }
  run.code = state.lastError;
  run.after = state;
  PngDecoder::Release(&state);
  return run;
}

Bytes Decoded(const Bytes& file) {
  std::vector<uint8_t> bmp;
  EXPECT_EQ(0u, ConvertPngToBmp(file.data(), static_cast<uint32_t>(file.size()), &bmp));
  const test::BmpPicture picture = test::ReadBmp(bmp);
  EXPECT_TRUE(picture.ok) << picture.fault;
  return picture.rgba;
}

TEST(PngDecoderTest, NaturalFormatOfEachColourTypeAndDepth) {
  struct FormatCase {
    const char* file;
    uint16_t bitCount;
    uint32_t coloursUsed;
  };
  const FormatCase cases[] = {
      {"basn0g01.png", 1, 2},  {"basn0g02.png", 4, 4},   {"basn0g04.png", 4, 16},
      {"basn0g08.png", 8, 256}, {"basn0g16.png", 8, 256}, {"basn2c08.png", 24, 0},
      {"basn2c16.png", 24, 0}, {"basn3p01.png", 1, 0},   {"basn3p02.png", 4, 0},
      {"basn3p04.png", 4, 0},  {"basn3p08.png", 8, 0},   {"basn4a08.png", 8, 256},
      {"basn4a16.png", 8, 256}, {"basn6a08.png", 32, 0}, {"basn6a16.png", 32, 0},
  };
  for (const FormatCase& c : cases) {
    const Bytes file = test::ReadWholeFile(test::PngSuitePath(c.file));
    PngDecoderState state;
    BitmapInfo info;
    PngDecoder::Reset(&state);
    ASSERT_TRUE(PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size())) &&
                PngDecoder::Decode(&state) && PngDecoder::BuildBitmapInfo(&state, &info))
        << c.file;
    EXPECT_EQ(40u, info.header.size) << c.file;
    EXPECT_EQ(static_cast<int32_t>(state.width), info.header.width) << c.file;
    EXPECT_EQ(-static_cast<int32_t>(state.height), info.header.height) << c.file;
    EXPECT_EQ(1, info.header.planes) << c.file;
    EXPECT_EQ(c.bitCount, info.header.bitCount) << c.file;
    EXPECT_EQ(c.coloursUsed, info.header.coloursUsed) << c.file;
    EXPECT_EQ(0u, info.header.compression + info.header.imageSize + info.header.coloursImportant);
    PngDecoder::Release(&state);
  }

  // The 2-bit grey ramp, and the 16-entry one stepping by 17.
  const Bytes file = test::ReadWholeFile(test::PngSuitePath("basn0g02.png"));
  PngDecoderState state;
  BitmapInfo info;
  PngDecoder::Reset(&state);
  ASSERT_TRUE(PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size())) &&
              PngDecoder::Decode(&state) && PngDecoder::BuildBitmapInfo(&state, &info));
  const uint8_t ramp[4] = {0, 85, 170, 255};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(ramp[i], info.colours[i].blue);
    EXPECT_EQ(ramp[i], info.colours[i].green);
    EXPECT_EQ(ramp[i], info.colours[i].red);
    EXPECT_EQ(0, info.colours[i].reserved);
  }
  PngDecoder::Release(&state);
}

TEST(PngDecoderTest, ChunkVariantsThatDecodeLikeTheBase) {
  const Bytes expected = Decoded(test::AssemblePng(BaseChunks()));
  const Bytes stream = Zlib(Scanlines(4, 15, {1, 2, 3, 4}));
  auto with = [](std::vector<Chunk> chunks, size_t at, Chunk extra) {
    chunks.insert(chunks.begin() + at, std::move(extra));
    return chunks;
  };
  std::vector<Chunk> lowerHeader = BaseChunks();
  lowerHeader[0].type = "iHDR";
  std::vector<Chunk> split = test::IdatChunks(stream, {0, 3, 0, 0, 10, 1});
  split.insert(split.begin(), BaseChunks()[0]);
  split.push_back({"IEND", {}});
  std::vector<Chunk> badCrc = BaseChunks();
  Bytes badCrcFile = test::AssemblePng(badCrc);
  badCrcFile[8 + 8 + 13] ^= 0xFF;  // the IHDR CRC

  const struct {
    const char* name;
    Bytes file;
  } cases[] = {
      {"IHDR with a lower-case first letter", test::AssemblePng(lowerHeader)},
      {"unknown ancillary chunk skipped", test::AssemblePng(with(BaseChunks(), 1, {"abCD", {1, 2, 3}}))},
      {"ancillary chunk after IEND", test::AssemblePng(with(BaseChunks(), 3, {"tEXt", {'k', 0, 'v'}}))},
      {"repeated IHDR skipped", test::AssemblePng(with(BaseChunks(), 1, {"IHDR", test::IhdrData(1, 1, 1, 0)}))},
      {"data over IDAT chunks, empty ones first and between", test::AssemblePng(split)},
      {"wrong CRC", badCrcFile},
      {"trailing bytes after the last chunk", [] {
         Bytes file = test::AssemblePng(BaseChunks());
         file.insert(file.end(), {0, 0, 0, 9, 'I', 'D'});
         return file;
       }()},
  };
  for (const auto& c : cases) EXPECT_TRUE(Decoded(c.file) == expected) << c.name;
}

TEST(PngDecoderTest, MalformedFilesFailAtTheirStep) {
  auto replaced = [](size_t at, Chunk chunk) {
    std::vector<Chunk> chunks = BaseChunks();
    chunks[at] = std::move(chunk);
    return test::AssemblePng(chunks);
  };
  auto header = [&](uint32_t w, uint32_t h, uint8_t depth, uint8_t colour, uint8_t interlace = 0,
                    uint8_t compression = 0, uint8_t filter = 0) {
    return replaced(0, {"IHDR", test::IhdrData(w, h, depth, colour, interlace, compression, filter)});
  };
  const Bytes base = test::AssemblePng(BaseChunks());
  Bytes wrongSignature = base;
  wrongSignature[3] = 'g';
  Bytes cutIdat = test::AssemblePng({BaseChunks()[0], BaseChunks()[1]});
  cutIdat.resize(cutIdat.size() - 2);
  // An interlaced 5 x 4 truecolour image: one row each for passes 1, 2 and 4
  // (1 pixel) and 5 (3 pixels), two rows each for passes 6 (2) and 7 (5).
  Bytes interlacedRows;
  for (uint32_t pixels : {1, 1, 1, 3, 2, 2, 5, 5}) {
    Bytes row = Scanlines(1, pixels * 3, {pixels == 3 ? uint8_t{5} : uint8_t{0}});
    interlacedRows.insert(interlacedRows.end(), row.begin(), row.end());
  }

  const struct {
    const char* name;
    Bytes file;
    Step step;
    uint32_t code;
  } cases[] = {
      // fewer than 16 bytes
      {"short file", Bytes(base.begin(), base.begin() + 15), Step::kOpen, 0x2000},
      // signature with one byte wrong
      {"wrong signature", wrongSignature, Step::kOpen, 0x2000},
      // the first chunk is not IHDR
      {"first chunk gAMA", replaced(0, {"gAMA", {0, 1, 0x86, 0xA0}}), Step::kOpen, 0x2000},
      // IHDR of length 0 at the end of the file: its fields would lie past the end
      {"IHDR fields past the end", test::AssemblePng({{"IHDR", {}}}), Step::kOpen, 0x2000},
      // width 0
      {"width 0", header(0, 4, 8, 2), Step::kOpen, 0x2000},
      // height 0
      {"height 0", header(5, 0, 8, 2), Step::kOpen, 0x2000},
      // unknown critical chunk
      {"unknown critical chunk", replaced(2, {"ABCD", {}}), Step::kOpen, 0x2001},
      // unknown critical chunk after IEND
      {"critical chunk after IEND", test::AssemblePng({BaseChunks()[0], BaseChunks()[1], {"IEND", {}}, {"XYZW", {}}}),
       Step::kOpen, 0x2001},
      // truecolour of depth 4
      {"colour type 2 depth 4", header(5, 4, 4, 2), Step::kOpen, 0x2001},
      // colour type 1 does not exist
      {"colour type 1", header(5, 4, 8, 1), Step::kOpen, 0x2001},
      // indexed of depth 16
      {"colour type 3 depth 16", header(5, 4, 16, 3), Step::kOpen, 0x2001},
      // compression method 1
      {"compression method 1", header(5, 4, 8, 2, 0, 1), Step::kOpen, 0x2001},
      // filter method 1
      {"filter method 1", header(5, 4, 8, 2, 0, 0, 1), Step::kOpen, 0x2001},
      // interlace method 2
      {"interlace method 2", header(5, 4, 8, 2, 2), Step::kOpen, 0x2001},
      // indexed image without PLTE
      {"indexed without PLTE", header(5, 4, 4, 3), Step::kDecode, 0x2001},
      // indexed image whose PLTE holds no whole entry
      {"PLTE of 2 bytes", test::AssemblePng({{"IHDR", test::IhdrData(5, 4, 4, 3)}, {"PLTE", {1, 2}},
                                             BaseChunks()[1], {"IEND", {}}}),
       Step::kDecode, 0x2001},
      // no IDAT chunk
      {"no IDAT", replaced(1, {"tEXt", {'k', 0}}), Step::kDecode, 0x2000},
      // the only IDAT runs past the end of the file
      {"IDAT cut short", cutIdat, Step::kDecode, 0x2000},
      // image data that is not a zlib stream
      {"damaged image data", replaced(1, {"IDAT", {0x78, 0x01, 0xFF, 0xFF, 0xFF}}), Step::kDecode, 0x2000},
      // one row missing
      {"too little image data", replaced(1, {"IDAT", Zlib(Scanlines(3, 15, {0}))}), Step::kDecode, 0x2000},
      // one row too many
      {"too much image data", replaced(1, {"IDAT", Zlib(Scanlines(5, 15, {0}))}), Step::kDecode, 0x2000},
      // filter type 5 in the third row
      {"filter type 5", replaced(1, {"IDAT", Zlib(Scanlines(4, 15, {0, 1, 5, 0}))}), Step::kConvert, 0x2000},
      // filter type 5 in pass 5 of an interlaced image
      {"filter type 5 interlaced",
       test::AssemblePng({{"IHDR", test::IhdrData(5, 4, 8, 2, 1)}, {"IDAT", Zlib(interlacedRows)}, {"IEND", {}}}),
       Step::kConvert, 0x2000},
      // inflated size past 32 bits
      {"huge image", header(0xFFFFFFFF, 0xFFFFFFFF, 16, 6), Step::kDecode, 0x2004},
      // one row past 32 bits
      {"huge row", header(0x60000000, 1, 8, 2), Step::kDecode, 0x2004},
      // the sum of the Adam7 passes past 32 bits
      {"huge interlaced image", header(0x40000000, 8, 8, 2, 1), Step::kDecode, 0x2004},
  };
  for (const auto& c : cases) {
    const long live = LiveAllocationCount();
    const long attempts = AllocationAttemptCount();
    const StepRun run = RunSteps(c.file);
    if (c.code == 0x2004) {
      EXPECT_EQ(attempts, AllocationAttemptCount()) << c.name << ": refused after allocating";
    }
    EXPECT_EQ(StepName(c.step), std::string(StepName(run.failedAt))) << c.name;
    EXPECT_EQ(c.code, run.code) << c.name;
    if (run.failedAt == Step::kOpen) {
      EXPECT_EQ(0u, run.after.state) << c.name;
      EXPECT_EQ(0u, run.after.sourceKind) << c.name;
    }
    if (run.failedAt == Step::kDecode) {
      EXPECT_EQ(1u, run.after.state) << c.name;
      EXPECT_EQ(nullptr, run.after.inflatedData) << c.name;
    }
    std::vector<uint8_t> bmp;
    EXPECT_EQ(c.code, ConvertPngToBmp(c.file.data(), static_cast<uint32_t>(c.file.size()), &bmp)) << c.name;
    EXPECT_EQ(live, LiveAllocationCount()) << c.name;
  }
}

TEST(PngDecoderTest, BitmapSizeOverflowRefusedBeforeAllocating) {
  // Bitmaps that cannot be described (a side past the signed header fields)
  // or whose bits pass 32 bits, even though their inflated data would fit.
  const long attempts = AllocationAttemptCount();
  struct SizeCase {
    uint32_t width, height;
    uint8_t depth, colour;
  };
  for (const SizeCase& c : {SizeCase{0x80000000, 1, 1, 0}, SizeCase{1, 0x80000000, 1, 0},
                            SizeCase{0x7FFFFFFF, 4, 2, 0}, SizeCase{0x20000000, 4, 8, 6}}) {
    PngDecoderState state;
    PngDecoder::Reset(&state);
    state.state = kPngStateDecoded;
    state.width = c.width;
    state.height = c.height;
    state.bitDepth = c.depth;
    state.colourType = c.colour;
    uint32_t stride = 0;
    uint32_t size = 0;
    BitmapInfo info;
    uint8_t bits[4] = {};
    EXPECT_FALSE(PngDecoder::BitmapSize(&state, &stride, &size)) << c.width << " x " << c.height;
    EXPECT_FALSE(PngDecoder::BuildBitmapInfo(&state, &info));
    EXPECT_EQ(0x2004u, state.lastError);
    EXPECT_FALSE(PngDecoder::UnfilterAndConvert(&state, bits));
    EXPECT_EQ(0x2004u, state.lastError);
  }
  EXPECT_EQ(attempts, AllocationAttemptCount());
}

// The size limits, at their edges: a refused picture stops at Decode with
// 0x2004 before anything is allocated, whatever its sides multiply to.
TEST(PngDecoderTest, PicturesPastTheSizeLimitsAreRefused) {
  struct LimitCase {
    uint32_t width, height;
    uint8_t depth, colour, interlace;
    bool accepted;
  };
  const LimitCase cases[] = {
      {8000, 8000, 1, 0, 0, true},    // exactly 64 million pixels
      {8000, 8001, 1, 0, 0, false},   // one row more
      {1, 64000000, 1, 0, 0, true},   // bitmap rows of 4 bytes: exactly 256 000 000 bytes
      {64000001, 1, 1, 0, 0, false},  // one pixel past on a single row
      {7999, 8000, 8, 6, 0, true},    // RGBA: 255 976 000 inflated bytes
      {8000, 8000, 8, 6, 0, false},   // the filter bytes take them past 256 000 000
      {8000, 8000, 8, 6, 1, false},   // likewise interlaced
      {5656, 5656, 16, 6, 0, true},   // 16-bit samples: half the pixels
      {5657, 5657, 16, 6, 0, false},
      {2602592135u, 1771958793u, 16, 6, 0, false},  // its size wrapped round to one byte
      {0xFFFFFFFFu, 0xFFFFFFFFu, 16, 6, 1, false},  // the largest sides
  };
  for (const LimitCase& c : cases) {
    const std::string name = std::to_string(c.width) + " x " + std::to_string(c.height);
    EXPECT_EQ(c.accepted, PngSizeWithinLimits(c.width, c.height, c.colour, c.depth, c.interlace)) << name;
    if (c.accepted) continue;  // decoding it would take the whole 256 MB
    const long attempts = AllocationAttemptCount();
    const Bytes file = test::AssemblePng(
        {{"IHDR", test::IhdrData(c.width, c.height, c.depth, c.colour, c.interlace)}, BaseChunks()[1], {"IEND", {}}});
    const StepRun run = RunSteps(file);
    EXPECT_EQ("decode", std::string(StepName(run.failedAt))) << name;
    EXPECT_EQ(kPngErrorTooLarge, run.code) << name;
    EXPECT_EQ(attempts, AllocationAttemptCount()) << name << ": allocated before refusing";
  }
}

TEST(PngDecoderTest, OperationsOutOfOrder) {
  const Bytes file = test::AssemblePng(BaseChunks());
  const uint32_t size = static_cast<uint32_t>(file.size());
  PngDecoderState state;
  BitmapInfo info;
  uint8_t bits[64] = {};
  PngDecoder::Reset(&state);
  EXPECT_FALSE(PngDecoder::Decode(&state));
  EXPECT_EQ(0x2003u, state.lastError);
  EXPECT_FALSE(PngDecoder::OpenBytes(&state, nullptr, 10));
  EXPECT_EQ(0x3002u, state.lastError);
  EXPECT_FALSE(PngDecoder::OpenBytes(&state, file.data(), 0));
  EXPECT_EQ(0x3002u, state.lastError);
  ASSERT_TRUE(PngDecoder::OpenBytes(&state, file.data(), size));
  EXPECT_EQ(kPngSourceResource, state.sourceKind);
  EXPECT_FALSE(PngDecoder::OpenBytes(&state, file.data(), size));
  EXPECT_EQ(0x1002u, state.lastError);
  EXPECT_FALSE(PngDecoder::BuildBitmapInfo(&state, &info));
  EXPECT_EQ(0x2003u, state.lastError);
  EXPECT_FALSE(PngDecoder::UnfilterAndConvert(&state, bits));
  EXPECT_EQ(0x2003u, state.lastError);
  ASSERT_TRUE(PngDecoder::Decode(&state));
  EXPECT_FALSE(PngDecoder::Decode(&state));
  EXPECT_EQ(0x2003u, state.lastError);
  EXPECT_FALSE(PngDecoder::UnfilterAndConvert(&state, nullptr));
  EXPECT_EQ(0x2006u, state.lastError);
  // Converting leaves the inflated data as it was: a second run gives the same bits.
  uint8_t again[64] = {};
  EXPECT_TRUE(PngDecoder::UnfilterAndConvert(&state, bits));
  EXPECT_TRUE(PngDecoder::UnfilterAndConvert(&state, again));
  EXPECT_EQ(0, memcmp(bits, again, sizeof bits));
  PngDecoder::Release(&state);
  EXPECT_EQ(0u, state.state);
  EXPECT_EQ(nullptr, state.inflatedData);
  EXPECT_TRUE(PngDecoder::OpenBytes(&state, file.data(), size));
  PngDecoder::Release(&state);
}

TEST(PngDecoderTest, Interlaced3x3UsesPasses1And4To7) {
  // Grey 8-bit, each pixel's value its position y * 3 + x, rows given pass by pass.
  const Bytes rows = {0, 0,           // pass 1: (0,0)
                      0, 2,           // pass 4: (2,0)
                      0, 6, 8,        // pass 5: (0,2) (2,2)
                      0, 1, 0, 7,     // pass 6: (1,0), then (1,2)
                      0, 3, 4, 5};    // pass 7: row 1
  const Bytes file = test::AssemblePng({{"IHDR", test::IhdrData(3, 3, 8, 0, 1)}, {"IDAT", Zlib(rows)}, {"IEND", {}}});
  PngDecoderState state;
  PngDecoder::Reset(&state);
  ASSERT_TRUE(PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size())));
  ASSERT_TRUE(PngDecoder::Decode(&state));
  EXPECT_EQ(rows.size(), state.inflatedSize);
  uint8_t bits[12];
  memset(bits, 0xEE, sizeof bits);
  ASSERT_TRUE(PngDecoder::UnfilterAndConvert(&state, bits));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(y * 3 + x, bits[y * 4 + x]) << x << ", " << y;
    EXPECT_EQ(0xEE, bits[y * 4 + 3]) << "stride padding of row " << y;
  }
  PngDecoder::Release(&state);
}

TEST(PngDecoderTest, AllocationFailureAtEachSite) {
  // Inflated data, bitmap bits, row buffers, and for Adam7 the pass row.
  const struct {
    const char* name;
    Bytes file;
    int sites;
  } cases[] = {
      {"plain", test::AssemblePng(BaseChunks()), 3},
      {"interlaced 1-bit", test::ReadWholeFile(test::PngSuitePath("basi0g01.png")), 4},
      {"interlaced RGBA", test::ReadWholeFile(test::PngSuitePath("basi6a16.png")), 4},
  };
  for (const auto& c : cases) {
    const long live = LiveAllocationCount();
    int failures = 0;
    for (long allowed = 0;; ++allowed) {
      SetAllocationFailureAfter(allowed);
      std::vector<uint8_t> bmp;
      const uint32_t code = ConvertPngToBmp(c.file.data(), static_cast<uint32_t>(c.file.size()), &bmp);
      SetAllocationFailureAfter(-1);
      EXPECT_EQ(live, LiveAllocationCount()) << c.name << " failing allocation " << allowed;
      if (code == 0) break;
      EXPECT_EQ(0x2005u, code) << c.name;
      ++failures;
      ASSERT_LT(failures, 10);
    }
    EXPECT_EQ(c.sites, failures) << c.name;
  }

  // A failed Decode leaves the record opened, so it can be run again.
  const Bytes file = test::AssemblePng(BaseChunks());
  PngDecoderState state;
  PngDecoder::Reset(&state);
  ASSERT_TRUE(PngDecoder::OpenBytes(&state, file.data(), static_cast<uint32_t>(file.size())));
  SetAllocationFailureAfter(0);
  EXPECT_FALSE(PngDecoder::Decode(&state));
  EXPECT_EQ(0x2005u, state.lastError);
  EXPECT_EQ(1u, state.state);
  EXPECT_TRUE(PngDecoder::Decode(&state));
  // A failed conversion leaves it decoded.
  uint8_t bits[80];
  SetAllocationFailureAfter(0);
  EXPECT_FALSE(PngDecoder::UnfilterAndConvert(&state, bits));
  EXPECT_EQ(2u, state.state);
  EXPECT_TRUE(PngDecoder::UnfilterAndConvert(&state, bits));
  PngDecoder::Release(&state);
}

}  // namespace
}  // namespace vidod
