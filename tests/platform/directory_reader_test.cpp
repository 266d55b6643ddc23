#include "platform/directory_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

TEST(DirectoryReader, GivesEveryEntryOnceThenNothing) {
  test::TempDir dir;
  dir.write("a.obj", "x");
  dir.write("name with spaces.txt", "");
  std::filesystem::create_directory(dir.path() / "sub");
  const auto reader = DirectoryReader::open(dir.path().string().c_str());
  ASSERT_TRUE(reader);
  std::multiset<std::string> names;
  while (const DirectoryEntry* entry = reader->next()) names.insert(entry->name);
  EXPECT_EQ(names, (std::multiset<std::string>{".", "..", "a.obj", "name with spaces.txt", "sub"}));
  EXPECT_EQ(reader->next(), nullptr);
  EXPECT_EQ(reader->next(), nullptr);
}

TEST(DirectoryReader, OpensNoReaderOnWhatIsNotAFolder) {
  test::TempDir dir;
  const std::string file = dir.write("plain.txt", "x");
  EXPECT_FALSE(DirectoryReader::open(nullptr));
  EXPECT_FALSE(DirectoryReader::open(""));
  EXPECT_FALSE(DirectoryReader::open(dir.file("missing").c_str()));
  EXPECT_FALSE(DirectoryReader::open(file.c_str()));
}

}  // namespace
}  // namespace mevrix::platform
