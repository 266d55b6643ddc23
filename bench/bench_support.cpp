#include "bench_support.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

extern char** environ;

namespace mevrix::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A small deterministic generator, so every run measures the same bytes.
class Lcg {
 public:
  explicit Lcg(std::uint64_t seed) : state_(seed) {}
  double next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_;
};

double peakMiB(const rusage& usage) { return static_cast<double>(usage.ru_maxrss) / 1024.0; }

// The resident memory of this process now, from /proc/self/statm.
double residentMiB() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  unsigned long pages = 0;
  unsigned long resident = 0;
  const int read = std::fscanf(statm, "%lu %lu", &pages, &resident);
  std::fclose(statm);
  return read == 2 ? static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
                         (1024.0 * 1024.0)
                   : 0;
}

struct ChildReport {
  double seconds;
  double startMiB;
  int result;
};

}  // namespace

void writeGridObj(const std::string& path, const GridOptions& options) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) {
    std::perror(path.c_str());
    std::exit(1);
  }
  std::vector<char> buffer(1 << 20);
  std::setvbuf(out, buffer.data(), _IOFBF, buffer.size());
  const int n = options.verticesPerSide;
  Lcg random(42);
  std::fprintf(out, "# grid %d x %d\n", n, n);
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      const double x = (i - n / 2) * 0.01 + random.next() * 0.001;
      const double y = (j - n / 2) * 0.01 + random.next() * 0.001;
      const double z = random.next() * 0.05 - 0.025;
      std::fprintf(out, "v %.6f %.6f %.6f\n", x, y, z);
    }
  }
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < n; ++i) {
      std::fprintf(out, "vt %.6f %.6f\n", static_cast<double>(i) / (n - 1),
                   static_cast<double>(j) / (n - 1));
    }
  }
  const int cells = n - 1;
  const int groups = options.groups < 1 ? 1 : options.groups;
  for (int j = 0; j < cells; ++j) {
    if (j * groups / cells != (j == 0 ? -1 : (j - 1) * groups / cells)) {
      std::fprintf(out, "g grid_band_%d\n", j * groups / cells);
    }
    for (int i = 0; i < cells; ++i) {
      // 1-based indices of the cell's corners (u, v), (u, v+1), (u+1, v+1), (u+1, v).
      const long a = static_cast<long>(j) * n + i + 1;
      const long b = a + n;
      const long c = b + 1;
      const long d = a + 1;
      if (options.triangles) {
        std::fprintf(out, "f %ld/%ld %ld/%ld %ld/%ld\nf %ld/%ld %ld/%ld %ld/%ld\n", a, a, b, b, c,
                     c, a, a, c, c, d, d);
      } else {
        std::fprintf(out, "f %ld/%ld %ld/%ld %ld/%ld %ld/%ld\n", a, a, b, b, c, c, d, d);
      }
    }
  }
  if (std::fclose(out) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

int verticesPerSideForSize(double megabytes, bool triangles) {
  // About 32 bytes per position, 21 per texture coordinate, and per cell one quadrilateral
  // line of about 56 bytes or two triangle lines of about 84 together.
  const double bytesPerVertex = 32 + 21 + (triangles ? 84 : 56);
  const double vertices = megabytes * 1e6 / bytesPerVertex;
  int n = 2;
  while (static_cast<double>(n) * n < vertices) ++n;
  return n;
}

Measurement measure(const std::function<int()>& work) {
  int channel[2];
  if (pipe(channel) != 0) std::abort();
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    // A forked child's peak starts at the pages it shares with its parent.
    const double startMiB = residentMiB();
    const auto start = Clock::now();
    const int result = work();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const ChildReport report{seconds, startMiB, result};
    if (write(channel[1], &report, sizeof report) != sizeof report) _exit(2);
    _exit(0);
  }
  close(channel[1]);
  ChildReport report{};
  Measurement m;
  if (read(channel[0], &report, sizeof report) == sizeof report) {
    m.seconds = report.seconds;
    m.startMiB = report.startMiB;
    m.result = report.result;
  }
  close(channel[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  m.peakMiB = peakMiB(usage);
  return m;
}

Measurement measureCommand(const std::vector<std::string>& argv, const std::string& output) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  Measurement m;
  pid_t child = 0;
  const auto start = Clock::now();
  if (posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    m.result = -1;
    return m;
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  m.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  m.peakMiB = peakMiB(usage);
  m.result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return m;
}

Measurement streamingCopy(const std::string& from, const std::string& to) {
  return measureCommand({"dd", "if=" + from, "of=" + to, "bs=128K", "status=none"});
}

Measurement flushedStreamingCopy(const std::string& from, const std::string& to) {
  return measureCommand(
      {"dd", "if=" + from, "of=" + to, "bs=128K", "conv=fdatasync", "status=none"});
}

Measurement catCopy(const std::string& from, const std::string& to) {
  return measureCommand({"cat", from}, to);
}

int plainCopy(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (!in) return -1;
  struct stat info{};
  fstat(fileno(in), &info);
  std::unique_ptr<char[]> data(new char[static_cast<std::size_t>(info.st_size) + 1]);
  const std::size_t size = std::fread(data.get(), 1, static_cast<std::size_t>(info.st_size), in);
  std::fclose(in);
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) return -2;
  const bool written = std::fwrite(data.get(), 1, size, out) == size;
  return std::fclose(out) == 0 && written ? 0 : -2;
}

void startFresh(const std::string& path) {
  unlink(path.c_str());
  sync();
}

void startReplacing(const std::string& path, const std::string& from) {
  unlink(path.c_str());
  if (plainCopy(from, path) != 0) std::perror(path.c_str());
  sync();
}

double fileMegabytes(const std::string& path) {
  struct stat info{};
  if (stat(path.c_str(), &info) != 0) return 0;
  return static_cast<double>(info.st_size) / 1e6;
}

bool haveProgram(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    const std::size_t end = folders.find(':', start);
    const std::string folder = folders.substr(start, end - start);
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return false;
}

std::string benchedLibrary(const std::string& builtLibrary) {
  const char* other = std::getenv("MEVRIX_BENCH_LIBRARY");
  return other && *other ? std::string(other) : builtLibrary;
}

ExportFunction loadExport(const std::string& builtLibrary, const char* name) {
  const std::string libraryPath = benchedLibrary(builtLibrary);
  void* library = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "cannot load %s: %s\n", libraryPath.c_str(), dlerror());
    std::exit(1);
  }
  auto function = reinterpret_cast<ExportFunction>(dlsym(library, name));
  if (!function) {
    std::fprintf(stderr, "%s has no export %s\n", libraryPath.c_str(), name);
    std::exit(1);
  }
  return function;
}

void printRow(const std::string& name, const Measurement& m, double inputMB,
              const Measurement& copy, const Measurement* reference, const Measurement* cat) {
  std::printf("%-28s %8.3f s %9.1f MB/s %7.2fx copy", name.c_str(), m.seconds,
              inputMB / m.seconds, m.seconds / copy.seconds);
  if (cat) std::printf(" %6.2fx cat", m.seconds / cat->seconds);
  if (reference) std::printf(" %8.1fx faster than reference", reference->seconds / m.seconds);
  std::printf("   peak %8.1f MiB = %5.3fx input   result %d\n", m.ownPeakMiB(),
              m.ownPeakMiB() * 1.048576 / inputMB, m.result);
}

}  // namespace mevrix::bench
