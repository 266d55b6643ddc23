#pragma once
// The real plug-in, loaded from its built file, for end-to-end tests through the C boundary. It
// loads the library the way the mevrix host does (dlopen or LoadLibraryA), so it works in both
// builds.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "library.h"

namespace mevrix::test {

using tool::ExportFunction;

class PlugIn {
 public:
  PlugIn() : library_(load()) {}
  PlugIn(const PlugIn&) = delete;
  PlugIn& operator=(const PlugIn&) = delete;

  // The export called `name`; fails the test and returns null when it is missing.
  ExportFunction get(const char* name) const {
    ExportFunction function = library_ ? library_->find(name) : nullptr;
    if (!function) ADD_FAILURE() << "the plug-in has no export " << name;
    return function;
  }

  // Calls `name` with a text path or null, a value, and a text buf1 or null.
  float call(const char* name, const char* text, double value = 0.0,
             const char* buf1 = nullptr) const {
    ExportFunction function = get(name);
    if (!function) return -12345.0f;
    std::string buffer = buf1 ? buf1 : "";
    return function(text, value, buf1 ? buffer.data() : nullptr,
                    buf1 ? static_cast<int>(buffer.size() + 1) : 0);
  }

 private:
  // Library can be moved into place but not assigned, so it is loaded here for the initialiser.
  static std::optional<tool::Library> load() {
    std::string error;
    std::optional<tool::Library> library = tool::Library::load(MEVRIX_LIBRARY_PATH, error);
    if (!library) ADD_FAILURE() << "cannot load the plug-in: " << error;
    return library;
  }

  std::optional<tool::Library> library_;
};

}  // namespace mevrix::test
