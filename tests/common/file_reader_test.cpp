#include "common/file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "support/process.h"
#endif

namespace mevrix::common {
namespace {

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, SplitsAtLineFeedsAndDropsOneCarriageReturnBeforeThem) {
  EXPECT_EQ(linesOf(""), Lines{});
  EXPECT_EQ(linesOf("a"), Lines{"a"});
  EXPECT_EQ(linesOf("a\n"), Lines{"a"});
  EXPECT_EQ(linesOf("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(linesOf("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(linesOf("\n\n"), (Lines{"", ""}));
  EXPECT_EQ(linesOf("\r\n"), Lines{""});
  // Only the one carriage return just before the feed goes; others are part of the line.
  EXPECT_EQ(linesOf("a\r\r\n"), Lines{"a\r"});
  EXPECT_EQ(linesOf("a\rb\n"), Lines{"a\rb"});
  EXPECT_EQ(linesOf("a\r"), Lines{"a\r"});
  EXPECT_EQ(linesOf(std::string_view("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
}

TEST(ReadWholeFile, ReadsEveryByte) {
  test::TempDir dir;
  std::string contents;
  for (int i = 0; i < 300000; ++i) contents += static_cast<char>(i * 7);
  const auto path = dir.write("data.bin", contents);
  const auto buffer = readWholeFile(path.c_str());
  ASSERT_TRUE(buffer);
  EXPECT_EQ(buffer->view(), contents);
  EXPECT_EQ(buffer->data()[buffer->size()], '\0');
}

TEST(ReadWholeFile, ReadsAnEmptyFile) {
  test::TempDir dir;
  const auto path = dir.write("empty.obj", "");
  const auto buffer = readWholeFile(path.c_str());
  ASSERT_TRUE(buffer);
  EXPECT_EQ(buffer->size(), 0u);
}

TEST(ReadWholeFile, RefusesWhatIsNotARegularFile) {
  test::TempDir dir;
  EXPECT_FALSE(readWholeFile(dir.file("missing.obj").c_str()));
  EXPECT_FALSE(readWholeFile(dir.path().string().c_str()));
  EXPECT_FALSE(readWholeFile(""));
}

#ifndef _WIN32  // POSIX only: FIFOs
TEST(ReadWholeFilePosix, AFifoIsRefusedWithoutWaitingForAWriter) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.obj");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(test::runInChildWithin(10, [&] { return readWholeFile(fifo.c_str()) ? 1 : 0; }), 0);
  EXPECT_FALSE(readWholeFile("/dev/null"));
}
#endif

}  // namespace
}  // namespace mevrix::common
