// writeCollada and writeColladaTris through the C boundary: argument checks, results, files and
// the metadata each call leaves in the module state.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "boundary/module_state.h"
#include "document_helpers.h"
#include "mevrix/exports.h"
#include "support/plugin.h"

namespace mevrix::collada {
namespace {

using mevrix::test::readFile;
using mevrix::test::TempDir;
using test::golden;

constexpr std::string_view kTriangleObj =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\ng Part_a\nf 1/1 2/2 3/3\n";
constexpr std::string_view kDate = "2026-12-07T00:00:00Z";

using Export = float (*)(const char*, double, char*, int);

// Calls an export with a path in buf1, as a host script does.
float call(Export function, const std::string& objPath, double value, std::string documentPath) {
  return function(objPath.c_str(), value, documentPath.data(),
                  static_cast<int>(documentPath.size() + 1));
}

ExportMetadata& metadata() {
  return boundary::moduleState().exportMetadata;
}

void setDateAndTexture() {
  ASSERT_EQ(setDate(kDate.data(), 0, nullptr, 0), 0.0f);
  ASSERT_EQ(setTxrName("skin", 0, nullptr, 0), 0.0f);
}

TEST(ColladaExports, WriteTheDocumentsAndReturn0) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  setDateAndTexture();
  EXPECT_EQ(call(writeCollada, obj, 0, dir.file("head.dae")), 0.0f);
  EXPECT_EQ(readFile(dir.file("head.dae")), golden("polylist_head.dae"));

  const std::string triObj = dir.write("tri.obj",
                                       "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\n"
                                       "vt 0 1\ng a\nf 1/1 2/2 3/3\n");
  EXPECT_EQ(call(writeColladaTris, triObj, 1, dir.file("tri.dae")), 0.0f);
  EXPECT_EQ(readFile(dir.file("tri.dae")), golden("triangles_tri_normals.dae"));
  EXPECT_EQ(metadata().baseName, "tri_");
  EXPECT_EQ(metadata().copyright, "copyright 2015");

  EXPECT_EQ(call(writeCollada, dir.write("empty.obj", ""), 0, dir.file("head.dae")), 0.0f);
  EXPECT_EQ(readFile(dir.file("head.dae")), test::polylistDocument("", 0));
}

TEST(ColladaExports, TruncateTheModeTowardZero) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  setDateAndTexture();
  const auto written = [&](double value) {
    EXPECT_EQ(call(writeCollada, obj, value, dir.file("head.dae")), 0.0f);
    return readFile(dir.file("head.dae"));
  };
  EXPECT_EQ(written(1.9), golden("polylist_head_normals.dae"));
  EXPECT_EQ(written(-0.5), golden("polylist_head.dae"));
  EXPECT_EQ(written(0.3), golden("polylist_head.dae"));
  EXPECT_EQ(written(std::numeric_limits<double>::quiet_NaN()), golden("polylist_head.dae"));
  EXPECT_EQ(written(2.9), test::polylistDocument(kTriangleObj, 2));
}

TEST(ColladaExports, AMissingPathReturnsMinus9AndTouchesNothing) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  metadata().baseName = "kept";
  metadata().copyright = "kept too";
  for (Export function : {writeCollada, writeColladaTris}) {
    std::string document = dir.file("out.dae");
    EXPECT_EQ(function(nullptr, 1, document.data(), 100), -9.0f);
    EXPECT_EQ(function(obj.c_str(), 1, nullptr, 100), -9.0f);
    EXPECT_EQ(function(nullptr, 1, nullptr, 0), -9.0f);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.dae")));
  EXPECT_EQ(metadata().baseName, "kept");
  EXPECT_EQ(metadata().copyright, "kept too");
}

