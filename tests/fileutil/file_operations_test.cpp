// Deleting, renaming, copying and emptying on temporary trees. Symbolic and hard links, FIFOs
// and resource limits are POSIX-only and kept in test cases of their own; the Windows behaviour
// has its own tests (file_operations_windows_test.cpp).

#include "fileutil/file_operations.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "common/path.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/process.h"
#endif

namespace mevrix::fileutil {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;

// The names in a folder, sub-folders' entries as "sub/name".
std::set<std::string> tree(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    names.insert(entry.path().lexically_relative(folder).generic_string());
  }
  return names;
}

// Bytes that text-mode handling or a string copy would change.
std::string awkwardBytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return bytes;
}

// ---- Deleting ----------------------------------------------------------------------------

TEST(DeleteFile, DeletesFilesButNeverADirectory) {
  TempDir dir;
  const std::string file = dir.write("doomed.txt", "x");
  EXPECT_TRUE(deleteFile(file.c_str()));
  EXPECT_FALSE(fs::exists(file));
  EXPECT_FALSE(deleteFile(file.c_str()));  // gone already

  fs::create_directory(dir.path() / "empty.d");
  EXPECT_FALSE(deleteFile(dir.file("empty.d").c_str()));
  EXPECT_FALSE(deleteFile((dir.file("empty.d") + "/").c_str()));
  EXPECT_TRUE(fs::is_directory(dir.path() / "empty.d"));
  EXPECT_FALSE(deleteFile(""));
  EXPECT_FALSE(deleteFile(nullptr));
}

// ---- Renaming ----------------------------------------------------------------------------

TEST(RenameFile, MovesTheFileAndRefusesEqualOrMissingPaths) {
  TempDir dir;
  const std::string from = dir.write("old", "contents");
  const std::string to = dir.file("new");
  EXPECT_FALSE(renameFile(from.c_str(), from.c_str()));
  EXPECT_EQ(readFile(from), "contents");
  EXPECT_FALSE(renameFile(nullptr, to.c_str()));
  EXPECT_FALSE(renameFile(from.c_str(), nullptr));

  EXPECT_TRUE(renameFile(from.c_str(), to.c_str()));
  EXPECT_FALSE(fs::exists(from));
  EXPECT_EQ(readFile(to), "contents");
  EXPECT_FALSE(renameFile(from.c_str(), dir.file("again").c_str()));

  // Paths that differ in letter case only are not equal: the system decides.
  EXPECT_TRUE(renameFile(to.c_str(), dir.file("NEW").c_str()));
  EXPECT_EQ(readFile(dir.file("NEW")), "contents");
#ifndef _WIN32
  // Two names of one file, which rename would leave both in place while saying it succeeded.
  fs::create_hard_link(dir.file("NEW"), dir.file("link"));
  EXPECT_FALSE(renameFile(dir.file("NEW").c_str(), dir.file("link").c_str()));
  EXPECT_TRUE(fs::exists(dir.file("NEW")) && fs::exists(dir.file("link")));
#endif
}

// ---- Copying -----------------------------------------------------------------------------

TEST(CopyFile, CopiesEveryByteWhateverTheSizeAgainstTheBlock) {
  TempDir dir;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, kCopyBlockSize - 1, kCopyBlockSize,
                           kCopyBlockSize + 1, 3 * kCopyBlockSize, 3 * kCopyBlockSize + 123}) {
    const std::string bytes = awkwardBytes(size);
    const std::string source = dir.write("source.bin", bytes);
    const std::string destination = dir.file("copy.bin");
    ASSERT_EQ(copyFile(source.c_str(), destination.c_str()), CopyResult::copied) << size;
    EXPECT_EQ(readFile(destination), bytes) << size;
    EXPECT_EQ(readFile(source), bytes) << size;
  }
}

TEST(CopyFile, ALongerDestinationEndsExactlyAsLongAsTheSource) {
  TempDir dir;
  const std::string source = dir.write("short", "abc");
  const std::string destination = dir.write("long", std::string(10000, 'z'));
  ASSERT_EQ(copyFile(source.c_str(), destination.c_str()), CopyResult::copied);
  EXPECT_EQ(readFile(destination), "abc");

  const std::string empty = dir.write("empty", "");
  ASSERT_EQ(copyFile(empty.c_str(), destination.c_str()), CopyResult::copied);
  EXPECT_EQ(fs::file_size(destination), 0u);
}

