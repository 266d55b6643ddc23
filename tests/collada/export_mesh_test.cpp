// Reading OBJ text into the export mesh: lines, corners, groups and normals.

#include "collada/export_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::collada {
namespace {

using Numbers = std::vector<std::int32_t>;

ExportMesh readExportMeshFromMemory(std::string_view text, std::int32_t mode,
                                    std::size_t groupNameOffset) {
  test::MemoryInput memory(text);
  return readExportMesh(memory.input, mode, groupNameOffset);
}

Numbers faceSizes(const GroupSlot& slot) {
  Numbers sizes;
  slot.corners.forEachFaceSize([&](std::int32_t size) { sizes.push_back(size); });
  return sizes;
}
Numbers positionNumbers(const GroupSlot& slot) {
  Numbers numbers;
  slot.corners.forEachCorner([&](std::int32_t position, std::int32_t) { numbers.push_back(position); });
  return numbers;
}
Numbers texCoordNumbers(const GroupSlot& slot) {
  Numbers numbers;
  slot.corners.forEachCorner([&](std::int32_t, std::int32_t texCoord) { numbers.push_back(texCoord); });
  return numbers;
}

// The names of the group map in iteration order.
std::vector<std::string> groupNames(const ExportMesh& mesh) {
  std::vector<std::string> names;
  for (const auto& [name, index] : mesh.groups) names.emplace_back(name);
  return names;
}

const GroupSlot& slotOf(const ExportMesh& mesh, std::string_view name) {
  return mesh.slots[static_cast<std::size_t>(mesh.groups.at(std::string(name)))];
}

TEST(ExportMesh, FilesCornersAsPositionAndTextureCoordinateNumbers) {
  const ExportMesh mesh = readExportMeshFromMemory(
      "g grp_a\n"
      "f 1/1 2/2 3/3\n"
      "f 5 6 7\n"
      "f 1/4/7 2/5/8 3/6/9\n"
      "f  -2/+3   4/5 \n"
      "f\n",
      0, 2);
  const GroupSlot& slot = slotOf(mesh, "grp_a");
  EXPECT_EQ(faceSizes(slot), (Numbers{3, 3, 3, 2, 0}));
  EXPECT_EQ(slot.faceCount(), 5u);
  // "1/4/7" stops the reading at "/7": only its position and texture coordinate are recorded.
  EXPECT_EQ(positionNumbers(slot), (Numbers{1, 2, 3, 5, 6, 7, 1, -2, 4}));
  EXPECT_EQ(texCoordNumbers(slot), (Numbers{1, 2, 3, 5, 6, 7, 4, 3, 5}));
  EXPECT_TRUE(slot.faceNormals.empty());
}

TEST(ExportMesh, ACornerWithoutTextureCoordinateNumberTakesItsPosition) {
  // "1//3" gives the texts "1" and "/3"; the reading stops at "/3" with a position read and no
  // texture coordinate. Such a corner reuses its position number, like a corner "1" would.
  const ExportMesh mesh = readExportMeshFromMemory(
      "g a\n"
      "f 1//3 2//4 3//5\n"
      "f 7/ 8/ 9/\n"
      "f 4/x 5/5\n",
      0, 2);
  const GroupSlot& slot = slotOf(mesh, "a");
  EXPECT_EQ(faceSizes(slot), (Numbers{3, 3, 2}));
  EXPECT_EQ(positionNumbers(slot), (Numbers{1, 7, 9, 4}));
  EXPECT_EQ(texCoordNumbers(slot), (Numbers{1, 8, 9, 4}));
}

// The corner rule read literally: rewrite the tokens into one index text and extract integers
// from it with a string stream until one cannot be read.
void readFaceLiterally(std::string_view line, Numbers& positions, Numbers& texCoords) {
  const std::string corners(line.size() > 2 ? line.substr(2) : std::string_view{});
  std::string indexText;
  std::istringstream tokens(corners);
  std::size_t pos = 0;
  while (pos < corners.size()) {
    if (corners[pos] == ' ') {
      ++pos;
      continue;
    }
    std::size_t stop = corners.find(' ', pos);
    if (stop == std::string::npos) stop = corners.size();
    const std::string token = corners.substr(pos, stop - pos);
    pos = stop;
    const std::size_t slash = token.find('/');
    if (slash == std::string::npos) {
      indexText += token + " " + token + " ";
    } else {
      indexText += token.substr(0, slash) + " " + token.substr(slash + 1) + " ";
    }
  }
  std::istringstream scan(indexText);
  std::int32_t number = 0;
  for (std::size_t k = 0; scan >> number; ++k)
    (k % 2 == 0 ? positions : texCoords).push_back(number);
  if (positions.size() > texCoords.size()) texCoords.push_back(positions.back());
}

TEST(ExportMesh, ReadsCornersExactlyAsTheIndexTextRuleOnGeneratedFaces) {
  // Faces around and past the 16 corners of the fast path, and numbers at both ends of 32 bits
  // that jump back and forth, the largest differences the corner list keeps.
  std::vector<std::string> faces = {"f"};
  for (int i = 0; i < 32; ++i) faces[0] += " 2147483647/-2147483648 -2147483648/2147483647";
  for (int corners : {16, 17, 64, 1000}) {
    std::string line = "f";
    for (int i = 1; i <= corners; ++i)
      line += ' ' + std::to_string(i * 7) + '/' + std::to_string(i);
    faces.push_back(line);
  }
  for (const std::string& line : faces) {
    Numbers positions, texCoords;
    readFaceLiterally(line, positions, texCoords);
    const ExportMesh mesh = readExportMeshFromMemory(line, 0, 2);
    EXPECT_EQ(faceSizes(mesh.slots[0]), (Numbers{static_cast<std::int32_t>(positions.size())}));
    EXPECT_EQ(positionNumbers(mesh.slots[0]), positions) << line.substr(0, 40);
    EXPECT_EQ(texCoordNumbers(mesh.slots[0]), texCoords) << line.substr(0, 40);
  }
  // Odd rounds mostly write the common corner shapes, with numbers of up to 12 digits.
  const std::string alphabets[] = {"0123456789//  -+x\t.e", "01234567890123456789/  "};
  std::mt19937 random(2024);
  for (int round = 0; round < 40000; ++round) {
    const std::string& alphabet = alphabets[round % 2];
    std::string line = "f ";
    const int length = static_cast<int>(random() % 40);
    for (int i = 0; i < length; ++i) line += alphabet[random() % alphabet.size()];
    Numbers positions, texCoords;
    readFaceLiterally(line, positions, texCoords);
    const ExportMesh mesh = readExportMeshFromMemory(line, 0, 2);
    ASSERT_EQ(positionNumbers(mesh.slots[0]), positions) << '"' << line << '"';
    ASSERT_EQ(texCoordNumbers(mesh.slots[0]), texCoords) << '"' << line << '"';
  }
}

TEST(ExportMesh, ReadsPositionAndTextureCoordinateLinesAndIgnoresTheRest) {
  const std::string text =
      "# comment\n"
      "v 0 0 0\r\n"
      "vn 0 0 1\n"
      "vt 0.25 0.75\n"
      "o object\n"
      "v\n"
      "vx 4 5 6\n"
      "v 1.5 abc 3\n"
      "usemtl skin\n"
      "vt\n"
      "v 0 2 0 9\n"
      "s 1\n"
      "f 1 2 3\n";
  const ExportMesh mesh = readExportMeshFromMemory(text, 3, 2);
  EXPECT_EQ(mesh.positionCount, 3u);
  EXPECT_EQ(mesh.texCoordCount, 2u);
  // Once a number cannot be read, it and the rest are 0, and a fourth number is ignored: the
  // positions are (0, 0, 0), (1.5, 0, 0) and (0, 2, 0), whose face has the normal (0, 0, 3).
  ASSERT_EQ(mesh.vertexNormals.size(), 3u);
  EXPECT_EQ(mesh.vertexNormals[0].x, 0.0f);
  EXPECT_EQ(mesh.vertexNormals[0].y, 0.0f);
  EXPECT_EQ(mesh.vertexNormals[0].z, 3.0f);
  // The spans run from the first line of a kind to the end of its last one.
  EXPECT_EQ(text.substr(mesh.positionLines.begin, 7), "v 0 0 0");
  EXPECT_TRUE(text.substr(0, mesh.positionLines.end).ends_with("\nv 0 2 0 9"));
  EXPECT_EQ(text.substr(mesh.texCoordLines.begin, mesh.texCoordLines.end - mesh.texCoordLines.begin),
            "vt 0.25 0.75\no object\nv\nvx 4 5 6\nv 1.5 abc 3\nusemtl skin\nvt");
  EXPECT_TRUE(mesh.groups.empty());

  // Modes 0 and 1 keep no per-vertex normals.
  EXPECT_TRUE(readExportMeshFromMemory(text, 0, 2).vertexNormals.empty());
  EXPECT_TRUE(readExportMeshFromMemory(text, 1, 2).vertexNormals.empty());
}

TEST(ExportMesh, OrdersGroupsByUnsignedBytesAndNumbersThemByFirstOccurrence) {
  const ExportMesh mesh = readExportMeshFromMemory(
      "f 1 2 3\n"
      "g Part_b\n"
      "f 4 5 6\n"
      "g Part_\xc3\xa9t\xc3\xa9\n"
      "g Part_a\n"
      "f 7 8 9\n"
      "g Limb_ab\n"
      "g 12345\n"
      "g body\n"
      "g Limb_b\n"
      "f 1 1 1\n",
      0, 7);
  EXPECT_EQ(groupNames(mesh), (std::vector<std::string>{"", "a", "ab", "b", "\xc3\xa9t\xc3\xa9"}));
  EXPECT_EQ(mesh.groups.at("b"), 0);
  EXPECT_EQ(mesh.groups.at("\xc3\xa9t\xc3\xa9"), 1);
  EXPECT_EQ(mesh.groups.at("a"), 2);
  EXPECT_EQ(mesh.groups.at("ab"), 3);
  EXPECT_EQ(mesh.groups.at(""), 4);  // "g 12345" is exactly 7 long, "g body" shorter
  // The face before the first group line joins the first group; "Limb_b" returns to it.
  EXPECT_EQ(positionNumbers(slotOf(mesh, "b")), (Numbers{1, 2, 3, 4, 5, 6, 1, 1, 1}));
  EXPECT_EQ(slotOf(mesh, "a").faceCount(), 1u);
  EXPECT_EQ(slotOf(mesh, "").faceCount(), 0u);

  // With offset 2, "g body" and "g  body" are two groups; a lone "g" gives the empty name.
  const ExportMesh tris = readExportMeshFromMemory("g body\ng  body\ng\n", 0, 2);
  EXPECT_EQ(groupNames(tris), (std::vector<std::string>{"", " body", "body"}));
}

TEST(ExportMesh, HasNoGroupLimit) {
  std::string text;
  for (int i = 0; i < 1500; ++i)
    text += "g g" + std::to_string(i) + "\nf " + std::to_string(i) + "\n";
  const ExportMesh mesh = readExportMeshFromMemory(text, 0, 2);
  ASSERT_EQ(mesh.groups.size(), 1500u);
  ASSERT_EQ(mesh.slots.size(), 1500u);
  EXPECT_EQ(positionNumbers(slotOf(mesh, "g1499")), (Numbers{1499}));
}

TEST(ExportMesh, FileWithoutGroupLinesReadsFacesIntoNoGroup) {
  const ExportMesh mesh = readExportMeshFromMemory("v 0 0 0\nf 1 1 1\n", 1, 7);
  EXPECT_TRUE(mesh.groups.empty());
  EXPECT_EQ(mesh.slots[0].faceCount(), 1u);
}

constexpr const char* kTriangle =
    "v 0 0 0\n"
    "v 2 0 0\n"
    "v 0 3 0\n";

TEST(ExportMesh, Mode1GivesEachFaceItsUnitNormal) {
  const std::string text = std::string(kTriangle) + "g a\nf 1 2 3\nf 1 3 2\n";
  const ExportMesh mesh = readExportMeshFromMemory(text, 1, 2);
  const GroupSlot& slot = slotOf(mesh, "a");
  ASSERT_EQ(slot.faceNormals.size(), 2u);
  EXPECT_EQ(slot.faceNormals[0].normal.x, 0.0f);
  EXPECT_EQ(slot.faceNormals[0].normal.y, 0.0f);
  EXPECT_EQ(slot.faceNormals[0].normal.z, 1.0f);
  EXPECT_EQ(slot.faceNormals[0].corners, 3);
  EXPECT_EQ(slot.faceNormals[1].normal.z, -1.0f);
  // Mode 1 keeps no per-vertex sums.
  EXPECT_TRUE(mesh.vertexNormals.empty());
}

TEST(ExportMesh, ComputesNormalsIn32BitArithmeticInTheStatedOrder) {
  // Exactly representable positions for which doing the arithmetic in double, or summing the
  // squares in another order, changes the last bits of the result.
  const std::string text =
      "v -1.869140625 1.896484375 2.123046875\n"
      "v 1.1396484375 -0.693359375 -2.0283203125\n"
      "v 2.6962890625 -0.0087890625 -1.0791015625\n"
      "f 1 2 3\n";
  const ExportMesh flat = readExportMeshFromMemory(text, 1, 2);
  const FaceNormal& unit = flat.slots[0].faceNormals[0];
  EXPECT_EQ(unit.normal.x, 0x1.1a17bep-5f);
  EXPECT_EQ(unit.normal.y, -0x1.ac4e2cp-1f);
  EXPECT_EQ(unit.normal.z, 0x1.17fa5ep-1f);

  const ExportMesh unscaled = readExportMeshFromMemory(text, 3, 2);
  unscaled.vertexNormals.forEach([](const Vector3& v) {
    EXPECT_EQ(v.x, 0x1.88c7cp-2f);
    EXPECT_EQ(v.y, -0x1.2a2e92p+3f);
    EXPECT_EQ(v.z, 0x1.85d5f4p+2f);
  });
  const ExportMesh smooth = readExportMeshFromMemory(text, 2, 2);
  EXPECT_EQ(smooth.vertexNormals[2].x, unit.normal.x);
  EXPECT_EQ(smooth.vertexNormals[2].y, unit.normal.y);
  EXPECT_EQ(smooth.vertexNormals[2].z, unit.normal.z);
}

TEST(ExportMesh, Modes2And3SumAreaWeightedNormalsIntoTheCorners) {
  const std::string text =
      "v 0 0 0\n"
      "v 1 0 0\n"
      "v 1 1 0\n"
      "v 0 1 0\n"
      "v 0 0 5\n"
      "v 0 0 7\n"
      "f 1 2 3 4\n"     // quadrilateral: normal (0, 0, 1) to all four corners
      "f 1 3 2 5 6\n";  // pentagon: normal (0, 0, -1) to its first three corners only
  const ExportMesh unscaled = readExportMeshFromMemory(text, 3, 2);
  EXPECT_EQ(unscaled.vertexNormals[0].z, 0.0f);
  EXPECT_EQ(unscaled.vertexNormals[3].z, 1.0f);
  EXPECT_EQ(unscaled.vertexNormals[4].z, 0.0f);
  EXPECT_EQ(unscaled.vertexNormals[5].z, 0.0f);

  const ExportMesh bigger = readExportMeshFromMemory("v 0 0 0\nv 2 0 0\nv 0 3 0\nf 1 2 3\n", 3, 2);
  EXPECT_EQ(bigger.vertexNormals[0].z, 6.0f);  // twice the area, not scaled

  const std::string more = text + "f 2 3 4\n";
  const ExportMesh scaled = readExportMeshFromMemory(more, 2, 2);
  EXPECT_EQ(scaled.vertexNormals[3].z, 1.0f);  // 1 + 1, scaled to unit length
  EXPECT_EQ(scaled.vertexNormals[1].z, 1.0f);  // 1 - 1 + 1
  // Sums of zero length have no direction: 0 / 0.
  EXPECT_TRUE(std::isnan(scaled.vertexNormals[0].z));
  EXPECT_TRUE(std::isnan(scaled.vertexNormals[4].x));
}

TEST(ExportMesh, FacesThatNameNoVertexReadSoFarGetTheZeroNormal) {
  const std::string text =
      "f 1 2 3\n"  // before any position line
      "v 0 0 0\n"
      "v 1 0 0\n"
      "v 0 1 0\n"
      "f 1 2\n"              // two corners
      "f 1 2 4\n"            // a position not read (yet)
      "f 0 1 2\n"            // position number 0 names nothing
      "f -2147483648 1 2\n"  // nor does the most negative number
      "f 1 2 3 9\n"          // a fourth corner that names nothing still gives the first three
      "v 5 5 5\n";
  const ExportMesh flat = readExportMeshFromMemory(text, 1, 2);
  const auto& normals = flat.slots[0].faceNormals;
  ASSERT_EQ(normals.size(), 6u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(normals[i].normal.x, 0.0f) << i;
    EXPECT_EQ(normals[i].normal.y, 0.0f) << i;
    EXPECT_EQ(normals[i].normal.z, 0.0f) << i;
  }
  EXPECT_EQ(normals[1].corners, 2);
  EXPECT_EQ(normals[5].normal.z, 1.0f);

  const ExportMesh smooth = readExportMeshFromMemory(text, 3, 2);
  EXPECT_EQ(smooth.vertexNormals[0].z, 1.0f);
  EXPECT_EQ(smooth.vertexNormals[2].z, 1.0f);
  EXPECT_EQ(smooth.vertexNormals[3].z, 0.0f);  // vertex 4 was not read when its faces were
}

TEST(ExportMesh, ReadsAFileAndRecordsItsMode) {
  test::TempDir dir;
  const std::string path = dir.write("mesh.obj", std::string(kTriangle) + "g x\nf 1 2 3");
  std::optional<common::FileSource> file = common::FileSource::open(path.c_str());
  ASSERT_TRUE(file);
  common::ChunkedInput input(*file);
  const ExportMesh mesh = readExportMesh(input, 2, 2);
  EXPECT_EQ(mesh.mode, 2);
  EXPECT_EQ(mesh.positionCount, 3u);
  EXPECT_EQ(positionNumbers(slotOf(mesh, "x")), (Numbers{1, 2, 3}));
  EXPECT_EQ(mesh.positionLines.begin, 0u);

  const ExportMesh empty = readExportMeshFromMemory("", 1, 7);
  EXPECT_EQ(empty.mode, 1);
  EXPECT_EQ(empty.positionCount, 0u);
  EXPECT_TRUE(empty.groups.empty());
}

}  // namespace
}  // namespace mevrix::collada
