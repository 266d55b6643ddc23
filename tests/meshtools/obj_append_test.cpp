// Merging OBJ files: line handling and face renumbering in memory, then whole files with the
// state a merge carries from call to call.

#include "meshtools/obj_append.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/line_ends.h"
#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::meshtools {
namespace {

using test::readFile;
using test::TempDir;
using test::withPlatformLineEnds;

// Eight positions, four texture coordinates, a group and one quadrilateral.
constexpr std::string_view kQuad =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\ng head_part\nf 1/1 2/2 3/3 4/4\n";

std::string merged(std::string_view input, std::int64_t vertexBase = 0,
                   std::int64_t texCoordBase = 0, AppendCounts* counts = nullptr) {
  test::MemoryInput memory(input);
  common::OutputSink sink;
  const AppendCounts got = appendObjLines(memory.input, "mesh", vertexBase, texCoordBase, sink);
  if (counts) *counts = got;
  return std::string(sink.contents());
}

// The face line `face` rewritten, without its line end.
std::string face(std::string_view line, std::int64_t vertexBase = 0,
                 std::int64_t texCoordBase = 0) {
  std::string out = merged(line, vertexBase, texCoordBase);
  return out.substr(0, out.size() - common::kLineEnd.size());
}

TEST(AppendObjText, CopiesPositionsAndTexCoordsRenamesGroupsAndDropsTheRest) {
  AppendCounts counts;
  const std::string out = merged(
      "# comment\nv 1 2 3\r\nvn 0 0 1\nvt 0.5 0.5\nvt\no object\ns 1\nusemtl skin\n\n"
      "g head_part\ng\ngizmo\nv\nv\t1 2 3\nmtllib a.mtl\nv 4 5 6",
      0, 0, &counts);
  EXPECT_EQ(out,
            withPlatformLineEnds("v 1 2 3\nvt 0.5 0.5\nvt\ng mesh\ng mesh\ng mesh\nv 4 5 6\n"));
  EXPECT_EQ(counts.positions, 2);
  EXPECT_EQ(counts.texCoords, 2);
  EXPECT_EQ(counts.faces, 0);
}

TEST(AppendObjText, RenumbersFacesPastBothBases) {
  AppendCounts counts;
  const std::string out = merged(kQuad, 8, 4, &counts);
  EXPECT_EQ(out, withPlatformLineEnds(std::string(kQuad.substr(0, kQuad.find("g "))) +
                                      "g mesh\nf 9/5 10/6 11/7 12/8 \n"));
  EXPECT_EQ(counts.positions, 8);
  EXPECT_EQ(counts.texCoords, 4);
  EXPECT_EQ(counts.faces, 1);
}

TEST(AppendObjText, FacesWhoseCountsDifferBecomeComments) {
  EXPECT_EQ(face("f 1/1/1 2/2/2 3/3/3"), "# faceV - 3 txrV - 1");
  EXPECT_EQ(face("f 1 2 3", 10, 10), "# faceV - 3 txrV - 0");
  EXPECT_EQ(face("f 1//1 2//2"), "# faceV - 2 txrV - 0");
  // A corner without "/" among corners with it stands for both numbers.
  EXPECT_EQ(face("f 1/1 2 3/3", 1, 2), "f 2/3 3/4 4/5 ");
  EXPECT_EQ(face("f  1/1   2/2 "), "f 1/1 2/2 ");
}

TEST(AppendObjText, FacesWithoutCornersAndShortLines) {
  EXPECT_EQ(face("f "), "f ");
  EXPECT_EQ(face("f"), "f ");
  EXPECT_EQ(face("fx"), "f ");
  AppendCounts counts;
  merged("f\nf \nfoo\n", 0, 0, &counts);
  EXPECT_EQ(counts.faces, 3);
}

TEST(AppendObjText, ReadsTheTexCoordsBehindWhatThePositionsLeftUnread) {
  // The positions stop at "x"; it stands first in the texture reading and stops it too.
  EXPECT_EQ(face("f 1/1 x/2 3/3"), "# faceV - 1 txrV - 0");
  // The positions stop behind a lone "-"; the texture reading then starts with the positions
  // left behind it, " 3", and goes on into the texture numbers.
  EXPECT_EQ(face("f 1/1 -/2 3/3"), "# faceV - 1 txrV - 4");
  // Without "/", the numbers the positions left unread become the texture numbers.
  EXPECT_EQ(face("f 5 - 7", 1, 100), "f 6/107 ");
  // A number too large for 32 bits stops the positions behind its digits.
  EXPECT_EQ(face("f 5 99999999999 7", 0, 0), "f 5/7 ");
  // A texture number that cannot be read ends the texture numbers.
  EXPECT_EQ(face("f 1/1 2/y 3/3"), "# faceV - 3 txrV - 1");
  // Signs are read; negative numbers are shifted like any other.
  EXPECT_EQ(face("f -1/+2 -2/-1", 10, 10), "f 9/12 8/9 ");
}

// The face rewriting written the slow way, with one string stream that the texture text is added
// to once the position numbers have been read from it.
std::string streamReference(std::string_view line, std::int64_t vertexBase,
                            std::int64_t texCoordBase) {
  const std::string corners(line.substr(std::min<std::size_t>(2, line.size())));
  std::string positionText = corners;
  std::string textureText;
  if (corners.find('/') != std::string::npos) {
    positionText.clear();
    std::istringstream tokens(corners);
    std::string token;
    while (std::getline(tokens, token, ' ')) {
      if (token.empty()) continue;
      const std::size_t slash = token.find('/');
      positionText += (slash == std::string::npos ? token : token.substr(0, slash)) + " ";
      textureText += (slash == std::string::npos ? token : token.substr(slash + 1)) + " ";
    }
  }
  std::stringstream stream;
  stream << positionText;
  std::vector<std::int64_t> positions;
  std::vector<std::int64_t> texCoords;
  int number = 0;
  while (stream >> number) positions.push_back(number + vertexBase);
  stream.clear();
  stream << textureText;
  while (stream >> number) texCoords.push_back(number + texCoordBase);
  if (positions.size() != texCoords.size()) {
    return "# faceV - " + std::to_string(positions.size()) + " txrV - " +
           std::to_string(texCoords.size());
  }
  std::string out = "f ";
  for (std::size_t i = 0; i < positions.size(); ++i) {
    out += std::to_string(positions[i]) + "/" + std::to_string(texCoords[i]) + " ";
  }
  return out;
}

TEST(AppendObjText, RewritesFacesAsOneStringStreamWould) {
  // Face lines made of pieces that trip up number reading: signs alone, letters, slashes in
  // every place, tabs, numbers too large for 32 bits.
  const std::vector<std::string> pieces = {
      "1",  "23", "-4",          "+5",         "-", "+",   "x",  "/",  "//", " ",
      "  ", "\t", "99999999999", "2147483647", "0", "1e3", ".5", "7/", "/8"};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string line = round % 3 == 0 ? "f" : "f ";
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
    ASSERT_EQ(face(line, 1000, 2000), streamReference(line, 1000, 2000)) << '"' << line << '"';
  }
  // Mostly well-formed corners, with numbers up to and past 32 bits and a stray piece now and then.
  const std::vector<std::string> numbers = {"1",          "007",        "42",         "999999999",
                                            "2147483647", "2147483648", "1234567890", ""};
  const std::vector<std::string> strays = {"/", "\t", "\r", "-", "x", "/3", "  "};
  for (int round = 0; round < 20000; ++round) {
    std::string line = "f ";
    const int corners = static_cast<int>(random() % 6);
    for (int i = 0; i < corners; ++i) {
      line += numbers[random() % numbers.size()] + "/" + numbers[random() % numbers.size()];
      if (random() % 8 == 0) line += strays[random() % strays.size()];
      line += ' ';
    }
    // Every other round with equal bases, where a corner's second number may reuse the first's
    // text.
    const std::int64_t texCoordBase = round % 2 == 0 ? 7 : 5;
    ASSERT_EQ(face(line, 5, texCoordBase), streamReference(line, 5, texCoordBase))
        << '"' << line << '"';
  }
  // Faces of many corners, plain ones and ones that need the general reading.
  for (int corners : {17, 64, 1000}) {
    std::string plain = "f";
    for (int i = 1; i <= corners; ++i) plain += ' ' + std::to_string(i) + '/' + std::to_string(i);
    for (const std::string& line : {plain, plain + "/9"}) {
      EXPECT_EQ(face(line, 5, 7), streamReference(line, 5, 7)) << corners;
    }
  }
}

