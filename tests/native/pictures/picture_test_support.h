// Shared helpers of the picture tests: building PNG files and DEFLATE streams
// by hand, and the reference decoders (zlib, libpng) used as oracles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/png_decoder.h"

namespace vidod {
namespace test {

using Bytes = std::vector<uint8_t>;

Bytes ReadWholeFile(const std::string& path);

// The files of the PNG conformance suite, by name in sorted order, and the
// path of one of them.
std::vector<std::string> PngSuiteFiles();
std::string PngSuitePath(const std::string& name);

// --- PNG files ---------------------------------------------------------------

struct Chunk {
  std::string type;  // four letters
  Bytes data;
};
// The signature followed by the chunks, each with its correct CRC.
Bytes AssemblePng(const std::vector<Chunk>& chunks);
Bytes IhdrData(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
               uint8_t interlace = 0, uint8_t compression = 0, uint8_t filter = 0);
// A zlib stream cut into IDAT chunks of the given sizes (0 allowed), the
// rest in a last one.
std::vector<Chunk> IdatChunks(const Bytes& zlibStream, const std::vector<size_t>& pieces = {},
                              const std::string& type = "IDAT");
Bytes ZlibCompress(const Bytes& data, int level, int strategy);

// Random samples (and, for indexed images, a random full palette) written by
// libpng with every filter type in use.
Bytes EncodeWithLibpng(uint32_t width, uint32_t height, int colourType, int bitDepth, bool interlaced,
                       uint32_t seed);

// libpng's reading reduced to what a DIB shows: R G B A bytes per pixel, high
// byte of 16-bit samples, grey scaled to 8 bits, palette looked up.
struct OraclePicture {
  bool ok = false;
  uint32_t width = 0;
  uint32_t height = 0;
  int colourType = 0;
  Bytes rgba;
};
OraclePicture DecodeWithLibpng(const Bytes& png);

// A .bmp file as made by ConvertPngToBmp, checked for the layout it must have
// and resolved to R G B A through its colour table (A is the fourth byte of
// 32-bit pixels, 0 otherwise).
struct BmpPicture {
  bool ok = false;
  std::string fault;  // why ok is false
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t bitCount = 0;
  uint32_t coloursUsed = 0;
  std::vector<DibColour> colours;
  Bytes rgba;
};
BmpPicture ReadBmp(const Bytes& file);

// --- DEFLATE streams -----------------------------------------------------------

// Bits packed from the least significant end; Huffman codes go most
// significant bit first.
class BitWriter {
 public:
  void Bits(uint32_t value, int count);
  void Code(uint32_t code, int length);
  void AlignToByte();
  void Byte(uint8_t value);
  Bytes Finish();

 private:
  Bytes bytes_;
  uint32_t pending_ = 0;
  int pendingCount_ = 0;
};

// Canonical codes of RFC 1951 for a list of code lengths (0 = no code).
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths);

void FixedSymbol(BitWriter* out, int symbol);
void FixedDistance(BitWriter* out, int code);

// One code-length symbol of a dynamic header with its extra bits.
struct LengthStep {
  int symbol;
  uint32_t extra;
};
// A code-length code giving every one of the 19 symbols a code (0 to 12 in
// 4 bits, 13 to 18 in 5 bits).
std::vector<uint8_t> FullCodeLengthCode();
// Writes a dynamic block header: all 19 code-length code lengths, then the
// steps encoded with that code.
void DynamicHeader(BitWriter* out, bool final, uint32_t literalCount, uint32_t distanceCount,
                   const std::vector<uint8_t>& codeLengthCode, const std::vector<LengthStep>& steps);
// Steps that spell out the lengths one by one.
std::vector<LengthStep> PlainSteps(const std::vector<uint8_t>& lengths);

// zlib's inflate of the DEFLATE data after the 2-byte zlib header (so
// neither the header nor the Adler-32 is checked): true when the final block
// ends having produced exactly size bytes.
bool ZlibInflatesBody(const Bytes& stream, size_t size, Bytes* out);

}  // namespace test
}  // namespace vidod
