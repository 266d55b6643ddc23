// AppendOBJ, GroupListClear, ScaleUVs and getGroups through the real plug-in, and a merged file
// read back by an independent OBJ importer.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "support/line_ends.h"
#include "support/plugin.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

using mevrix::test::PlugIn;
using mevrix::test::readFile;
using mevrix::test::TempDir;
using mevrix::test::withPlatformLineEnds;

constexpr std::string_view kQuad =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n# corners\ng head_part\nf 1/1 2/2 3/3 4/4\n";

TEST(MeshToolsPlugIn, MergesCallByCallAndCarriesTexCoordsUntilCleared) {
  PlugIn plugIn;
  TempDir dir;
  const std::string first = dir.write("first.obj", kQuad);
  const std::string second = dir.write("second.obj", kQuad);
  const std::string body(kQuad.substr(0, kQuad.find("vn")));

  EXPECT_EQ(plugIn.call("GroupListClear", nullptr), 0.0f);
  const std::string merged = dir.file("merged.obj");
  EXPECT_EQ(plugIn.call("AppendOBJ", first.c_str(), 0.0, merged.c_str()), 8.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", second.c_str(), 8.0, merged.c_str()), 16.0f);
  EXPECT_EQ(readFile(merged), withPlatformLineEnds(body + "g first\nf 1/1 2/2 3/3 4/4 \n" + body +
                                                   "g second\nf 9/5 10/6 11/7 12/8 \n"));

  // Without a clear, the next merge numbers its texture coordinates past the earlier ones.
  const std::string again = dir.file("again.obj");
  EXPECT_EQ(plugIn.call("AppendOBJ", first.c_str(), 0.0, again.c_str()), 8.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", second.c_str(), 8.9, again.c_str()), 16.0f);
  EXPECT_EQ(readFile(again), withPlatformLineEnds(body + "g first\nf 1/9 2/10 3/11 4/12 \n" + body +
                                                  "g second\nf 9/13 10/14 11/15 12/16 \n"));

  EXPECT_EQ(plugIn.call("GroupListClear", nullptr), 0.0f);
  const std::string fresh = dir.file("fresh.obj");
  EXPECT_EQ(plugIn.call("AppendOBJ", first.c_str(), 2.9, fresh.c_str()), 10.0f);
  EXPECT_EQ(readFile(fresh), withPlatformLineEnds(body + "g first\nf 3/1 4/2 5/3 6/4 \n"));
}

TEST(MeshToolsPlugIn, AMergePastTheExactFloatsKeepsItsExactCountThroughAFailedCall) {
  PlugIn plugIn;
  TempDir dir;
  // 2^24 + 1 positions, whose count the float result gives back as 2^24.
  std::string positions;
  positions.reserve(3 * 16777217);
  for (int i = 0; i < 16777217; ++i) positions += "v \n";
  const std::string big = dir.write("big.obj", positions);
  positions = {};
  const std::string small = dir.write("small.obj", "vt 0 0\nf 1/1 1/1 1/1\n");
#ifdef _WIN32
  const char* const discarded = "NUL";
  const std::string failing = dir.path().string();  // a folder cannot be appended to
#else
  const char* const discarded = "/dev/null";
  const std::string failing = "/dev/full";  // every write fails
#endif
  EXPECT_EQ(plugIn.call("GroupListClear", nullptr), 0.0f);
  const float count = plugIn.call("AppendOBJ", big.c_str(), 0.0, discarded);
  EXPECT_EQ(count, 16777216.0f);
  // A failed call records nothing: the exact count stays the last success's.
  EXPECT_EQ(plugIn.call("AppendOBJ", small.c_str(), count, failing.c_str()), -2.0f);
  const std::string merged = dir.file("merged.obj");
  EXPECT_EQ(plugIn.call("AppendOBJ", small.c_str(), count, merged.c_str()), 16777216.0f);
  EXPECT_EQ(readFile(merged),
            withPlatformLineEnds("vt 0 0\nf 16777218/1 16777218/1 16777218/1 \n"));
}

TEST(MeshToolsPlugIn, AppendObjChecksItsArgumentsFirst) {
  PlugIn plugIn;
  TempDir dir;
  const std::string input = dir.write("in.obj", kQuad);
  const std::string output = dir.file("out.obj");
  EXPECT_EQ(plugIn.call("AppendOBJ", nullptr, 0.0, output.c_str()), -9.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", input.c_str(), 0.0, nullptr), -9.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", dir.file("missing.obj").c_str(), 0.0, output.c_str()), -1.0f);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(plugIn.call("AppendOBJ", input.c_str(), 0.0, dir.path().string().c_str()), -2.0f);
  // An input without positions gives the vertex base back.
  const std::string empty = dir.write("empty.obj", "# nothing\n");
  EXPECT_EQ(plugIn.call("AppendOBJ", empty.c_str(), 12.0, output.c_str()), 12.0f);
  EXPECT_EQ(readFile(output), "");
  EXPECT_EQ(plugIn.call("AppendOBJ", dir.write("void.obj", "").c_str(), 12.0, output.c_str()),
            12.0f);
  EXPECT_EQ(readFile(output), "");
}

TEST(MeshToolsPlugIn, ScaleUVsChecksTheScaleBeforeThePaths) {
  PlugIn plugIn;
  TempDir dir;
  const std::string input = dir.write("in.obj", "v 0.5 0.5 0\nvt 0 1\n");
  const std::string output = dir.file("out.obj");
  EXPECT_EQ(plugIn.call("ScaleUVs", nullptr, 2.0, output.c_str()), -5.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", nullptr, std::nan(""), nullptr), -5.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", nullptr, 0.5, output.c_str()), 0.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", input.c_str(), 0.5, nullptr), 0.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", input.c_str(), 1.0000001, output.c_str()), -5.0f);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(plugIn.call("ScaleUVs", dir.file("missing.obj").c_str(), 0.5, output.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", input.c_str(), 0.5, dir.path().string().c_str()), -2.0f);
  EXPECT_EQ(plugIn.call("ScaleUVs", input.c_str(), 0.5, output.c_str()), 0.0f);
  EXPECT_EQ(readFile(output), withPlatformLineEnds("v 0.5 0.5 0\nvt 0.25 0.75 \n"));
}

TEST(MeshToolsPlugIn, GetGroupsCountsTheGroupBlock) {
  PlugIn plugIn;
  TempDir dir;
  std::string file(32, 'h');
  // One block to step over, then the group block with ids 2, 2 and 9.
  file += std::string("\x05\x00\x00\x00\x10\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16);
  file += std::string("\x41\x9c\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x00\x00\x00\x00", 16);
  file += std::string("\x02\x00\x02\x00\x09\x00", 6);
  const std::string path = dir.write("mesh.bin", file);
  EXPECT_EQ(plugIn.call("getGroups", path.c_str()), 2.0f);
  EXPECT_EQ(plugIn.call("getGroups", nullptr), -9.0f);
  EXPECT_EQ(plugIn.call("getGroups", dir.file("missing.bin").c_str()), -17.0f);
  EXPECT_EQ(plugIn.call("getGroups", dir.write("short.bin", file.substr(0, 40)).c_str()), -18.0f);
}

#ifndef _WIN32  // POSIX only: the assimp program
// A grid of columns x rows vertices starting at x = `left`, one texture coordinate per vertex and
// one quadrilateral per cell, with the normals and comments a modeller writes.
std::string gridObj(int columns, int rows, int left) {
  std::string obj = "# generated grid\no grid\n";
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      obj += "v " + std::to_string(left + i) + " " + std::to_string(j) + " 0\n";
    }
  }
  for (int j = 0; j < rows; ++j) {
    for (int i = 0; i < columns; ++i) {
      obj += "vt " + std::to_string(i) + " " + std::to_string(j) + "\n";
    }
  }
  obj += "vn 0 0 1\ng surface\ns off\n";
  for (int j = 0; j + 1 < rows; ++j) {
    for (int i = 0; i + 1 < columns; ++i) {
      const int a = j * columns + i + 1;
      const int b = a + columns;
      obj += "f " + std::to_string(a) + "/" + std::to_string(a) + " " + std::to_string(b) + "/" +
             std::to_string(b) + " " + std::to_string(b + 1) + "/" + std::to_string(b + 1) + " " +
             std::to_string(a + 1) + "/" + std::to_string(a + 1) + "\n";
    }
  }
  return obj;
}

