// Registration of the picture benchmarks: the inflater against zlib, and the
// whole PNG route against libpng.
#pragma once

#include <vector>

#include "bench/bench_data.h"

namespace vidod {
namespace bench {

// Checks once that ours and the reference produce the same bytes for every
// picture (throws std::runtime_error if not), then registers the pairs and
// declares their ratios.
void RegisterInflateBenchmarks(std::vector<BenchPicture>* pictures);
void RegisterPngRouteBenchmarks(const std::vector<BenchPicture>& pictures);

}  // namespace bench
}  // namespace vidod