TEST(AppendObjText, SumsBeyondThirtyTwoBitsAreWrittenExactly) {
  EXPECT_EQ(face("f 2147483647/2147483647", 2147483647, 2147483647), "f 4294967294/4294967294 ");
  EXPECT_EQ(face("f -2147483648/1", -2147483648, 0), "f -4294967296/1 ");
}

TEST(AppendObjFile, MergesTwoInputsRecordingEach) {
  TempDir dir;
  const std::string first = dir.write("first.obj", kQuad);
  const std::string second = dir.write("second.part.obj", kQuad);
  const std::string output = dir.file("merged.obj");
  MergeState state;
  const AppendResult a = appendObjFile(first.c_str(), output.c_str(), 0, state);
  EXPECT_EQ(a.status, AppendStatus::ok);
  EXPECT_EQ(a.vertexCount, 8);
  const AppendResult b = appendObjFile(second.c_str(), output.c_str(), a.vertexCount, state);
  EXPECT_EQ(b.status, AppendStatus::ok);
  EXPECT_EQ(b.vertexCount, 16);

  const std::string body(kQuad.substr(0, kQuad.find("g ")));
  EXPECT_EQ(readFile(output), withPlatformLineEnds(body + "g first\nf 1/1 2/2 3/3 4/4 \n" + body +
                                                   "g second.part\nf 9/5 10/6 11/7 12/8 \n"));
  ASSERT_EQ(state.groupList.size(), 2u);
  EXPECT_EQ(state.groupList[0].name, "first");
  EXPECT_EQ(state.groupList[0].firstFace, 0);
  EXPECT_EQ(state.groupList[0].endFace, 1);
  EXPECT_EQ(state.groupList[1].name, "second.part");
  EXPECT_EQ(state.groupList[1].firstFace, 1);
  EXPECT_EQ(state.groupList[1].endFace, 2);
  EXPECT_EQ(state.texCoordBase, 8);
  EXPECT_EQ(state.faceCount, 2);
}

