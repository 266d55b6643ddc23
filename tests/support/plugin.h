#pragma once
// The real plug-in, loaded from its built file, for end-to-end tests through the C boundary.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

namespace mevrix::test {

using ExportFunction = float (*)(const char* text, double value, char* buf1, int buf1Len);

class PlugIn {
 public:
  PlugIn() : handle_(dlopen(MEVRIX_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) ADD_FAILURE() << "cannot load the plug-in: " << dlerror();
  }
  ~PlugIn() {
    if (handle_) dlclose(handle_);
  }
  PlugIn(const PlugIn&) = delete;
  PlugIn& operator=(const PlugIn&) = delete;

  // The export called `name`; fails the test and returns null when it is missing.
  ExportFunction get(const char* name) const {
    auto function = handle_ ? reinterpret_cast<ExportFunction>(dlsym(handle_, name)) : nullptr;
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
  void* handle_;
};

}  // namespace mevrix::test
