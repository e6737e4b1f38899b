// Registration of the LZW codec and answer-judging benchmarks.
#pragma once

namespace vidod {
namespace bench {

// LzwEncoder::Encode and LzwDecoder::Decode against zlib's deflate and inflate
// of the same bytes, on quiz-like text and on random bytes (cut to the
// largest input whose packed form the encoder can hold).
void RegisterLzwBenchmarks();

// JudgeAnswer on two 259-character texts against a plain two-row edit
// distance of the same texts.
void RegisterJudgeBenchmarks();

}  // namespace bench
}  // namespace vidod
