// The Windows directory reader: every entry with the directory, hidden and system attributes the
// system keeps for it, from the folder the path names when the reader is opened.

#include "platform/directory_reader.h"

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

struct Attributes {
  bool directory = false, hidden = false, system = false;
  friend bool operator==(const Attributes&, const Attributes&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Attributes& a) {
    return out << (a.directory ? "D" : "-") << (a.hidden ? "H" : "-") << (a.system ? "S" : "-");
  }
};

void addAttribute(const std::string& path, DWORD attribute) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes | attribute)) << path;
}

// Every entry of the folder `path`, by name; fails the test for a name found twice.
std::map<std::string, Attributes> readAll(const std::string& path) {
  std::map<std::string, Attributes> found;
  const auto reader = DirectoryReader::open(path.c_str());
  if (!reader) {
    ADD_FAILURE() << "no reader on " << path;
    return found;
  }
  while (const DirectoryEntry* entry = reader->next()) {
    const bool added =
        found.emplace(entry->name, Attributes{entry->directory, entry->hidden, entry->system})
            .second;
    EXPECT_TRUE(added) << entry->name;
  }
  EXPECT_EQ(reader->next(), nullptr);
  return found;
}

TEST(WindowsDirectoryReader, ReportsEveryEntryWithItsAttributes) {
  test::TempDir dir;
  dir.write("plain.obj", "x");
  addAttribute(dir.write("hidden.obj", "x"), FILE_ATTRIBUTE_HIDDEN);
  addAttribute(dir.write("system.obj", "x"), FILE_ATTRIBUTE_SYSTEM);
  addAttribute(dir.write("readonly.obj", "x"), FILE_ATTRIBUTE_READONLY);
  std::filesystem::create_directory(dir.path() / "sub");
  std::filesystem::create_directory(dir.path() / "secret");
  addAttribute(dir.file("secret"), FILE_ATTRIBUTE_HIDDEN);

  const std::map<std::string, Attributes> expected = {
      {".", {true, false, false}},          {"..", {true, false, false}},
      {"plain.obj", {false, false, false}}, {"hidden.obj", {false, true, false}},
      {"system.obj", {false, false, true}}, {"readonly.obj", {false, false, false}},
      {"sub", {true, false, false}},        {"secret", {true, true, false}},
  };
  EXPECT_EQ(readAll(dir.path().string()), expected);
  EXPECT_EQ(readAll(dir.path().string() + "\\"), expected);
}

TEST(WindowsDirectoryReader, ABareDriveIsItsCurrentFolderWhenTheReaderOpens) {
  test::TempDir dir;
  dir.write("marker.obj", "x");
  const std::string drive = dir.path().string().substr(0, 2);
  ASSERT_EQ(drive[1], ':');
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const auto reader = DirectoryReader::open(drive.c_str());
  std::filesystem::current_path(previous);
  ASSERT_TRUE(reader);
  std::set<std::string> names;
  while (const DirectoryEntry* entry = reader->next()) names.insert(entry->name);
  EXPECT_EQ(names, (std::set<std::string>{".", "..", "marker.obj"}));
}

}  // namespace
}  // namespace mevrix::platform
