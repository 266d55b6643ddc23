// The triangles document, byte for byte, and its per-group materials.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "collada/document_variants.h"
#include "document_helpers.h"

namespace mevrix::collada {
namespace {

using mevrix::test::withPlatformLineEnds;
using test::golden;
using test::trianglesDocument;

constexpr std::string_view kTriangle =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 0 1 0\n"
    "vt 0 0\n"
    "vt 1 0\n"
    "vt 0 1\n"
    "g a\n"
    "f 1/1 2/2 3/3\n";

// Where `lines` (with "\n" line ends) stand in `document`, or npos.
std::size_t find(const std::string& document, std::string_view lines, std::size_t from = 0) {
  return document.find(withPlatformLineEnds(lines), from);
}

// Every value of `attribute` in the document, in order.
std::vector<std::string> attributeValues(const std::string& document, std::string_view prefix) {
  std::vector<std::string> values;
  for (std::size_t at = document.find(prefix); at != std::string::npos;
       at = document.find(prefix, at + 1)) {
    const std::size_t begin = at + prefix.size();
    values.push_back(document.substr(begin, document.find('"', begin) - begin));
  }
  return values;
}

TEST(TrianglesDocument, MatchesTheGoldenDocuments) {
  EXPECT_EQ(trianglesDocument(kTriangle, 0), golden("triangles_tri.dae"));
  EXPECT_EQ(trianglesDocument(kTriangle, 1), golden("triangles_tri_normals.dae"));
  // Materials numbered by first occurrence, elements in name order, normal indices running on.
  const std::string bodyArm =
      "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\n"
      "vt 0 0\nvt 1 0\nvt 0 1\nvt 1 1\n"
      "g body\n"
      "f 1/1 2/2 3/3\n"
      "g arm\n"
      "f 1/1 2/2 4/4\n";
  EXPECT_EQ(trianglesDocument(bodyArm, 1), golden("triangles_body_arm_normals.dae"));
}

TEST(TrianglesDocument, ReadsGroupNamesFromTheThirdCharacter) {
  const std::string document =
      trianglesDocument("v 0 0 0\ng body\nf 1 1 1\ng  body\nf 1 1 1\nf 1 1 1\n", 0);
  // " body" sorts before "body" but was second in the file.
  EXPECT_EQ(attributeValues(document, "<triangles material=\""),
            (std::vector<std::string>{"material_002", "material_001"}));
  EXPECT_NE(find(document, "        <triangles material=\"material_002\" count=\"2\">\n"),
            std::string::npos);
  EXPECT_EQ(attributeValues(document, "<material id=\""),
            (std::vector<std::string>{"material_001", "material_002"}));
  EXPECT_EQ(attributeValues(document, "<effect id=\""),
            (std::vector<std::string>{"material_001-fx", "material_002-fx"}));
  EXPECT_EQ(attributeValues(document, "<instance_material symbol=\""),
            (std::vector<std::string>{"material_001", "material_002"}));
}

TEST(TrianglesDocument, WithoutGroupsHasEmptyLibrariesAndBindings) {
  const std::string document = trianglesDocument("v 0 0 0\nvt 0 0\nf 1/1 1/1 1/1\n", 1);
  EXPECT_NE(find(document,
                 "  <library_materials>\n  </library_materials>\n"
                 "  <library_effects>\n  </library_effects>\n  <library_images>\n"),
            std::string::npos);
  EXPECT_NE(find(document, "        </vertices>\n      </mesh>\n"), std::string::npos);
  EXPECT_NE(find(document,
                 "          <bind_material>\n            <technique_common>\n"
                 "            </technique_common>\n          </bind_material>\n"),
            std::string::npos);
  EXPECT_NE(find(document, "-normals-array\" count=\"0\"></float_array>\n"), std::string::npos);
}

TEST(TrianglesDocument, WritesFacesAsTheyStandWithoutSplittingThem) {
  const std::string document =
      trianglesDocument("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\ng q\nf 1 2 3 4\n", 0);
  EXPECT_NE(find(document,
                 "        <triangles material=\"material_001\" count=\"1\">\n"
                 "          <input semantic=\"VERTEX\" source=\"#tri_-vertices\" offset=\"0\"/>\n"
                 "          <input semantic=\"TEXCOORD\" source=\"#tri_-map1\" offset=\"1\" "
                 "set=\"0\"/>\n"
                 "          <p>0 0 1 1 2 2 3 3 </p>\n"
                 "        </triangles>\n"),
            std::string::npos);
  EXPECT_EQ(document.find("vcount"), std::string::npos);
}

TEST(TriangleMaterialName, CountsToNineHundredNinetyNineThenStaysUnique) {
  EXPECT_EQ(triangleMaterialName(1), "material_001");
  EXPECT_EQ(triangleMaterialName(42), "material_042");
  EXPECT_EQ(triangleMaterialName(999), "material_999");
  EXPECT_EQ(triangleMaterialName(1000), "material_000");
  EXPECT_EQ(triangleMaterialName(1001), "material_1001");
  EXPECT_EQ(triangleMaterialName(12345), "material_12345");
}

// An OBJ file with `groups` groups of one triangle each, named so that the group map keeps
// their file order.
std::string manyGroups(int groups) {
  std::string obj = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
  for (int i = 0; i < groups; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "g g%05d\n", i);
    obj += name;
    obj += "f 1 2 3\n";
  }
  return obj;
}

TEST(TrianglesDocument, ThousandAndOneGroupsHaveUniqueMaterials) {
  for (int groups : {1000, 1001}) {
    const std::string document = trianglesDocument(manyGroups(groups), 0);
    const std::vector<std::string> materials = attributeValues(document, "<material id=\"");
    ASSERT_EQ(materials.size(), static_cast<std::size_t>(groups));
    EXPECT_EQ(std::set<std::string>(materials.begin(), materials.end()).size(), materials.size());
    EXPECT_EQ(materials[998], "material_999");
    EXPECT_EQ(materials[999], "material_000");
    const std::vector<std::string> used = attributeValues(document, "<triangles material=\"");
    EXPECT_EQ(used, materials);
    EXPECT_EQ(attributeValues(document, "<instance_material symbol=\""), materials);
    EXPECT_EQ(attributeValues(document, "<effect id=\"").size(), materials.size());
  }
  const std::string document = trianglesDocument(manyGroups(1001), 0);
  EXPECT_NE(find(document,
                 "    <material id=\"material_1001\" name=\"material_1001\">\n"
                 "      <instance_effect url=\"#material_1001-fx\"/>\n"),
            std::string::npos);
  EXPECT_NE(find(document,
                 "              <instance_material symbol=\"material_1001\" "
                 "target=\"#material_1001\">\n"),
            std::string::npos);
}

}  // namespace
}  // namespace mevrix::collada
