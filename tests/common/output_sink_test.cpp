#include "common/output_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "support/process.h"
#endif

namespace mevrix::common {
namespace {

using platform::WriteMode;

TEST(OutputSink, KeepsEverythingInMemory) {
  OutputSink sink;
  sink.put("count=\"");
  sink.putInt(-12);
  sink.put('"');
  sink.putLineEnd();
  sink.putG6(0.1234567);
  sink.put(std::string_view());  // empty, with a null pointer
  const std::string large(100000, 'x');
  sink.putLine(large);
  EXPECT_TRUE(sink.finish());
  std::string expected = "count=\"-12\"";
  expected.append(kLineEnd).append("0.123457").append(large).append(kLineEnd);
  EXPECT_EQ(sink.contents(), expected);
}

TEST(OutputSink, WritesLargeAndSmallPiecesToAFileInOrder) {
  test::TempDir dir;
  const std::string path = dir.file("out.txt");
  std::string expected;
  {
    auto file = OutputFile::open(path.c_str(), WriteMode::truncate);
    ASSERT_TRUE(file);
    OutputSink sink(*file);
    // Enough small pieces to fill the buffer several times, between blocks larger than it.
    for (int i = 0; i < 300000; ++i) {
      sink.putInt(i);
      sink.put(' ');
      expected += std::to_string(i) + ' ';
      if (i % 75000 == 0) {
        const std::string block(700000, static_cast<char>('a' + i % 26));
        sink.put(block);
        expected += block;
      }
    }
    char* p = sink.reserve(3);
    p[0] = 'e', p[1] = 'n', p[2] = 'd';
    sink.commit(p + 3);
    expected += "end";
    EXPECT_TRUE(sink.finish());
    EXPECT_TRUE(file->close());
  }
  EXPECT_TRUE(test::readFile(path) == expected);  // megabytes: not printed on a mismatch
}

TEST(OutputSink, AppendsBehindExistingContents) {
  test::TempDir dir;
  const std::string path = dir.write("out.obj", "kept\n");
  auto file = OutputFile::open(path.c_str(), WriteMode::append);
  ASSERT_TRUE(file);
  OutputSink sink(*file);
  sink.put("added");
  EXPECT_TRUE(sink.finish());
  EXPECT_TRUE(file->close());
  EXPECT_EQ(test::readFile(path), "kept\nadded");
}

#ifndef _WIN32  // POSIX only: /dev/full
TEST(OutputSink, ReportsAFullDisk) {
  // Every write to /dev/full fails; small output only shows at the flush or close.
  {
    auto file = OutputFile::open("/dev/full", WriteMode::truncate);
    ASSERT_TRUE(file);
    OutputSink sink(*file);
    sink.put("tiny");
    const bool finished = sink.finish();
    const bool closed = file->close();
    EXPECT_FALSE(finished && closed);
  }
  {
    auto file = OutputFile::open("/dev/full", WriteMode::truncate);
    ASSERT_TRUE(file);
    OutputSink sink(*file);
    sink.put(std::string(3 << 20, 'x'));
    EXPECT_FALSE(sink.finish());
    EXPECT_FALSE(file->close());
  }
}
#endif

TEST(OutputFile, AFailedAppendLeavesTheFileAsItWasUnlessAnotherProgramAppendedSince) {
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nothing: no file yet
    const char* appendedMeanwhile;      // by another program, after the failed write
    std::optional<std::string> after;
  };
  const Case cases[] = {
      {"a file this append made", std::nullopt, "", std::nullopt},
      {"a file that was there", "kept\n", "", "kept\n"},
      {"another program's append", "kept\n", "theirs\n", "kept\naddtheirs\n"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    const std::string path = c.before ? dir.write("out.obj", *c.before) : dir.file("out.obj");
    auto file = OutputFile::open(path.c_str(), WriteMode::append);
    ASSERT_TRUE(file) << c.name;
    OutputFile::limitWritesForTesting(3);
    EXPECT_FALSE(file->write("added", 5)) << c.name;
    OutputFile::limitWritesForTesting(std::nullopt);
    if (*c.appendedMeanwhile) {
      auto other = OutputFile::open(path.c_str(), WriteMode::append);
      ASSERT_TRUE(other && other->write(c.appendedMeanwhile, 7) && other->close()) << c.name;
    }
    EXPECT_FALSE(file->close()) << c.name;
    EXPECT_EQ(std::filesystem::exists(path), c.after.has_value()) << c.name;
    if (c.after) {
      EXPECT_EQ(test::readFile(path), *c.after) << c.name;
    }
  }
}

TEST(OutputFile, CannotOpenAFolderOrAMissingDirectory) {
  test::TempDir dir;
  EXPECT_FALSE(OutputFile::open(dir.path().string().c_str(), WriteMode::truncate));
  EXPECT_FALSE(OutputFile::open(dir.file("no/such/file").c_str(), WriteMode::truncate));
  EXPECT_FALSE(OutputFile::openReplacing(dir.path().string().c_str(), std::nullopt));
  EXPECT_FALSE(OutputFile::openReplacing(dir.file("no/such/file").c_str(), std::nullopt));
}

#ifndef _WIN32  // POSIX only: permissions, and a child process that gives up root
TEST(OutputFilePosix, ANewFileHasTheModeOfAnyNewFileAndAReplacedOneKeepsItsOwn) {
  test::TempDir dir;
  const std::string replaced = dir.write("old.txt", "old");
  chmod(replaced.c_str(), 0604);
  const mode_t umaskBefore = umask(027);
  for (const auto& [path, mode] : {std::pair{dir.file("new.txt"), 0640u}, {replaced, 0604u}}) {
    auto file = OutputFile::openReplacing(path.c_str(), std::nullopt);
    ASSERT_TRUE(file && file->write("new", 3) && file->close()) << path;
    struct stat info;
    EXPECT_TRUE(stat(path.c_str(), &info) == 0 && (info.st_mode & 07777) == mode) << path;
  }
  umask(umaskBefore);
}

TEST(OutputFilePosix, WhereNoNewFileCanBeMadeBesideItTheCompleteFileIsCopiedOverTheOld) {
  test::TempDir dir;
  const std::string path = dir.write("out.txt", "old contents");
  const std::string input = dir.write("in.txt", "being read");
  chmod(path.c_str(), 0666);
  chmod(input.c_str(), 0666);
  chmod(dir.path().c_str(), 0555);
  const int result = test::runInChildWithin(10, [&] {
    // Root may write in any folder; another user may not write in this one.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 9;
    auto file = OutputFile::openReplacing(path.c_str(), std::nullopt);
    if (!file || !file->write("new", 3) || !file->close()) return 1;
    // The file being read is written over only in close(), once it has been read.
    auto self = OutputFile::openReplacing(input.c_str(), platform::identityOf(input.c_str()));
    if (!self || test::readFile(input) != "being read") return 2;
    return self->write("rewritten", 9) && self->close() ? 0 : 3;
  });
  chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(test::readFile(path), "new");
  EXPECT_EQ(test::readFile(input), "rewritten");
}
#endif

}  // namespace
}  // namespace mevrix::common
