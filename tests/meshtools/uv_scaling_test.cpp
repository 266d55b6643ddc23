// Rescaling texture coordinates: the numbers and their format in memory, then files.

#include "meshtools/uv_scaling.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/line_ends.h"
#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::meshtools {
namespace {

using test::readFile;
using test::TempDir;
using test::withPlatformLineEnds;

std::string scaled(std::string_view input, double scale) {
  test::MemoryInput memory(input);
  common::OutputSink sink;
  scaleUvLines(memory.input, scale, sink);
  return std::string(sink.contents());
}

TEST(ScaleUvText, ScalesEveryNumberTowardTheCentre) {
  EXPECT_EQ(scaled("vt 0 1\nvt 0.333333 0.5\n", 0.5),
            withPlatformLineEnds("vt 0.25 0.75 \nvt 0.416667 0.5 \n"));
  EXPECT_EQ(scaled("vt 0 1\nvt 0.25 0.8 0.3\n", 0.0),
            withPlatformLineEnds("vt 0.5 0.5 \nvt 0.5 0.5 0.5 \n"));
  EXPECT_EQ(scaled("vt 0 1\n", 0.9), withPlatformLineEnds("vt 0.05 0.95 \n"));
  EXPECT_EQ(scaled("vt 0 1 0 1 0 1 0 1 0 x 1\n", 0.0),
            withPlatformLineEnds("vt 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 0.5 \n"));
  EXPECT_EQ(scaled("vt 0.1234567 1 2.5e-5 -3\n", 1.0),
            withPlatformLineEnds("vt 0.123457 1 2.5e-05 -3 \n"));
  // At 0.35 the offset held as a float gives 0.325017 where a double offset would give
  // 0.325018, and 0.00235 gives 0.325823 only when the sum is rounded to a float first.
  EXPECT_EQ(scaled("vt 5e-05 0.00235\n", 0.35), withPlatformLineEnds("vt 0.325017 0.325823 \n"));
  // A double offset, or float arithmetic throughout, gives 0.350446.
  EXPECT_EQ(scaled("vt 0.001485\n", 0.3), withPlatformLineEnds("vt 0.350445 \n"));
}

TEST(ScaleUvText, KeepsEveryOtherLineAndEndsEachWithTheLineEnd) {
  EXPECT_EQ(
      scaled("v 1 2 3\nvn 0 0 1\nf 1/1 2/2 3/3\n# vt 0 1\n\nv\nvertex\n g\nlast", 0.5),
      withPlatformLineEnds("v 1 2 3\nvn 0 0 1\nf 1/1 2/2 3/3\n# vt 0 1\n\nv\nvertex\n g\nlast\n"));
  EXPECT_EQ(scaled("v 1 2 3\r\nvt 0 1\r\n", 0.5), withPlatformLineEnds("v 1 2 3\nvt 0.25 0.75 \n"));
  EXPECT_EQ(scaled("", 0.5), "");
}

TEST(ScaleUvText, StopsAtTheFirstItemThatIsNotANumber) {
  EXPECT_EQ(scaled("vt 1 1 # corner\n", 0.5), withPlatformLineEnds("vt 0.75 0.75 \n"));
  EXPECT_EQ(scaled("vt\nvt \nvtx 1\nvt nan 1\nvt 1e99 1\n", 0.5),
            withPlatformLineEnds("vt \nvt \nvt 0.75 \nvt \nvt \n"));
}

TEST(ScaleUvFile, RejectsScalesOutsideZeroToOneBeforeOpeningAnything) {
  TempDir dir;
  const std::string input = dir.write("in.obj", "vt 0 1\n");
  const std::string output = dir.file("out.obj");
  for (double bad : {1.0000001, -0.0001, 2.0, std::numeric_limits<double>::quiet_NaN(),
                     -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(scaleUvFile(input.c_str(), output.c_str(), bad), ScaleUvStatus::badScale) << bad;
  }
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(scaleUvFile(input.c_str(), output.c_str(), 0.0), ScaleUvStatus::ok);
  EXPECT_EQ(scaleUvFile(input.c_str(), output.c_str(), 1.0), ScaleUvStatus::ok);
  EXPECT_EQ(readFile(output), withPlatformLineEnds("vt 0 1 \n"));
}

TEST(ScaleUvFile, ReplacesTheOutputAndLeavesItAloneWhenTheInputIsMissing) {
  TempDir dir;
  const std::string input = dir.write("in.obj", "v 1 2 3\nvt 0 1\n");
  const std::string output = dir.write("out.obj", "an older and much longer output text\n");
  EXPECT_EQ(scaleUvFile(dir.file("missing.obj").c_str(), output.c_str(), 0.5),
            ScaleUvStatus::inputFailed);
  EXPECT_EQ(readFile(output), "an older and much longer output text\n");
  EXPECT_EQ(scaleUvFile(dir.file("missing.obj").c_str(), dir.file("new.obj").c_str(), 0.5),
            ScaleUvStatus::inputFailed);
  EXPECT_FALSE(std::filesystem::exists(dir.file("new.obj")));

  EXPECT_EQ(scaleUvFile(input.c_str(), output.c_str(), 0.5), ScaleUvStatus::ok);
  EXPECT_EQ(readFile(output), withPlatformLineEnds("v 1 2 3\nvt 0.25 0.75 \n"));
  EXPECT_EQ(scaleUvFile(input.c_str(), dir.file("no/dir/out.obj").c_str(), 0.5),
            ScaleUvStatus::outputFailed);
  EXPECT_EQ(scaleUvFile(dir.write("empty.obj", "").c_str(), output.c_str(), 0.5),
            ScaleUvStatus::ok);
  EXPECT_EQ(readFile(output), "");
}

TEST(ScaleUvFile, AnOutputThatIsTheInputReceivesTheRescaledText) {
  TempDir dir;
  const std::string input = dir.write("self.obj", "v 1 2 3\nvt 0 1\n");
  const std::string sameFile = (dir.path() / "." / "self.obj").string();
  EXPECT_EQ(scaleUvFile(input.c_str(), sameFile.c_str(), 0.5), ScaleUvStatus::ok);
  EXPECT_EQ(readFile(input), withPlatformLineEnds("v 1 2 3\nvt 0.25 0.75 \n"));
}

TEST(ScaleUvFile, AnOutputHardLinkedToTheInputIsWrittenOverOnceComplete) {
  // The file keeps both its names, so the input's name leads to the rescaled text too: it is
  // copied over the input only once all of the input has been read.
  TempDir dir;
  const std::string input = dir.write("self.obj", "vt 1 0\n");
  const std::string link = dir.file("link.obj");
  std::filesystem::create_hard_link(input, link);
  EXPECT_EQ(scaleUvFile(input.c_str(), link.c_str(), 0.5), ScaleUvStatus::ok);
  EXPECT_EQ(readFile(link), withPlatformLineEnds("vt 0.75 0.25 \n"));
  EXPECT_EQ(readFile(input), withPlatformLineEnds("vt 0.75 0.25 \n"));
}

#ifndef _WIN32  // POSIX only: /dev/full
TEST(ScaleUvFilePosix, AFailedWriteGivesOutputFailed) {
  TempDir dir;
  const std::string input = dir.write("in.obj", "vt 0 1\n");
  EXPECT_EQ(scaleUvFile(input.c_str(), "/dev/full", 0.5), ScaleUvStatus::outputFailed);
}
#endif

#ifndef _WIN32  // POSIX only: symbolic links
TEST(ScaleUvFilePosix, AnOutputLinkedToTheInputReceivesTheRescaledText) {
  TempDir dir;
  const std::string input = dir.write("self.obj", "vt 1 0\n");
  const std::string link = dir.file("link.obj");
  std::filesystem::create_symlink(input, link);
  chmod(input.c_str(), 0640);
  EXPECT_EQ(scaleUvFile(input.c_str(), link.c_str(), 0.5), ScaleUvStatus::ok);
  EXPECT_EQ(readFile(input), withPlatformLineEnds("vt 0.75 0.25 \n"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  // The new file keeps the replaced one's permissions.
  EXPECT_EQ(std::filesystem::status(input).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}
#endif

}  // namespace
}  // namespace mevrix::meshtools
