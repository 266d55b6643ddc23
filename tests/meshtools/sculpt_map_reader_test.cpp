// Reading the OBJ text of a sculpt map: which lines count, how corners are cut, what is malformed.

#include "meshtools/sculpt_map_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/memory_input.h"

namespace mevrix::meshtools {
namespace {

using Indices = std::array<std::int32_t, 4>;

struct Faces {
  std::vector<SculptFace> read;
  bool malformed;
};

SculptMesh readSculptMesh(std::string_view text) {
  test::MemoryInput memory(text);
  return meshtools::readSculptMesh(memory.input);
}

// Every face of the text, read in a second pass and checked against the text's own positions
// and texture coordinates.
Faces readFaces(std::string_view text) {
  test::MemoryInput memory(text, 16, 5);
  const SculptMesh mesh = meshtools::readSculptMesh(memory.input);
  SculptFaceReader reader(memory.input, mesh);
  Faces faces{{}, false};
  SculptFace face;
  while (reader.next(face)) faces.read.push_back(face);
  faces.malformed = reader.malformed();
  return faces;
}

TEST(SculptMapReader, ReadsPositionsTextureCoordinatesAndFacesAndIgnoresTheRest) {
  const std::string_view text =
      "# comment\n"
      "v 1 2 3\r\n"
      "v\t9 9 9\n"            // a tab after "v" is not a position
      "vn 0 0 1\n"            // normals are ignored
      "v  -4.5e1 +0.5 6 7\n"  // leading blanks, exponent, plus sign, fourth number ignored
      "vt 0.25 0.75 0.5\n"    // a third number is ignored
      "vt.5 1\n"              // "vt" needs no blank behind it
      "g group\n"
      "usemtl m\n"
      "f\t1/1 2/2 1/2\n"  // a tab after "f" is not a face
      "f 2/1 1/2 2/2\n"
      "v\n"
      "f\n"
      "\n"
      "s off";
  const SculptMesh mesh = readSculptMesh(text);
  EXPECT_TRUE(mesh.wellFormed);
  ASSERT_EQ(mesh.positions.size(), 2u);
  EXPECT_EQ(mesh.positions[0].z, 3.0f);
  EXPECT_EQ(mesh.positions[1].x, -45.0f);
  EXPECT_EQ(mesh.positions[1].y, 0.5f);
  EXPECT_EQ(mesh.positions[1].z, 6.0f);
  ASSERT_EQ(mesh.texCoords.size(), 2u);
  EXPECT_EQ(mesh.distinctV.value(mesh.texCoords[0][1]), 0.75f);
  EXPECT_EQ(mesh.distinctU.value(mesh.texCoords[1][0]), 0.5f);
  EXPECT_EQ(mesh.faceLines, 1u);
  EXPECT_EQ(text.substr(mesh.firstFaceOffset, 14), "f 2/1 1/2 2/2\n");
  const Faces faces = readFaces(text);
  EXPECT_FALSE(faces.malformed);
  ASSERT_EQ(faces.read.size(), 1u);
  EXPECT_EQ(faces.read[0].cornerCount, 3);
  EXPECT_EQ(faces.read[0].position, (Indices{1, 0, 1, -1}));
  EXPECT_EQ(faces.read[0].texCoord, (Indices{0, 1, 1, -1}));
  // The extent covers every coordinate and the origin.
  EXPECT_EQ(mesh.maxCoord, 6.0f);
  EXPECT_EQ(mesh.minCoord, -45.0f);
}

TEST(SculptMapReader, TheExtentStartsAtTheOrigin) {
  const SculptMesh positive = readSculptMesh("v 2 3 4\nv 5 6 7\n");
  EXPECT_EQ(positive.minCoord, 0.0f);
  EXPECT_EQ(positive.maxCoord, 7.0f);
  const SculptMesh negative = readSculptMesh("v -2 -3 -4\n");
  EXPECT_EQ(negative.maxCoord, 0.0f);
  EXPECT_EQ(negative.minCoord, -4.0f);
}

TEST(SculptMapReader, CutsCornerTokensAtSpacesAndSlashes) {
  const std::string points =
      "v 0 0 0\nv 0 0 0\nv 0 0 0\nv 0 0 0\nv 0 0 0\n"
      "vt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\n";
  // 5/7, 5/7/2 and 5//2 name position 5 with texture coordinates 7, 7 and 2; runs of spaces
  // are one separator, trailing ones end nothing.
  const Faces faces = readFaces(points + "f  5/7   5/7/2 5//2  4/1/ \r\n");
  ASSERT_FALSE(faces.malformed);
  ASSERT_EQ(faces.read.size(), 1u);
  EXPECT_EQ(faces.read[0].cornerCount, 4);
  EXPECT_EQ(faces.read[0].position, (Indices{4, 4, 4, 3}));
  EXPECT_EQ(faces.read[0].texCoord, (Indices{6, 6, 1, 0}));

  // Only spaces separate corners: a tab stays inside the token, where it separates numbers
  // just as extraction would, so "1/2\t3/4" is one corner naming 1 and 2.
  const Faces tabbed = readFaces(points + "f 1/2\t3/4 2/3 3/4\n");
  ASSERT_FALSE(tabbed.malformed);
  ASSERT_EQ(tabbed.read.size(), 1u);
  EXPECT_EQ(tabbed.read[0].cornerCount, 3);
  EXPECT_EQ(tabbed.read[0].position, (Indices{0, 1, 2, -1}));
  EXPECT_EQ(tabbed.read[0].texCoord, (Indices{1, 2, 3, -1}));
}

TEST(SculptMapReader, FacesMayNameEntriesThatComeLater) {
  const Faces faces = readFaces(
      "f 1/1 2/2 3/3\nv 0 0 0\nv 0 0 0\nv 0 0 0\n"
      "vt 0 0\nvt 0 1\nvt 1 1\n");
  EXPECT_FALSE(faces.malformed);
  EXPECT_EQ(faces.read.size(), 1u);
}

TEST(SculptMapReader, MalformedFacesStopTheFaceReaderButStillCount) {
  const std::string points =
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
  const char* const malformed[] = {
      "f 1/1 2/2\n",                // two corners
      "f \n",                       // none
      "f 1/1 2/2 3/3 4/4 1/1\n",    // five
      "f 1/1 2/2 3\n",              // a corner without a texture-coordinate number
      "f 1/1 2/2 3/\n",             // the same with its slash
      "f 1/1 2/2 3 /3\n",           // the number behind the space belongs to a fourth corner
      "f 1/1 2/2 0/3\n",            // position 0 names nothing
      "f 1/1 2/2 5/3\n",            // nor does position 5 of 4
      "f 1/1 2/2 3/5\n",            // nor texture coordinate 5 of 4
      "f 1/1 2/2 -1/-1\n",          // relative numbers are not taken
      "f 1/1 2/2 3/x\n",            // not a number
      "f 1/1 2/2 3/99999999999\n",  // beyond 32 bits
      "f 1/1 2/2 -2147483648/3\n",  // the smallest int, which must not be decremented
  };
  for (const char* line : malformed) {
    const std::string text = points + "f 1/1 2/2 3/3 4/4\n" + line + "f 4/4 3/3 2/2 1/1\n";
    EXPECT_EQ(readSculptMesh(text).faceLines, 3u) << line;
    const Faces faces = readFaces(text);
    EXPECT_TRUE(faces.malformed) << line;
    EXPECT_EQ(faces.read.size(), 1u) << line;  // the first face, and nothing after the bad one
  }
}

TEST(SculptMapReader, ShortPositionAndTextureCoordinateLinesAreMalformed) {
  for (const char* line :
       {"v 1 2\n", "v 1 2 nan\n", "v 1 2 1e40\n", "vt 0.5\n", "vt\n", "vt 1 -\n"}) {
    EXPECT_FALSE(readSculptMesh(std::string("v 0 0 0\nvt 0 0\n") + line).wellFormed) << line;
  }
  EXPECT_TRUE(readSculptMesh("v 0 0 0\nvt 0 0\n").wellFormed);
}

TEST(SculptMapReader, AMalformedTextureCoordinateAddsNothing) {
  const SculptMesh mesh = readSculptMesh("vt 0 0\nvt 2\nvt 1 1\n");
  EXPECT_FALSE(mesh.wellFormed);
  ASSERT_EQ(mesh.texCoords.size(), 2u);
  EXPECT_EQ(mesh.distinctU.size(), 2u);
  EXPECT_EQ(mesh.distinctU.value(mesh.texCoords[1][0]), 1.0f);
}

TEST(SculptMapReader, ANumberIsLookedForOnlyOnItsOwnLine) {
  // A short line must not borrow the numbers of the next one, whatever ends it.
  for (const char* text : {"v 1 2\nv 3 4 5\n", "v 1 2\r\nv 3 4 5\n", "vt 1\nvt 2 3\n",
                           "vt 1 \t\r\n4 5\n", "v 1 2 -\n3\n"}) {
    const SculptMesh mesh = readSculptMesh(text);
    EXPECT_FALSE(mesh.wellFormed) << text;
    EXPECT_LE(mesh.positions.size() + mesh.texCoords.size(), 1u) << text;
  }
  // The last line needs no line feed, and one-character lines are not positions.
  const SculptMesh last = readSculptMesh("v\nv\r\nvt 0.5 0.25");
  EXPECT_TRUE(last.wellFormed);
  EXPECT_TRUE(last.positions.empty());
  ASSERT_EQ(last.texCoords.size(), 1u);
  EXPECT_EQ(last.distinctV.value(last.texCoords[0][1]), 0.25f);
}

}  // namespace
}  // namespace mevrix::meshtools
