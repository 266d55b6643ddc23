// File identity on Windows: the volume serial number and the file index, which the C runtime's
// stat does not give (its st_ino is always 0).

#include "platform/file_identity.h"

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

namespace mevrix::platform {
namespace {

std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) {
    return std::nullopt;  // devices, pipes and consoles have no file index
  }
  return information;
}

std::optional<FileIdentity> identityFrom(HANDLE handle) {
  const auto information = informationOf(handle);
  if (!information) return std::nullopt;
  return FileIdentity{
      information->dwVolumeSerialNumber,
      (std::uint64_t{information->nFileIndexHigh} << 32) | information->nFileIndexLow};
}

HANDLE handleOf(std::FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

std::optional<FileIdentity> identityOf(const char* path) {
  if (!path) return std::nullopt;
  // Attributes only, sharing everything: the file is examined even while others have it open,
  // and keeps no one out meanwhile. Backup semantics let a directory be opened too; a link is
  // followed to what it leads to.
  const HANDLE handle = CreateFileA(path, FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const std::optional<FileIdentity> identity = identityFrom(handle);
  CloseHandle(handle);
  return identity;
}

std::optional<FileIdentity> identityOf(std::FILE* file) {
  return identityFrom(handleOf(file));
}

}  // namespace mevrix::platform
