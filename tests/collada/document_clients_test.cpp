// Generated documents read by real clients: the COLLADA 1.4.1 schema (xmllint, offline) and an
// importer (assimp). Both programs come with scripts/install-deps.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "document_helpers.h"
#include "support/process.h"

namespace mevrix::collada {
namespace {

using mevrix::test::runProcess;
using mevrix::test::TempDir;

// The program's path on PATH, or empty.
std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    const std::filesystem::path candidate = std::filesystem::path(folder) / name;
    std::error_code error;
    const auto status = std::filesystem::status(candidate, error);
    if (std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_exec) !=
            std::filesystem::perms::none) {
      return candidate.string();
    }
  }
  return {};
}

// A flat grid in the plane z = 0 facing +z, `groups` rows of `cells` cells, with one texture
// coordinate per vertex: quadrilaterals and a triangle per row, or only triangles.
struct GridObj {
  std::string text;
  int faces = 0;
  int corners = 0;
};

GridObj gridObj(int groups, int cells, bool triangles, std::string_view groupPrefix) {
  GridObj obj;
  const int side = cells + 1;
  for (int row = 0; row <= groups; ++row) {
    for (int column = 0; column < side; ++column) {
      obj.text += "v " + std::to_string(column) + ".5 " + std::to_string(row) + ".25 0\n";
      obj.text += "vt " + std::to_string(column) + " " + std::to_string(row) + "\n";
    }
  }
  const auto corner = [&](int row, int column) {
    const std::string n = std::to_string(row * side + column + 1);
    return " " + n + "/" + n;
  };
  for (int row = 0; row < groups; ++row) {
    obj.text += "g " + std::string(groupPrefix) + "row" + std::to_string(row) + "\n";
    for (int column = 0; column < cells; ++column) {
      const std::string a = corner(row, column), b = corner(row, column + 1),
                        c = corner(row + 1, column + 1), d = corner(row + 1, column);
      if (triangles || column == 0) {
        obj.text += "f" + a + b + c + "\nf" + a + c + d + "\n";
        obj.faces += 2;
        obj.corners += 6;
      } else {
        obj.text += "f" + a + b + c + d + "\n";
        obj.faces += 1;
        obj.corners += 4;
      }
    }
  }
  return obj;
}

// What xmllint reports about each file, each complaint reduced to a short name when it is one of
// those the line template makes inherently; any other complaint is kept whole. One run of
// xmllint checks all files, since loading the schema takes most of its time.
using Complaints = std::multiset<std::string>;

std::map<std::string, Complaints> schemaComplaints(const std::string& xmllint,
                                                   const std::vector<std::string>& files) {
  const std::string schema =
      std::string(MEVRIX_TEST_DATA_DIR) + "/collada/schema/collada_schema_1_4_1.local.xsd";
  std::vector<std::string> args = {"--nonet", "--noout", "--schema", schema};
  args.insert(args.end(), files.begin(), files.end());
  const auto result = runProcess(xmllint, args);
  std::map<std::string, Complaints> complaints;
  for (const std::string& file : files) complaints[file];
  std::string file;  // lines without a file name (parser context) belong to the one before
  std::istringstream lines(result.err);
  std::string line;
  while (std::getline(lines, line)) {
    for (const std::string& candidate : files) {
      if (line.starts_with(candidate + ":") || line.starts_with(candidate + " ")) file = candidate;
    }
    if (line == file + " validates" || line == file + " fails to validate") continue;
    const auto has = [&](std::string_view part) { return line.find(part) != std::string::npos; };
    if (has("element polylist:") && has("attribute 'material'") && has("'xs:NCName'")) {
      complaints[file].insert("polylist material symbol starts with a digit");
    } else if (has("element node:") && has("attribute 'id'") && has("'xs:ID'")) {
      complaints[file].insert("node id repeats the geometry id");
    } else if ((has("element created:") || has("element modified:")) && has("'xs:dateTime'")) {
      complaints[file].insert("empty date");
    } else {
      complaints[file].insert(line);
    }
  }
  if (result.exitCode != 0 && result.exitCode != 3) {
    complaints["xmllint"].insert("xmllint failed: " + result.err);
  }
  return complaints;
}

