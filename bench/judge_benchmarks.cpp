// JudgeAnswer on two texts of the longest length a quiz holds, against the
// plainest way to do its main work: one Levenshtein distance kept in two
// rows. JudgeAnswer computes that distance over a full table, then sorts both
// texts for the anagram test and runs the containment scan.
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "answers/text_compare.h"
#include "answers/verdict.h"
#include "bench/codec_benchmarks.h"
#include "bench/ratio_report.h"
#include "common/text_buffer.h"

namespace vidod {
namespace bench {
namespace {

// A 259-character expected answer (normalised: raised) and a typed answer of
// the same length with a few slips, so that every step of the ladder runs.
std::string ExpectedText() {
  std::string text =
      "LA TOUR EIFFEL A ETE CONSTRUITE PAR GUSTAVE EIFFEL POUR L'EXPOSITION UNIVERSELLE DE "
      "1889 A PARIS ET ELLE EST RESTEE LE MONUMENT LE PLUS HAUT DU MONDE JUSQU'EN 1930 AVANT "
      "DE DEVENIR LE SYMBOLE DE LA CAPITALE FRANCAISE QUE VISITENT CHAQUE ANNEE DES MILLIONS "
      "DE TOURISTES";
  text.resize(kMaxTextLength, '.');
  return text;
}

std::string TypedText(const std::string& expected) {
  std::string typed = expected;
  const size_t slips[] = {5, 31, 62, 90, 127, 160, 201, 240};
  for (size_t at : slips) typed[at] = typed[at] == 'X' ? 'Y' : 'X';
  std::swap(typed[100], typed[101]);
  return typed;
}

int TwoRowDistance(const std::string& a, const std::string& b) {
  int previous[kTextSize];
  int current[kTextSize];
  const size_t n = b.size();
  for (size_t j = 0; j <= n; ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = static_cast<int>(i);
    for (size_t j = 1; j <= n; ++j) {
      const int substitution = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
    }
    std::memcpy(previous, current, sizeof(int) * (n + 1));
  }
  return previous[n];
}

// Verdicts are code page 1252; the terminal reads UTF-8. The accented
// letters of the verdicts are all in the range that matches Latin-1.
std::string ToUtf8(const char* text) {
  std::string out;
  for (; *text; ++text) {
    const unsigned char byte = static_cast<unsigned char>(*text);
    if (byte < 0x80) {
      out += static_cast<char>(byte);
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace

void RegisterJudgeBenchmarks() {
  static const std::string expected = ExpectedText();
  static const std::string typed = TypedText(expected);
  if (expected.size() != static_cast<size_t>(kMaxTextLength) || typed.size() != expected.size()) {
    throw std::runtime_error("judge texts must have the longest length");
  }
  const std::string verdict = ToUtf8(JudgeAnswer(expected.c_str(), typed.c_str()));
  AddSummaryNote("JudgeAnswer on two " + std::to_string(expected.size()) +
                 "-character texts gives \"" + verdict + "\"; their distance is " +
                 std::to_string(TwoRowDistance(expected, typed)));

  benchmark::RegisterBenchmark("Judge/259/JudgeAnswer", [](benchmark::State& state) {
    for (auto _ : state) {
      const char* verdict = JudgeAnswer(expected.c_str(), typed.c_str());
      benchmark::DoNotOptimize(verdict);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  });
  benchmark::RegisterBenchmark("Judge/259/two-row-distance", [](benchmark::State& state) {
    for (auto _ : state) {
      int distance = TwoRowDistance(expected, typed);
      benchmark::DoNotOptimize(distance);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
  });
  // Its two heaviest steps alone, to show where the time goes.
  benchmark::RegisterBenchmark("Judge/259/EditDistance", [](benchmark::State& state) {
    for (auto _ : state) {
      int distance = EditDistance(expected.c_str(), typed.c_str());
      benchmark::DoNotOptimize(distance);
    }
  });
  benchmark::RegisterBenchmark("Judge/259/IsAnagram", [](benchmark::State& state) {
    for (auto _ : state) {
      bool anagram = IsAnagram(expected.c_str(), typed.c_str());
      benchmark::DoNotOptimize(anagram);
    }
  });
  DeclareRatio({"JudgeAnswer 259+259 / two-row distance", "Judge/259/JudgeAnswer",
                "Judge/259/two-row-distance", 0, {}});
  DeclareRatio({"  its EditDistance / two-row distance", "Judge/259/EditDistance",
                "Judge/259/two-row-distance", 0, {}});
  DeclareRatio({"  its IsAnagram / two-row distance", "Judge/259/IsAnagram",
                "Judge/259/two-row-distance", 0, {}});
}

}  // namespace bench
}  // namespace vidod
