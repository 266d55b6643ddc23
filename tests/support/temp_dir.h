#pragma once
// A temporary folder for one test, removed with everything in it afterwards.

#include <filesystem>
#include <string>
#include <string_view>

namespace mevrix::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of `name` inside the folder, as a string.
  std::string file(std::string_view name) const;
  // Writes `contents` to `name` inside the folder and returns its path.
  std::string write(std::string_view name, std::string_view contents) const;
  // Hides the entry `name` (a file or a folder) from directory listings and returns its path:
  // on Windows it gets the hidden attribute; on POSIX its name, which must begin with ".",
  // hides it already.
  std::string hide(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// The whole contents of a file; fails the test when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace mevrix::test