TEST(CopyFile, ASourceThatCannotBeReadLeavesTheDestinationAlone) {
  TempDir dir;
  const std::string destination = dir.write("precious", "keep me");
  EXPECT_EQ(copyFile(dir.file("missing").c_str(), destination.c_str()),
            CopyResult::sourceNotOpened);
  EXPECT_EQ(readFile(destination), "keep me");

  fs::create_directory(dir.path() / "folder");
  EXPECT_EQ(copyFile(dir.file("folder").c_str(), destination.c_str()), CopyResult::sourceNotOpened);
  EXPECT_EQ(readFile(destination), "keep me");
}

TEST(CopyFile, TheSameFileUnderAnySpellingIsLeftUntouched) {
  TempDir dir;
  fs::create_directory(dir.path() / "sub");
  const std::string source = dir.write("x", "original");
  const std::string folder = dir.path().string();
  const std::string separator(1, common::kPathSeparator);
  EXPECT_EQ(copyFile(source.c_str(), source.c_str()), CopyResult::samePath);
  for (const std::string& other :
       {folder + separator + "." + separator + "x", folder + separator + separator + "x",
        folder + separator + "sub" + separator + ".." + separator + "x"}) {
    EXPECT_EQ(copyFile(source.c_str(), other.c_str()), CopyResult::sameFile) << other;
    EXPECT_EQ(copyFile(other.c_str(), source.c_str()), CopyResult::sameFile) << other;
  }
  EXPECT_EQ(readFile(source), "original");
  EXPECT_EQ(copyFile(nullptr, source.c_str()), CopyResult::missingPath);
  EXPECT_EQ(copyFile(source.c_str(), nullptr), CopyResult::missingPath);
}

TEST(CopyFile, ADestinationThatCannotBeOpenedFails) {
  TempDir dir;
  const std::string source = dir.write("source", "data");
  fs::create_directory(dir.path() / "target.d");
  EXPECT_EQ(copyFile(source.c_str(), dir.file("target.d").c_str()),
            CopyResult::destinationNotOpened);
  EXPECT_TRUE(fs::is_directory(dir.path() / "target.d"));
  EXPECT_EQ(copyFile(source.c_str(), dir.file("no-such-folder/copy").c_str()),
            CopyResult::destinationNotOpened);
  EXPECT_EQ(readFile(source), "data");
}

#ifndef _WIN32  // POSIX only: symbolic links
TEST(CopyFilePosix, SymbolicAndHardLinksToTheSourceAreTheSameFile) {
  TempDir dir;
  const std::string source = dir.write("source", "original");
  const std::string symlink = dir.file("symlink");
  const std::string hardLink = dir.file("hardlink");
  fs::create_symlink(source, symlink);
  fs::create_hard_link(source, hardLink);
  EXPECT_EQ(copyFile(source.c_str(), symlink.c_str()), CopyResult::sameFile);
  EXPECT_EQ(copyFile(symlink.c_str(), source.c_str()), CopyResult::sameFile);
  EXPECT_EQ(copyFile(source.c_str(), hardLink.c_str()), CopyResult::sameFile);
  EXPECT_EQ(copyFile(hardLink.c_str(), symlink.c_str()), CopyResult::sameFile);
  EXPECT_EQ(readFile(source), "original");
  EXPECT_TRUE(fs::is_symlink(symlink));
  EXPECT_EQ(fs::hard_link_count(source), 2u);
}
#endif

