// Every export that writes a file, failing part-way through its output (a disk that fills up):
// the file it was to write keeps exactly the bytes it held, and nothing is left beside it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/output_sink.h"
#include "meshtools/sculpt_test_meshes.h"
#include "mevrix/exports.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include "support/process.h"
#endif

namespace mevrix::boundary {
namespace {

using test::readFile;
using test::TempDir;

using Export = float (*)(const char*, double, char*, int);

struct OutputExport {
  const char* name;
  Export function;
  double value;
  float failure;  // the result of a failed write
};

constexpr OutputExport kOutputExports[] = {
    {"writeCollada", writeCollada, 2, -2}, {"writeColladaTris", writeColladaTris, 2, -2},
    {"OBJtoSculpty", OBJtoSculpty, 0, -4}, {"ScaleUVs", ScaleUVs, 0.5, -2},
    {"AppendOBJ", AppendOBJ, 0, -2},       {"FileCopyTo", FileCopyTo, 0, -1},
};

constexpr std::string_view kOldBytes = "old bytes\n";
// What every output gets written before its writes fail: a small part of each.
constexpr std::uint64_t kRoom = 8192;

// A folder with a grid mesh (its every output is several times kRoom) and an output file that
// holds kOldBytes.
struct Folder {
  TempDir dir;
  std::string input = dir.write("grid.obj", test::gridObj(40, 40));
  std::string output = dir.write("out.file", kOldBytes);

  float call(const OutputExport& e) const {
    std::string buffer = output;
    GroupListClear(nullptr, 0, nullptr, 0);
    return e.function(input.c_str(), e.value, buffer.data(), static_cast<int>(buffer.size() + 1));
  }

  // The output as it was, and nothing but the two files in the folder.
  void expectUntouched(const OutputExport& e) const {
    EXPECT_TRUE(readFile(output) == kOldBytes) << e.name;  // not megabytes of a cut-off file
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << e.name;
  }
};

// While it lives, writes through the library fail once kRoom bytes have been written.
struct WriteLimit {
  WriteLimit() { common::OutputFile::limitWritesForTesting(kRoom); }
  ~WriteLimit() { common::OutputFile::limitWritesForTesting(std::nullopt); }
};

TEST(FailedOutput, AFailingWriteLeavesTheOutputAsItWas) {
  for (const OutputExport& e : kOutputExports) {
    const Folder folder;
    {
      const WriteLimit limit;
      EXPECT_EQ(folder.call(e), e.failure) << e.name;
    }
    folder.expectUntouched(e);
    // The same call without the limit succeeds: it failed for the write alone.
    EXPECT_GE(folder.call(e), 0.0f) << e.name;
    EXPECT_FALSE(readFile(folder.output) == kOldBytes) << e.name;
  }
}

#ifndef _WIN32  // POSIX only: a file-size limit in a child process, as a full disk
TEST(FailedOutputPosix, AFullDiskLeavesTheOutputAsItWas) {
  for (const OutputExport& e : kOutputExports) {
    const Folder folder;
    const int result = test::runInChildWithin(20, [&] {
      test::limitFileSize(kRoom);
      return -static_cast<int>(folder.call(e));
    });
    EXPECT_EQ(result, -static_cast<int>(e.failure)) << e.name;
    folder.expectUntouched(e);
  }
}
#endif

}  // namespace
}  // namespace mevrix::boundary
