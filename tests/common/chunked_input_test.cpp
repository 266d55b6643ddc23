// The chunked input: lines and their offsets across window boundaries, further passes, reads at an
// offset, sources that fail or change, and opening files.

#include "common/chunked_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_input.h"
#include "support/stand_in_source.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "support/process.h"
#endif

namespace mevrix::common {
namespace {

using Lines = std::vector<std::string>;

// The lines of `text`, each with its offset, read with the given window and chunk sizes.
Lines linesOf(std::string_view text, std::size_t window = ChunkedInput::kDefaultWindow,
              std::size_t chunk = 1 << 20) {
  test::MemoryInput memory(text, window, chunk);
  Lines lines;
  std::string_view line;
  while (memory.input.nextLine(line)) {
    lines.push_back(std::to_string(memory.input.lineOffset()) + ":" + std::string(line));
  }
  return lines;
}

TEST(ChunkedInput, SplitsAtLineFeedsAndDropsOneCarriageReturnBeforeThemInAnyWindow) {
  const struct {
    std::string_view text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"0:a"}},
      {"a\n", {"0:a"}},
      {"a\nb", {"0:a", "2:b"}},
      {"a\r\nb\r\n", {"0:a", "3:b"}},
      {"\n\n", {"0:", "1:"}},
      {"\r\n", {"0:"}},
      // Only the one carriage return just before the feed goes; others are part of the line.
      {"a\r\r\n", {"0:a\r"}},
      {"a\rb\n", {"0:a\rb"}},
      {"a\r", {"0:a\r"}},
      {std::string_view("a\0b\nc", 5), {std::string("0:a\0b", 5), "4:c"}},
      // Lines longer than the window, and a window that ends on a carriage return.
      {"abcdefghij\r\nklmnopqrstuvwxyz\nz", {"0:abcdefghij", "12:klmnopqrstuvwxyz", "29:z"}},
  };
  for (const auto& c : cases) {
    for (std::size_t window : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                               ChunkedInput::kDefaultWindow}) {
      for (std::size_t chunk : {1, 2, 5, 1 << 20}) {
        EXPECT_EQ(linesOf(c.text, window, chunk), c.lines)
            << "window " << window << ", chunk " << chunk << ": \"" << c.text << '"';
      }
    }
  }
}

TEST(ChunkedInput, RewindsToALineForAFurtherPassAndReadsAtOffsets) {
  const std::string text = "first\nsecond\r\nthird";
  test::MemoryInput memory(text, 4, 3);
  std::string_view line;
  ASSERT_TRUE(memory.input.nextLine(line));
  ASSERT_TRUE(memory.input.nextLine(line));
  const std::uint64_t second = memory.input.lineOffset();
  ASSERT_TRUE(memory.input.nextLine(line));
  EXPECT_FALSE(memory.input.nextLine(line));
  memory.input.rewind(second);
  ASSERT_TRUE(memory.input.nextLine(line));
  EXPECT_EQ(line, "second");
  EXPECT_EQ(memory.input.lookahead().substr(0, 8), "second\r\n");

  char bytes[5];
  memory.input.readAt(8, bytes, 5);
  EXPECT_EQ(std::string_view(bytes, 5), "cond\r");
  memory.input.readAt(text.size(), bytes, 0);
  EXPECT_THROW(memory.input.readAt(text.size() - 2, bytes, 3), ReadError);
}

// Reads every line, then every line again; true when nothing was wrong.
bool readTwice(ByteSource& source) {
  ChunkedInput input(source, 4);
  std::string_view line;
  for (int pass = 0; pass < 2; ++pass) {
    input.rewind();
    while (input.nextLine(line)) {
    }
  }
  return true;
}

TEST(ChunkedInput, AReadErrorOrASourceThatChangedIsAReadErrorNeverAnEnd) {
  const std::string text = "v 1 2 3\nv 4 5 6\n";
  const std::string shorter = text.substr(0, 8);
  const std::string longer = text + "f 1 2 3\n";
  test::StandInSource same(text, text);
  EXPECT_TRUE(readTwice(same));
  for (int failing : {1, 2, 4}) {
    test::StandInSource failingSource(text, text, failing);
    EXPECT_THROW(readTwice(failingSource), ReadError) << failing;
  }
  test::StandInSource shrinking(text, shorter);
  EXPECT_THROW(readTwice(shrinking), ReadError);
  test::StandInSource growing(text, longer);
  EXPECT_THROW(readTwice(growing), ReadError);
  // A read of 0 bytes before the size's end fails; waiting for more would never end.
  test::StandInSource overstated(text, text, 0, 4096);
  EXPECT_THROW(readTwice(overstated), ReadError);
}

TEST(ChunkedInput, ALineLongerThanTheLargestBufferCannotBeRead) {
  const std::string text(ChunkedInput::kMaxLine + 1, 'x');
  test::MemoryInput memory(text);
  std::string_view line;
  EXPECT_THROW(memory.input.nextLine(line), ReadError);
}

TEST(FileSource, ReadsEveryByteOfARegularFile) {
  test::TempDir dir;
  std::string contents;
  for (int i = 0; i < 300000; ++i) contents += static_cast<char>(i % 7 == 0 ? '\n' : 'a' + i % 26);
  const auto path = dir.write("data.obj", contents);
  std::optional<FileSource> file = FileSource::open(path.c_str());
  ASSERT_TRUE(file);
  EXPECT_TRUE(file->identity());
  ChunkedInput input(*file);
  std::string read;
  std::string_view line;
  while (input.nextLine(line)) (read += line) += '\n';
  EXPECT_EQ(read, contents);
}

TEST(FileSource, RefusesWhatIsNotARegularFile) {
  test::TempDir dir;
  EXPECT_FALSE(FileSource::open(dir.file("missing.obj").c_str()));
  EXPECT_FALSE(FileSource::open(dir.path().string().c_str()));
  EXPECT_FALSE(FileSource::open(""));
}

#ifndef _WIN32  // POSIX only: FIFOs
TEST(FileSourcePosix, AFifoIsRefusedWithoutWaitingForAWriter) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.obj");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(test::runInChildWithin(10, [&] { return FileSource::open(fifo.c_str()) ? 1 : 0; }), 0);
  EXPECT_FALSE(FileSource::open("/dev/null"));
}
#endif

}  // namespace
}  // namespace mevrix::common