TEST(ColladaExports, AnUnreadableInputReturnsMinus1AfterAssigningTheMetadata) {
  TempDir dir;
  const std::string existing = dir.write("my  head.dae", "earlier document");
  metadata().author = metadata().comments = "stale";
  EXPECT_EQ(call(writeCollada, dir.file("missing.obj"), 0, existing), -1.0f);
  EXPECT_EQ(readFile(existing), "earlier document");
  EXPECT_EQ(metadata().baseName, "my_head_");
  EXPECT_EQ(metadata().author, "author");
  EXPECT_EQ(metadata().copyright, "copyright 2010");
  EXPECT_EQ(metadata().comments, "comments here");

  // A folder is no OBJ file either.
  EXPECT_EQ(call(writeColladaTris, dir.path().string(), 0, dir.file("head.dae")), -1.0f);
  EXPECT_FALSE(std::filesystem::exists(dir.file("head.dae")));
  EXPECT_EQ(metadata().baseName, "head_");
  EXPECT_EQ(metadata().copyright, "copyright 2015");
}

TEST(ColladaExports, AnOutputThatCannotBeCreatedReturnsMinus2AfterAssigningTheMetadata) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  EXPECT_EQ(call(writeCollada, obj, 0, dir.file("no/such/folder/x.dae")), -2.0f);
  EXPECT_EQ(metadata().baseName, "x");
  EXPECT_EQ(call(writeColladaTris, obj, 0, dir.path().string()), -2.0f);
  EXPECT_EQ(metadata().copyright, "copyright 2015");
}

TEST(ColladaExports, AnOutputPathNamingTheInputReplacesIt) {
  TempDir dir;
  const std::string obj = dir.write("head.dae", kTriangleObj);
  setDateAndTexture();
  EXPECT_EQ(call(writeCollada, obj, 1, obj), 0.0f);
  EXPECT_EQ(readFile(obj), golden("polylist_head_normals.dae"));

  const std::string tri = dir.write("tri.dae",
                                    "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\n"
                                    "vt 0 1\ng a\nf 1/1 2/2 3/3\n");
  EXPECT_EQ(call(writeColladaTris, tri, 0, tri), 0.0f);
  EXPECT_EQ(readFile(tri), golden("triangles_tri.dae"));
}

#ifndef _WIN32  // POSIX only: /dev/full, where every write fails
TEST(ColladaExportsPosix, AFullDiskReturnsMinus2) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  EXPECT_EQ(call(writeCollada, obj, 2, "/dev/full"), -2.0f);
  EXPECT_EQ(call(writeColladaTris, obj, 0, "/dev/full"), -2.0f);
  mevrix::test::PlugIn plugIn;
  EXPECT_EQ(plugIn.call("writeColladaTris", obj.c_str(), 0.0, "/dev/full"), -2.0f);
}
#endif

// The real plug-in, loaded from its file, with the state it keeps between calls.
TEST(ColladaPlugIn, ConvertsAMeshWithTheDateAndTextureNameSetBefore) {
  TempDir dir;
  const std::string obj = dir.write("in.obj", kTriangleObj);
  mevrix::test::PlugIn plugIn;
  EXPECT_EQ(plugIn.call("setDate", kDate.data()), 0.0f);
  EXPECT_EQ(plugIn.call("setTxrName", "skin"), 0.0f);
  EXPECT_EQ(plugIn.call("writeCollada", obj.c_str(), 0.0, dir.file("head.dae").c_str()), 0.0f);
  EXPECT_EQ(readFile(dir.file("head.dae")), golden("polylist_head.dae"));
  // A second call without a new date writes the same date.
  EXPECT_EQ(plugIn.call("writeCollada", obj.c_str(), 1.0, dir.file("head.dae").c_str()), 0.0f);
  EXPECT_EQ(readFile(dir.file("head.dae")), golden("polylist_head_normals.dae"));

  EXPECT_EQ(plugIn.call("writeColladaTris", obj.c_str(), 0.0, nullptr), -9.0f);
  EXPECT_EQ(plugIn.call("writeColladaTris", dir.file("none.obj").c_str(), 0.0,
                        dir.file("tri.dae").c_str()),
            -1.0f);
  EXPECT_FALSE(std::filesystem::exists(dir.file("tri.dae")));
}

}  // namespace
}  // namespace mevrix::collada
