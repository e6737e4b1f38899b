// Registration of the LZW codec, answer-judging and answer-correcting
// benchmarks.
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

// check --corriger on sources of 10 000 and 40 000 answers against one
// reading of the same text by the TOML parser.
void RegisterCorrectionBenchmarks();

}  // namespace bench
}  // namespace vidod
