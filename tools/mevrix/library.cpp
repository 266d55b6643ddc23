#include "library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <vector>

namespace mevrix::tool {
namespace {

#ifdef _WIN32
constexpr const char* kLibraryFileName = "mevrix.dll";
#else
constexpr const char* kLibraryFileName = "libmevrix.so";
#endif

std::string ownExecutablePath() {
  std::vector<char> path(4096);
#ifdef _WIN32
  const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  return std::string(path.data(), length);
#else
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
  return std::string(path.data(), static_cast<std::size_t>(length));
#endif
}

}  // namespace

std::optional<Library> Library::load(const std::string& path, std::string& error) {
#ifdef _WIN32
  HMODULE handle = LoadLibraryA(path.c_str());
  if (!handle) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return std::nullopt;
  }
  return Library(reinterpret_cast<void*>(handle));
#else
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    error = reason ? reason : "cannot load " + path;
    return std::nullopt;
  }
  return Library(handle);
#endif
}

Library::~Library() {
  if (!handle_) return;
#ifdef _WIN32
  FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  dlclose(handle_);
#endif
}

ExportFunction Library::find(const std::string& name) const {
#ifdef _WIN32
  return reinterpret_cast<ExportFunction>(
      reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name.c_str())));
#else
  return reinterpret_cast<ExportFunction>(dlsym(handle_, name.c_str()));
#endif
}

std::string defaultLibraryPath() {
  std::string self = ownExecutablePath();
  const std::size_t slash = self.find_last_of("/\\");
  if (slash == std::string::npos) return kLibraryFileName;
  return self.substr(0, slash + 1) + kLibraryFileName;
}

}  // namespace mevrix::tool
