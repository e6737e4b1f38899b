#include "pictures/inflater.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>

#include "picture_test_support.h"

namespace vidod {
namespace {

using test::BitWriter;
using test::Bytes;
using test::Chunk;
using test::LengthStep;

constexpr size_t kGuardSize = 64;
constexpr uint8_t kGuardByte = 0xA5;
constexpr uint8_t kZlibHeader[2] = {0x78, 0x01};

struct InflateRun {
  bool ok = false;
  uint32_t lastError = 0;
  Bytes out;
  bool guardIntact = false;
};

// Inflates a run of chunks (placed after a PNG signature and followed by
// IEND, then the last cut bytes of all dropped) into a buffer of exactly size
// bytes, watched by guard bytes. No chunks: no image data at all.
InflateRun RunInflate(std::vector<Chunk> chunks, size_t size, size_t cut = 0) {
  const bool noImageData = chunks.empty();
  chunks.push_back({"IEND", {}});
  Bytes source = test::AssemblePng(chunks);
  source.resize(source.size() - cut);
  Bytes buffer(size + kGuardSize, kGuardByte);
  PngDecoderState state = {};
  state.sourceBytes = source.data();
  state.sourceSize = static_cast<uint32_t>(source.size());
  state.firstImageData = noImageData ? nullptr : source.data() + 8;
  state.inflatedData = buffer.data();
  state.inflatedSize = static_cast<uint32_t>(size);
  state.lastError = 0x1234;
  InflateRun run;
  run.ok = Inflate(&state);
  run.lastError = state.lastError;
  run.guardIntact = Bytes(buffer.begin() + size, buffer.end()) == Bytes(kGuardSize, kGuardByte);
  run.out.assign(buffer.begin(), buffer.begin() + size);
  return run;
}

InflateRun RunInflate(const Bytes& stream, size_t size) {
  return RunInflate(test::IdatChunks(stream), size);
}

Bytes WithZlibHeader(Bytes body) {
  body.insert(body.begin(), kZlibHeader, kZlibHeader + 2);
  return body;
}

Bytes SampleData(int kind, size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes data(size);
  for (size_t i = 0; i < size; ++i) {
    switch (kind) {
      case 0:  // noise: stored blocks or literals only
        data[i] = static_cast<uint8_t>(random());
        break;
      case 1:  // image-like: gradients with noise and flat runs
        data[i] = static_cast<uint8_t>(((i / 64) % 5 == 0) ? 200 : (i % 251) + (random() % 4));
        break;
      default:  // text-like: words from a small vocabulary
        data[i] = static_cast<uint8_t>("le chat dort sur la table "[(i * 7 + random() % 3) % 26]);
        break;
    }
  }
  return data;
}

TEST(InflaterTest, MatchesZlibAcrossLevelsStrategiesAndData) {
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  for (int kind = 0; kind < 3; ++kind) {
    for (size_t size : {size_t{1}, size_t{300}, size_t{70000}, size_t{260000}}) {
      const Bytes data = SampleData(kind, size, static_cast<uint32_t>(size + kind));
      for (int level : {0, 1, 6, 9}) {
        for (int strategy : strategies) {
          const InflateRun run = RunInflate(test::ZlibCompress(data, level, strategy), size);
          ASSERT_TRUE(run.ok) << "kind " << kind << " size " << size << " level " << level
                              << " strategy " << strategy;
          EXPECT_EQ(0u, run.lastError);
          EXPECT_TRUE(run.out == data);
          EXPECT_TRUE(run.guardIntact);
        }
      }
    }
  }
}

TEST(InflaterTest, StreamSplitOverManyIdatChunks) {
  const Bytes data = SampleData(1, 50000, 7);
  const Bytes stream = test::ZlibCompress(data, 9, Z_DEFAULT_STRATEGY);
  std::mt19937 random(3);
  std::vector<size_t> pieces = {0, 1, 0, 0, 2, 3};  // an empty first chunk, empties in a row
  for (size_t total = 6; total < stream.size(); total += pieces.back()) pieces.push_back(random() % 40);
  const std::vector<size_t> oneByteEach(stream.size(), 1);
  for (const std::vector<size_t>& split : {pieces, oneByteEach}) {
    const InflateRun run = RunInflate(test::IdatChunks(stream, split), data.size());
    ASSERT_TRUE(run.ok);
    EXPECT_TRUE(run.out == data);
  }
  // The walk takes the last letter of IDAT in either case.
  const InflateRun lower = RunInflate(test::IdatChunks(stream, {100, 0, 5}, "IDAt"), data.size());
  ASSERT_TRUE(lower.ok);
  EXPECT_TRUE(lower.out == data);
}

struct StreamCase {
  const char* name;
  Bytes stream;
  size_t size;
  Bytes expected;
};

Bytes Repeated(uint8_t value, size_t count) { return Bytes(count, value); }

// A fixed-code final block made of literals (0 to 255) and (length symbol,
// extra, distance code, extra) matches, ended by end-of-block unless told not to.
struct FixedItem {
  int symbol;
  uint32_t lengthExtra = 0;
  int lengthExtraBits = 0;
  int distanceCode = 0;
  uint32_t distanceExtra = 0;
  int distanceExtraBits = 0;
};
Bytes FixedBlock(const std::vector<FixedItem>& items, bool endOfBlock = true, bool final = true) {
  BitWriter out;
  out.Bits(final ? 1 : 0, 1);
  out.Bits(1, 2);
  for (const FixedItem& item : items) {
    test::FixedSymbol(&out, item.symbol);
    if (item.symbol > 256) {
      out.Bits(item.lengthExtra, item.lengthExtraBits);
      test::FixedDistance(&out, item.distanceCode);
      out.Bits(item.distanceExtra, item.distanceExtraBits);
    }
  }
  if (endOfBlock) test::FixedSymbol(&out, 256);
  return WithZlibHeader(out.Finish());
}

Bytes StoredBlocks(const std::vector<Bytes>& blocks, uint16_t complementFlip = 0) {
  Bytes body;
  for (size_t i = 0; i < blocks.size(); ++i) {
    const uint16_t length = static_cast<uint16_t>(blocks[i].size());
    const uint16_t complement = static_cast<uint16_t>(~length ^ complementFlip);
    body.insert(body.end(), {static_cast<uint8_t>(i + 1 == blocks.size() ? 1 : 0),
                             static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                             static_cast<uint8_t>(complement), static_cast<uint8_t>(complement >> 8)});
    body.insert(body.end(), blocks[i].begin(), blocks[i].end());
  }
  return WithZlibHeader(body);
}

// A final dynamic block: the literal/length and distance lengths, spelt one
// by one unless steps are given, then the symbols (literals, 256, or a
// length symbol followed by a distance code; no extra bits in these cases).
Bytes DynamicBlock(const std::vector<uint8_t>& literalLengths, const std::vector<uint8_t>& distanceLengths,
                   const std::vector<int>& symbols, std::vector<LengthStep> steps = {},
                   std::vector<uint8_t> codeLengthCode = test::FullCodeLengthCode()) {
  if (steps.empty()) {
    std::vector<uint8_t> all = literalLengths;
    all.insert(all.end(), distanceLengths.begin(), distanceLengths.end());
    steps = test::PlainSteps(all);
  }
  BitWriter out;
  test::DynamicHeader(&out, true, static_cast<uint32_t>(literalLengths.size()),
                      static_cast<uint32_t>(distanceLengths.size()), codeLengthCode, steps);
  const std::vector<uint32_t> literalCodes = test::CanonicalCodes(literalLengths);
  const std::vector<uint32_t> distanceCodes = test::CanonicalCodes(distanceLengths);
  bool distanceNext = false;
  for (int symbol : symbols) {
    if (distanceNext) {
      out.Code(distanceCodes[symbol], distanceLengths[symbol]);
    } else {
      out.Code(literalCodes[symbol], literalLengths[symbol]);
    }
    distanceNext = !distanceNext && symbol > 256;
  }
  return WithZlibHeader(out.Finish());
}

// Literal/length lengths over 0..count-1 with the given symbols coded.
std::vector<uint8_t> Lengths(size_t count, std::initializer_list<std::pair<int, uint8_t>> coded) {
  std::vector<uint8_t> lengths(count, 0);
  for (const auto& entry : coded) lengths[entry.first] = entry.second;
  return lengths;
}

const std::vector<uint8_t> kAB = Lengths(258, {{'a', 2}, {'b', 2}, {256, 2}, {257, 2}});

TEST(InflaterTest, ValidCraftedStreams) {
  Bytes wrongAdler = test::ZlibCompress(SampleData(2, 1000, 1), 6, Z_DEFAULT_STRATEGY);
  wrongAdler.back() ^= 0x55;
  Bytes wrongCheck = test::ZlibCompress(SampleData(2, 1000, 1), 6, Z_DEFAULT_STRATEGY);
  wrongCheck[1] ^= 0x01;
  Bytes noAdler = test::ZlibCompress(SampleData(2, 1000, 1), 6, Z_DEFAULT_STRATEGY);
  noAdler.resize(noAdler.size() - 4);

  // The repeat code 16 carries the last literal/length length (of 257) into
  // the first three distance lengths; the fourth is spelt out.
  const std::vector<LengthStep> carried = {{18, 86}, {1, 0}, {18, 127}, {18, 9},
                                           {2, 0},   {2, 0}, {16, 0},   {2, 0}};
  const std::vector<uint8_t> carriedLiterals = Lengths(258, {{'a', 1}, {256, 2}, {257, 2}});

  const StreamCase cases[] = {
      // stored block of length 0 before the data
      {"stored LEN 0", StoredBlocks({{}, {'a', 'b', 'c'}}), 3, {'a', 'b', 'c'}},
      // length 258 (symbol 285) at distance 1 repeats the previous byte
      {"258 at distance 1", FixedBlock({{'x'}, {285, 0, 0, 0}}), 259, Repeated('x', 259)},
      // a match longer than its distance repeats what it has just written
      {"overlapping match", FixedBlock({{'a'}, {'b'}, {258, 0, 0, 1}}), 6, {'a', 'b', 'a', 'b', 'a', 'b'}},
      // the largest distance, 32768 (code 29, extra 8191), reaching the first byte
      {"distance 32768",
       [] {
         BitWriter out;
         out.Bits(0, 1), out.Bits(0, 2), out.AlignToByte();
         Bytes body = out.Finish();
         body.insert(body.end(), {0x00, 0x80, 0xFF, 0x7F});
         for (int i = 0; i < 32768; ++i) body.push_back(static_cast<uint8_t>(i * 13));
         BitWriter tail;
         tail.Bits(1, 1), tail.Bits(1, 2);
         test::FixedSymbol(&tail, 257);
         test::FixedDistance(&tail, 29);
         tail.Bits(8191, 13);
         test::FixedSymbol(&tail, 256);
         const Bytes end = tail.Finish();
         body.insert(body.end(), end.begin(), end.end());
         return WithZlibHeader(body);
       }(),
       32771,
       [] {
         Bytes expected;
         for (int i = 0; i < 32768; ++i) expected.push_back(static_cast<uint8_t>(i * 13));
         expected.insert(expected.end(), {0, 13, 26});
         return expected;
       }()},
      // repeat 16 running from the literal/length lengths into the distance lengths
      {"repeat into distances", DynamicBlock(carriedLiterals, {2, 2, 2, 2}, {'a', 257, 0, 256}, carried), 4,
       {'a', 'a', 'a', 'a'}},
      // a lone distance code of length 1, as encoders emit for a single distance
      {"single distance code", DynamicBlock(kAB, {1}, {'a', 'b', 257, 0, 256}), 5, {'a', 'b', 'b', 'b', 'b'}},
      // no distance codes at all, and no match
      {"no distance codes", DynamicBlock(kAB, {0}, {'a', 'b', 256}), 2, {'a', 'b'}},
      // a block whose only code is end-of-block, after a stored block
      {"end-of-block only",
       [] {
         Bytes stored = {0x00, 0x02, 0x00, 0xFD, 0xFF, 'o', 'k'};
         const Bytes dynamic = DynamicBlock(Lengths(257, {{256, 1}}), {0}, {256});
         stored.insert(stored.end(), dynamic.begin() + 2, dynamic.end());
         return WithZlibHeader(stored);
       }(),
       2, {'o', 'k'}},
      // wrong Adler-32: not verified
      {"wrong Adler-32", wrongAdler, 1000, SampleData(2, 1000, 1)},
      // wrong header check value: not verified
      {"wrong header check", wrongCheck, 1000, SampleData(2, 1000, 1)},
      // the checksum missing after the final block: the data is complete
      {"Adler-32 missing", noAdler, 1000, SampleData(2, 1000, 1)},
  };
  for (const StreamCase& c : cases) {
    const InflateRun run = RunInflate(c.stream, c.size);
    EXPECT_TRUE(run.ok) << c.name;
    EXPECT_EQ(0u, run.lastError) << c.name;
    EXPECT_TRUE(run.out == c.expected) << c.name;
    EXPECT_TRUE(run.guardIntact) << c.name;
    Bytes zlibOut;
    EXPECT_TRUE(test::ZlibInflatesBody(c.stream, c.size, &zlibOut)) << c.name;
    EXPECT_TRUE(zlibOut == c.expected) << c.name;
  }
}

TEST(InflaterTest, MalformedStreamsFailWithinBounds) {
  Bytes truncated = test::ZlibCompress(SampleData(1, 5000, 2), 6, Z_DEFAULT_STRATEGY);
  truncated.resize(truncated.size() / 2);
  const Bytes valid = test::ZlibCompress(SampleData(1, 5000, 2), 6, Z_DEFAULT_STRATEGY);
  std::vector<Chunk> interrupted = test::IdatChunks(valid, {100});
  interrupted[1].type = "tEXt";
  const std::vector<uint8_t> fullCodes(19, 4);
  std::vector<uint8_t> shortCodes(19, 0);
  for (int symbol = 0; symbol < 13; ++symbol) shortCodes[symbol] = 4;

  struct MalformedCase {
    const char* name;
    Bytes stream;
    size_t size;
    std::vector<Chunk> chunks = {};  // instead of the stream in one IDAT
    size_t cut = 0;                  // bytes dropped from the end of the source
    bool headerFault = false;        // raw DEFLATE (zlib's check) cannot see it
  };
  const MalformedCase cases[] = {
      // header: compression method 7
      {"method 7", {0x77, 0x01, 0x03, 0x00}, 0, {}, 0, true},
      // header: window size field 8
      {"window 8", {0x88, 0x01, 0x03, 0x00}, 0, {}, 0, true},
      // header: preset dictionary requested
      {"preset dictionary", {0x78, 0x20, 0x03, 0x00}, 0, {}, 0, true},
      // nothing after the header
      {"header only", {0x78, 0x01}, 1},
      // block type 3
      {"block type 3", WithZlibHeader({0x07, 0x00}), 1},
      // stored block whose NLEN is not the complement of LEN
      {"NLEN mismatch", StoredBlocks({{'a', 'b'}}, 0x0100), 2},
      // stored block longer than the room left
      {"stored overflow", StoredBlocks({Repeated('s', 10)}), 5},
      // stored block cut short by the end of the input
      {"stored truncated", [] { Bytes s = StoredBlocks({Repeated('s', 10)}); s.resize(s.size() - 6); return s; }(), 10},
      // a literal past the end of the buffer
      {"literal overflow", FixedBlock({{'a'}, {'b'}, {'c'}}), 2},
      // a match past the end of the buffer
      {"match overflow", FixedBlock({{'a'}, {285, 0, 0, 0}}), 10},
      // a distance reaching before the start of the buffer
      {"distance too far", FixedBlock({{'a'}, {257, 0, 0, 1}}), 4},
      // a match before any output
      {"distance at start", FixedBlock({{257, 0, 0, 0}}), 3},
      // literal/length symbol 286
      {"symbol 286", FixedBlock({{'a'}, {286}}), 5},
      // literal/length symbol 287
      {"symbol 287", FixedBlock({{'a'}, {287}}), 5},
      // distance code 30
      {"distance code 30", FixedBlock({{'a'}, {257, 0, 0, 30}}), 4},
      // distance code 31
      {"distance code 31", FixedBlock({{'a'}, {257, 0, 0, 31}}), 4},
      // code-length code over-subscribed (19 codes of 4 bits)
      {"code-length code over-subscribed", DynamicBlock(kAB, {1}, {'a', 256}, {}, fullCodes), 1},
      // code-length code incomplete (13 codes of 4 bits)
      {"code-length code incomplete",
       DynamicBlock(kAB, {1}, {'a', 256}, {}, shortCodes),
       1},
      // literal/length set over-subscribed
      {"literal/length over-subscribed", DynamicBlock(Lengths(257, {{'a', 1}, {'b', 1}, {256, 1}}), {1}, {}), 1},
      // literal/length set incomplete with two codes
      {"literal/length incomplete", DynamicBlock(Lengths(257, {{'a', 1}, {256, 2}}), {1}, {'a', 256}), 1},
      // literal/length set without an end-of-block code
      {"no end-of-block code", DynamicBlock(Lengths(257, {{'a', 1}, {'b', 1}}), {1}, {'a'}), 1},
      // distance set over-subscribed
      {"distance over-subscribed", DynamicBlock(kAB, {1, 1, 1}, {'a', 256}), 1},
      // distance set incomplete with two codes
      {"distance incomplete", DynamicBlock(kAB, {1, 2}, {'a', 256}), 1},
      // a match while no distance has a code
      {"match without distance codes", DynamicBlock(kAB, {0}, {'a', 257, 0}), 4},
      // the unused half of a lone distance code
      {"lone distance code's other half",
       [] {
         BitWriter out;
         test::DynamicHeader(&out, true, 258, 1, test::FullCodeLengthCode(), test::PlainSteps([] {
                               std::vector<uint8_t> all = kAB;
                               all.push_back(1);
                               return all;
                             }()));
         const std::vector<uint32_t> codes = test::CanonicalCodes(kAB);
         out.Code(codes['a'], 2);
         out.Code(codes[257], 2);
         out.Bits(0xFFFF, 16);
         return WithZlibHeader(out.Finish());
       }(),
       4},
      // a repeat running far past HLIT + HDIST lengths
      {"repeat far past the end", DynamicBlock(kAB, {1}, {'a', 256}, {{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 127}}), 1},
      // three zeros when one distance length is left: the tables would be fine
      {"repeat past the end", DynamicBlock(kAB, {1, 0}, {'a', 256}, [] {
         std::vector<uint8_t> all = kAB;
         all.push_back(1);
         std::vector<LengthStep> steps = test::PlainSteps(all);
         steps.push_back({17, 0});
         return steps;
       }()), 1},
      // repeat code 16 as the very first length
      {"repeat 16 first", DynamicBlock(kAB, {1}, {'a', 256}, {{16, 0}, {18, 127}}), 1},
      // input ends inside the code lengths
      {"exhausted in header", [] { Bytes s = DynamicBlock(kAB, {1}, {'a', 256}); s.resize(8); return s; }(), 1},
      // input ends inside a block with codes
      {"exhausted in block", truncated, 5000},
      // input ends where end-of-block would follow: the zeros supplied past
      // the end would read as end-of-block
      {"exhausted before end-of-block", FixedBlock({{'a'}, {'a'}, {'a'}}, false), 3},
      // input ends after a block without the final flag
      {"no final block", [] { Bytes s = {0x78, 0x01, 0x00, 0x01, 0x00, 0xFE, 0xFF, 'z'}; return s; }(), 2},
      // the final block ends before the buffer is full
      {"final block early", FixedBlock({{'a'}}), 2},
      // the rest of the stream in a chunk other than IDAT
      {"run interrupted", valid, 5000, interrupted},
      // the second IDAT's length passes the end of the source
      {"IDAT past the end", valid, 5000, test::IdatChunks(valid, {200}), 22},
      // no image data chunk at all
      {"no IDAT", {}, 1, {}},
  };
  for (const MalformedCase& c : cases) {
    const InflateRun run = c.chunks.empty() && !c.stream.empty() ? RunInflate(c.stream, c.size)
                                                                 : RunInflate(c.chunks, c.size, c.cut);
    EXPECT_FALSE(run.ok) << c.name;
    EXPECT_EQ(0x2000u, run.lastError) << c.name;
    EXPECT_TRUE(run.guardIntact) << c.name;
    Bytes zlibOut;
    if (c.chunks.empty() && !c.headerFault) {
      EXPECT_FALSE(test::ZlibInflatesBody(c.stream, c.size, &zlibOut)) << c.name << " is valid for zlib";
    }
  }
}

}  // namespace
}  // namespace vidod
