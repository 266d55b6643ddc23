// Every export that writes a file, failing part-way through its output (a disk that fills up):
// the file it was to write keeps exactly the bytes it held, and nothing is left beside it.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/output_sink.h"
#include "meshtools/sculpt_test_meshes.h"
#include "mevrix/exports.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/file_identity.h"
#else
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include "platform/file_replace.h"
#include "support/process.h"
#endif

namespace mevrix::boundary {
namespace {

using test::readFile;
using test::TempDir;

using Export = float (*)(const char*, double, char*, int);

struct OutputExport {
  const char* name;
  Export function;
  double value;
  float failure;  // the result of a failed write
};

constexpr OutputExport kOutputExports[] = {
    {"writeCollada", writeCollada, 2, -2}, {"writeColladaTris", writeColladaTris, 2, -2},
    {"OBJtoSculpty", OBJtoSculpty, 0, -4}, {"ScaleUVs", ScaleUVs, 0.5, -2},
    {"AppendOBJ", AppendOBJ, 0, -2},       {"FileCopyTo", FileCopyTo, 0, -1},
};

constexpr std::string_view kOldBytes = "old bytes\n";
// What every output gets written before its writes fail: a small part of each.
constexpr std::uint64_t kRoom = 8192;

// A folder with a grid mesh (its every output is several times kRoom) and an output file that
// holds kOldBytes.
struct Folder {
  TempDir dir;
  std::string input = dir.write("grid.obj", test::gridObj(40, 40));
  std::string output = dir.write("out.file", kOldBytes);

  float call(const OutputExport& e) const {
    std::string buffer = output;
    GroupListClear(nullptr, 0, nullptr, 0);
    return e.function(input.c_str(), e.value, buffer.data(), static_cast<int>(buffer.size() + 1));
  }

