// mesh_tools_bench [MEGABYTES] [FOLDER]: times AppendOBJ and ScaleUVs on a generated grid OBJ of
// about MEGABYTES MB (default 200) against a plain copy of the same file, measured in one run.
// The generated and written files live in FOLDER (default /tmp) and are deleted at the end.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"

namespace {

using mevrix::bench::Measurement;

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 200.0;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const std::string input = folder + "/mevrix_bench_grid.obj";
  const std::string copied = folder + "/mevrix_bench_copy.obj";
  const std::string merged = folder + "/mevrix_bench_merged.obj";
  const std::string scaled = folder + "/mevrix_bench_scaled.obj";

  mevrix::bench::GridOptions options;
  options.verticesPerSide = mevrix::bench::verticesPerSideForSize(megabytes, false);
  mevrix::bench::writeGridObj(input, options);
  const double inputMB = mevrix::bench::fileMegabytes(input);
  std::printf("input: %d x %d grid, %.1f MB\n", options.verticesPerSide, options.verticesPerSide,
              inputMB);

  const auto groupListClear = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "GroupListClear");
  const auto appendObj = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "AppendOBJ");
  const auto scaleUvs = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "ScaleUVs");

  // The copy runs first and last; the faster of the two is the baseline, so that a cold cache
  // or pending write-back of the freshly generated input does not flatter the exports.
  const auto copyOnce = [&] { return mevrix::bench::plainCopy(input, copied); };
  const Measurement firstCopy = mevrix::bench::measure(copyOnce);
  std::remove(merged.c_str());
  const Measurement append = mevrix::bench::measure([&] {
    groupListClear(nullptr, 0.0, nullptr, 0);
    std::string output = merged;
    return static_cast<int>(appendObj(input.c_str(), 0.0, output.data(), 0));
  });
  const Measurement scale = mevrix::bench::measure([&] {
    std::string output = scaled;
    return static_cast<int>(scaleUvs(input.c_str(), 0.5, output.data(), 0));
  });

  const Measurement lastCopy = mevrix::bench::measure(copyOnce);
  const Measurement copy = firstCopy.seconds < lastCopy.seconds ? firstCopy : lastCopy;

  mevrix::bench::printRow("plain copy", copy, inputMB, copy);
  mevrix::bench::printRow("AppendOBJ", append, inputMB, copy);
  mevrix::bench::printRow("ScaleUVs 0.5", scale, inputMB, copy);
  std::printf("output: copy %.1f MB, merged %.1f MB, scaled %.1f MB\n",
              mevrix::bench::fileMegabytes(copied), mevrix::bench::fileMegabytes(merged),
              mevrix::bench::fileMegabytes(scaled));

  const long expectedVertices =
      static_cast<long>(options.verticesPerSide) * options.verticesPerSide;
  const bool good = append.result == expectedVertices && scale.result == 0;
  if (!good) std::printf("unexpected result: AppendOBJ should return %ld\n", expectedVertices);
  for (const std::string& path : {input, copied, merged, scaled}) std::remove(path.c_str());
  return good ? 0 : 1;
}
