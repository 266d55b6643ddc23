// The plug-in must expose exactly its exports, under their plain names, and nothing else.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "library.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include "support/process.h"
#endif

namespace {

const std::set<std::string> kExpectedExports = {
    "Version",     "SetDefaultDir", "SetDialogTitle", "GetFileList", "GetDirFileList",
    "GetFileInfo", "OpenFolder",    "GetFile",        "CloseFolder", "FileDelete",
    "FileRename",  "FileCopyTo",    "EmptyFolder",    "setDate",     "setTxrName",
};

#ifdef _WIN32

// The names in the DLL's export table, read from the image the Windows loader mapped. Fails the
// test for an export that has no name (reachable by ordinal only).
std::set<std::string> exportedNames(const std::string& library) {
  std::set<std::string> names;
  const HMODULE module = LoadLibraryA(library.c_str());
  if (!module) {
    ADD_FAILURE() << "cannot load " << library << " (error " << GetLastError() << ")";
    return names;
  }
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (entry.VirtualAddress != 0 && entry.Size != 0) {
    const auto* directory =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    EXPECT_EQ(directory->NumberOfFunctions, directory->NumberOfNames) << "an export has no name";
    const auto* nameAddresses = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
      names.insert(reinterpret_cast<const char*>(base + nameAddresses[i]));
    }
  }
  FreeLibrary(module);
  return names;
}

TEST(ExportedSymbols, TheExportTableHoldsExactlyTheExports) {
  EXPECT_EQ(exportedNames(MEVRIX_LIBRARY_PATH), kExpectedExports);
}

#else

std::set<std::string> exportedNames(const std::string& library) {
  const auto listing = mevrix::test::runProcess("/usr/bin/nm", {"-D", "--defined-only", library});
  EXPECT_EQ(listing.exitCode, 0) << listing.err;
  std::set<std::string> names;
  std::istringstream lines(listing.out);
  std::string line;
  while (std::getline(lines, line)) {
    // "<address> <type> <name>"
    const std::size_t lastSpace = line.rfind(' ');
    if (lastSpace != std::string::npos) names.insert(line.substr(lastSpace + 1));
  }
  return names;
}

TEST(ExportedSymbols, TheDynamicSymbolTableHoldsExactlyTheExports) {
  EXPECT_EQ(exportedNames(MEVRIX_LIBRARY_PATH), kExpectedExports);
}

#endif

TEST(ExportedSymbols, EveryExportResolvesByName) {
  std::string error;
  const auto library = mevrix::tool::Library::load(MEVRIX_LIBRARY_PATH, error);
  ASSERT_TRUE(library) << error;
  for (const std::string& name : kExpectedExports) {
    EXPECT_NE(library->find(name), nullptr) << name;
  }
  EXPECT_EQ(library->find("moduleState"), nullptr);
}

}  // namespace
