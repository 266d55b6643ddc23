// The Windows directory search: FindFirstFileA and FindNextFileA report every entry with the
// directory, hidden and system attributes the system keeps for it.

#include "platform/directory_search.h"

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <map>
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

// Every entry the search on `pattern` finds, by name; fails the test for a name found twice.
std::map<std::string, Attributes> searchAll(const std::string& pattern) {
  std::map<std::string, Attributes> found;
  const auto search = DirectorySearch::start(pattern.c_str());
  if (!search) {
    ADD_FAILURE() << "no search on " << pattern;
    return found;
  }
  while (const FoundEntry* entry = search->next()) {
    const bool added =
        found.emplace(entry->name, Attributes{entry->directory, entry->hidden, entry->system})
            .second;
    EXPECT_TRUE(added) << entry->name;
  }
  EXPECT_EQ(search->next(), nullptr);
  return found;
}

TEST(WindowsDirectorySearch, ReportsEveryEntryWithItsAttributes) {
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
  EXPECT_EQ(searchAll(dir.file("*")), expected);
}

TEST(WindowsDirectorySearch, StartsNoSearchOnWhatCannotBeSearched) {
  test::TempDir dir;
  const std::string file = dir.write("plain.txt", "x");
  EXPECT_FALSE(DirectorySearch::start(nullptr));
  EXPECT_FALSE(DirectorySearch::start(dir.file("missing\\*").c_str()));
  EXPECT_FALSE(DirectorySearch::start((file + "\\*").c_str()));
}

}  // namespace
}  // namespace mevrix::platform
