// group_count_bench [MEGABYTES] [FOLDER]: getGroups on a generated mesh-exchange file of about
// MEGABYTES MB (default 400) whose group block comes first, right behind the file header, followed
// by a chain of other blocks up to the file's size. Targets: the call's own peak memory at most
// 1 MiB and at most 5 ms, whatever the file's size. Best of 5 runs; the file is deleted afterwards.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using namespace mevrix::bench;

constexpr int kRuns = 5;
constexpr std::uint32_t kGroupIds = 5000;
constexpr std::uint32_t kDistinctGroups = 37;
constexpr std::size_t kOtherBlockSize = 1 << 20;

void putU32(std::vector<unsigned char>& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putBlockHeader(std::vector<unsigned char>& bytes, std::uint32_t tag, std::uint32_t length,
                    std::uint32_t entries) {
  putU32(bytes, tag);
  putU32(bytes, length);
  putU32(bytes, entries);
  putU32(bytes, 0);
}

void writeBlockFile(const std::string& path, double megabytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::vector<unsigned char> bytes(32, 0);  // the file header
  putBlockHeader(bytes, 40001, 16 + 2 * kGroupIds, kGroupIds);
  for (std::uint32_t i = 0; i < kGroupIds; ++i) {
    const std::uint32_t id = (i * 7919) % kDistinctGroups;
    bytes.push_back(static_cast<unsigned char>(id));
    bytes.push_back(static_cast<unsigned char>(id >> 8));
  }
  std::fwrite(bytes.data(), 1, bytes.size(), out);
  std::vector<unsigned char> block;
  putBlockHeader(block, 1000, kOtherBlockSize, 0);
  block.resize(kOtherBlockSize, 0x5a);
  const auto total = static_cast<std::uint64_t>(megabytes * 1e6);
  for (std::uint64_t written = bytes.size(); written < total; written += block.size()) {
    std::fwrite(block.data(), 1, block.size(), out);
  }
  if (std::fclose(out) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double megabytes = argc > 1 ? std::atof(argv[1]) : 400.0;
  const std::string folder = argc > 2 ? argv[2] : "/tmp";
  const std::string path = folder + "/mevrix-group-count-bench.bin";
  writeBlockFile(path, megabytes);
  const double inputMB = fileMegabytes(path);
  std::printf("input: %.1f MB, group block at byte 32 with %u ids of %u groups; best of %d runs\n",
              inputMB, kGroupIds, kDistinctGroups, kRuns);

  const ExportFunction getGroups = loadExport(MEVRIX_LIBRARY_PATH, "getGroups");
  Measurement best;
  double highestPeak = 0;
  for (int run = 0; run < kRuns; ++run) {
    const Measurement m =
        measure([&] { return static_cast<int>(getGroups(path.c_str(), 0.0, nullptr, 0)); });
    if (run == 0 || m.seconds < best.seconds) best = m;
    if (m.ownPeakMiB() > highestPeak) highestPeak = m.ownPeakMiB();
  }
  std::printf("getGroups: %.3f ms, own peak %.2f MiB (highest of all runs), result %d\n",
              best.seconds * 1e3, highestPeak, best.result);

  const bool met = best.result == static_cast<int>(kDistinctGroups) && best.seconds <= 0.005 &&
                   highestPeak <= 1.0;
  std::printf("targets (result %u, <= 5 ms, own peak <= 1 MiB): %s\n", kDistinctGroups,
              met ? "met" : "MISSED");
  std::remove(path.c_str());
  return met ? 0 : 1;
}
