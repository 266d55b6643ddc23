// Inputs that fail while they are read, or change between passes: each reader reports an input
// it could not read as such while nothing is written, and an incomplete output once writing has
// begun; never a success.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "meshtools/group_count.h"
#include "meshtools/obj_append.h"
#include "meshtools/sculpt_map.h"
#include "meshtools/uv_scaling.h"
#include "support/stand_in_source.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include "support/process.h"
#endif

namespace mevrix::meshtools {
namespace {

using test::StandInSource;
using test::TempDir;

// A one-cell grid, long enough to be read in many three-byte reads.
const std::string kCell =
    "v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\nvt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\nf 1/1 2/2 3/3 4/4\n";

TEST(InputFailure, AppendAndRescaleTellAnUnreadableInputFromAnIncompleteOutput) {
  // More cells than the output buffer holds.
  std::string manyCells;
  while (manyCells.size() < std::size_t{600} << 10) manyCells += kCell;
  const struct {
    int failingRead;
    int appendResult;
    int scaleResult;
    std::string_view input = kCell;
    std::uint64_t overstated = 0;  // bytes the source's size claims beyond its own
  } cases[] = {
      {1, -1, -1},   // nothing could be read
      {5, -2, -2},   // the output had begun
      {26, -2, -2},  // the last read
      // The last read, once the output has been flushed.
      {static_cast<int>((manyCells.size() + 2) / 3), -2, -2, manyCells},
      {0, -2, -2, kCell, 4096},  // a read of 0 bytes before the end
  };
  // Whenever the input fails, the output is left as it was: an append is cut back, a rescaled
  // file never takes the output's name.
  for (const auto& c : cases) {
    TempDir dir;
    const std::string output = dir.write("out.obj", "kept\n");
    MergeState state;
    StandInSource appended(c.input, c.input, c.failingRead, c.overstated);
    const AppendResult append = appendObj(appended, "part", output.c_str(), 0, state);
    EXPECT_EQ(static_cast<int>(append.status), c.appendResult) << c.failingRead;
    EXPECT_TRUE(state.groupList.empty());
    EXPECT_EQ(test::readFile(output), "kept\n") << c.failingRead;

    const std::string rescaled = dir.write("scaled.obj", "kept\n");
    StandInSource scaled(c.input, c.input, c.failingRead, c.overstated);
    EXPECT_EQ(static_cast<int>(scaleUv(scaled, std::nullopt, rescaled.c_str(), 0.5)), c.scaleResult)
        << c.failingRead;
    EXPECT_EQ(test::readFile(rescaled), "kept\n") << c.failingRead;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
  }
}

TEST(InputFailure, ASculptMapIsNeverWrittenFromAnInputThatFailedOrChanged) {
  const std::string shorter = kCell.substr(0, kCell.size() - 5);
  const std::string longer = kCell + "vt 0.5 0.5\n";
  const struct {
    std::string_view after;
    int failingRead;
    std::uint64_t overstated = 0;
  } cases[] = {{kCell, 1}, {kCell, 20}, {kCell, 30}, {shorter, 0}, {longer, 0}, {kCell, 0, 4096}};
  for (const auto& c : cases) {
    StandInSource source(kCell, c.after, c.failingRead, c.overstated);
    common::ChunkedInput input(source, 8);
    MemoryMapOutput output;
    EXPECT_EQ(convertToSculptMap(input, output), SculptResult::cannotRead) << c.failingRead;
    EXPECT_TRUE(output.bytes().empty());
  }
  StandInSource unchanged(kCell, kCell);
  common::ChunkedInput input(unchanged, 8);
  MemoryMapOutput output;
  EXPECT_EQ(convertToSculptMap(input, output), SculptResult::written);
}

TEST(InputFailure, TheGroupCountOfAFileThatFailsIsNoCount) {
  std::string file(32, '\0');
  file += std::string("\x41\x9c\x00\x00\x18\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00", 16);
  file += std::string("\x01\x00\x02\x00\x03\x00\x01\x00", 8);
  for (int failing : {1, 2, 7}) {
    StandInSource source(file, file, failing);
    common::ChunkedInput input(source);
    EXPECT_THROW(countGroupIds(input), common::ReadError) << failing;
  }
  // Bytes missing behind all that the count needs do not change it, whatever the page read ahead.
  StandInSource overstated(file, file, 0, 4096);
  common::ChunkedInput shortOfItsSize(overstated);
  EXPECT_EQ(countGroupIds(shortOfItsSize), 3);
  StandInSource source(file, file);
  common::ChunkedInput input(source);
  EXPECT_EQ(countGroupIds(input), 3);
}

#ifndef _WIN32  // POSIX only: a file-size limit in a child process, as a full disk
TEST(InputFailurePosix, RescalingAFileOntoItselfOnAFullDiskKeepsIt) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "vt 0.25 0.75\n";
  const std::string input = dir.write("self.obj", text);
  const int result = test::runInChildWithin(20, [&] {
    test::limitFileSize(100000);
    return -static_cast<int>(scaleUvFile(input.c_str(), input.c_str(), 0.5));
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(test::readFile(input), text);
  // The new file that did not fit is gone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
#endif

}  // namespace
}  // namespace mevrix::meshtools
