// Listing folders of temporary trees into the file list.

#include "fileutil/directory_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "common/path.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace mevrix::fileutil {
namespace {

namespace fs = std::filesystem;
using Names = std::multiset<std::string>;

class DirectoryListing : public ::testing::Test {
 protected:
  std::string folder() const { return temp.path().string(); }
  std::string inFolder(const std::string& name) const {
    return folder() + common::kPathSeparator + name;
  }
  void makeFiles(std::initializer_list<const char*> names) const {
    for (const char* name : names) temp.write(name, "x");
  }
  void makeFolders(std::initializer_list<const char*> names) const {
    for (const char* name : names) fs::create_directory(temp.path() / name);
  }
  std::string lookUp(std::string_view selector, int index) const {
    char text[4096];
    return lookUpFile(list, selector, index, text) > 0 ? text : "<none>";
  }
  // Every name of a list of `count` names, each checked to give its full path too.
  Names names(int count) const {
    Names found;
    for (int i = 1; i <= count; ++i) {
      found.insert(lookUp("name", i));
      EXPECT_EQ(lookUp("fullname", i), inFolder(lookUp("name", i)));
    }
    return found;
  }
  bool listIsEmpty() const {
    return std::all_of(list.begin(), list.end(), [](char c) { return c == '\0'; });
  }