TEST(AppendObjFile, AMergePastTheExactFloatsNumbersTheNextInputFromTheExactCount) {
  // 2^24 + 1 positions, whose count the float result gives back as 2^24.
  constexpr std::int64_t kPositions = 16777217;
  std::string positions;
  positions.reserve(3 * kPositions);
  for (std::int64_t i = 0; i < kPositions; ++i) positions += "v \n";
#ifdef _WIN32
  const char* const discarded = "NUL";
#else
  const char* const discarded = "/dev/null";
#endif
  MergeState state;
  common::MemorySource first(positions);
  ASSERT_EQ(appendObj(first, "big", discarded, 0, state).vertexCount, kPositions);
  const auto passedOn = static_cast<float>(kPositions);
  const std::int64_t base = state.vertexBaseFor(passedOn, static_cast<std::int32_t>(passedOn));

  TempDir dir;
  const std::string output = dir.file("merged.obj");
  common::MemorySource second("vt 0 0\nf 1/1 1/1 1/1\n");
  ASSERT_EQ(appendObj(second, "small", output.c_str(), base, state).vertexCount, kPositions);
  EXPECT_EQ(readFile(output), withPlatformLineEnds("vt 0 0\nf 16777218/1 16777218/1 16777218/1 \n"));
  // Any other value is the base it converts to, as is every value once the merge is cleared.
  EXPECT_EQ(state.vertexBaseFor(16777218.0, 16777218), 16777218);
  state.clear();
  EXPECT_EQ(state.vertexBaseFor(passedOn, 16777216), 16777216);
}

TEST(AppendObjFile, KeepsWhatTheOutputHeldAndTheWholeGroupName) {
  TempDir dir;
  const std::string longName(200, 'n');
  const std::string input = dir.write(longName + ".obj", "v 1 2 3\ng x\nf 1/1\n");
  const std::string output = dir.write("merged.obj", "kept\n");
  MergeState state;
  state.texCoordBase = 6;
  const AppendResult result = appendObjFile(input.c_str(), output.c_str(), 3, state);
  EXPECT_EQ(result.vertexCount, 4);
  EXPECT_EQ(readFile(output),
            "kept\n" + withPlatformLineEnds("v 1 2 3\ng " + longName + "\nf 4/7 \n"));
  ASSERT_EQ(state.groupList.size(), 1u);
  EXPECT_EQ(state.groupList[0].name, longName);
  EXPECT_EQ(state.texCoordBase, 6);  // the input held no texture coordinates
}

