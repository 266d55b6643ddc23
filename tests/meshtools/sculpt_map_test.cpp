// Sculpt maps from OBJ text: the grid check, corner placement, channel values and the image bytes.

#include "meshtools/sculpt_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "meshtools/sculpt_test_meshes.h"
#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::meshtools {
namespace {

using test::gridObj;

struct Converted {
  SculptResult result;
  std::string bytes;
};

Converted convert(std::string_view obj) {
  test::MemoryInput memory(obj);
  MemoryMapOutput out;
  const SculptResult result = convertToSculptMap(memory.input, out);
  return {result, std::string(out.bytes())};
}

std::uint32_t field32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

// The blue, green and red bytes of the pixel in `column` of `row` (row 0 at the bottom).
std::string pixel(std::string_view bmp, std::uint32_t column, std::uint32_t row) {
  const std::uint32_t width = field32(bmp, 18);
  const std::uint32_t rowBytes = (width * 3 + 3) / 4 * 4;
  return std::string(bmp.substr(54 + row * rowBytes + column * 3, 3));
}

// Blue, green, red as a string, for comparing pixels.
std::string bgr(int blue, int green, int red) {
  return {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
}

const std::string kOneCellTexCoords = "vt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\n";
const std::string kFourPositions = "v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\n";
// The colours of those four positions.
const std::string kColour1 = bgr(127, 127, 127);
const std::string kColour2 = bgr(127, 255, 127);
const std::string kColour3 = bgr(127, 255, 255);
const std::string kColour4 = bgr(255, 127, 255);
const std::string kBlack = bgr(0, 0, 0);

// The pixels of the first cell, going around it: bottom left, top left, top right, bottom right.
std::string aroundTheCell(std::string_view bmp) {
  return pixel(bmp, 0, 0) + pixel(bmp, 0, 1) + pixel(bmp, 1, 1) + pixel(bmp, 1, 0);
}

TEST(SculptMap, MatchesTheGoldenImages) {
  for (const char* name : {"sculpt_grid_3x3", "sculpt_grid_3x2"}) {
    const std::string dir = std::string(MEVRIX_TEST_DATA_DIR) + "/meshtools/";
    const Converted map = convert(test::readFile(dir + name + ".obj"));
    EXPECT_EQ(map.result, SculptResult::written) << name;
    EXPECT_EQ(map.bytes, test::readFile(dir + name + ".bmp")) << name;
  }
  // 6 x 6 pixels: rows of 18 pixel bytes and 2 zero bytes; 6 x 4 the same.
  const Converted threeByThree =
      convert(test::readFile(std::string(MEVRIX_TEST_DATA_DIR) + "/meshtools/sculpt_grid_3x3.obj"));
  ASSERT_EQ(threeByThree.bytes.size(), 174u);
  EXPECT_EQ(field32(threeByThree.bytes, 2), 174u);
  EXPECT_EQ(threeByThree.bytes.substr(54 + 18, 2), std::string(2, '\0'));
}

TEST(SculptMap, PlacesAQuadrilateralsCornersAroundItsCell) {
  // Corner 1 at the bottom left, 2 top left, 3 top right, 4 bottom right; x, y, z of (1, 0, 1)
  // give blue 255, green 127, red 255.
  const Converted map = convert(kFourPositions + kOneCellTexCoords + "f 1/1 2/2 3/3 4/4\n");
  ASSERT_EQ(map.result, SculptResult::written);
  const std::string expected = std::string(
                                   "BM\x46\0\0\0\0\0\0\0\x36\0\0\0"
                                   "\x28\0\0\0\2\0\0\0\2\0\0\0\1\0\x18\0\0\0\0\0\x10\0\0\0",
                                   38) +
                               std::string(16, '\0') + kColour1 + kColour4 + std::string(2, '\0') +
                               kColour2 + kColour3 + std::string(2, '\0');
  EXPECT_EQ(map.bytes, expected);
}

TEST(SculptMap, AFaceMayStartAtAnyCornerAndGoEitherWayRound) {
  // Texture coordinates listed in another order, and a face that starts at the top right and
  // runs down, left and up: corner 1 to 2 still runs along v and 2 to 3 along u, so the cell
  // fills as before. Ranks, not values, make the columns and rows.
  const Converted map =
      convert(kFourPositions + "vt 5 -3\nvt 7 -3\nvt 5 2\nvt 7 2\n" + "f 3/4 4/2 1/1 2/3\n");
  ASSERT_EQ(map.result, SculptResult::written);
  EXPECT_EQ(aroundTheCell(map.bytes), kColour1 + kColour2 + kColour3 + kColour4);

  // Round the other way, corner 1 to 2 along u: the pair rules put the bottom right and top left
  // corners on their own pixels, and the bottom left and top right ones each on the pixel that
  // the same vertex has in the diagonal neighbour cell. A grid so made fills every pixel as before
  // but the bottom left ones of its first row and column of cells and the top right ones of its
  // last.
  const Converted reversed = convert(kFourPositions + kOneCellTexCoords + "f 1/1 4/4 3/3 2/2\n");
  ASSERT_EQ(reversed.result, SculptResult::written);
  EXPECT_EQ(aroundTheCell(reversed.bytes), kBlack + kColour2 + kBlack + kColour4);
  const Converted forward = convert(gridObj(3, 3));
  const Converted backward = convert(gridObj(3, 3, true));
  ASSERT_EQ(backward.result, SculptResult::written);
  for (std::uint32_t column = 0; column < 6; ++column) {
    for (std::uint32_t row = 0; row < 6; ++row) {
      const bool unreached = (column % 2 == 0 && row % 2 == 0 && (column == 0 || row == 0)) ||
                             (column % 2 == 1 && row % 2 == 1 && (column == 5 || row == 5));
      EXPECT_EQ(pixel(backward.bytes, column, row),
                unreached ? kBlack : pixel(forward.bytes, column, row))
          << column << " " << row;
    }
  }
}

TEST(SculptMap, The33By33VertexGridGivesA64By64Map) {
  const Converted map = convert(gridObj(32, 32));
  ASSERT_EQ(map.result, SculptResult::written);
  ASSERT_EQ(map.bytes.size(), 12342u);
  EXPECT_EQ(field32(map.bytes, 18), 64u);
  EXPECT_EQ(field32(map.bytes, 22), 64u);
  EXPECT_EQ(field32(map.bytes, 34), 64u * 64 * 3);  // no row padding
  // Vertex (i, j) stands at (i, j, -i); the largest coordinate is 32, so the scale is 127.5 / 32.
  // Cell (31, 0)'s bottom right is vertex (32, 0); cell (0, 31)'s top left is vertex (0, 32).
  EXPECT_EQ(pixel(map.bytes, 63, 0), bgr(0, 127, 255));
  EXPECT_EQ(pixel(map.bytes, 0, 63), bgr(127, 255, 127));
  // Cell (5, 9) covers columns 10-11, rows 18-19; its top right is vertex (6, 10).
  const auto channel = [](int c) { return static_cast<int>(c * (127.5f / 32) + 127.5); };
  EXPECT_EQ(pixel(map.bytes, 11, 19), bgr(channel(-6), channel(10), channel(6)));
}

TEST(SculptMap, ATrianglePlacesThreeCornersAndPaintsNothingForTheFourth) {
  const Converted map = convert(kFourPositions + kOneCellTexCoords + "f 1/1 2/2 3/3\n");
  ASSERT_EQ(map.result, SculptResult::written);
  EXPECT_EQ(aroundTheCell(map.bytes), kColour1 + kColour2 + kColour3 + kBlack);
}

TEST(SculptMap, LaterFacesOverwriteEarlierOnesAndUnreachedPixelsStayBlack) {
  // Two cells side by side, both faces on the left one: the triangle overwrites three of the
  // quadrilateral's pixels and leaves its fourth; the right cell stays black.
  const Converted map = convert(
      "v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\nv -1 0.5 -0.5\n"
      "vt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\nvt 2 0\nvt 2 1\n"
      "f 1/1 2/2 3/3 4/4\nf 5/1 5/2 5/3\n");
  ASSERT_EQ(map.result, SculptResult::written);
  const std::string fifth = bgr(63, 191, 0);  // (-1, 0.5, -0.5)
  EXPECT_EQ(aroundTheCell(map.bytes), fifth + fifth + fifth + kColour4);
  for (std::uint32_t column : {2u, 3u}) {
    for (std::uint32_t row : {0u, 1u}) EXPECT_EQ(pixel(map.bytes, column, row), kBlack);
  }
}

TEST(SculptMap, LinesAmongTheFacesAreNeitherCountedNorPainted) {
  const std::string mesh =
      "v 0 0 0\nv 0 1 0\nv 1 1 0\nv 1 0 1\nv -1 0.5 -0.5\n"
      "vt 0 0\nvt 0 1\nvt 1 1\nvt 1 0\nvt 2 0\nvt 2 1\n";
  const Converted plain = convert(mesh + "f 1/1 2/2 3/3 4/4\nf 5/4 5/3 5/6 5/5\n");
  const Converted mixed =
      convert(mesh + "f 1/1 2/2 3/3 4/4\ns off\n# 9/9\nfx 5/1\ng right\nf 5/4 5/3 5/6 5/5\n");
  ASSERT_EQ(plain.result, SculptResult::written);
  EXPECT_EQ(mixed.result, SculptResult::written);
  EXPECT_EQ(mixed.bytes, plain.bytes);
}

TEST(SculptMap, CornersThatLandOutsideThePictureAreLeftOut) {
  // Every corner on one texture coordinate: the pair rules move some of them off the picture
  // (to column or row -1, or to the far edge), which must not reach memory beside it.
  for (const char* texCoord : {"1", "2", "3", "4"}) {
    const std::string t = texCoord;
    const Converted map = convert(kFourPositions + kOneCellTexCoords + "f 1/" + t + " 2/" + t +
                                  " 3/" + t + " 4/" + t + "\n");
    EXPECT_EQ(map.result, SculptResult::written) << t;
    EXPECT_EQ(map.bytes.size(), 70u) << t;
  }
  // All on the top right texture coordinate: the first corner steps back onto the top right
  // pixel, the others stay beyond the top or the right edge.
  const Converted map = convert(kFourPositions + kOneCellTexCoords + "f 1/3 2/3 3/3 4/3\n");
  EXPECT_EQ(aroundTheCell(map.bytes), kBlack + kBlack + kColour1 + kBlack);
}

TEST(SculptMap, TheFaceCountMustMatchTheGrid) {
  std::string missingFace = gridObj(3, 3);
  missingFace.erase(missingFace.rfind("f "));
  EXPECT_EQ(convert(missingFace).result, SculptResult::notAGrid);
  EXPECT_EQ(convert(gridObj(3, 3) + "f 1/1 2/2 3/3\n").result, SculptResult::notAGrid);
  // An empty file and one without texture coordinates have no grid, one face or not.
  EXPECT_EQ(convert("").result, SculptResult::notAGrid);
  EXPECT_EQ(convert(kFourPositions + "f 1 2 3\n").result, SculptResult::notAGrid);
  EXPECT_EQ(convert(kFourPositions + "f 1/1 2/1 3/1\n").result, SculptResult::notAGrid);
  // Texture coordinates that no face uses still count.
  EXPECT_EQ(convert(gridObj(1, 1) + "vt 0.5 0.5\n").result, SculptResult::notAGrid);
  // Distinct means distinct as floats: numbers that read as the same float are one value
  // (0 and -0 too), the next float up is another.
  EXPECT_EQ(convert(gridObj(1, 1) + "vt 0 1.0000001\n").result, SculptResult::notAGrid);
  const Converted same =
      convert(kFourPositions + kOneCellTexCoords + "vt -0 1.0000000001\nf 1/1 2/2 3/3 4/4\n");
  EXPECT_EQ(same.result, SculptResult::written);
}

TEST(SculptMap, ASingleColumnOfValuesMakesAnEmptyPicture) {
  // One distinct u: no cells, no faces expected, a picture 0 pixels wide.
  const Converted map = convert("vt 0.5 0\nvt 0.5 1\n");
  ASSERT_EQ(map.result, SculptResult::written);
  EXPECT_EQ(map.bytes.size(), 54u);
  EXPECT_EQ(field32(map.bytes, 18), 0u);
  EXPECT_EQ(field32(map.bytes, 22), 2u);
}

TEST(SculptMap, PicturesAreAtMost2048PixelsWideOrHighAndTheFaceCheckComesFirst) {
  // 1025 distinct u values: 2048 pixels, the largest there is.
  const Converted widest = convert(gridObj(1024, 1));
  ASSERT_EQ(widest.result, SculptResult::written);
  EXPECT_EQ(field32(widest.bytes, 18), 2048u);
  EXPECT_EQ(convert(gridObj(1, 1024)).result, SculptResult::written);
  // 1026: 2050 pixels.
  EXPECT_EQ(convert(gridObj(1025, 1)).result, SculptResult::tooLarge);
  EXPECT_EQ(convert(gridObj(1, 1025)).result, SculptResult::tooLarge);
  // Too large and the wrong number of faces: the face check wins.
  EXPECT_EQ(convert(gridObj(1025, 1) + "f 1/1 2/2 3/3\n").result, SculptResult::notAGrid);
}

TEST(SculptMap, AMalformedMeshIsReportedAfterTheGridChecks) {
  const std::string cell = kFourPositions + kOneCellTexCoords;
  EXPECT_EQ(convert(cell + "f 1/1 2/2\n").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 4/4 1/1\n").result, SculptResult::malformedMesh);
  for (int corners : {17, 64, 1000}) {
    std::string face = "f";
    for (int i = 0; i < corners; ++i) face += " 1/1";
    EXPECT_EQ(convert(cell + face + "\n").result, SculptResult::malformedMesh) << corners;
  }
  EXPECT_EQ(convert(cell + "f 1 2 3 4\n").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 9/4\n").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 4/-1\n").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "v 1 2\nf 1/1 2/2 3/3 4/4\n").result, SculptResult::malformedMesh);
  // A carriage return ends a face line only just before its line feed; anywhere else it belongs
  // to the corner it follows, or stands as a corner of its own that holds no number.
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 4/4 \r").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 \r").result, SculptResult::malformedMesh);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 4/4\r").result, SculptResult::written);
  EXPECT_EQ(convert(cell + "f 1/1 2/2 3/3 4/4 \r\n").result, SculptResult::written);
  // Nothing was put into the sink.
  EXPECT_TRUE(convert(cell + "f 1/1 2/2\n").bytes.empty());
  // With the grid wrong as well, the grid check answers first.
  EXPECT_EQ(convert(cell + "f 1/1 2/2\nf 1/1 2/2 3/3\n").result, SculptResult::notAGrid);
  EXPECT_EQ(convert(gridObj(1025, 1) + "v 1 2\n").result, SculptResult::tooLarge);
}

