#pragma once
// Loading the plug-in at run time and finding its exports by name, as the host application does.

#include <optional>
#include <string>

namespace mevrix::tool {

using ExportFunction = float (*)(const char* text, double value, char* buf1, int buf1Len);

class Library {
 public:
  // Loads the shared library at `path`; on failure returns nothing and describes why in `error`.
  static std::optional<Library> load(const std::string& path, std::string& error);

  Library(Library&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Library& operator=(Library&&) = delete;
  ~Library();

  // The export called `name`, or null when the library has none of that name.
  ExportFunction find(const std::string& name) const;

 private:
  explicit Library(void* handle) : handle_(handle) {}
  void* handle_;
};

// The plug-in built beside this program.
std::string defaultLibraryPath();

}  // namespace mevrix::tool
