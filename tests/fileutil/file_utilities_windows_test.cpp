// The file utilities through the real plug-in where Windows behaves in its own way: hidden and
// system attributes in listings, backslash paths, one file under several spellings, read-only
// and locked files, and a rename that never replaces a file.

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/line_ends.h"
#include "support/plugin.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using mevrix::test::PlugIn;
using mevrix::test::readFile;
using mevrix::test::TempDir;

void addAttribute(const std::string& path, DWORD attribute) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes | attribute)) << path;
}

// The names in a folder, without "." and "..".
std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

class WindowsFileUtilities : public ::testing::Test {
 protected:
  std::string fileInfo(const char* selector, double index) const {
    char text[512] = "#";
    const float length = plugIn.get("GetFileInfo")(selector, index, text, sizeof text);
    return length > 0 ? text : "<none>";
  }
  // The names of a list of `count` entries, each checked to join the folder with a backslash.
  std::set<std::string> listedNames(int count) const {
    std::set<std::string> names;
    for (int i = 1; i <= count; ++i) {
      const std::string name = fileInfo("name", i);
      EXPECT_EQ(fileInfo("fullname", i), folder() + "\\" + name);
      names.insert(name);
    }
    return names;
  }
  std::string folder() const { return dir.path().string(); }

  TempDir dir;
  PlugIn plugIn;
};

TEST_F(WindowsFileUtilities, ListingsLeaveOutWhatIsHiddenOrSystemByAttribute) {
  dir.write("a.obj", "x");
  dir.write("b.obj", "x");
  addAttribute(dir.write("readonly.obj", "x"), FILE_ATTRIBUTE_READONLY);
  addAttribute(dir.write("hidden.obj", "x"), FILE_ATTRIBUTE_HIDDEN);
  addAttribute(dir.write("system.obj", "x"), FILE_ATTRIBUTE_SYSTEM);
  fs::create_directory(dir.path() / "sub");
  fs::create_directory(dir.path() / "secret");
  addAttribute(dir.file("secret"), FILE_ATTRIBUTE_HIDDEN);

  ASSERT_EQ(plugIn.call("GetDirFileList", folder().c_str(), 0.0), 3.0f);
  EXPECT_EQ(listedNames(3), (std::set<std::string>{"a.obj", "b.obj", "readonly.obj"}));
  ASSERT_EQ(plugIn.call("GetDirFileList", (folder() + "\\").c_str(), 1.0), 3.0f);
  EXPECT_EQ(listedNames(3), (std::set<std::string>{".", "..", "sub"}));

  for (const char* name : {"a.obj", "b.obj", "readonly.obj"}) {
    addAttribute(dir.file(name), FILE_ATTRIBUTE_HIDDEN);
  }
  EXPECT_EQ(plugIn.call("GetDirFileList", folder().c_str(), 0.0), 0.0f);
  EXPECT_EQ(fileInfo("fullname", 1), "<none>");
}