struct ImportStats {
  long vertices = -1;
  long faces = -1;
  long meshes = -1;
  std::string minimum;
  std::string maximum;
};

// The text behind `label` on its line in `report`, without the spaces before it.
std::string reportField(const std::string& report, const std::string& label) {
  const std::size_t at = report.find("\n" + label);
  if (at == std::string::npos) return "";
  const std::size_t first = report.find_first_not_of(' ', at + 1 + label.size());
  const std::size_t end = report.find('\n', first);
  return first == std::string::npos ? "" : report.substr(first, end - first);
}

// What `assimp info` reports for `path`, imported without post-processing.
ImportStats importWithAssimp(const std::string& path) {
  const auto result = mevrix::test::runProcess("/usr/bin/assimp", {"info", path, "-r"});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  const auto number = [&](const char* label) {
    const std::string text = reportField(result.out, label);
    return text.empty() ? -1L : std::stol(text);
  };
  ImportStats stats;
  stats.vertices = number("Vertices:");
  stats.faces = number("Faces:");
  stats.meshes = number("Meshes:");
  stats.minimum = reportField(result.out, "Minimum point");
  stats.maximum = reportField(result.out, "Maximum point");
  return stats;
}

TEST(MeshToolsPlugIn, AnIndependentImporterReadsTheMergedMesh) {
  ASSERT_TRUE(std::filesystem::exists("/usr/bin/assimp")) << "install assimp-utils";
  PlugIn plugIn;
  TempDir dir;
  // 4 x 4 vertices at x 0 to 3, and 3 x 5 vertices at x 10 to 12.
  const std::string left = dir.write("left.obj", gridObj(4, 4, 0));
  const std::string right = dir.write("right.obj", gridObj(3, 5, 10));
  const std::string merged = dir.file("merged.obj");
  EXPECT_EQ(plugIn.call("GroupListClear", nullptr), 0.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", left.c_str(), 0.0, merged.c_str()), 16.0f);
  EXPECT_EQ(plugIn.call("AppendOBJ", right.c_str(), 16.0, merged.c_str()), 31.0f);

  const ImportStats a = importWithAssimp(left);
  const ImportStats b = importWithAssimp(right);
  const ImportStats both = importWithAssimp(merged);
  // The importer makes one vertex per face corner: 9 and 8 quadrilaterals.
  EXPECT_EQ(a.faces, 9);
  EXPECT_EQ(b.faces, 8);
  EXPECT_EQ(both.faces, a.faces + b.faces);
  EXPECT_EQ(both.vertices, a.vertices + b.vertices);
  EXPECT_EQ(both.vertices, 4 * (9 + 8));
  EXPECT_EQ(both.meshes, 2);  // one per input group
  // The second input's faces reach its own positions only when renumbered past the first's.
  EXPECT_EQ(both.minimum, a.minimum);
  EXPECT_EQ(both.maximum, b.maximum);
  EXPECT_NE(a.maximum, b.maximum);
}
#endif

}  // namespace