#ifndef _WIN32  // POSIX only: symbolic links
TEST(CopyFilePosix, ALinkKeepsLeadingToTheCopyAndOtherHardLinksSeeIt) {
  TempDir dir;
  const std::string source = dir.write("source", "new");
  const std::string target = dir.write("target", "old");
  const std::string symlink = dir.file("symlink");
  const std::string hardLink = dir.file("hardlink");
  fs::create_symlink(target, symlink);
  fs::create_hard_link(target, hardLink);

  // The file a symbolic link leads to is replaced; the link stays.
  ASSERT_EQ(copyFile(source.c_str(), symlink.c_str()), CopyResult::copied);
  EXPECT_TRUE(fs::is_symlink(symlink));
  EXPECT_EQ(readFile(target), "new");
  // A file with two names is written over, so that both keep leading to it.
  EXPECT_EQ(readFile(hardLink), "new");
  const std::string other = dir.write("other", "newer");
  ASSERT_EQ(copyFile(other.c_str(), hardLink.c_str()), CopyResult::copied);
  EXPECT_EQ(readFile(hardLink), "newer");
  EXPECT_EQ(readFile(target), "newer");
}
#endif

#ifndef _WIN32  // POSIX only: FIFOs
TEST(CopyFilePosix, AFifoDestinationIsWrittenAsItIs) {
  TempDir dir;
  const std::string bytes = awkwardBytes(3 * kCopyBlockSize + 5);  // fits in the pipe
  const std::string source = dir.write("source", bytes);
  const std::string fifo = dir.file("pipe.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // A reader that is already there lets the copy open the FIFO without waiting.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(copyFile(source.c_str(), fifo.c_str()), CopyResult::copied);
  std::string received(bytes.size() + 10, '\0');
  const ssize_t got = read(reader, received.data(), received.size());
  close(reader);
  EXPECT_EQ(received.substr(0, got > 0 ? static_cast<std::size_t>(got) : 0), bytes);
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
}
#endif

#ifndef _WIN32  // POSIX only: devices, FIFOs, resource limits, child processes
TEST(CopyFilePosix, OnlyARegularFileIsASourceNeverADeviceOrFifo) {
  TempDir dir;
  const std::string destination = dir.write("precious", "keep me");
  const std::string fifo = dir.file("pipe.fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // An endless device would fill the disk (here only up to a file-size limit, should the copy
  // start); a FIFO without a writer would block for ever.
  const auto copyInChild = [&](const std::string& source) {
    return test::runInChildWithin(10, [&] {
      test::limitFileSize(1 << 20);
      return static_cast<int>(copyFile(source.c_str(), destination.c_str()));
    });
  };
  for (const std::string& source : {std::string("/dev/zero"), std::string("/dev/null"), fifo}) {
    EXPECT_EQ(copyInChild(source), static_cast<int>(CopyResult::sourceNotOpened)) << source;
    EXPECT_TRUE(readFile(destination) == "keep me") << source;  // no megabytes of zeros printed
  }
}
#endif

#ifndef _WIN32  // POSIX only: fork and a file-size limit
TEST(CopyFilePosix, AShortWriteFailsAndLeavesNoDestination) {
  TempDir dir;
  const std::string source = dir.write("source", awkwardBytes(5 * kCopyBlockSize));
  const std::string destination = dir.file("copy");
  constexpr unsigned long kLimit = kCopyBlockSize + kCopyBlockSize / 2;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    test::limitFileSize(kLimit);
    _exit(static_cast<int>(copyFile(source.c_str(), destination.c_str())));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(CopyResult::writeFailed));
  // The part that was written went to a new file, which is gone again.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}
#endif

#ifndef _WIN32  // POSIX only: /proc
TEST(CopyFilePosix, AReadErrorIsNotTakenForTheEnd) {
  // This process's memory file opens, but reading its first page fails.
  if (access("/proc/self/mem", R_OK) != 0) GTEST_SKIP() << "no /proc here";
  TempDir dir;
  const std::string destination = dir.file("copy");
  EXPECT_EQ(copyFile("/proc/self/mem", destination.c_str()), CopyResult::readFailed);
}
#endif

// ---- Emptying a folder -------------------------------------------------------------------

TEST(LooksLikeFileName, TheLastDotOrSeparatorDecides) {
  for (const char* name : {"a.txt", "a.b.c", ".hidden", "..x", "ends.", "a\\b.c"}) {
    EXPECT_TRUE(looksLikeFileName(name)) << name;
  }
  for (const char* name : {"plain", "", "a.b\\c", "a.b/c"}) {
    EXPECT_FALSE(looksLikeFileName(name)) << name;
  }
}

// A folder with files, dotted or not, and sub-directories, dotted or not.
void fillFolder(const TempDir& dir) {
  dir.write("a.txt", "1");
  dir.write("b.c.d", "2");
  dir.write(".hidden", "3");
  dir.write("noext", "4");
  fs::create_directory(dir.path() / "sub");
  dir.write("sub/inner.txt", "5");
  fs::create_directory(dir.path() / "empty.d");
  fs::create_directory(dir.path() / ".dotted");
}

const std::set<std::string> kWhatStays = {"noext", "sub", "sub/inner.txt", "empty.d", ".dotted"};

TEST(EmptyFolder, DeletesDottedFilesOnlyWithOrWithoutATrailingSeparator) {
  for (const std::string& ending : {std::string(), std::string(1, common::kPathSeparator)}) {
    TempDir dir;
    fillFolder(dir);
    ASSERT_TRUE(emptyFolder((dir.path().string() + ending).c_str()));
    EXPECT_EQ(tree(dir.path()), kWhatStays) << "ending '" << ending << "'";
  }
}

TEST(EmptyFolder, EveryDottedFileGoesWhateverItsPlaceOrPathLength) {
  TempDir dir;
  for (int i = 0; i < 40; ++i) dir.write("file" + std::to_string(i) + ".dat", "x");
  // A path of 258 characters: beyond 255, within what Windows takes in a path.
  const std::string longName = std::string(258 - dir.path().string().size() - 5, 'L') + ".txt";
  dir.write(longName, "x");
  ASSERT_EQ(dir.file(longName).size(), 258u);
  ASSERT_TRUE(emptyFolder(dir.path().string().c_str()));
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(EmptyFolder, FailsForAnythingButAReadableFolder) {
  TempDir dir;
  const std::string file = dir.write("file.txt", "x");
  EXPECT_FALSE(emptyFolder(dir.file("missing").c_str()));
  EXPECT_FALSE(emptyFolder(file.c_str()));
  EXPECT_FALSE(emptyFolder(""));
  EXPECT_FALSE(emptyFolder(nullptr));
  EXPECT_EQ(readFile(file), "x");
}

#ifndef _WIN32  // POSIX only: symbolic links, FIFOs, a backslash in a name
TEST(EmptyFolderPosix, OnlyFilesAndLinksGoNeverWhatTheyLeadTo) {
  TempDir dir;
  TempDir elsewhere;
  const std::string outside = elsewhere.write("outside.txt", "kept");
  fs::create_directory(elsewhere.path() / "outside.d");
  fs::create_symlink(outside, dir.path() / "file.lnk");
  fs::create_symlink(elsewhere.path() / "outside.d", dir.path() / "folder.lnk");
  ASSERT_EQ(mkfifo(dir.file("pipe.fifo").c_str(), 0600), 0);
  dir.write("back.slash\\name", "x");  // a backslash after the last dot: not a file name

  ASSERT_TRUE(emptyFolder(dir.path().c_str()));
  EXPECT_EQ(tree(dir.path()), (std::set<std::string>{"pipe.fifo", "back.slash\\name"}));
  EXPECT_EQ(readFile(outside), "kept");
  EXPECT_TRUE(fs::is_directory(elsewhere.path() / "outside.d"));
}
#endif

#ifndef _WIN32  // POSIX only: FIFOs and symbolic links
TEST(DeleteFilePosix, AFifoStaysAndALinkGoesWithoutItsTarget) {
  TempDir dir;
  const std::string fifo = dir.file("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(deleteFile(fifo.c_str()));
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);

  const std::string target = dir.write("target", "kept");
  fs::create_symlink(target, dir.path() / "link");
  fs::create_directory_symlink(dir.path(), dir.path() / "folder-link");
  EXPECT_TRUE(deleteFile(dir.file("link").c_str()));
  EXPECT_TRUE(deleteFile(dir.file("folder-link").c_str()));
  EXPECT_EQ(tree(dir.path()), (std::set<std::string>{"pipe", "target"}));
}
#endif

}  // namespace
}  // namespace mevrix::fileutil