TEST(AppendObjFile, FailuresLeaveTheStateAndTheOutputAlone) {
  TempDir dir;
  const std::string input = dir.write("in.obj", kQuad);
  const std::string output = dir.file("merged.obj");
  MergeState state;
  state.groupList.push_back({"earlier", 0, 3});
  state.texCoordBase = 5;
  state.faceCount = 3;
  const auto unchanged = [&] {
    EXPECT_EQ(state.groupList.size(), 1u);
    EXPECT_EQ(state.texCoordBase, 5);
    EXPECT_EQ(state.faceCount, 3);
  };

  EXPECT_EQ(appendObjFile(dir.file("missing.obj").c_str(), output.c_str(), 0, state).status,
            AppendStatus::inputFailed);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_EQ(appendObjFile(dir.path().string().c_str(), output.c_str(), 0, state).status,
            AppendStatus::inputFailed);
  EXPECT_FALSE(std::filesystem::exists(output));
  unchanged();

  EXPECT_EQ(appendObjFile(input.c_str(), dir.file("no/such/dir/out.obj").c_str(), 0, state).status,
            AppendStatus::outputFailed);
  EXPECT_EQ(appendObjFile(input.c_str(), dir.path().string().c_str(), 0, state).status,
            AppendStatus::outputFailed);
  unchanged();
}

TEST(AppendObjFile, AnOutputThatIsTheInputGainsOneCopy) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "sub");
  const std::string input = dir.write("self.obj", kQuad);
  const std::string sameFile = (dir.path() / "sub" / ".." / "." / "self.obj").string();
  MergeState state;
  const AppendResult result = appendObjFile(input.c_str(), sameFile.c_str(), 8, state);
  EXPECT_EQ(result.status, AppendStatus::ok);
  EXPECT_EQ(result.vertexCount, 16);
  const std::string body(kQuad.substr(0, kQuad.find("g ")));
  EXPECT_EQ(readFile(input),
            std::string(kQuad) + withPlatformLineEnds(body + "g self\nf 9/1 10/2 11/3 12/4 \n"));
}

using LinkMaker = void (*)(const std::filesystem::path& target, const std::filesystem::path& link);

// Appends an input to an output that is the same file under the name `makeLink` gives it: the
// input gains one copy of itself.
void expectOneCopyThroughLink(LinkMaker makeLink) {
  TempDir dir;
  const std::string input = dir.write("self.obj", "v 0 0 0\nvt 0 0\nf 1/1\n");
  const std::string link = dir.file("link.obj");
  makeLink(input, link);
  MergeState state;
  EXPECT_EQ(appendObjFile(input.c_str(), link.c_str(), 1, state).vertexCount, 2);
  EXPECT_EQ(readFile(input),
            "v 0 0 0\nvt 0 0\nf 1/1\n" + withPlatformLineEnds("v 0 0 0\nvt 0 0\nf 2/1 \n"));
}

TEST(AppendObjFile, AnOutputHardLinkedToTheInputGainsOneCopy) {
  expectOneCopyThroughLink(
      [](const std::filesystem::path& target, const std::filesystem::path& link) {
        std::filesystem::create_hard_link(target, link);
      });
}

#ifndef _WIN32  // POSIX only: /dev/full
TEST(AppendObjFilePosix, AFailedWriteGivesOutputFailedAndRecordsNothing) {
  TempDir dir;
  const std::string input = dir.write("in.obj", kQuad);
  MergeState state;
  EXPECT_EQ(appendObjFile(input.c_str(), "/dev/full", 0, state).status, AppendStatus::outputFailed);
  EXPECT_TRUE(state.groupList.empty());
  EXPECT_EQ(state.texCoordBase, 0);
  EXPECT_EQ(state.faceCount, 0);
}
#endif

#ifndef _WIN32  // POSIX only: symbolic links
TEST(AppendObjFilePosix, AnOutputLinkedToTheInputGainsOneCopy) {
  expectOneCopyThroughLink(
      [](const std::filesystem::path& target, const std::filesystem::path& link) {
        std::filesystem::create_symlink(target, link);
      });
}
#endif

}  // namespace
}  // namespace mevrix::meshtools
