#include "platform/file_identity.h"

#include <sys/stat.h>

namespace mevrix::platform {
namespace {

FileIdentity identityFrom(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> identityOf(const char* path) {
  struct stat info;
  if (!path || stat(path, &info) != 0) return std::nullopt;
  return identityFrom(info);
}

std::optional<FileIdentity> identityOfName(const char* path) {
  struct stat info;
  if (!path || lstat(path, &info) != 0) return std::nullopt;
  return identityFrom(info);
}

std::optional<FileIdentity> identityOf(std::FILE* file) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return std::nullopt;
  return identityFrom(info);
}

}  // namespace mevrix::platform
