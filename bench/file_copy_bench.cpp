// FileCopyTo against a plain whole-file copy of the same bytes, for several file sizes: time,
// and peak memory, which for FileCopyTo must not grow with the file.
//
//   file_copy_bench [FOLDER [MIB...]]     defaults: a new folder under /tmp, 20 and 200 MiB

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using namespace mevrix::bench;

constexpr std::size_t kChunk = 1 << 20;
constexpr int kRounds = 3;

// Working memory of this parent process, allocated and touched once before anything is
// measured, so that its size is the same in every child forked from it.
struct Chunks {
  std::vector<char> a = std::vector<char>(kChunk, 1);
  std::vector<char> b = std::vector<char>(kChunk, 1);
};

// Writes `megabytes` MB of deterministic, incompressible-looking bytes.
void writeData(const std::string& path, int megabytes, std::vector<char>& chunk) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::uint64_t state = 12345;
  for (int mb = 0; mb < megabytes; ++mb) {
    for (auto& byte : chunk) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      byte = static_cast<char>(state >> 56);
    }
    std::fwrite(chunk.data(), 1, chunk.size(), out);
  }
  if (std::fclose(out) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

bool sameBytes(const std::string& a, const std::string& b, Chunks& chunks) {
  std::FILE* fa = std::fopen(a.c_str(), "rb");
  std::FILE* fb = std::fopen(b.c_str(), "rb");
  bool same = fa && fb;
  std::vector<char>& ca = chunks.a;
  std::vector<char>& cb = chunks.b;
  while (same) {
    const std::size_t na = std::fread(ca.data(), 1, kChunk, fa);
    const std::size_t nb = std::fread(cb.data(), 1, kChunk, fb);
    same = na == nb && std::equal(ca.begin(), ca.begin() + na, cb.begin());
    if (na == 0) break;
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return same;
}

// The fastest of several runs, with the highest peak seen. With `old`, each run replaces an
// existing destination, a copy of `old`.
Measurement best(const std::function<int()>& work, const std::string& destination,
                 const std::string& old = {}) {
  Measurement result;
  for (int round = 0; round < kRounds; ++round) {
    if (old.empty()) {
      std::remove(destination.c_str());
    } else {
      startReplacing(destination, old);
    }
    const Measurement m = measure(work);
    if (round == 0 || m.seconds < result.seconds) result.seconds = m.seconds;
    result.peakMiB = std::max(result.peakMiB, m.peakMiB);
    result.result = m.result;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  bool ownFolder = false;
  if (argc > 1) {
    folder = argv[1];
  } else {
    char name[] = "/tmp/mevrix-copy-bench-XXXXXX";
    if (!mkdtemp(name)) {
      std::perror("mkdtemp");
      return 1;
    }
    folder = name;
    ownFolder = true;
  }
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {20, 200};

  Chunks chunks;
  const ExportFunction fileCopyTo = loadExport(MEVRIX_LIBRARY_PATH, "FileCopyTo");
  std::printf("FileCopyTo against a plain whole-file copy; best of %d runs, files in %s\n", kRounds,
              folder.c_str());
  std::printf(
      "peaks are of the child that did the work; \"above idle\" subtracts the peak of a\n"
      "child that did nothing, forked from the same parent at the same moment\n\n");

  int failures = 0;
  for (int megabytes : sizes) {
    const std::string source = folder + "/source.bin";
    const std::string copy = folder + "/copy.bin";
    const std::string plain = folder + "/plain.bin";
    writeData(source, megabytes, chunks.a);
    const double inputMB = fileMegabytes(source);
    // The parent's own pages show in every child it forks: this is what a child holds before
    // it does anything.
    const Measurement idle = measure([] { return 0; });

    const Measurement baseline = best([&] { return plainCopy(source, plain); }, plain);
    const auto copyTo = [&] {
      std::vector<char> destination(copy.begin(), copy.end());
      destination.push_back('\0');
      return static_cast<int>(fileCopyTo(source.c_str(), 0.0, destination.data(),
                                         static_cast<int>(destination.size())));
    };
    const Measurement ours = best(copyTo, copy);
    // Replacing an existing destination, beside a streaming copy that replaces and flushes too.
    const Measurement flushed =
        best([&] { return flushedStreamingCopy(source, plain).result; }, plain, source);
    const Measurement replacing = best(copyTo, copy, source);
    const bool identical = sameBytes(source, copy, chunks);
    failures += ours.result != 0 || !identical;

    std::printf("%d MiB file (%.1f MB)\n", megabytes, inputMB);
    printRow("plain copy", baseline, inputMB, baseline);
    printRow("FileCopyTo", ours, inputMB, baseline);
    printRow("dd conv=fdatasync", flushed, inputMB, flushed);
    printRow("FileCopyTo, replacing", replacing, inputMB, flushed);
    std::printf("  copy identical to source: %s; FileCopyTo peak above idle: %.1f MiB\n\n",
                identical ? "yes" : "NO", ours.peakMiB - idle.peakMiB);
    std::remove(source.c_str());
    std::remove(copy.c_str());
    std::remove(plain.c_str());
  }
  if (ownFolder) rmdir(folder.c_str());
  return failures == 0 ? 0 : 1;
}
