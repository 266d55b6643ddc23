// mesh_tools_bench [MEGABYTES] [FOLDER] [ROUNDS]: times AppendOBJ and ScaleUVs on a generated grid
// OBJ of about MEGABYTES MB (default 200) against a plain copy of the same file, in one run.
// The three are measured in turn for ROUNDS rounds (default 3) and each keeps its fastest time,
// so that a burst of load from elsewhere on the machine does not decide a ratio. The generated and
// written files live in FOLDER (default /tmp) and are deleted at the end.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"

namespace {

using mevrix::bench::Measurement;

// Keeps the fastest time and the highest peak memory seen.
void keepBest(Measurement& best, const Measurement& next, bool first) {
  if (first) {
    best = next;
    return;
  }
  const double peak = std::max(best.peakMiB, next.peakMiB);
  if (next.seconds < best.seconds) best = next;
  best.peakMiB = peak;
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 200.0;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::string input = folder + "/mevrix_bench_grid.obj";
  const std::string copied = folder + "/mevrix_bench_copy.obj";
  const std::string merged = folder + "/mevrix_bench_merged.obj";
  const std::string scaled = folder + "/mevrix_bench_scaled.obj";

  mevrix::bench::GridOptions options;
  options.verticesPerSide = mevrix::bench::verticesPerSideForSize(megabytes, false);
  mevrix::bench::writeGridObj(input, options);
  const double inputMB = mevrix::bench::fileMegabytes(input);
  std::printf("input: %d x %d grid, %.1f MB; best of %d rounds\n", options.verticesPerSide,
              options.verticesPerSide, inputMB, rounds);

  const auto groupListClear = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "GroupListClear");
  const auto appendObj = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "AppendOBJ");
  const auto scaleUvs = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "ScaleUVs");

  Measurement copy;
  Measurement append;
  Measurement scale;
  for (int round = 0; round < rounds; ++round) {
    keepBest(copy, mevrix::bench::measure([&] { return mevrix::bench::plainCopy(input, copied); }),
             round == 0);
    // AppendOBJ appends, so each round starts from an absent output.
    std::remove(merged.c_str());
    keepBest(append, mevrix::bench::measure([&] {
               groupListClear(nullptr, 0.0, nullptr, 0);
               std::string output = merged;
               return static_cast<int>(appendObj(input.c_str(), 0.0, output.data(), 0));
             }),
             round == 0);
    keepBest(scale, mevrix::bench::measure([&] {
               std::string output = scaled;
               return static_cast<int>(scaleUvs(input.c_str(), 0.5, output.data(), 0));
             }),
             round == 0);
  }

  mevrix::bench::printRow("plain copy", copy, inputMB, copy);
  mevrix::bench::printRow("AppendOBJ", append, inputMB, copy);
  mevrix::bench::printRow("ScaleUVs 0.5", scale, inputMB, copy);
  std::printf("output: copy %.1f MB, merged %.1f MB, scaled %.1f MB\n",
              mevrix::bench::fileMegabytes(copied), mevrix::bench::fileMegabytes(merged),
              mevrix::bench::fileMegabytes(scaled));

  const long expectedVertices =
      static_cast<long>(options.verticesPerSide) * options.verticesPerSide;
  const bool good = append.result == expectedVertices && scale.result == 0 && copy.result == 0;
  if (!good) std::printf("unexpected result: AppendOBJ should return %ld\n", expectedVertices);
  for (const std::string& path : {input, copied, merged, scaled}) std::remove(path.c_str());
  return good ? 0 : 1;
}