  // The output as it was, and nothing but the two files in the folder.
  void expectUntouched(const OutputExport& e) const {
    EXPECT_TRUE(readFile(output) == kOldBytes) << e.name;  // not megabytes of a cut-off file
    expectNoStrayFile(e);
  }
  void expectNoStrayFile(const OutputExport& e) const {
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << e.name;
  }
};

// Where a failure strikes: while it lives, writes through the library fail once `room` bytes
// have been written, or every close fails (as a flush or a close reporting a late error does).
struct Failure {
  const char* name;
  std::optional<std::uint64_t> room;
  bool atClose = false;
};

struct Failing {
  explicit Failing(const Failure& failure) {
    common::OutputFile::limitWritesForTesting(failure.room);
    common::OutputFile::failClosesForTesting(failure.atClose);
  }
  ~Failing() {
    common::OutputFile::limitWritesForTesting(std::nullopt);
    common::OutputFile::failClosesForTesting(false);
  }
};

TEST(FailedOutput, AFailingWriteFlushOrCloseLeavesTheOutputAsItWas) {
  for (const OutputExport& e : kOutputExports) {
    // The bytes a successful call writes; the last of them go out when the sink is finished.
    const Folder succeeded;
    EXPECT_GE(succeeded.call(e), 0.0f) << e.name;
    const std::uint64_t written = readFile(succeeded.output).size() -
                                  (std::string_view(e.name) == "AppendOBJ" ? kOldBytes.size() : 0);
    const Failure failures[] = {
        {"while writing", kRoom}, {"at the last flush", written - 1}, {"at the close", {}, true}};
    for (const Failure& failure : failures) {
      const Folder folder;
      {
        const Failing failing(failure);
        EXPECT_EQ(folder.call(e), e.failure) << e.name << " " << failure.name;
      }
      folder.expectUntouched(e);
    }
  }
}

#ifndef _WIN32  // POSIX only: a file-size limit in a child process, as a full disk
TEST(FailedOutputPosix, AFullDiskLeavesTheOutputAsItWas) {
  for (const bool named : {false, true}) {  // also where new files have a name from the start
    platform::useNamedNewFilesForTesting(named);
    for (const OutputExport& e : kOutputExports) {
      const Folder folder;
      const int result = test::runInChildWithin(20, [&] {
        test::limitFileSize(kRoom);
        return -static_cast<int>(folder.call(e));
      });
      EXPECT_EQ(result, -static_cast<int>(e.failure)) << e.name;
      folder.expectUntouched(e);
    }
  }
  platform::useNamedNewFilesForTesting(false);
}

TEST(FailedOutputPosix, ADanglingLinkGetsTheFileItNamesOnlyWhenTheCallSucceeds) {
  for (const OutputExport& e : kOutputExports) {
    const Folder folder;
    std::filesystem::remove(folder.output);
    std::filesystem::create_symlink("named.file", folder.output);
    {
      const Failing failing({"while writing", kRoom});
      EXPECT_EQ(folder.call(e), e.failure) << e.name;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder.output)) << e.name;
    folder.expectNoStrayFile(e);  // nothing made where the link leads
    EXPECT_GE(folder.call(e), 0.0f) << e.name;
    EXPECT_TRUE(std::filesystem::is_symlink(folder.output)) << e.name;
    EXPECT_GT(std::filesystem::file_size(folder.dir.file("named.file")), 0u) << e.name;
  }
}

TEST(FailedOutputPosix, AHostKilledWhileWritingLeavesNothingBehind) {
  for (const OutputExport& e : kOutputExports) {
    const Folder folder;
    // Past the file-size limit the system ends the process, as a user ending the host would.
    const int result = test::runInChildWithin(20, [&] {
      const rlimit limit{kRoom, kRoom};
      setrlimit(RLIMIT_FSIZE, &limit);
      return -static_cast<int>(folder.call(e));
    });
    EXPECT_EQ(result, -1) << e.name;  // killed
    // An append cannot be cut back by a process that no longer runs.
    if (std::string_view(e.name) != "AppendOBJ") folder.expectUntouched(e);
    folder.expectNoStrayFile(e);
  }
}

// Outputs that are more than a file of the caller's own in a folder of the caller's own. For
// every writing export: the result, and that the file keeps its every name, owner, group, mode,
// access list and attribute, with no stray file beside it.
namespace targets {

constexpr uid_t kOtherUser = 65534;    // the caller, in the rows run as another user
constexpr uid_t kOwner = 65533;        // the owner of another user's files
constexpr gid_t kSharedGroup = 65532;  // a group that the other user is in

enum class Outcome {
  refused,      // the failure result, and the file as it was
  replaced,     // the new bytes, and the file's rights as they were
  writtenOver,  // the same, and still the same file (inode)
};

// Where the export writes, and how its child process reaches it.
struct Output {
  std::string path;         // as the export gets it
  std::string inspected;    // where the test examines the file afterwards
  int workingFolder = -1;   // the child's current folder, when not the test's
  std::string mountedFrom;  // a file the child binds over `path` first
};

struct Target {
  const char* name;
  Outcome outcome;
  bool asOtherUser;
  // Makes the output in `dir`, holding kOldBytes; a reason when this machine cannot.
  std::string (*make)(const TempDir& dir, Output& out);
};

std::string plainFile(const TempDir& dir, Output& out, mode_t mode, uid_t owner, gid_t group) {
  out.path = out.inspected = dir.write("out.file", kOldBytes);
  if (chmod(out.path.c_str(), mode) != 0 || chown(out.path.c_str(), owner, group) != 0) {
    return "cannot give a file away here";
  }
  return "";
}

// A POSIX access list as its extended attribute holds it: 0640 and read-write for "nobody".
std::string accessList() {
  const std::uint16_t entries[][4] = {{0x01, 6, 0xFFFF, 0xFFFF},   // owner
                                      {0x02, 6, 65534, 0},         // nobody
                                      {0x04, 4, 0xFFFF, 0xFFFF},   // group
                                      {0x10, 6, 0xFFFF, 0xFFFF},   // mask
                                      {0x20, 0, 0xFFFF, 0xFFFF}};  // others
  std::string bytes("\2\0\0\0", 4);  // version 2, then little-endian entries
  bytes.append(reinterpret_cast<const char*>(entries), sizeof entries);
  return bytes;
}

std::string withAttribute(const TempDir& dir, Output& out, const char* name, std::string value) {
  plainFile(dir, out, 0640, geteuid(), getegid());
  if (setxattr(out.path.c_str(), name, value.data(), value.size(), 0) != 0) {
    return std::string("no ") + name + " here";
  }
  return "";
}

std::string deepFolder(const TempDir& dir, Output& out) {
  // Relative to its parent, each folder of a path longer than PATH_MAX.
  int folder = open(dir.path().c_str(), O_PATH | O_DIRECTORY);
  for (int depth = 0; depth < PATH_MAX / 200 + 1; ++depth) {
    const std::string name(200, 'd');
    mkdirat(folder, name.c_str(), 0755);
    const int inner = openat(folder, name.c_str(), O_PATH | O_DIRECTORY);
    close(folder);
    folder = inner;
  }
  out.workingFolder = folder;  // kept open while the test runs
  out.path = "out.file";
  out.inspected = "/proc/self/fd/" + std::to_string(folder) + "/out.file";
  const int file = openat(folder, "out.file", O_WRONLY | O_CREAT, 0644);
  write(file, kOldBytes.data(), kOldBytes.size());
  close(file);
  return "";
}

const Target kTargets[] = {
    {"another user's private file", Outcome::refused, true,
     [](const TempDir& d, Output& o) { return plainFile(d, o, 0600, kOwner, kOwner); }},
    {"a read-only file of the caller's", Outcome::refused, true,
     [](const TempDir& d, Output& o) { return plainFile(d, o, 0444, kOtherUser, kOtherUser); }},
    {"another user's file in a group of the caller's", Outcome::writtenOver, true,
     [](const TempDir& d, Output& o) { return plainFile(d, o, 0664, kOwner, kSharedGroup); }},
    {"another user's file in a sticky folder", Outcome::writtenOver, true,
     [](const TempDir& d, Output& o) {
       chmod(d.path().c_str(), 01777);
       return plainFile(d, o, 0666, kOwner, kOwner);
     }},
    {"a file in a folder that may not be written", Outcome::writtenOver, true,
     [](const TempDir& d, Output& o) {
       const std::string reason = plainFile(d, o, 0644, kOtherUser, kOtherUser);
       chmod(d.path().c_str(), 0555);
       return reason;
     }},
    {"set-id and sticky bits", Outcome::replaced, false,
     [](const TempDir& d, Output& o) { return plainFile(d, o, 07755, geteuid(), getegid()); }},
    {"an access list", Outcome::replaced, false,
     [](const TempDir& d, Output& o) {
       return withAttribute(d, o, "system.posix_acl_access", accessList());
     }},
    {"an extended attribute", Outcome::replaced, false,
     [](const TempDir& d, Output& o) { return withAttribute(d, o, "user.note", "kept"); }},
    {"a file with a second name", Outcome::writtenOver, false,
     [](const TempDir& d, Output& o) {
       plainFile(d, o, 0644, geteuid(), getegid());
       return link(o.path.c_str(), d.file("second.name").c_str()) == 0 ? std::string()
                                                                       : "no hard links";
     }},
    {"a file mounted over its name", Outcome::writtenOver, false,
     [](const TempDir& d, Output& o) {
       plainFile(d, o, 0644, geteuid(), getegid());
       o.mountedFrom = o.inspected = d.write("mounted.file", kOldBytes);
       return std::string();
     }},
    {"a folder deeper than PATH_MAX", Outcome::replaced, false, deepFolder},
    {"a path of 4,090 characters", Outcome::replaced, false,
     [](const TempDir& d, Output& o) {
       // Named as the other outputs are: a document's ids come from its name.
       constexpr std::size_t kFolderLength = 4090 - std::string_view("/out.file").size();
       std::string folder = d.path().string();
       while (folder.size() + 201 < kFolderLength) folder += "/" + std::string(200, 'p');
       folder += "/" + std::string(kFolderLength - folder.size() - 1, 'q');
       std::filesystem::create_directories(folder);
       o.path = o.inspected = folder + "/out.file";
       std::ofstream(o.path, std::ios::binary) << kOldBytes;
       return std::string();
     }},
    {"a FIFO without a reader", Outcome::refused, false,
     [](const TempDir& d, Output& o) {
       o.path = o.inspected = d.file("out.fifo");
       return mkfifo(o.path.c_str(), 0644) == 0 ? std::string() : "no FIFOs";
     }},
};

// What the test compares of a file before and after a call.
struct Snapshot {
  std::string bytes;
  struct stat status {};
  std::map<std::string, std::string> attributes;
  std::set<std::string> neighbours;  // the names in its folder
};

Snapshot snapshot(const std::string& path) {
  Snapshot shot;
  lstat(path.c_str(), &shot.status);
  if (S_ISREG(shot.status.st_mode)) shot.bytes = readFile(path);
  char names[4096];
  const ssize_t size = llistxattr(path.c_str(), names, sizeof names);
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    char value[4096];
    const ssize_t length = lgetxattr(path.c_str(), names + at, value, sizeof value);
    shot.attributes[names + at] = std::string(value, length > 0 ? length : 0);
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    shot.neighbours.insert(entry.path().filename().string());
  }
  return shot;
}

// Runs the export in a child process, as another user or inside its own mounts where the row
// asks; the result, or a reason why this machine cannot run it.
std::optional<float> callInChild(const OutputExport& e, const std::string& input,
                                 const Target& target, const Output& out, std::string& reason) {
  constexpr int kCannot = 255;
  const int code = test::runInChildWithin(20, [&] {
    if (out.workingFolder >= 0 && fchdir(out.workingFolder) != 0) return kCannot;
    if (!out.mountedFrom.empty() &&
        (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
         mount(out.mountedFrom.c_str(), out.path.c_str(), nullptr, MS_BIND, nullptr) != 0)) {
      return kCannot;
    }
    const gid_t groups[] = {kSharedGroup};
    if (target.asOtherUser &&
        (setgroups(1, groups) != 0 || setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0)) {
      return kCannot;
    }
    std::string buffer = out.path;
    GroupListClear(nullptr, 0, nullptr, 0);
    const float result =
        e.function(input.c_str(), e.value, buffer.data(), static_cast<int>(buffer.size() + 1));
    return static_cast<int>(result) + 100;  // -100 to 154
  });
  if (code == kCannot) reason = "cannot mount or change user here";
  if (code < 0 || code == kCannot) return std::nullopt;
  return static_cast<float>(code - 100);
}

TEST(FailedOutputPosix, EveryKindOfOutputKeepsWhatItHasButItsContents) {
  const TempDir inputs;
  const std::string input = inputs.write("grid.obj", test::gridObj(4, 4));
  chmod(inputs.path().c_str(), 0755);
  for (const OutputExport& e : kOutputExports) {
    // The bytes the export gives an output of the caller's own.
    const TempDir plain;
    const Target own{"", Outcome::replaced, false, nullptr};
    Output reference;
    plainFile(plain, reference, 0644, geteuid(), getegid());
    std::string unused;
    const std::optional<float> expectedResult = callInChild(e, input, own, reference, unused);
    const std::string expected = readFile(reference.path);
    for (const Target& target : kTargets) {
      const TempDir dir;
      chmod(dir.path().c_str(), 0777);
      Output out;
      std::string reason = geteuid() == 0 || !target.asOtherUser ? "" : "not run as root";
      if (reason.empty()) reason = target.make(dir, out);
      const Snapshot before = snapshot(out.inspected);
      const std::optional<float> result =
          reason.empty() ? callInChild(e, input, target, out, reason) : std::nullopt;
      if (!reason.empty()) {
        std::cout << "skipped: " << e.name << " onto " << target.name << ": " << reason << "\n";
      } else {
        const Snapshot after = snapshot(out.inspected);
        const std::string row = std::string(e.name) + " onto " + target.name;
        const bool refused = target.outcome == Outcome::refused;
        EXPECT_EQ(result, refused ? e.failure : expectedResult) << row;
        EXPECT_TRUE(after.bytes == (refused ? before.bytes : expected)) << row;
        EXPECT_EQ(after.status.st_mode, before.status.st_mode) << row;
        EXPECT_EQ(after.status.st_uid, before.status.st_uid) << row;
        EXPECT_EQ(after.status.st_gid, before.status.st_gid) << row;
        EXPECT_EQ(after.attributes, before.attributes) << row;
        EXPECT_EQ(after.neighbours, before.neighbours) << row;
        if (target.outcome != Outcome::replaced) {
          EXPECT_EQ(after.status.st_ino, before.status.st_ino) << row;
        }
      }
      if (out.workingFolder >= 0) {
        close(out.workingFolder);
        test::runProcess("/bin/rm", {"-rf", dir.path().string()});  // deeper than PATH_MAX
      }
    }
  }
}

}  // namespace targets
#endif