TEST(ChannelScale, MapsTheLargestAbsoluteCoordinateTo255AndTheOriginTo127) {
  const ChannelScale unit(1.0f, -1.0f);
  EXPECT_EQ(unit(-1.0f), 0);
  EXPECT_EQ(unit(0.0f), 127);
  EXPECT_EQ(unit(1.0f), 255);
  // Centred on the origin, not on the box: [0, 10] maps 0 to 127.
  const ChannelScale positive(10.0f, 0.0f);
  EXPECT_EQ(positive(0.0f), 127);
  EXPECT_EQ(positive(10.0f), 255);
  EXPECT_EQ(positive(5.0f), 191);
  // A negative extent beyond the positive one sets the scale.
  const ChannelScale negative(2.0f, -4.0f);
  EXPECT_EQ(negative(-4.0f), 0);
  EXPECT_EQ(negative(2.0f), 191);
  // The scale is held as a float: 127.5 / 0.7 rounds down, so 0.7 gives 254.
  const ChannelScale rounded(0.7f, 0.0f);
  EXPECT_EQ(rounded(0.7f), 254);
  EXPECT_EQ(rounded(-0.7f), 0);
  // Truncation toward zero: 0.5 * 127.5 + 127.5 = 191.25.
  EXPECT_EQ(unit(0.5f), 191);
}

