// The folder cursor and the file operations through the real plug-in.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "support/line_ends.h"
#include "support/plugin.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using mevrix::test::PlugIn;
using mevrix::test::readFile;
using mevrix::test::runProcess;
using mevrix::test::TempDir;
using mevrix::test::withPlatformLineEnds;

constexpr std::size_t kNameSize = 260;
constexpr std::size_t kGuardSize = 64;
constexpr char kGuardByte = '\x5a';

// A 260-byte name buffer followed by guard bytes that no call may touch.
class GuardedBuffer {
 public:
  GuardedBuffer() { memory_.fill(kGuardByte); }
  char* data() { return memory_.data(); }
  std::string name() const { return std::string(memory_.data()); }
  bool guardIntact() const {
    for (std::size_t i = kNameSize; i < memory_.size(); ++i) {
      if (memory_[i] != kGuardByte) return false;
    }
    return true;
  }

 private:
  std::array<char, kNameSize + kGuardSize> memory_;
};

TEST(FolderExports, GetFileRightAfterLoadingFindsNoCursor) {
  // A fresh process, so no earlier test has touched the module state.
  const auto result = runProcess(
      MEVRIX_HOST_PATH, {"GetFile", "@null", "0", "@out:260", "+", "CloseFolder", "+", "GetFile"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, withPlatformLineEnds("GetFile: -1 \"\"\nCloseFolder: -1\nGetFile: -1\n"));
}

TEST(FolderExports, WalksAFolderWithoutWritingPastTheNameBuffer) {
  PlugIn plugIn;
  auto openFolder = plugIn.get("OpenFolder");
  auto getFile = plugIn.get("GetFile");
  auto closeFolder = plugIn.get("CloseFolder");
  ASSERT_TRUE(openFolder && getFile && closeFolder);

  TempDir dir;
#ifdef _WIN32
  // The longest name that keeps the whole path within the 259 characters Windows takes.
  const std::string longest(259 - dir.path().string().size() - 1, 'n');
#else
  const std::string longest(255, 'n');  // the longest name a POSIX file system allows
#endif
  dir.write(longest, "");
  dir.write(".hidden", "");
  dir.hide(".hidden");
  fs::create_directory(dir.path() / "sub");

  ASSERT_EQ(openFolder(dir.path().string().c_str(), 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(getFile(nullptr, 0.0, nullptr, 0), -2.0f);
  std::multiset<std::string> names;
  GuardedBuffer buffer;
  for (int i = 0; i < 5; ++i) {
    // buf1Len is not consulted: a wrong one changes nothing.
    ASSERT_EQ(getFile(nullptr, 0.0, buffer.data(), 1), 0.0f);
    ASSERT_TRUE(buffer.guardIntact());
    names.insert(buffer.name());
  }
  EXPECT_EQ(names, (std::multiset<std::string>{".", "..", longest, ".hidden", "sub"}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(getFile(nullptr, 0.0, buffer.data(), 260), -3.0f);
  EXPECT_TRUE(buffer.guardIntact());

  // A failed open drops the exhausted cursor: -1 now, not -3.
  EXPECT_EQ(openFolder(dir.file("missing").c_str(), 0.0, nullptr, 0), -1.0f);
  EXPECT_EQ(getFile(nullptr, 0.0, buffer.data(), 260), -1.0f);
  EXPECT_EQ(closeFolder(nullptr, 0.0, nullptr, 0), -1.0f);

  ASSERT_EQ(openFolder(dir.path().string().c_str(), 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(closeFolder(nullptr, 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(closeFolder(nullptr, 0.0, nullptr, 0), -1.0f);
  EXPECT_EQ(openFolder(nullptr, 0.0, nullptr, 0), -1.0f);
  EXPECT_EQ(openFolder("", 0.0, nullptr, 0), -1.0f);
}

TEST(FileOperationExports, MissingPathsFailAndTouchNothing) {
  PlugIn plugIn;
  TempDir dir;
  const std::string file = dir.write("file.txt", "x");
  EXPECT_EQ(plugIn.call("FileDelete", nullptr), -1.0f);
  EXPECT_EQ(plugIn.call("FileRename", file.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileRename", nullptr, 0.0, file.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileCopyTo", file.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileCopyTo", nullptr, 0.0, file.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("EmptyFolder", nullptr), -1.0f);
  EXPECT_EQ(plugIn.call("EmptyFolder", ""), -1.0f);
  EXPECT_EQ(readFile(file), "x");
}

TEST(FileOperationExports, CopyRenameDeleteAndEmptyAFolder) {
  PlugIn plugIn;
  TempDir dir;
  const std::string source = dir.write("source.txt", std::string_view("bytes\r\n\0end", 11));
  const std::string copy = dir.file("copy.txt");
  const std::string moved = dir.file("moved");
  fs::create_directory(dir.path() / "sub.d");

  EXPECT_EQ(plugIn.call("FileCopyTo", source.c_str(), 0.0, copy.c_str()), 0.0f);
  EXPECT_EQ(readFile(copy), readFile(source));
  EXPECT_EQ(plugIn.call("FileCopyTo", source.c_str(), 0.0, source.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileCopyTo", dir.file("missing").c_str(), 0.0, copy.c_str()), -1.0f);
  EXPECT_TRUE(fs::exists(copy));

  EXPECT_EQ(plugIn.call("FileRename", copy.c_str(), 0.0, copy.c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileRename", copy.c_str(), 0.0, moved.c_str()), 0.0f);
  EXPECT_EQ(plugIn.call("FileDelete", dir.file("sub.d").c_str()), -1.0f);
  EXPECT_EQ(plugIn.call("FileDelete", moved.c_str()), 0.0f);
  EXPECT_EQ(plugIn.call("FileDelete", moved.c_str()), -1.0f);

  EXPECT_EQ(plugIn.call("EmptyFolder", dir.path().string().c_str()), 0.0f);
  EXPECT_EQ(plugIn.call("EmptyFolder", dir.file("missing").c_str()), -1.0f);
  EXPECT_FALSE(fs::exists(source));
  EXPECT_TRUE(fs::is_directory(dir.path() / "sub.d"));
}

}  // namespace