TEST_F(WindowsFileUtilities, TheHostListsAFolderAndReadsItBackWithBackslashes) {
  dir.write("only.obj", "x");
  const auto run = mevrix::test::runProcess(
      MEVRIX_HOST_PATH,
      {"GetFileInfo", "fullname", "1", "@out", "+", "GetDirFileList", folder(), "0", "+",
       "GetFileInfo", "fullname", "1", "@out", "+", "GetFileInfo", "name", "1", "@out"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  std::string quotedPath;  // the host shows a backslash as two
  for (char c : folder() + "\\only.obj") quotedPath += c == '\\' ? "\\\\" : std::string(1, c);
  EXPECT_EQ(run.out, mevrix::test::withPlatformLineEnds(
                         "GetFileInfo: 0 \"\"\nGetDirFileList: 1\nGetFileInfo: " +
                         std::to_string(folder().size() + 9) + " \"" + quotedPath +
                         "\"\nGetFileInfo: 8 \"only.obj\"\n"));
}

TEST_F(WindowsFileUtilities, FileCopyToRefusesTheSourceUnderAnotherSpelling) {
  const std::string source = dir.write("Mesh.obj", "original");
  fs::create_directory(dir.path() / "sub");
  ASSERT_TRUE(CreateHardLinkA(dir.file("link.obj").c_str(), source.c_str(), nullptr));
  for (const std::string& other :
       {folder() + "\\MESH.OBJ", folder() + "\\.\\Mesh.obj", folder() + "\\sub\\..\\mesh.obj",
        folder() + "/Mesh.obj", dir.file("link.obj")}) {
    EXPECT_EQ(plugIn.call("FileCopyTo", source.c_str(), 0.0, other.c_str()), -1.0f) << other;
    EXPECT_EQ(plugIn.call("FileCopyTo", other.c_str(), 0.0, source.c_str()), -1.0f) << other;
    EXPECT_EQ(readFile(source), "original") << other;
  }
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"Mesh.obj", "link.obj", "sub"}));

  const std::string copy = dir.file("copy.obj");
  EXPECT_EQ(plugIn.call("FileCopyTo", source.c_str(), 0.0, copy.c_str()), 0.0f);
  EXPECT_EQ(readFile(copy), "original");
}

TEST_F(WindowsFileUtilities, FileDeleteKeepsFoldersReadOnlyAndLockedFiles) {
  fs::create_directory(dir.path() / "empty.d");
  for (const std::string& folderPath : {dir.file("empty.d"), dir.file("empty.d") + "\\"}) {
    EXPECT_EQ(plugIn.call("FileDelete", folderPath.c_str()), -1.0f) << folderPath;
  }
  EXPECT_TRUE(fs::is_directory(dir.path() / "empty.d"));

  const std::string readOnly = dir.write("readonly.txt", "x");
  addAttribute(readOnly, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(plugIn.call("FileDelete", readOnly.c_str()), -1.0f);
  EXPECT_TRUE(fs::exists(readOnly));

  // Open elsewhere without sharing deletion: kept while the handle lasts.
  const std::string locked = dir.write("locked.txt", "x");
  const HANDLE handle = CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(plugIn.call("FileDelete", locked.c_str()), -1.0f);
  CloseHandle(handle);
  EXPECT_EQ(plugIn.call("FileDelete", locked.c_str()), 0.0f);

  const std::string hidden = dir.write("hidden.txt", "x");
  addAttribute(hidden, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(plugIn.call("FileDelete", hidden.c_str()), 0.0f);
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"empty.d", "readonly.txt"}));
}

TEST_F(WindowsFileUtilities, FileRenameNeverReplacesAFile) {
  const std::string from = dir.write("from.txt", "moving");
  const std::string taken = dir.write("taken.txt", "staying");
  EXPECT_EQ(plugIn.call("FileRename", from.c_str(), 0.0, taken.c_str()), -1.0f);
  EXPECT_EQ(readFile(from), "moving");
  EXPECT_EQ(readFile(taken), "staying");

  // Another letter case names the same file, which is no reason to refuse.
  EXPECT_EQ(plugIn.call("FileRename", from.c_str(), 0.0, dir.file("FROM.txt").c_str()), 0.0f);
  EXPECT_EQ(readFile(dir.file("FROM.txt")), "moving");
  EXPECT_EQ(namesIn(dir.path()).size(), 2u);
}

TEST_F(WindowsFileUtilities, EmptyFolderDeletesHiddenFilesAndKeepsReadOnlyOnes) {
  addAttribute(dir.write("hidden.txt", "x"), FILE_ATTRIBUTE_HIDDEN);
  addAttribute(dir.write("readonly.txt", "x"), FILE_ATTRIBUTE_READONLY);
  dir.write("plain.txt", "x");
  fs::create_directory(dir.path() / "sub.d");
  EXPECT_EQ(plugIn.call("EmptyFolder", folder().c_str()), 0.0f);
  EXPECT_EQ(namesIn(dir.path()), (std::set<std::string>{"readonly.txt", "sub.d"}));
}

}  // namespace
