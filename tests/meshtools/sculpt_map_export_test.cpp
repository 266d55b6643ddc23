// OBJtoSculpty through the real plug-in: results, files written and files left alone, and the
// written maps as an independent decoder reads them.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>

#include "meshtools/sculpt_test_meshes.h"
#include "support/plugin.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace mevrix::test {
namespace {

const std::string kDataDir = std::string(MEVRIX_TEST_DATA_DIR) + "/meshtools/";

class SculptMapExport : public ::testing::Test {
 protected:
  float convert(const std::string& obj, const std::string& image, double value = 0.0) {
    return plugIn_.call("OBJtoSculpty", obj.c_str(), value, image.c_str());
  }
  PlugIn plugIn_;
  TempDir dir_;
};

TEST_F(SculptMapExport, WritesTheMapWhateverTheValue) {
  const std::string golden = readFile(kDataDir + "sculpt_grid_3x3.bmp");
  const std::string image = dir_.file("map.bmp");
  for (double value : {0.0, 1.0, -7.5, std::numeric_limits<double>::quiet_NaN()}) {
    dir_.write("map.bmp", "an older, longer file that the map replaces entirely");
    EXPECT_EQ(convert(kDataDir + "sculpt_grid_3x3.obj", image, value), 0.0f) << value;
    EXPECT_EQ(readFile(image), golden) << value;
  }
}

TEST_F(SculptMapExport, MissingPathsGiveMinus9AndTouchNothing) {
  const std::string obj = kDataDir + "sculpt_grid_3x3.obj";
  const std::string image = dir_.file("map.bmp");
  EXPECT_EQ(plugIn_.call("OBJtoSculpty", obj.c_str(), 0.0, nullptr), -9.0f);
  EXPECT_EQ(plugIn_.call("OBJtoSculpty", nullptr, 0.0, image.c_str()), -9.0f);
  EXPECT_FALSE(std::filesystem::exists(image));
}

TEST_F(SculptMapExport, FailuresBeforeWritingLeaveTheImageAlone) {
  const std::string cell = "v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\nvt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\n";
  const struct {
    std::string obj;
    float result;
  } cases[] = {
      {dir_.file("no-such.obj"), -1.0f},
      {dir_.path().string(), -1.0f},  // a directory
      {dir_.write("short.obj", cell), -64.0f},
      {dir_.write("empty.obj", ""), -64.0f},
      {dir_.write("wide.obj", gridObj(1025, 1)), -2048.0f},
      {dir_.write("bad.obj", cell + "f 1/1 2/2 3/3 4/4 1/1\n"), -65.0f},
      {dir_.write("unnamed.obj", cell + "f 1/1 2/2 3/3 5/4\n"), -65.0f},
  };
  const std::string existing = dir_.write("existing.bmp", "keep me");
  const auto stamp = std::filesystem::last_write_time(existing);
  const std::string absent = dir_.file("absent.bmp");
  for (const auto& c : cases) {
    EXPECT_EQ(convert(c.obj, existing), c.result) << c.obj;
    EXPECT_EQ(convert(c.obj, absent), c.result) << c.obj;
    EXPECT_EQ(readFile(existing), "keep me") << c.obj;
    EXPECT_EQ(std::filesystem::last_write_time(existing), stamp) << c.obj;
    EXPECT_FALSE(std::filesystem::exists(absent)) << c.obj;
  }
}

TEST_F(SculptMapExport, AnImageThatCannotBeOpenedGivesMinus4) {
  const std::string obj = kDataDir + "sculpt_grid_3x3.obj";
  EXPECT_EQ(convert(obj, dir_.file("no-such-folder/map.bmp")), -4.0f);
  EXPECT_EQ(convert(obj, dir_.path().string()), -4.0f);
}

#ifndef _WIN32  // POSIX only: /dev/full
// /dev/full accepts the open and fails every write.
TEST_F(SculptMapExport, PosixAFailedWriteGivesMinus4) {
  EXPECT_EQ(convert(kDataDir + "sculpt_grid_3x3.obj", "/dev/full"), -4.0f);
  // Large enough that the bytes leave the buffer before the final flush.
  EXPECT_EQ(convert(dir_.write("grid.obj", gridObj(256, 256)), "/dev/full"), -4.0f);
}
#endif

#ifndef _WIN32  // POSIX only: python3 with Pillow
// What Pillow, an independent decoder, makes of a map: "FORMAT MODE W H", then "R G B" of each
// pixel asked for, counted from the top left.
std::string decode(const std::string& image, const std::vector<std::string>& points) {
  std::vector<std::string> args = {MEVRIX_TEST_SOURCE_DIR "/meshtools/decode_bmp.py", image};
  args.insert(args.end(), points.begin(), points.end());
  const ProcessResult decoded = runProcess("/usr/bin/python3", args);
  EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
  return decoded.out;
}

TEST_F(SculptMapExport, PillowReadsTheMapsAsWritten) {
  // 3 x 2 cells: 6 x 4 pixels with padded rows. Picture row 0 at the bottom is the last row a
  // viewer shows; the grid's vertex (i, j) stands at x = -1 + 2i/3, y = -0.6 + 0.6j,
  // z = 0.1 (i - j).
  const std::string small = dir_.file("small.bmp");
  ASSERT_EQ(convert(kDataDir + "sculpt_grid_3x2.obj", small), 0.0f);
  EXPECT_EQ(decode(small, {"0,3", "5,3", "0,0", "5,0", "2,1"}),
            "BMP RGB 6 4\n"
            "0 50 127\n"      // bottom left: vertex (0, 0) = (-1, -0.6, 0)
            "255 50 165\n"    // bottom right: vertex (3, 0) = (1, -0.6, 0.3)
            "0 204 101\n"     // top left: vertex (0, 2) = (-1, 0.6, -0.2); the float -0.2 lies
                              // just below -0.2, so 101.99... truncates to 101
            "255 204 140\n"   // top right: vertex (3, 2) = (1, 0.6, 0.1)
            "85 127 127\n");  // vertex (1, 1) = (-1/3, 0, 0)

  // 33 x 33 vertices: 64 x 64 pixels; vertex (i, j) stands at (i, j, -i), scaled by 127.5 / 32.
  const std::string large = dir_.file("large.bmp");
  ASSERT_EQ(convert(dir_.write("grid.obj", gridObj(32, 32)), large), 0.0f);
  EXPECT_EQ(decode(large, {"0,63", "63,63", "0,0", "63,0", "11,44"}),
            "BMP RGB 64 64\n"
            "127 127 127\n"    // vertex (0, 0)
            "255 127 0\n"      // vertex (32, 0)
            "127 255 127\n"    // vertex (0, 32)
            "255 255 0\n"      // vertex (32, 32)
            "151 167 103\n");  // row 19 from the bottom: cell (5, 9)'s top right, vertex (6, 10)
}
#endif

}  // namespace
}  // namespace mevrix::test
