// The plug-in must expose exactly its exports, under their plain names, and nothing else.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sstream>
#include <string>

#include "export_names.h"
#include "library.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include "support/process.h"
#endif

namespace {

const std::set<std::string> kExpectedExports(mevrix::tool::kKnownExportNames.begin(),
                                             mevrix::tool::kKnownExportNames.end());

#ifdef _WIN32

// The plug-in as the Windows loader mapped it, for reading its export and import tables.
class MappedImage {
 public:
  explicit MappedImage(const std::string& library) : module_(LoadLibraryA(library.c_str())) {
    if (!module_) ADD_FAILURE() << "cannot load " << library << " (error " << GetLastError() << ")";
  }
  ~MappedImage() {
    if (module_) FreeLibrary(module_);
  }
  MappedImage(const MappedImage&) = delete;
  MappedImage& operator=(const MappedImage&) = delete;

  // The table the data directory `index` points to, or null when the image has none.
  template <typename Table>
  const Table* table(int index) const {
    if (!module_) return nullptr;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base() + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[index];
    if (entry.VirtualAddress == 0 || entry.Size == 0) return nullptr;
    return at<Table>(entry.VirtualAddress);
  }

  template <typename T>
  const T* at(DWORD address) const {
    return reinterpret_cast<const T*>(base() + address);
  }

 private:
  const unsigned char* base() const { return reinterpret_cast<const unsigned char*>(module_); }
  HMODULE module_;
};

// The names in the DLL's export table. Fails the test for an export that has no name (reachable
// by ordinal only).
std::set<std::string> exportedNames(const std::string& library) {
  std::set<std::string> names;
  const MappedImage image(library);
  const auto* directory = image.table<IMAGE_EXPORT_DIRECTORY>(IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (!directory) return names;
  EXPECT_EQ(directory->NumberOfFunctions, directory->NumberOfNames) << "an export has no name";
  const auto* nameAddresses = image.at<DWORD>(directory->AddressOfNames);
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    names.insert(image.at<char>(nameAddresses[i]));
  }
  return names;
}

// The DLLs the image imports from, in upper case.
std::set<std::string> importedLibraries(const std::string& library) {
  std::set<std::string> names;
  const MappedImage image(library);
  const auto* entry = image.table<IMAGE_IMPORT_DESCRIPTOR>(IMAGE_DIRECTORY_ENTRY_IMPORT);
  for (; entry && entry->Name != 0; ++entry) {
    std::string name = image.at<char>(entry->Name);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.insert(name);
  }
  return names;
}

TEST(ExportedSymbols, TheExportTableHoldsExactlyTheExports) {
  EXPECT_EQ(exportedNames(MEVRIX_LIBRARY_PATH), kExpectedExports);
}

TEST(ExportedSymbols, TheDllNeedsNothingButSystemLibraries) {
  // The compiler's runtime is linked in; the file-open dialog comes from comdlg32.
  EXPECT_EQ(importedLibraries(MEVRIX_LIBRARY_PATH),
            (std::set<std::string>{"COMDLG32.DLL", "KERNEL32.DLL", "MSVCRT.DLL"}));
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
