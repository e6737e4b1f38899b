// The benchmark program: registers every pair of subject and reference, runs
// them with repetitions in random interleaved order (unless the command line
// says otherwise) and ends with the table of ratios. Besides Google
// Benchmark's flags it takes --pictures=FOLDER (or VIDOD_BENCH_PICTURES), the
// folder of the PNG pictures to decode.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "bench/codec_benchmarks.h"
#include "bench/picture_benchmarks.h"
#include "bench/ratio_report.h"

namespace {

constexpr const char* kPicturesOption = "--pictures=";
constexpr const char* kPicturesVariable = "VIDOD_BENCH_PICTURES";

// Defaults that make a figure trustworthy on a busy machine; a flag given on
// the command line wins.
const char* const kDefaultFlags[] = {
    "--benchmark_repetitions=12",
    "--benchmark_enable_random_interleaving=true",
    "--benchmark_min_time=0.1",
};

bool HasFlag(const std::vector<char*>& args, const char* flag) {
  const char* equals = std::strchr(flag, '=');
  const size_t nameLength = equals ? static_cast<size_t>(equals - flag) + 1 : std::strlen(flag);
  for (const char* arg : args) {
    if (std::strncmp(arg, flag, nameLength) == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string picturesFolder = VIDOD_BENCH_PICTURES_DIR;
  if (const char* fromEnvironment = std::getenv(kPicturesVariable)) {
    picturesFolder = fromEnvironment;
  }
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], kPicturesOption, std::strlen(kPicturesOption)) == 0) {
      picturesFolder = argv[i] + std::strlen(kPicturesOption);
    } else {
      args.push_back(argv[i]);
    }
  }
  std::vector<std::string> defaults;
  for (const char* flag : kDefaultFlags) {
    if (!HasFlag(args, flag)) defaults.emplace_back(flag);
  }
  for (std::string& flag : defaults) args.push_back(&flag[0]);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

  // Kept alive for the whole run: the benchmarks point into it.
  std::vector<vidod::bench::BenchPicture> pictures;
  try {
    pictures = vidod::bench::LoadBenchPictures(picturesFolder);
    vidod::bench::RegisterInflateBenchmarks(&pictures);
    vidod::bench::RegisterPngRouteBenchmarks(pictures);
    vidod::bench::RegisterLzwBenchmarks();
    vidod::bench::RegisterJudgeBenchmarks();
    vidod::bench::RegisterCorrectionBenchmarks();
  } catch (const std::exception& failure) {
    std::cerr << "vidod_bench: " << failure.what() << "\n";
    return 1;
  }

  vidod::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintSummary(std::cout);
  return 0;
}
