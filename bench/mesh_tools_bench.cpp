// mesh_tools_bench [MEGABYTES[,MEGABYTES...]] [FOLDER] [ROUNDS]: times AppendOBJ and ScaleUVs on
// generated grid OBJ files of about MEGABYTES MB each (default 200 and 1000) against a streaming
// copy of the same file (`dd bs=128K`; `cat IN > OUT` is shown beside it), in one run. They are
// measured in turn for ROUNDS rounds (default 3) and each keeps its fastest time, so that a burst
// of load from elsewhere on the machine does not decide a ratio; each run writes a new file after
// the last run's pages are written back. Targets: time at most 3 times the streaming copy's, the
// call's own peak memory at most 16 MiB whatever the input's size. The generated and written
// files live in FOLDER (default /tmp) and are deleted at the end.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using mevrix::bench::Measurement;

constexpr double kMaxPeakMiB = 16;
constexpr double kMaxCopyRatio = 3;

// Keeps the fastest time and the highest peak memory seen.
void keepBest(Measurement& best, const Measurement& next, bool first) {
  if (first) {
    best = next;
    return;
  }
  const double peak = std::max(best.ownPeakMiB(), next.ownPeakMiB());
  if (next.seconds < best.seconds) best = next;
  best.peakMiB = best.startMiB + peak;
}

bool verdict(const char* name, const Measurement& m, const Measurement& copy) {
  const bool met = m.seconds <= kMaxCopyRatio * copy.seconds && m.ownPeakMiB() <= kMaxPeakMiB;
  std::printf("  %-14s time <= 3x copy, own peak <= 16 MiB: %s\n", name, met ? "met" : "MISSED");
  return met;
}

std::vector<double> parseSizes(const char* text) {
  std::vector<double> sizes;
  for (char* p = const_cast<char*>(text); *p;) {
    sizes.push_back(std::strtod(p, &p));
    if (*p != ',') break;
    ++p;
  }
  return sizes;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<double> sizes = argc > 1 ? parseSizes(argv[1]) : std::vector<double>{200, 1000};
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const std::string input = folder + "/mevrix_bench_grid.obj";
  const std::string copied = folder + "/mevrix_bench_copy.obj";
  const std::string merged = folder + "/mevrix_bench_merged.obj";
  const std::string scaled = folder + "/mevrix_bench_scaled.obj";

  const auto groupListClear = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "GroupListClear");
  const auto appendObj = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "AppendOBJ");
  const auto scaleUvs = mevrix::bench::loadExport(MEVRIX_LIBRARY_PATH, "ScaleUVs");

  bool good = true;
  for (const double megabytes : sizes) {
    mevrix::bench::GridOptions options;
    options.verticesPerSide = mevrix::bench::verticesPerSideForSize(megabytes, false);
    mevrix::bench::writeGridObj(input, options);
    const double inputMB = mevrix::bench::fileMegabytes(input);
    std::printf("\ninput: %d x %d grid, %.1f MB; best of %d rounds\n", options.verticesPerSide,
                options.verticesPerSide, inputMB, rounds);

    Measurement copy;
    Measurement cat;
    Measurement append;
    Measurement scale;
    Measurement flushedCopy;
    Measurement replacing;
    const auto scaleInto = [&] {
      return mevrix::bench::measure([&] {
        std::string output = scaled;
        return static_cast<int>(scaleUvs(input.c_str(), 0.5, output.data(), 0));
      });
    };
    for (int round = 0; round < rounds; ++round) {
      mevrix::bench::startFresh(copied);
      keepBest(copy, mevrix::bench::streamingCopy(input, copied), round == 0);
      mevrix::bench::startFresh(copied);
      keepBest(cat, mevrix::bench::catCopy(input, copied), round == 0);
      // AppendOBJ appends, so each round starts from an absent output.
      mevrix::bench::startFresh(merged);
      keepBest(append, mevrix::bench::measure([&] {
                 groupListClear(nullptr, 0.0, nullptr, 0);
                 std::string output = merged;
                 return static_cast<int>(appendObj(input.c_str(), 0.0, output.data(), 0));
               }),
               round == 0);
      mevrix::bench::startFresh(scaled);
      keepBest(scale, scaleInto(), round == 0);
      // Replacing an existing output, beside a copy that replaces its output and flushes it too.
      mevrix::bench::startReplacing(copied, input);
      keepBest(flushedCopy, mevrix::bench::flushedStreamingCopy(input, copied), round == 0);
      mevrix::bench::startReplacing(scaled, input);
      keepBest(replacing, scaleInto(), round == 0);
    }

    mevrix::bench::printRow("streaming copy (dd)", copy, inputMB, copy);
    mevrix::bench::printRow("cat IN > OUT", cat, inputMB, copy);
    mevrix::bench::printRow("AppendOBJ", append, inputMB, copy, nullptr, &cat);
    mevrix::bench::printRow("ScaleUVs 0.5", scale, inputMB, copy, nullptr, &cat);
    std::printf("replacing an existing output, against the flushed copy:\n");
    mevrix::bench::printRow("dd conv=fdatasync", flushedCopy, inputMB, flushedCopy);
    mevrix::bench::printRow("ScaleUVs 0.5, replacing", replacing, inputMB, flushedCopy);
    std::printf("output: copy %.1f MB, merged %.1f MB, scaled %.1f MB\n",
                mevrix::bench::fileMegabytes(copied), mevrix::bench::fileMegabytes(merged),
                mevrix::bench::fileMegabytes(scaled));

    const long expectedVertices =
        static_cast<long>(options.verticesPerSide) * options.verticesPerSide;
    if (append.result != expectedVertices || scale.result != 0 || copy.result != 0 ||
        cat.result != 0) {
      std::printf("unexpected result: AppendOBJ should return %ld\n", expectedVertices);
      good = false;
    }
    good &= verdict("AppendOBJ", append, copy);
    good &= verdict("ScaleUVs", scale, copy);
    for (const std::string& path : {input, copied, merged, scaled}) std::remove(path.c_str());
  }
  std::printf("\n%s\n", good ? "all targets met" : "some targets MISSED");
  return good ? 0 : 1;
}
