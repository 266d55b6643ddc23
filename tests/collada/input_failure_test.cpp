// OBJ files that fail while a document is made from them, or change between the writer's passes:
// an unreadable file touches no document, one that fails later leaves an incomplete document
// reported as such, and a document that was to replace its own OBJ file leaves that file whole.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "collada/document_variants.h"
#include "common/split_size.h"
#include "support/stand_in_source.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include "support/process.h"
#endif

namespace mevrix::collada {
namespace {

using test::StandInSource;
using test::TempDir;

constexpr WriterStyle kStyle{BaseNameRule::keepSingleWord, "copyright 2010", 7, polylistMaterials};

// 68 bytes: read in 23 reads of three bytes, then again from its first "v" and its first "vt".
const std::string kObj =
    "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\ng Part_a\nf 1/1 2/2 3/3\n";

TEST(ColladaInputFailure, TellsAnUnreadableFileFromAnIncompleteDocument) {
  const std::string shorter = kObj.substr(0, 60);
  const std::string longer = kObj + "v 9 9 9\n";
  const struct {
    std::string_view after;
    int failingRead;
    ExportResult result;
    std::uint64_t overstated = 0;  // bytes the source's size claims beyond its own
    std::size_t split = 0;         // the size the work is split at; 0: the production sizes
  } cases[] = {
      {kObj, 1, ExportResult::inputUnreadable},  // no document touched
      {kObj, 20, ExportResult::inputUnreadable},
      {kObj, 27, ExportResult::outputFailed},         // while the positions are written
      {kObj, 33, ExportResult::outputFailed},         // while the texture coordinates are written
      {kObj, 33, ExportResult::outputFailed, 0, 64},  // the same once the sink has flushed
      {shorter, 0, ExportResult::outputFailed},
      {longer, 0, ExportResult::outputFailed},
      {kObj, 0, ExportResult::inputUnreadable, 4096},
      {kObj, 0, ExportResult::ok},
  };
  // The reads are counted in the production window, whatever size the run splits work at.
  const std::size_t split = common::splitWorkForTesting(0);
  for (const bool sameFile : {false, true}) {
    for (const auto& c : cases) {
      TempDir dir;
      const std::string document = dir.write("head.dae", "kept");
      StandInSource source(kObj, c.after, c.failingRead, c.overstated);
      ExportMetadata metadata;
      // As the same file, the document would replace the OBJ file it is made from.
      const auto identity = sameFile ? platform::identityOf(document.c_str()) : std::nullopt;
      const std::string row = std::to_string(c.failingRead) + " " + std::to_string(c.overstated) +
                              " " + std::to_string(c.split) + " " + std::to_string(sameFile);
      common::splitWorkForTesting(c.split);
      EXPECT_EQ(exportDocument(metadata, source, identity, document.c_str(), 0, kStyle), c.result)
          << row;
      common::splitWorkForTesting(0);
      // A failed export, whenever it failed, leaves the document path as it was.
      const bool kept = c.result != ExportResult::ok;
      EXPECT_EQ(test::readFile(document) == "kept", kept) << row;
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
  }
  common::splitWorkForTesting(split);
}

#ifndef _WIN32  // POSIX only: a file-size limit in a child process, as a full disk
TEST(ColladaInputFailurePosix, ADocumentThatDoesNotFitInPlaceOfItsObjFileKeepsTheFile) {
  TempDir dir;
  std::string obj = "g Part_a\n";
  for (int i = 1; i <= 3000; ++i) obj += "v 0.5 0.25 0.125\nf " + std::to_string(i) + " 1 1\n";
  const std::string path = dir.write("self.obj", obj);
  const int result = test::runInChildWithin(20, [&] {
    test::limitFileSize(100000);
    ExportMetadata metadata;
    return -static_cast<int>(writePolylistCollada(metadata, path.c_str(), path.c_str(), 2));
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(test::readFile(path), obj);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
#endif

}  // namespace
}  // namespace mevrix::collada