TEST(DocumentClients, TheSchemaFindsOnlyTheTemplatesInherentFaults) {
  const std::string xmllint = findProgram("xmllint");
  ASSERT_FALSE(xmllint.empty()) << "xmllint is missing: run scripts/install-deps";
  TempDir dir;
  const GridObj polygons = gridObj(3, 3, false, "Part_");
  const GridObj triangles = gridObj(3, 3, true, "");
  const std::string digit = "polylist material symbol starts with a digit";
  const std::string sharedId = "node id repeats the geometry id";

  std::map<std::string, Complaints> expected;
  ExportMetadata polylistMetadata = test::metadataFor("head", "copyright 2010");
  ExportMetadata trianglesMetadata = test::metadataFor("head_", "copyright 2015");
  for (int mode = 0; mode <= 3; ++mode) {
    const std::string polylistFile =
        dir.write("polylist" + std::to_string(mode) + ".dae",
                  test::documentFor(polygons.text, mode, polylistMetadata, false));
    expected[polylistFile] = {sharedId, digit, digit, digit};
    const std::string trianglesFile =
        dir.write("triangles" + std::to_string(mode) + ".dae",
                  test::documentFor(triangles.text, mode, trianglesMetadata, true));
    expected[trianglesFile] = {sharedId};
  }

  // Markup characters in the inserted texts stay text; an empty date is no dateTime.
  trianglesMetadata.author = "<Ann & \"Bo\">";
  trianglesMetadata.comments = "it's </comments>";
  trianglesMetadata.textureName = "a&b";
  trianglesMetadata.date.clear();
  const std::string escaped =
      dir.write("escaped.dae", test::documentFor(triangles.text, 1, trianglesMetadata, true));
  expected[escaped] = {sharedId, "empty date", "empty date"};

  std::vector<std::string> files;
  for (const auto& [file, complaints] : expected) files.push_back(file);
  EXPECT_EQ(schemaComplaints(xmllint, files), expected);
}

// The meshes assimp imported, each as its face count, corner count and normals.
struct ImportedMesh {
  int faces = 0;
  int positions = 0;
  std::vector<std::string> normals;  // one "x y z" text per corner, as the dump prints it
};

// Imports the file without post-processing and reads the meshes from assimp's XML dump.
std::vector<ImportedMesh> importWithAssimp(const std::string& assimp, const std::string& file) {
  const std::string dump = file + ".xml";
  const auto result = runProcess(assimp, {"dump", file, dump});
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  const std::string xml = mevrix::test::readFile(dump);
  const auto number = [&](std::size_t from, std::string_view tag) {
    const std::size_t at = xml.find(tag, from);
    return at == std::string::npos ? -1 : std::atoi(xml.c_str() + at + tag.size());
  };
  std::vector<ImportedMesh> meshes;
  for (std::size_t at = xml.find("<Mesh "); at != std::string::npos;
       at = xml.find("<Mesh ", at + 1)) {
    const std::size_t end = xml.find("</Mesh>", at);
    ImportedMesh mesh;
    mesh.faces = number(at, "<FaceList num=\"");
    mesh.positions = number(at, "<Positions num=\"");
    const std::size_t normals = xml.find("<Normals num=\"", at);
    if (normals < end) {
      std::istringstream values(
          xml.substr(xml.find('\n', normals), xml.find("</Normals>", normals) - normals));
      float x, y, z;
      while (values >> x >> y >> z) {
        std::ostringstream text;
        text << x << ' ' << y << ' ' << z;
        mesh.normals.push_back(text.str());
      }
    }
    meshes.push_back(mesh);
  }
  return meshes;
}

TEST(DocumentClients, AssimpImportsEveryFaceCornerAndNormal) {
  const std::string assimp = findProgram("assimp");
  ASSERT_FALSE(assimp.empty()) << "assimp is missing: run scripts/install-deps";
  TempDir dir;
  const ExportMetadata metadata = test::metadataFor("head", "copyright 2010");
  for (const bool triangles : {false, true}) {
    const GridObj obj = gridObj(3, 4, triangles, triangles ? "" : "Part_");
    for (int mode = 0; mode <= 2; ++mode) {
      const std::string file = dir.write(
          std::string(triangles ? "triangles" : "polylist") + std::to_string(mode) + ".dae",
          test::documentFor(obj.text, mode, metadata, triangles));
      const std::vector<ImportedMesh> meshes = importWithAssimp(assimp, file);
      ASSERT_EQ(meshes.size(), 3u) << file;  // one per group
      int faces = 0, positions = 0;
      for (const ImportedMesh& mesh : meshes) {
        faces += mesh.faces;
        positions += mesh.positions;
        if (mode == 0) {
          EXPECT_TRUE(mesh.normals.empty()) << file;
          continue;
        }
        ASSERT_EQ(mesh.normals.size(), static_cast<std::size_t>(mesh.positions)) << file;
        for (const std::string& normal : mesh.normals) EXPECT_EQ(normal, "0 0 1") << file;
      }
      EXPECT_EQ(faces, obj.faces) << file;
      EXPECT_EQ(positions, obj.corners) << file;
    }
  }
}

}  // namespace
}  // namespace mevrix::collada
