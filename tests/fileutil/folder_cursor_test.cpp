// The folder cursor's states (no cursor, open, exhausted) and what each call does in each.

#include "fileutil/folder_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace mevrix::fileutil {
namespace {

using test::TempDir;
using Buffer = std::array<char, kFileNameBufferSize>;

// Hands out names until none is left; fails the test on anything but a written name.
std::multiset<std::string> remainingNames(FolderCursor& cursor) {
  std::multiset<std::string> names;
  Buffer buffer;
  for (int guard = 0; guard < 1000; ++guard) {
    buffer.fill('#');
    const CursorResult result = nextFileName(cursor, buffer.data());
    if (result == CursorResult::noneLeft) return names;
    EXPECT_EQ(result, CursorResult::done);
    names.insert(buffer.data());
  }
  ADD_FAILURE() << "the cursor never ran out of names";
  return names;
}

TEST(FolderCursor, WithoutACursorNothingHappens) {
  FolderCursor cursor;
  Buffer buffer;
  buffer.fill('#');
  EXPECT_EQ(nextFileName(cursor, buffer.data()), CursorResult::noCursor);
  EXPECT_EQ(nextFileName(cursor, nullptr), CursorResult::noCursor);
  EXPECT_FALSE(closeFolder(cursor));
  EXPECT_EQ(buffer[0], '#');
  EXPECT_EQ(cursor, nullptr);
}

TEST(FolderCursor, HandsOutEveryEntryThenRunsOutForGood) {
  TempDir dir;
  dir.write("a.txt", "1");
  dir.write("b", "2");
  FolderCursor cursor;
  ASSERT_TRUE(openFolder(cursor, dir.path().string().c_str()));
  EXPECT_EQ(remainingNames(cursor), (std::multiset<std::string>{".", "..", "a.txt", "b"}));

  // Exhausted: -3 again and again, the buffer untouched, the cursor still there.
  Buffer buffer;
  buffer.fill('#');
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(nextFileName(cursor, buffer.data()), CursorResult::noneLeft);
  }
  EXPECT_EQ(buffer[0], '#');
  EXPECT_NE(cursor, nullptr);

  EXPECT_TRUE(closeFolder(cursor));
  EXPECT_FALSE(closeFolder(cursor));
  EXPECT_EQ(nextFileName(cursor, buffer.data()), CursorResult::noCursor);
}

TEST(FolderCursor, HiddenEntriesAndSubDirectoriesComeLikeAnyOther) {
  TempDir dir;
  dir.write(".hidden", "");
  std::filesystem::create_directory(dir.path() / "sub");
  std::filesystem::create_directory(dir.path() / ".dotted.d");
  dir.hide(".hidden");
  dir.hide(".dotted.d");
  dir.write("sub/inside", "");  // not listed: the cursor does not descend
  FolderCursor cursor;
  ASSERT_TRUE(openFolder(cursor, (dir.path().string() + "/").c_str()));
  EXPECT_EQ(remainingNames(cursor),
            (std::multiset<std::string>{".", "..", ".hidden", "sub", ".dotted.d"}));
}

TEST(FolderCursor, OpeningAgainReplacesTheCursorInEitherOpenState) {
  TempDir first;
  TempDir second;
  first.write("from-first", "");
  second.write("from-second", "");
  FolderCursor cursor;
  Buffer buffer;

  // Open, part-way through the first folder.
  ASSERT_TRUE(openFolder(cursor, first.path().string().c_str()));
  ASSERT_EQ(nextFileName(cursor, buffer.data()), CursorResult::done);
  ASSERT_TRUE(openFolder(cursor, second.path().string().c_str()));
  EXPECT_EQ(remainingNames(cursor), (std::multiset<std::string>{".", "..", "from-second"}));

  // Exhausted: the new cursor starts from the beginning.
  ASSERT_EQ(nextFileName(cursor, buffer.data()), CursorResult::noneLeft);
  ASSERT_TRUE(openFolder(cursor, first.path().string().c_str()));
  EXPECT_EQ(remainingNames(cursor), (std::multiset<std::string>{".", "..", "from-first"}));
}

TEST(FolderCursor, AFailedOpenLeavesNoCursorEvenWhenOneWasOpen) {
  TempDir dir;
  const std::string file = dir.write("plain-file", "x");
  const std::string missing = dir.file("missing");
  for (const char* path : {missing.c_str(), file.c_str(), "", static_cast<const char*>(nullptr)}) {
    FolderCursor cursor;
    ASSERT_TRUE(openFolder(cursor, dir.path().string().c_str()));
    EXPECT_FALSE(openFolder(cursor, path)) << (path ? path : "(null)");
    EXPECT_EQ(cursor, nullptr);
    Buffer buffer;
    EXPECT_EQ(nextFileName(cursor, buffer.data()), CursorResult::noCursor);
  }
}

TEST(FolderCursor, ANullBufferGetsNothingAndUsesUpNoEntry) {
  TempDir dir;
  dir.write("only", "");
  FolderCursor cursor;
  ASSERT_TRUE(openFolder(cursor, dir.path().string().c_str()));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(nextFileName(cursor, nullptr), CursorResult::noBuffer);
  EXPECT_EQ(remainingNames(cursor).size(), 3u);
  // Still -2 once exhausted: the buffer is checked before the stream is read.
  EXPECT_EQ(nextFileName(cursor, nullptr), CursorResult::noBuffer);
}

TEST(FolderCursor, NamesAreCopiedWholeWithTheirNulOrNotAtAll) {
  std::array<char, kFileNameBufferSize + 16> memory;
  memory.fill('#');
  const std::span<char, kFileNameBufferSize> buffer(memory.data(), kFileNameBufferSize);

  const std::string longest(kFileNameBufferSize - 1, 'n');
  ASSERT_TRUE(copyFileName(longest, buffer));
  EXPECT_EQ(std::string(memory.data()), longest);
  EXPECT_EQ(memory[kFileNameBufferSize], '#');

  memory.fill('#');
  EXPECT_FALSE(copyFileName(std::string(kFileNameBufferSize, 'x'), buffer));
  EXPECT_FALSE(copyFileName(std::string(1000, 'x'), buffer));
  for (char c : memory) ASSERT_EQ(c, '#');

  ASSERT_TRUE(copyFileName("", buffer));
  EXPECT_EQ(memory[0], '\0');
  EXPECT_EQ(memory[1], '#');
}

}  // namespace
}  // namespace mevrix::fileutil