TEST(ChannelScale, DegenerateExtentsStayInsideTheChannelRange) {
  // All coordinates 0: no scale; everything maps to the origin's value.
  const ChannelScale zero(0.0f, 0.0f);
  EXPECT_EQ(zero(0.0f), 127);
  EXPECT_EQ(zero(-0.0f), 127);
  // So small that 127.5 / extent overflows a float: still 0 to 255.
  const float tiny = std::numeric_limits<float>::denorm_min() * 3;
  const ChannelScale small(tiny, -tiny);
  EXPECT_EQ(small(tiny), 255);
  EXPECT_EQ(small(-tiny), 0);
  EXPECT_EQ(small(0.0f), 127);
  // The largest floats.
  const float big = std::numeric_limits<float>::max();
  const ChannelScale huge(big, -big);
  EXPECT_EQ(huge(big), 255);
  EXPECT_EQ(huge(-big), 0);
}

TEST(SculptMap, ChannelValuesLandInRedGreenAndBlue) {
  // (1, 0, -1) with scale 127.5: red 255, green 127, blue 0, written blue first.
  const Converted map = convert("v 1 0 -1\nv 0 0 0\n" + kOneCellTexCoords + "f 1/1 2/2 2/3 2/4\n");
  ASSERT_EQ(map.result, SculptResult::written);
  EXPECT_EQ(map.bytes.substr(54, 3), bgr(0, 127, 255));
  // A mesh of zeros is grey.
  const Converted zeros =
      convert("v 0 0 0\nv 0 -0 0\n" + kOneCellTexCoords + "f 1/1 2/2 2/3 2/4\n");
  ASSERT_EQ(zeros.result, SculptResult::written);
  for (std::uint32_t column : {0u, 1u}) {
    for (std::uint32_t row : {0u, 1u})
      EXPECT_EQ(pixel(zeros.bytes, column, row), bgr(127, 127, 127));
  }
}

}  // namespace
}  // namespace mevrix::meshtools
