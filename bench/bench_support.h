#pragma once
// What every benchmark program needs: a deterministic grid mesh, a streaming copy as the
// baseline, and timing with peak memory measured in a child process per run.

#include <functional>
#include <string>
#include <vector>

namespace mevrix::bench {

struct GridOptions {
  int verticesPerSide = 100;  // an N x N grid of vertices, one texture coordinate per vertex
  int groups = 8;             // horizontal bands of faces, each under its own group line
  bool triangles = false;     // two triangles per cell instead of one quadrilateral
};

// Writes the grid as OBJ: positions and texture coordinates with six decimals, then the faces
// band by band, each band behind a line "g grid_band_K". Quadrilaterals run around their cell
// as (u, v), (u, v+1), (u+1, v+1), (u+1, v), the order sculpt maps expect.
void writeGridObj(const std::string& path, const GridOptions& options);

// The N that makes a grid OBJ file of about `megabytes` MB.
int verticesPerSideForSize(double megabytes, bool triangles);

struct Measurement {
  double seconds = 0;   // wall time of the work alone
  double peakMiB = 0;   // peak resident memory of the child that did it
  double startMiB = 0;  // what a forked child held before the work (its parent's pages)
  int result = 0;       // what the work returned (exit status for commands)

  // The peak memory the work itself added.
  double ownPeakMiB() const { return peakMiB - startMiB; }
};

// Runs `work` in a forked child, so its peak memory is its own.
Measurement measure(const std::function<int()>& work);

// Runs a program (no shell) and measures it; result is its exit status, -1 if it did not run.
// Its standard output goes to `output` when one is given, else to /dev/null.
Measurement measureCommand(const std::vector<std::string>& argv, const std::string& output = {});

// The baseline: a streaming copy, every byte read into a 128 KiB buffer and written from it
// (`dd bs=128K`), the input/output limit of any converter.
Measurement streamingCopy(const std::string& from, const std::string& to);

// `cat from > to`. Newer cat copies between two files inside the kernel (copy_file_range), which
// no converter can do; it is shown beside the streaming copy, not used as the baseline.
Measurement catCopy(const std::string& from, const std::string& to);

// The plain whole-file copy: reads all of `from` into memory and writes it to `to`.
int plainCopy(const std::string& from, const std::string& to);

// Removes `path` and writes every dirty page back, so that a timed run writes a new file and does
// not pay for the write-back of the run before it. Call before each timed run, the copy's too.
void startFresh(const std::string& path);

// Puts an old, non-empty file at `path` (a copy of `from`) and writes every dirty page back, so
// that a timed run replaces an existing file, as a repeated export does.
void startReplacing(const std::string& path, const std::string& from);

// The baseline for a run that replaces an existing file, which is flushed to the disk before it
// takes the file's place: the streaming copy, flushed before it ends (`dd bs=128K
// conv=fdatasync`).
Measurement flushedStreamingCopy(const std::string& from, const std::string& to);

// Size of a file in MB (10^6 bytes).
double fileMegabytes(const std::string& path);

// True when `program` is found on PATH.
bool haveProgram(const std::string& program);

// The plug-in a benchmark measures: the one built beside it, or another build named by the
// environment variable MEVRIX_BENCH_LIBRARY (for figures before and after a change).
std::string benchedLibrary(const std::string& builtLibrary);

// One export of the plug-in that benchedLibrary(builtLibrary) names.
using ExportFunction = float (*)(const char*, double, char*, int);
ExportFunction loadExport(const std::string& builtLibrary, const char* name);

// Prints one row of a results table; the peak shown against the input is the work's own. With
// `cat`, the time is also shown against cat's.
void printRow(const std::string& name, const Measurement& m, double inputMB,
              const Measurement& copy, const Measurement* reference = nullptr,
              const Measurement* cat = nullptr);

}  // namespace mevrix::bench
