// File identity on Windows: the volume serial number and file index tell files apart and
// recognise one file under any spelling, where the C runtime's st_ino (always 0) cannot.

#include "platform/file_identity.h"

#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/file_open.h"
#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

using File = FileHandle;

TEST(WindowsFileIdentity, TellsFilesApartAndKnowsOneFileUnderEverySpelling) {
  test::TempDir dir;
  const std::string folder = dir.path().string();
  const std::string file = dir.write("Mesh.obj", "a");
  const std::string other = dir.write("other.obj", "b");
  std::filesystem::create_directory(dir.path() / "sub");

  const auto identity = identityOf(file.c_str());
  ASSERT_TRUE(identity);
  EXPECT_NE(identityOf(other.c_str()), identity);
  for (const std::string& spelling : {folder + "\\MESH.OBJ", folder + "\\.\\mesh.obj",
                                      folder + "\\sub\\..\\Mesh.obj", folder + "/Mesh.obj"}) {
    EXPECT_EQ(identityOf(spelling.c_str()), identity) << spelling;
  }
  ASSERT_TRUE(CreateHardLinkA(dir.file("link.obj").c_str(), file.c_str(), nullptr));
  EXPECT_EQ(identityOf(dir.file("link.obj").c_str()), identity);

  const File open(openForReading(file.c_str()));
  ASSERT_TRUE(open);
  EXPECT_EQ(identityOf(open.get()), identity);
}

TEST(WindowsFileIdentity, ExaminesAFileThatAnotherProgramHoldsExclusively) {
  test::TempDir dir;
  const std::string file = dir.write("locked.obj", "a");
  const auto identity = identityOf(file.c_str());
  ASSERT_TRUE(identity);
  const HANDLE locked = CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(File(openForReading(file.c_str())));  // a handle that shares nothing keeps
  EXPECT_EQ(identityOf(file.c_str()), identity);     // readers out, but not a look at the file
  CloseHandle(locked);
}

TEST(WindowsFileIdentity, NothingForWhatIsNotThere) {
  test::TempDir dir;
  EXPECT_FALSE(identityOf(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(identityOf(dir.file("missing").c_str()));
  EXPECT_TRUE(identityOf(dir.path().string().c_str()));  // a folder has an identity too
}

}  // namespace
}  // namespace mevrix::platform
