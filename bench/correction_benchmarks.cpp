// check --corriger (CorrectAnswersInSource) on sources of 10 000 and 40 000
// answers to correct, against the least that any correction does: one
// reading of the same text by the TOML parser. The correction reads the text
// three times (the original, its quiz, the corrected text read back) and
// rewrites it once, so its ratio stays the same as the source grows; a
// correction that rescanned the text for each answer would fall behind four
// times over from one size to the next.
#include <toml++/toml.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "bench/codec_benchmarks.h"
#include "bench/ratio_report.h"
#include "maker/quiz_project.h"

namespace vidod {
namespace bench {
namespace {

// One question per answer, each with a typographic apostrophe to correct.
std::string SourceOfAnswers(int count) {
  std::string source;
  for (int i = 0; i < count; ++i) source += "[[question]]\nreponse = \"l\u2019eau " + std::to_string(i) + "\"\n";
  return source;
}

void RegisterSize(int count) {
  static std::vector<std::string> sources;
  sources.reserve(2);
  sources.push_back(SourceOfAnswers(count));
  const std::string& source = sources.back();
  std::string corrected, error;
  std::vector<std::string> changes;
  if (CorrectAnswersInSource(source, &corrected, &changes, &error) != SourceCorrection::kDone ||
      changes.size() != static_cast<size_t>(count))
    throw std::runtime_error("the benchmark source must correct every answer: " + error);

  const std::string prefix = "Correct/" + std::to_string(count);
  benchmark::RegisterBenchmark((prefix + "/CorrectAnswersInSource").c_str(), [&source](benchmark::State& state) {
    for (auto _ : state) {
      std::string text, message;
      std::vector<std::string> lines;
      SourceCorrection result = CorrectAnswersInSource(source, &text, &lines, &message);
      benchmark::DoNotOptimize(result);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark((prefix + "/toml-parse").c_str(), [&source](benchmark::State& state) {
    for (auto _ : state) {
      toml::table root = toml::parse(source);
      benchmark::DoNotOptimize(root);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * source.size()));
  })->Unit(benchmark::kMillisecond);
  DeclareRatio({"--corriger " + std::to_string(count) + " answers / toml++ parse", prefix + "/CorrectAnswersInSource",
                prefix + "/toml-parse", 0, {}});
}

}  // namespace

void RegisterCorrectionBenchmarks() {
  RegisterSize(10000);
  RegisterSize(40000);
}

}  // namespace bench
}  // namespace vidod
