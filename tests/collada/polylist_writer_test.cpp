// The polygon-list document, byte for byte.

#include <gtest/gtest.h>

#include <string>

#include "collada/document_export.h"
#include "collada/document_variants.h"
#include "document_helpers.h"

namespace mevrix::collada {
namespace {

using test::golden;
using test::polylistDocument;
using test::withMeshLines;

constexpr std::string_view kTriangle =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 0 1 0\n"
    "vt 0 0\n"
    "vt 1 0\n"
    "vt 0 1\n"
    "g Part_a\n"
    "f 1/1 2/2 3/3\n";

// The inside of the <mesh> element for base name "head": the array texts and element lines
// differ from case to case, every other line is fixed.
struct MeshCase {
  std::string positions;  // array text
  int positionCount;
  std::string normals;  // array text; no normals source when normalCount < 0
  int normalCount;
  std::string texCoords;
  int texCoordCount;
  std::string elements;  // the polylist lines
};

std::string meshLines(const MeshCase& c) {
  std::string text =
      "        <source id=\"head-positions\" name=\"head-positions\">\n"
      "        \t          <float_array id=\"head-positions-array\" count=\"" +
      std::to_string(3 * c.positionCount) + "\">" + c.positions +
      "</float_array>\t\n"
      "          <technique_common>\n"
      "            <accessor source=\"#head-positions-array\" count=\"" +
      std::to_string(c.positionCount) +
      "\" stride=\"3\">\n"
      "              <param name=\"X\" type=\"float\"/>\n"
      "              <param name=\"Y\" type=\"float\"/>\n"
      "              <param name=\"Z\" type=\"float\"/>\n"
      "            </accessor>\n"
      "          </technique_common>\n"
      "        </source>  \n";
  if (c.normalCount >= 0) {
    text +=
        "        <source id=\"head-normals\" name=\"head-normals\">\n"
        "          <float_array id=\"head-normals-array\" count=\"" +
        std::to_string(3 * c.normalCount) + "\">" + c.normals +
        "</float_array>\n"
        "          <technique_common>\n"
        "            <accessor source=\"#head-normals-array\" count=\"" +
        std::to_string(c.normalCount) +
        "\" stride=\"3\">\n"
        "              <param name=\"X\" type=\"float\"/>\n"
        "              <param name=\"Y\" type=\"float\"/>\n"
        "              <param name=\"Z\" type=\"float\"/>\n"
        "            </accessor>\n"
        "          </technique_common>\n"
        "        </source>     \n";
  }
  return text +
         "        <source id=\"head-map1\" name=\"head-map1\">\n"
         "          <float_array id=\"head-map1-array\" count=\"" +
         std::to_string(2 * c.texCoordCount) + "\">" + c.texCoords +
         "</float_array>\n"
         "          <technique_common>\n"
         "            <accessor source=\"#head-map1-array\" count=\"" +
         std::to_string(c.texCoordCount) +
         "\" stride=\"2\">\n"
         "              <param name=\"S\" type=\"float\"/>\n"
         "              <param name=\"T\" type=\"float\"/>\n"
         "            </accessor>\n"
         "          </technique_common>\n"
         "        </source>\n"
         "        <vertices id=\"head-vertices\" name=\"head-vertices\">\n"
         "          <input semantic=\"POSITION\" source=\"#head-positions\"/>\n"
         "        </vertices>\n" +
         c.elements;
}

std::string polylist(int ordinal, int count, bool normals, std::string_view vcount,
                     std::string_view corners) {
  std::string text = "        <polylist material=\"" + std::to_string(ordinal) +
                     "_head_blinnSG\" count=\"" + std::to_string(count) +
                     "\">\n"
                     "          <input semantic=\"VERTEX\" source=\"#head-vertices\" "
                     "offset=\"0\"/>\n";
  if (normals) {
    text +=
        "          <input semantic=\"NORMAL\" source=\"#head-normals\" offset=\"1\"/>\n"
        "          <input semantic=\"TEXCOORD\" source=\"#head-map1\" offset=\"2\" set=\"0\"/>\n";
  } else {
    text +=
        "          <input semantic=\"TEXCOORD\" source=\"#head-map1\" offset=\"1\" set=\"0\"/>\n";
  }
  return text + "          <vcount>" + std::string(vcount) + "</vcount>\n          <p>" +
         std::string(corners) + "</p>\n        </polylist>\n";
}

// The document for `obj` must be the golden one-triangle document with `expected` as its mesh.
void expectMesh(std::string_view obj, std::int32_t mode, const MeshCase& expected) {
  EXPECT_EQ(polylistDocument(obj, mode),
            withMeshLines(golden("polylist_head.dae"), meshLines(expected)));
}

TEST(PolylistDocument, OneTriangleMatchesTheGoldenDocuments) {
  EXPECT_EQ(polylistDocument(kTriangle, 0), golden("polylist_head.dae"));
  EXPECT_EQ(polylistDocument(kTriangle, 1), golden("polylist_head_normals.dae"));
  // Only truncation toward zero reaches the writer; every mode at or below 0 is mode 0.
  EXPECT_EQ(polylistDocument(kTriangle, -7), golden("polylist_head.dae"));
}

TEST(PolylistDocument, QuadsInMode2GetEachCornerItsVertexNormal) {
  const std::string obj =
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 1\n"
      "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
      "g Part_quads\n"
      "f 1/1 2/2 3/3 4/4\n"
      "f 2/1 5/2 6/3 3/4\n";
  const std::string up = "0 0 1 ";
  const std::string shared = "0 -0.447214 0.894427 ";  // (0, -1, 2) scaled
  const std::string tilted = "0 -0.707107 0.707107 ";
  const MeshCase expected{
      "0 0 0 1 0 0 1 1 0 0 1 0 2 0 0 2 1 1 ",
      6,
      up + shared + shared + up + shared + tilted + tilted + shared,
      8,
      " 0 0  1 0  1 1  0 1 ",
      4,
      polylist(1, 2, true, "4 4 ", "0 0 0 1 1 1 2 2 2 3 3 3 1 4 0 4 5 1 5 6 2 2 7 3 ")};
  expectMesh(obj, 2, expected);
}

TEST(PolylistDocument, APentagonIsOnePolygonWithItsNormalOnEveryCorner) {
  const std::string obj =
      "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 1 3 0\nv 0 2 0\n"
      "vt 0.5 0.5\n"
      "g Part_pentagon\n"
      "f 1/1 2/1 3/1 4/1 5/1\n";
  const MeshCase expected{"0 0 0 2 0 0 2 2 0 1 3 0 0 2 0 ",
                          5,
                          "0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 ",
                          5,
                          " 0.5 0.5 ",
                          1,
                          polylist(1, 1, true, "5 ", "0 0 0 1 1 0 2 2 0 3 3 0 4 4 0 ")};
  expectMesh(obj, 1, expected);
}

TEST(PolylistDocument, GroupsFollowTheirNamesAndNormalIndicesRunOn) {
  const std::string obj =
      "v 0 0 0\nv 1 0 0\nv 0 1 0\n"
      "g Part_b\n"
      "f 1 2 3\n"
      "g Part_a\n"
      "f 1 3 2\n";
  const MeshCase expected{"0 0 0 1 0 0 0 1 0 ",
                          3,
                          "0 0 -1 0 0 -1 0 0 -1 0 0 1 0 0 1 0 0 1 ",
                          6,
                          "",
                          0,
                          polylist(1, 1, true, "3 ", "0 0 0 2 1 2 1 2 1 ") +
                              polylist(2, 1, true, "3 ", "0 3 0 1 4 1 2 5 2 ")};
  expectMesh(obj, 1, expected);
}

TEST(PolylistDocument, FacesBeforeTheFirstGroupLineJoinThatGroup) {
  const std::string obj =
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
      "f 1/1 2/2 3/3\n"
      "g Part_late\n"
      "f 3/3 2/2 1/1\n";
  const MeshCase expected{"0 0 0 1 0 0 0 1 0 ",
                          3,
                          "",
                          -1,
                          " 0 0  1 0  0 1 ",
                          3,
                          polylist(1, 2, false, "3 3 ", "0 0 1 1 2 2 2 2 1 1 0 0 ")};
  expectMesh(obj, 0, expected);
}

TEST(PolylistDocument, WithoutGroupLinesNoFaceIsWritten) {
  const std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nf 1/1 2/1 3/1\n";
  const MeshCase expected{"0 0 0 1 0 0 0 1 0 ", 3, "", 0, " 0 0 ", 1, ""};
  expectMesh(obj, 1, expected);
}

TEST(PolylistDocument, Mode3WritesTheSumsUnscaled) {
  const std::string obj = "v 0 0 0\nv 2 0 0\nv 0 3 0\ng Part_a\nf 1 2 3\n";
  const MeshCase expected{"0 0 0 2 0 0 0 3 0 ",
                          3,
                          "0 0 6 0 0 6 0 0 6 ",
                          3,
                          "",
                          0,
                          polylist(1, 1, true, "3 ", "0 0 0 1 1 1 2 2 2 ")};
  expectMesh(obj, 3, expected);
}

TEST(PolylistDocument, NormalsThatAreNoNumbersOrNameNoVertexAreWrittenAsZero) {
  const std::string obj =
      "v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\n"
      "g Part_a\n"
      "f 1 2 3\n"            // no area: its unit normal is 0 / 0
      "f 1 2 4 123456789\n"  // a corner that names no vertex, with a nine-digit index
      "f 1//2 2//3\n"        // malformed: one recorded corner, which reuses its position number
      "f -1 2 4\n";
  const MeshCase flat{"0 0 0 1 0 0 2 0 0 0 1 0 ",
                      4,
                      "0 0 0 0 0 0 0 0 0 0 0 1 0 0 1 0 0 1 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 ",
                      11,
                      "",
                      0,
                      polylist(1, 4, true, "3 4 2 3 ",
                               "0 0 0 1 1 1 2 2 2 0 3 0 1 4 1 3 5 3 123456788 6 123456788 0 7 0 "
                               "-2 8 -2 1 9 1 3 10 3 ")};
  expectMesh(obj, 1, flat);

  // Vertex 3 lies only on the face without area: its sum has no length.
  const std::string smooth = polylistDocument(obj, 2);
  EXPECT_NE(smooth.find(">0 0 1 0 0 1 0 0 0 0 0 1 0 0 1 0 0 1 0 0 0 0 0 1 0 0 0 0 0 1 "
                        "0 0 1 </float_array>"),
            std::string::npos);

  // Nor does the vertex just after the last, with as many vertices (16) as the first block of
  // vertex normals holds: nothing behind that block is read for it.
  std::string sixteen = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 3; i < 16; ++i) sixteen += "v 0 0 0\n";
  for (const std::int32_t mode : {2, 3}) {
    EXPECT_NE(polylistDocument(sixteen + "g Part_a\nf 1 2 3\nf 1 2 17\n", mode)
                  .find(">0 0 1 0 0 1 0 0 1 0 0 1 0 0 1 0 0 0 </float_array>"),
              std::string::npos)
        << mode;
  }
}

// The text between the opening tag that `prefix` starts and the next "<".
std::string elementText(const std::string& document, std::string_view prefix) {
  const std::size_t open = document.find(prefix);
  if (open == std::string::npos) return "(missing)";
  const std::size_t begin = document.find('>', open) + 1;
  return document.substr(begin, document.find('<', begin) - begin);
}

TEST(PolylistDocument, LargeMeshesKeepNormalsAndIndicesInStep) {
  // More than 65536 vertices, and more than 100000 corners, whose normal indices count on.
  std::string obj;
  for (int i = 0; i < 66000; ++i)
    obj += "v " + std::to_string(i % 3 == 1) + " " + std::to_string(i % 3 == 2) + " 0\n";
  // Vertex 65536, the last of the first 65536, faces +z; vertex 65537, the next, faces -z.
  obj += "g Part_a\nf 65534 65535 65536\n";  // (1,0,0) (0,1,0) (0,0,0)
  obj += "f 65537 65539 65538\n";            // (1,0,0) (0,0,0) (0,1,0)
  for (int i = 0; i < 34000; ++i) obj += "f 1 2 3\n";
  const std::string document = polylistDocument(obj, 2);
  std::string normals = "0 0 1 0 0 1 0 0 1 0 0 -1 0 0 -1 0 0 -1 ";
  std::string corners =
      "65533 0 65533 65534 1 65534 65535 2 65535 65536 3 65536 65538 4 65538 "
      "65537 5 65537 ";
  for (int i = 0; i < 34000; ++i) {
    // Vertices 1 to 3 lie on 34000 faces of normal (0, 0, 1).
    normals += "0 0 1 0 0 1 0 0 1 ";
    for (int k = 0; k < 3; ++k) {
      corners +=
          std::to_string(k) + " " + std::to_string(6 + 3 * i + k) + " " + std::to_string(k) + " ";
    }
  }
  EXPECT_EQ(elementText(document, "<float_array id=\"head-normals-array\""), normals);
  EXPECT_EQ(elementText(document, "<p>"), corners);
}

TEST(PolylistDocument, EscapesEveryInsertedText) {
  ExportMetadata metadata = test::metadataFor("a&b", "(c) <me>");
  metadata.date = "\"today\"";
  metadata.textureName = "x'y";
  const std::string document =
      test::documentFor("v 1 <2> 3\nvt 0 &1\ng Part_q\"\nf 1/1 1/1 1/1\n", 0, metadata, false);
  for (const char* line : {
           "\t\t\t<copyright>(c) &lt;me&gt;</copyright>\n",
           "    <created>&quot;today&quot;</created>\n",
           "      <init_from>./x&apos;y.bmp</init_from>\n",
           "    <material id=\"a&amp;b_blinn\" name=\"a&amp;b_blinn\">\n",
           "    <geometry id=\"a&amp;b\" name=\"a&amp;b\">\n",
           "count=\"3\">1 &lt;2&gt; 3 </float_array>\t\n",
           "count=\"2\"> 0 &amp;1 </float_array>\n",
           "        <polylist material=\"1_a&amp;b_blinnSG\" count=\"1\">\n",
           "              <instance_material symbol=\"a&amp;b_blinnSG\" "
           "target=\"#a&amp;b_blinn\">\n",
       }) {
    EXPECT_NE(document.find(mevrix::test::withPlatformLineEnds(line)), std::string::npos) << line;
  }
  EXPECT_EQ(document.find("a&b"), std::string::npos);
}

TEST(PolylistDocument, WithoutDateAndTextureNameTheirElementsAreEmpty) {
  ExportMetadata metadata = test::metadataFor("head", "copyright 2010");
  metadata.date.clear();
  metadata.textureName.clear();
  const std::string document = test::documentFor(kTriangle, 0, metadata, false);
  for (const char* line : {"    <created></created>\n", "    <modified></modified>\n",
                           "      <init_from>./.bmp</init_from>\n"}) {
    EXPECT_NE(document.find(mevrix::test::withPlatformLineEnds(line)), std::string::npos) << line;
  }
}

TEST(BaseName, KeepsOneWordAndJoinsSeveral) {
  EXPECT_EQ(baseNameFor("head", BaseNameRule::keepSingleWord), "head");
  EXPECT_EQ(baseNameFor(" head  ", BaseNameRule::keepSingleWord), " head  ");
  EXPECT_EQ(baseNameFor("my  head", BaseNameRule::keepSingleWord), "my_head_");
  EXPECT_EQ(baseNameFor(" a b c ", BaseNameRule::keepSingleWord), "a_b_c_");
  EXPECT_EQ(baseNameFor("   ", BaseNameRule::keepSingleWord), "");
  EXPECT_EQ(baseNameFor("", BaseNameRule::keepSingleWord), "");
  EXPECT_EQ(baseNameFor("head", BaseNameRule::alwaysJoin), "head_");
  EXPECT_EQ(baseNameFor(" head ", BaseNameRule::alwaysJoin), "head_");
  EXPECT_EQ(baseNameFor("my head", BaseNameRule::alwaysJoin), "my_head_");
  EXPECT_EQ(baseNameFor("  ", BaseNameRule::alwaysJoin), "");
}

}  // namespace
}  // namespace mevrix::collada
