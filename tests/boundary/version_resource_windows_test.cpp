// The version resource of the built DLL and mevrix.exe, read back from the files the way Windows
// shows it in their properties.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

struct VersionedFile {
  const char* path;
  const char* fileName;
};

// A string of the resource's US English, Unicode block, or "" when there is none.
std::string stringValue(const std::vector<char>& resource, const char* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(resource.data(), key.c_str(), &value, &length) || length == 0) return "";
  return static_cast<const char*>(value);
}

TEST(VersionResource, NamesTheProductAndItsVersion) {
  for (const VersionedFile file : {VersionedFile{MEVRIX_LIBRARY_PATH, "mevrix.dll"},
                                   VersionedFile{MEVRIX_HOST_PATH, "mevrix.exe"}}) {
    SCOPED_TRACE(file.path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.path, &ignored);
    ASSERT_NE(size, 0u) << "no version resource (error " << GetLastError() << ")";
    std::vector<char> resource(size);
    ASSERT_TRUE(GetFileVersionInfoA(file.path, 0, size, resource.data()));

    void* fixed = nullptr;
    UINT fixedLength = 0;
    ASSERT_TRUE(VerQueryValueA(resource.data(), "\\", &fixed, &fixedLength));
    ASSERT_GE(fixedLength, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(9, 4));  // 4.9, shown as 4.09 below
    EXPECT_EQ(info->dwProductVersionMS, MAKELONG(9, 4));

    EXPECT_EQ(stringValue(resource, "FileVersion"), "4.09");
    EXPECT_EQ(stringValue(resource, "ProductVersion"), "4.09");
    EXPECT_EQ(stringValue(resource, "ProductName"), "Mevrix");
    EXPECT_EQ(stringValue(resource, "OriginalFilename"), file.fileName);
    EXPECT_NE(stringValue(resource, "FileDescription"), "");
  }
}

}  // namespace
