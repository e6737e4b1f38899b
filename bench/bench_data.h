// The inputs of the benchmarks: the benchmark pictures with their image data
// taken out of the chunks, and generated quiz-like text and random bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vidod {
namespace bench {

using Bytes = std::vector<uint8_t>;

struct BenchPicture {
  std::string name;      // file name without ".png"
  Bytes file;            // the whole PNG file
  Bytes zlibStream;      // the data of its IDAT chunks, joined
  uint32_t inflatedSize; // filter bytes and scan lines
  uint32_t width;
  uint32_t height;
};

// Every *.png of the folder, in name order. Throws std::runtime_error when
// the folder holds none or a file cannot be read.
std::vector<BenchPicture> LoadBenchPictures(const std::string& folder);

// Text shaped like a decompressed answers blob: French answers, labels and
// reveal texts between "|" delimiters. The same seed gives the same text.
Bytes QuizLikeText(size_t size, uint32_t seed);

Bytes RandomBytes(size_t size, uint32_t seed);

}  // namespace bench
}  // namespace vidod
