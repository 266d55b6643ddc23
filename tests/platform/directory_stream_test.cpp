#include "platform/directory_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

TEST(DirectoryStream, GivesEveryEntryOnceThenNothing) {
  test::TempDir dir;
  dir.write("a.obj", "x");
  dir.write("name with spaces.txt", "");
  std::filesystem::create_directory(dir.path() / "sub");
  const auto stream = DirectoryStream::open(dir.path().string().c_str());
  ASSERT_TRUE(stream);
  std::multiset<std::string> names;
  while (const char* name = stream->next()) names.insert(name);
  EXPECT_EQ(names, (std::multiset<std::string>{".", "..", "a.obj", "name with spaces.txt", "sub"}));
  EXPECT_EQ(stream->next(), nullptr);
  EXPECT_EQ(stream->next(), nullptr);
}

TEST(DirectoryStream, OpensNoStreamOnWhatIsNotAFolder) {
  test::TempDir dir;
  const std::string file = dir.write("plain.txt", "x");
  EXPECT_FALSE(DirectoryStream::open(nullptr));
  EXPECT_FALSE(DirectoryStream::open(""));
  EXPECT_FALSE(DirectoryStream::open(dir.file("missing").c_str()));
  EXPECT_FALSE(DirectoryStream::open(file.c_str()));
}

}  // namespace
}  // namespace mevrix::platform
