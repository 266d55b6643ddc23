// Counting the groups of hand-built mesh-exchange files: the block walk, the id set, and data
// that ends too soon anywhere.

#include "meshtools/group_count.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::meshtools {
namespace {

constexpr std::uint32_t kGroupTag = 40001;

void putU16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}
void putU32(std::string& out, std::uint32_t value) {
  putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  putU16(out, static_cast<std::uint16_t>(value >> 16));
}

// A mesh-exchange file built block by block behind a 32-byte header.
class MeshFile {
 public:
  // The header holds bytes that would read as a group block if the walk started too early.
  MeshFile() {
    for (int i = 0; i < 8; ++i) putU32(bytes_, kGroupTag);
  }
  MeshFile& block(std::uint32_t tag, std::uint32_t length, std::uint32_t entries,
                  const std::string& body = {}) {
    putU32(bytes_, tag);
    putU32(bytes_, length);
    putU32(bytes_, entries);
    putU32(bytes_, 0xDEADBEEF);
    bytes_ += body;
    return *this;
  }
  // A group block listing `ids`.
  MeshFile& groups(std::initializer_list<std::uint16_t> ids) {
    std::string body;
    for (std::uint16_t id : ids) putU16(body, id);
    return block(kGroupTag, static_cast<std::uint32_t>(16 + body.size()),
                 static_cast<std::uint32_t>(ids.size()), body);
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Counts over a copy that holds exactly the data, so that reading one byte too far is caught by
// the address sanitizer.
int count(std::string_view data) {
  const auto exact = std::make_unique<char[]>(data.size());
  std::copy(data.begin(), data.end(), exact.get());
  test::MemoryInput memory({exact.get(), data.size()}, common::ChunkedInput::kDefaultWindow, 7);
  return countGroupIds(memory.input);
}

TEST(CountGroupIds, CountsDistinctWholeSixteenBitIds) {
  EXPECT_EQ(count(MeshFile().groups({}).bytes()), 0);
  EXPECT_EQ(count(MeshFile().groups({5, 5, 7}).bytes()), 2);
  EXPECT_EQ(count(MeshFile().groups({0x0001, 0x0100}).bytes()), 2);
  EXPECT_EQ(count(MeshFile().groups({0xFFFF, 0, 0xFFFF, 0}).bytes()), 2);
}

TEST(CountGroupIds, WalksFromBlockToBlockByTheirLengths) {
  // A zero length steps over a bare 16-byte header.
  EXPECT_EQ(count(MeshFile().block(7, 0, 99).groups({1, 2, 3}).bytes()), 3);
  // A group tag inside another block's body is not a block start.
  const std::string fake = MeshFile().groups({1, 2, 3, 4}).bytes().substr(32);
  EXPECT_EQ(count(MeshFile().block(9, 16 + 24, 0, fake).groups({8}).bytes()), 1);
  // Only the first group block counts.
  EXPECT_EQ(count(MeshFile().groups({1, 2}).groups({1, 2, 3, 4}).bytes()), 2);
  // The group block's own length field is not used.
  EXPECT_EQ(count(MeshFile().block(kGroupTag, 0, 2, std::string("\x01\x00\x02\x00", 4)).bytes()),
            2);
  // A chain beyond the first 4 KiB page of headers, read from byte 32, whose group block header
  // begins 8 bytes before that page ends: its entry count lies in the next page, and a wrong one
  // would count the block behind the ids too.
  MeshFile chain;
  chain.block(1, 24, 0, "skipped!");
  for (int i = 0; i < 254; ++i) chain.block(2, 0, 0);
  EXPECT_EQ(count(chain.groups({1, 2, 3}).block(5, 0, 0).bytes()), 3);
}

TEST(CountGroupIds, ALengthBelowAHeaderStartsTheNextBlockInsideTheFirst) {
  // Whatever the header's fields then read as, the walk goes on from there.
  const int expected[] = {-18, -18, -18, -18, -18, -18, -18, 6, -18, -18, -18, -18, -18, -18, -18};
  for (std::uint32_t length = 1; length <= 15; ++length) {
    const std::string file =
        MeshFile().block(kGroupTag + 1, length, kGroupTag).groups({1, 2, 3}).bytes();
    EXPECT_EQ(count(file), expected[length - 1]) << length;
  }
}

TEST(CountGroupIds, AChainWithoutAGroupBlockGivesNoGroupBlock) {
  EXPECT_EQ(count(""), kNoGroupBlock);
  EXPECT_EQ(count(std::string(32, '\0')), kNoGroupBlock);
  // The last block ends exactly at the end of the data.
  EXPECT_EQ(count(MeshFile().block(1, 20, 0, "body").block(2, 0, 0).bytes()), kNoGroupBlock);
  // Lengths that carry the walk past the end, up to the largest, never wrap around.
  for (std::uint32_t length : {17u, 0x7FFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    EXPECT_EQ(count(MeshFile().block(1, length, 0).groups({1}).bytes()), kNoGroupBlock) << length;
  }
}

TEST(CountGroupIds, DataCutOffAnywhereIsNeverReadPastItsEnd) {
  const std::string full =
      MeshFile().block(1, 24, 0, "skipped!").block(2, 0, 0).groups({3, 3, 0x0100, 1, 7}).bytes();
  const std::size_t groupIds = 32 + 24 + 16 + 16;
  ASSERT_EQ(full.size(), groupIds + 10);
  // Distinct ids among the first k whole ids.
  const int distinctAmongFirst[] = {0, 1, 1, 2, 3, 4};
  for (std::size_t length = 0; length <= full.size(); ++length) {
    const int expected =
        length < groupIds ? kNoGroupBlock : distinctAmongFirst[(length - groupIds) / 2];
    EXPECT_EQ(count(std::string_view(full).substr(0, length)), expected) << length;
  }
}

TEST(CountGroupsInFile, ReadsTheWholeFileAndReportsUnreadableOnes) {
  test::TempDir dir;
  const std::string path = dir.write("mesh.bin", MeshFile().block(3, 0, 0).groups({4, 5}).bytes());
  EXPECT_EQ(countGroupsInFile(path.c_str()), 2);
  EXPECT_EQ(countGroupsInFile(path.c_str()), 2);
  EXPECT_EQ(countGroupsInFile(dir.file("missing.bin").c_str()), kGroupFileUnreadable);
  EXPECT_EQ(countGroupsInFile(dir.path().string().c_str()), kGroupFileUnreadable);
  EXPECT_EQ(countGroupsInFile(dir.write("empty.bin", "").c_str()), kNoGroupBlock);
}

TEST(CountGroupsInFile, WalksAChainBeyondFourGigabytesInASparseFile) {
  test::TempDir dir;
  const std::string path = dir.file("huge.bin");
  // Two blocks of almost 4 GiB each carry the walk to a group block beyond 8 GiB; only the
  // headers hold data.
  constexpr std::uint64_t kStep = 0xFFFFFFF0u;
  const std::string step = MeshFile().block(1, static_cast<std::uint32_t>(kStep), 0).bytes();
  const std::string groups = MeshFile().groups({4, 5, 4}).bytes().substr(32);
  std::filesystem::resize_file(dir.write("huge.bin", step), 32 + 2 * kStep + groups.size());
  {
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_TRUE(file);
    ASSERT_TRUE(platform::seekTo(file, 32 + kStep));
    ASSERT_EQ(std::fwrite(step.data() + 32, 1, 16, file), 16u);
    ASSERT_TRUE(platform::seekTo(file, 32 + 2 * kStep));
    ASSERT_EQ(std::fwrite(groups.data(), 1, groups.size(), file), groups.size());
    ASSERT_EQ(std::fclose(file), 0);
  }
  EXPECT_EQ(countGroupsInFile(path.c_str()), 2);
}

}  // namespace
}  // namespace mevrix::meshtools
