// Counting and reading the file list over hand-built lists.

#include "fileutil/file_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "common/path.h"
#include "support/path_separators.h"

namespace mevrix::fileutil {
namespace {

using namespace std::string_view_literals;
using test::withPlatformSeparators;

// A list from `bytes`, whose "/" stand for the platform's separator.
FileListBuffer listOf(std::string_view bytes) {
  FileListBuffer list{};
  const std::string native = withPlatformSeparators(bytes);
  std::copy(native.begin(), native.end(), list.begin());
  return list;
}

using Result = std::pair<std::size_t, std::string>;

// The result of a lookup and what it left in a large destination ("<untouched>" for nothing).
Result lookUp(const FileListBuffer& list, std::string_view selector, int index) {
  std::string destination(8192, '#');
  const std::size_t length = lookUpFile(list, selector, index, destination);
  if (destination[0] == '#') return {length, "<untouched>"};
  return {length, destination.c_str()};
}

TEST(FileCount, FollowsTheTwoListShapes) {
  EXPECT_EQ(fileCount(FileListBuffer{}), 1);
  EXPECT_EQ(fileCount(listOf("/m/one.obj\0"sv)), 1);
  EXPECT_EQ(fileCount(listOf("/m\0a\0b\0c\0"sv)), 3);
  // A folder with one name reads as a single path.
  EXPECT_EQ(fileCount(listOf("/m\0a\0"sv)), 1);
}

TEST(FileCount, LooksAtBytesUpTo4094AndItsNeighbour) {
  FileListBuffer list;
  list.fill('x');
  EXPECT_EQ(fileCount(list), 0);
  for (std::size_t i = 0; i < 4094; i += 2) list[i] = '\0';  // 2047 NULs, none paired
  EXPECT_EQ(fileCount(list), 2047);
  list[4095] = '\0';  // byte 4095 is looked at only as the partner of a NUL at 4094
  EXPECT_EQ(fileCount(list), 2047);
  list[4094] = '\0';
  EXPECT_EQ(fileCount(list), 2047);
  list[4095] = 'x';
  EXPECT_EQ(fileCount(list), 2048);
}

TEST(FileInfo, ReadsAFolderAndNamesList) {
  const FileListBuffer list = listOf("/m\0a.obj\0b.obj\0c.obj\0"sv);
  EXPECT_EQ(lookUp(list, "fullname", 1), Result(8, withPlatformSeparators("/m/a.obj")));
  EXPECT_EQ(lookUp(list, "fullname", 2), Result(8, withPlatformSeparators("/m/b.obj")));
  EXPECT_EQ(lookUp(list, "name", 3), Result(5, "c.obj"));
  EXPECT_EQ(lookUp(list, "name", 4), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(list, "name", 0), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(list, "name", -1), Result(0, "<untouched>"));
  for (std::string_view selector : {"FullName", "Name", "name ", "full", ""}) {
    EXPECT_EQ(lookUp(list, selector, 1), Result(0, "<untouched>")) << selector;
  }
  // The folder and the name are always joined by one more separator.
  EXPECT_EQ(lookUp(listOf("/m/\0a\0b\0"sv), "fullname", 2),
            Result(5, withPlatformSeparators("/m//b")));
}

TEST(FileInfo, ReadsASinglePathAndTheEmptyList) {
  const FileListBuffer single = listOf("/m/one.obj\0"sv);
  EXPECT_EQ(lookUp(single, "fullname", 1), Result(10, withPlatformSeparators("/m/one.obj")));
  EXPECT_EQ(lookUp(single, "name", 1), Result(7, "one.obj"));
  EXPECT_EQ(lookUp(single, "fullname", 2), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(listOf("one.obj\0"sv), "name", 1), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(listOf("one.obj\0"sv), "fullname", 1), Result(7, "one.obj"));
  EXPECT_EQ(lookUp(FileListBuffer{}, "fullname", 1), Result(0, ""));
  EXPECT_EQ(lookUp(FileListBuffer{}, "name", 1), Result(0, "<untouched>"));
}

TEST(FileInfo, OnlyThePlatformsSeparatorEndsTheFolderOfASinglePath) {
  // The other system's separator is an ordinary character of a name.
  const char other = common::kPathSeparator == '/' ? '\\' : '/';
  FileListBuffer list{};
  const std::string path = std::string("m") + other + "one.obj";
  std::copy(path.begin(), path.end(), list.begin());
  EXPECT_EQ(lookUp(list, "name", 1), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(list, "fullname", 1), Result(9, path));
}

TEST(FileInfo, NeverReadsPastAnEntryThatRunsToTheEndOfTheList) {
  FileListBuffer list = listOf("/m\0a\0"sv);
  std::fill(list.begin() + 5, list.end(), 'x');  // no NUL after the second name's start
  ASSERT_EQ(fileCount(list), 2);
  EXPECT_EQ(lookUp(list, "name", 1), Result(1, "a"));
  EXPECT_EQ(lookUp(list, "name", 2), Result(0, "<untouched>"));
  EXPECT_EQ(lookUp(list, "fullname", 2), Result(0, "<untouched>"));
}

TEST(FileInfo, WritesNothingBeyondTheDestinationsCapacity) {
  struct Case {
    std::string_view list, selector;
    int index;
    std::string_view expected;
  };
  for (const Case& c : {Case{"/m\0a.obj\0b.obj\0"sv, "fullname", 2, "/m/b.obj"},
                        Case{"/m\0a.obj\0b.obj\0"sv, "name", 1, "a.obj"},
                        Case{"/m/one.obj\0"sv, "fullname", 1, "/m/one.obj"},
                        Case{"/m/one.obj\0"sv, "name", 1, "one.obj"}}) {
    const FileListBuffer list = listOf(c.list);
    const std::string expected = withPlatformSeparators(c.expected);
    for (std::size_t capacity : {expected.size() + 1, expected.size()}) {
      std::string memory(capacity + 16, '#');
      const std::size_t length =
          lookUpFile(list, c.selector, c.index, std::span<char>(memory.data(), capacity));
      const bool fits = capacity > expected.size();
      EXPECT_EQ(length, fits ? expected.size() : 0) << expected << " in " << capacity;
      EXPECT_EQ(std::string(memory.c_str()), fits ? expected : "")
          << expected << " in " << capacity;
      EXPECT_EQ(memory.substr(capacity), std::string(16, '#')) << "guard after " << capacity;
    }
  }
  std::string untouched = "#";
  EXPECT_EQ(lookUpFile(listOf("/m/one.obj\0"sv), "fullname", 1, std::span<char>()), 0u);
  EXPECT_EQ(lookUpFile(FileListBuffer{}, "fullname", 1, std::span<char>(untouched.data(), 0)), 0u);
  EXPECT_EQ(untouched, "#");
}

}  // namespace
}  // namespace mevrix::fileutil