#ifdef _WIN32  // Windows only: attributes and hard links as the system keeps them
TEST(FailedOutputWindows, AReplacedFileKeepsItsAttributesAndNames) {
  enum class Outcome { refused, replaced, writtenOver };
  struct Target {
    const char* name;
    DWORD attributes;
    bool secondName;
    Outcome outcome;
  };
  const Target targets[] = {
      {"a read-only file", FILE_ATTRIBUTE_READONLY, false, Outcome::refused},
      {"a hidden file", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, false, Outcome::replaced},
      {"a file with a second name", FILE_ATTRIBUTE_ARCHIVE, true, Outcome::writtenOver},
  };
  for (const OutputExport& e : kOutputExports) {
    const Folder plain;
    const float expectedResult = plain.call(e);
    const std::string expected = readFile(plain.output);
    for (const Target& target : targets) {
      const Folder folder;
      const std::string row = std::string(e.name) + " onto " + target.name;
      if (target.secondName) {
        ASSERT_TRUE(
            CreateHardLinkA(folder.dir.file("second").c_str(), folder.output.c_str(), nullptr))
            << row;
      }
      SetFileAttributesA(folder.output.c_str(), target.attributes);
      const DWORD attributes = GetFileAttributesA(folder.output.c_str());
      const auto before = platform::identityOf(folder.output.c_str());
      const bool refused = target.outcome == Outcome::refused;
      EXPECT_EQ(folder.call(e), refused ? e.failure : expectedResult) << row;
      EXPECT_EQ(GetFileAttributesA(folder.output.c_str()), attributes) << row;
      SetFileAttributesA(folder.output.c_str(), FILE_ATTRIBUTE_NORMAL);  // to read and remove it
      EXPECT_TRUE(readFile(folder.output) == (refused ? std::string(kOldBytes) : expected)) << row;
      if (target.outcome != Outcome::replaced) {
        EXPECT_EQ(platform::identityOf(folder.output.c_str()), before) << row;
      }
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.dir.path()), {}),
                target.secondName ? 3 : 2)
          << row;
    }
  }
}
#endif

}  // namespace
}  // namespace mevrix::boundary
