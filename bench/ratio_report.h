// The summary that closes a benchmark run: each figure is the throughput of
// one of our routines divided by that of a reference doing the same work,
// both measured in the same run. Benchmarks run with repetitions in random
// interleaved order, so that the load of a shared machine falls on subject
// and reference alike. Times are the process's CPU time per iteration (every
// benchmark is single-threaded), which a busy machine disturbs less than the
// wall clock; the ratio is taken between median times (and, as a second
// view, between the fastest repetitions).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vidod {
namespace bench {

struct RatioFigure {
  std::string figure;     // what the row measures, e.g. "Inflate kodim02"
  std::string subject;    // benchmark name of our routine
  std::string reference;  // benchmark name of the reference doing the same work
  double target;          // least acceptable ratio, 0 when there is none
  // Counters of the subject run printed beside the ratio (e.g. packed size).
  std::vector<std::string> counters;
};

// Ratios to print at the end of the run, in declaration order.
void DeclareRatio(RatioFigure figure);

// Notes printed under the table (failure results, limits met while setting up).
void AddSummaryNote(const std::string& note);

// The console reporter, recording every repetition's time per iteration and
// the counters of each benchmark for the summary.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only when writing to a terminal.
  RatioReporter();
  // Shows the aggregates (median, spread) and keeps every repetition.
  void ReportRuns(const std::vector<Run>& runs) override;
  // Prints the ratio table; returns the number of figures below target.
  int PrintSummary(std::ostream& out) const;

 private:
  struct Samples {
    std::vector<double> seconds;  // CPU time per iteration, one per repetition
    double bytesPerIteration = 0;  // when the benchmark counts bytes
    std::map<std::string, double> counters;
  };
  std::map<std::string, Samples> samples_;
};

}  // namespace bench
}  // namespace vidod