  test::TempDir temp;
  FileListBuffer list{};
};

TEST_F(DirectoryListing, ListsVisibleFilesOrSubFoldersWithDotAndDotDot) {
  makeFiles({"a.obj", "b.obj", "c.txt", ".hidden"});
  makeFolders({"sub", "more", ".git"});
  temp.hide(".hidden");
  temp.hide(".git");

  ASSERT_EQ(listDirectory(list, folder(), false), 3);
  EXPECT_EQ(std::string(list.data()), folder());
  EXPECT_EQ(fileCount(list), 3);
  EXPECT_EQ(names(3), (Names{"a.obj", "b.obj", "c.txt"}));

  ASSERT_EQ(listDirectory(list, folder(), true), 4);
  EXPECT_EQ(names(4), (Names{".", "..", "more", "sub"}));
}

TEST_F(DirectoryListing, ATrailingSeparatorGivesTheSameList) {
  makeFiles({"a", "b"});
  ASSERT_EQ(listDirectory(list, folder(), false), 2);
  const FileListBuffer without = list;
  ASSERT_EQ(listDirectory(list, folder() + common::kPathSeparator, false), 2);
  EXPECT_EQ(list, without);
}

TEST_F(DirectoryListing, OneMatchBecomesASinglePath) {
  makeFiles({"only.obj", ".hidden"});
  makeFolders({"sub"});
  temp.hide(".hidden");
  ASSERT_EQ(listDirectory(list, folder() + common::kPathSeparator, false), 1);
  EXPECT_EQ(std::string(list.data()), inFolder("only.obj"));
  EXPECT_EQ(list[inFolder("only.obj").size() + 1], '\0');
  EXPECT_EQ(lookUp("fullname", 1), inFolder("only.obj"));
  EXPECT_EQ(lookUp("name", 1), "only.obj");
}

TEST_F(DirectoryListing, NothingToListEmptiesTheListAnEmptyTextKeepsIt) {
  makeFiles({".hidden", "file"});
  temp.hide(".hidden");
  ASSERT_EQ(listDirectory(list, folder(), false), 1);
  const FileListBuffer previous = list;
  EXPECT_EQ(listDirectory(list, "", true), 0);
  EXPECT_EQ(list, previous);

  fs::remove(temp.path() / "file");
  EXPECT_EQ(listDirectory(list, folder(), false), 0);
  EXPECT_TRUE(listIsEmpty());

  for (const std::string& unreadable : {inFolder("missing"), inFolder(".hidden")}) {
    list = previous;
    EXPECT_EQ(listDirectory(list, unreadable, false), 0) << unreadable;
    EXPECT_TRUE(listIsEmpty()) << unreadable;
  }
}

TEST_F(DirectoryListing, TheSearchPatternMustFitIn260Bytes) {
  // Folders whose paths are 257 and 258 characters long, each holding one file.
  const std::string separator(1, common::kPathSeparator);
  const std::size_t base = folder().size() + 1;
  ASSERT_LT(base + 2, 257u);
  const std::string fits = inFolder(std::string(257 - base, 'f'));
  const std::string tooLong = inFolder(std::string(258 - base, 'f'));
  for (const std::string& path : {fits, tooLong}) {
    fs::create_directory(path);
    std::ofstream(path + separator + "a") << "x";
  }

  EXPECT_EQ(listDirectory(list, fits, false), 1);  // the pattern and its NUL take 260 bytes
  EXPECT_EQ(listDirectory(list, fits + separator, false), 1);
  EXPECT_EQ(listDirectory(list, fits + separator + separator, false), 0);
  EXPECT_TRUE(listIsEmpty());
  list[0] = 'x';
  EXPECT_EQ(listDirectory(list, tooLong, false), 0);
  EXPECT_TRUE(listIsEmpty());
}

TEST_F(DirectoryListing, KeepsTheNamesThatLeaveRoomForTheListsEnd) {
  // Names of 63 characters (64 bytes with their NUL) behind two folders one character apart:
  // behind the shorter one the last name that fits ends at byte 4094, so the list's closing NUL
  // takes byte 4095; behind the longer one that name would leave no room for it and is left out.
  constexpr std::size_t kNameBytes = 64;
  const std::size_t base = folder().size() + 1;
  const std::size_t fitting = (4094 - base - 1) / kNameBytes;
  const std::size_t shorter = 4094 - fitting * kNameBytes;  // the folder's length
  ASSERT_GT(shorter, base);
  for (std::size_t length : {shorter, shorter + 1}) {
    const std::string path = inFolder(std::string(length - base, 'a' + length % 2));
    ASSERT_EQ(path.size(), length);
    fs::create_directory(path);
    for (std::size_t i = 0; i < fitting + 5; ++i) {
      const std::string number = std::to_string(100 + i);
      std::ofstream(path + common::kPathSeparator + std::string(kNameBytes - 4, 'n') + number);
    }
    const int count = listDirectory(list, path, false);
    const int expected = static_cast<int>(length == shorter ? fitting : fitting - 1);
    ASSERT_EQ(count, expected) << length;
    EXPECT_EQ(fileCount(list), expected);
    char name[256];
    for (int i = 1; i <= count; ++i) {
      EXPECT_EQ(lookUpFile(list, "name", i, name), kNameBytes - 1) << i;
      EXPECT_EQ(std::string_view(name, kNameBytes - 4), std::string(kNameBytes - 4, 'n'));
    }
    EXPECT_EQ(lookUpFile(list, "name", count + 1, name), 0u);
    const std::size_t end = length + 1 + static_cast<std::size_t>(count) * kNameBytes;
    EXPECT_EQ(end, length == shorter ? 4095u : 4096u - kNameBytes);
    EXPECT_EQ(list[end - 1], '\0');
    EXPECT_EQ(list[end], '\0');
  }
}

#ifndef _WIN32  // POSIX only: FIFOs and symbolic links
// FIFOs, devices and dangling links are system entries; links count as what they point to (a
// link to a FIFO is a system entry too).
TEST_F(DirectoryListing, PosixSkipsFifosAndDanglingLinksAndFollowsLinks) {
  makeFiles({"file"});
  makeFolders({"sub"});
  ASSERT_EQ(mkfifo(inFolder("fifo").c_str(), 0600), 0);
  fs::create_symlink(inFolder("file"), inFolder("file-link"));
  fs::create_directory_symlink(inFolder("sub"), inFolder("sub-link"));
  fs::create_symlink(inFolder("nowhere"), inFolder("dangling"));
  fs::create_symlink(inFolder("fifo"), inFolder("fifo-link"));

  ASSERT_EQ(listDirectory(list, folder(), false), 2);
  EXPECT_EQ(names(2), (Names{"file", "file-link"}));
  ASSERT_EQ(listDirectory(list, folder(), true), 4);
  EXPECT_EQ(names(4), (Names{".", "..", "sub", "sub-link"}));
}
#endif

}  // namespace
}  // namespace mevrix::fileutil
