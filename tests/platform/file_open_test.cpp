#include "platform/file_open.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

using File = FileHandle;

std::string readAll(std::FILE* file) {
  std::string contents;
  char block[256];
  while (const std::size_t got = std::fread(block, 1, sizeof block, file)) {
    contents.append(block, got);
  }
  return contents;
}

TEST(FileOpen, WritesBytesUnchangedAndTruncatesOrAppends) {
  test::TempDir dir;
  const std::string path = dir.write("out.txt", "old contents");
  {
    File out(openForWriting(path.c_str(), WriteMode::truncate));
    ASSERT_TRUE(out);
    // Binary mode: no line-end translation on any system.
    std::fputs("a\nb\r\n", out.get());
  }
  EXPECT_EQ(test::readFile(path), "a\nb\r\n");
  {
    File out(openForWriting(path.c_str(), WriteMode::append));
    ASSERT_TRUE(out);
    std::fputs("c\n", out.get());
  }
  EXPECT_EQ(test::readFile(path), "a\nb\r\nc\n");
}

TEST(FileOpen, ReadersAndWritersShareAFile) {
  // Files are opened without denying others access: an input that another program still has
  // open for writing can be read, and two writers can have it open at once.
  test::TempDir dir;
  const std::string path = dir.file("shared.txt");
  File writer(openForWriting(path.c_str(), WriteMode::truncate));
  ASSERT_TRUE(writer);
  std::fputs("first\n", writer.get());
  std::fflush(writer.get());
  File reader(openForReading(path.c_str()));
  ASSERT_TRUE(reader);
  File appender(openForWriting(path.c_str(), WriteMode::append));
  ASSERT_TRUE(appender);
  std::fputs("second\n", appender.get());
  std::fflush(appender.get());
  EXPECT_EQ(readAll(reader.get()), "first\nsecond\n");
}

TEST(FileOpen, KnowsTheSizeOfRegularFilesOnly) {
  test::TempDir dir;
  const std::string path = dir.write("data.bin", std::string(70000, '\n'));
  File file(openForReading(path.c_str()));
  ASSERT_TRUE(file);
  EXPECT_EQ(regularFileSize(file.get()), 70000u);
  EXPECT_FALSE(openForReading(dir.file("missing.obj").c_str()));
  EXPECT_FALSE(openForWriting(dir.file("no/such/folder.obj").c_str(), WriteMode::truncate));
}

}  // namespace
}  // namespace mevrix::platform
