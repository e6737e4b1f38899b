#include "bench/ratio_report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <thread>

#include <unistd.h>

namespace vidod {
namespace bench {
namespace {

constexpr const char* kBytesPerSecond = "bytes_per_second";
constexpr double kMegabyte = 1e6;

std::vector<RatioFigure>& Figures() {
  static std::vector<RatioFigure> figures;
  return figures;
}

std::vector<std::string>& Notes() {
  static std::vector<std::string> notes;
  return notes;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Fastest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

std::string CpuModel() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("model name", 0) == 0) {
      const size_t colon = line.find(':');
      if (colon != std::string::npos) return line.substr(colon + 2);
    }
  }
  return "unknown CPU";
}

std::string Format(const char* pattern, double value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

}  // namespace

void DeclareRatio(RatioFigure figure) { Figures().push_back(std::move(figure)); }

void AddSummaryNote(const std::string& note) { Notes().push_back(note); }

RatioReporter::RatioReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  std::vector<Run> shown;
  for (const Run& run : runs) {
    if (run.run_type == Run::RT_Aggregate || run.error_occurred || run.repetitions <= 1) {
      shown.push_back(run);
    }
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    Samples& samples = samples_[run.run_name.function_name];
    const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    samples.seconds.push_back(seconds);
    // Counters asked for here are sizes, the same in every repetition. The
    // byte rate arrives divided by the CPU time; the bytes per iteration are
    // kept so that the table can give the rate of the median time.
    for (const auto& counter : run.counters) {
      if (counter.first == kBytesPerSecond) {
        samples.bytesPerIteration = counter.second.value * seconds;
      } else {
        samples.counters[counter.first] = counter.second.value;
      }
    }
  }
  if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
}

int RatioReporter::PrintSummary(std::ostream& out) const {
  out << "\nRatios (our throughput / reference throughput, same work, same run; CPU time,\n"
      << "median and fastest of the repetitions; ours, reference: median time of one call)\n";
  out << "machine: " << std::thread::hardware_concurrency() << " cores, " << CpuModel() << "\n\n";
  const char* header = "%-50s %7s %8s %7s %11s %11s %9s  %s\n";
  char line[512];
  std::snprintf(line, sizeof line, header, "figure", "median", "fastest", "target", "ours",
                "reference", "ours MB/s", "extra");
  out << line;
  int missed = 0;
  int unmeasured = 0;
  for (const RatioFigure& figure : Figures()) {
    const auto subject = samples_.find(figure.subject);
    const auto reference = samples_.find(figure.reference);
    if (subject == samples_.end() || reference == samples_.end()) {
      ++unmeasured;
      continue;
    }
    const double medianRatio = Median(reference->second.seconds) / Median(subject->second.seconds);
    const double fastestRatio =
        Fastest(reference->second.seconds) / Fastest(subject->second.seconds);
    std::string extra;
    for (const std::string& name : figure.counters) {
      const auto counter = subject->second.counters.find(name);
      if (counter == subject->second.counters.end()) continue;
      extra += name + "=" + Format("%.0f", counter->second) + " ";
    }
    std::string target = "-";
    if (figure.target > 0) {
      target = Format("%.2f", figure.target);
      if (medianRatio < figure.target) {
        ++missed;
        extra += "(below target)";
      }
    }
    const double subjectSeconds = Median(subject->second.seconds);
    const std::string rate =
        subject->second.bytesPerIteration > 0
            ? Format("%.1f", subject->second.bytesPerIteration / subjectSeconds / kMegabyte)
            : "-";
    std::snprintf(line, sizeof line, header, figure.figure.c_str(),
                  Format("%.3f", medianRatio).c_str(), Format("%.3f", fastestRatio).c_str(),
                  target.c_str(), Format("%.1f us", subjectSeconds * 1e6).c_str(),
                  Format("%.1f us", Median(reference->second.seconds) * 1e6).c_str(), rate.c_str(),
                  extra.c_str());
    out << line;
  }
  if (unmeasured > 0) out << unmeasured << " figures not measured (filtered out, or failed)\n";
  const std::string verdict = missed == 0 ? "all met" : std::to_string(missed) + " missed";
  out << "\ntargets: " << verdict << "\n";
  if (!Notes().empty()) out << "\n";
  for (const std::string& note : Notes()) out << "note: " << note << "\n";
  return missed;
}

}  // namespace bench
}  // namespace vidod
