#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fileutil/file_operations.h"
#include "platform/file_delete.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"

namespace mevrix::fileutil {
namespace {

using File = platform::FileHandle;

// Moves the source to the destination block by block until the source ends.
CopyResult transfer(std::FILE* source, std::FILE* destination) {
  std::array<char, kCopyBlockSize> block;
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, block.size(), source);
    if (got > 0 && std::fwrite(block.data(), 1, got, destination) != got) {
      return CopyResult::writeFailed;
    }
    // fread comes back short only at the end of the source or on an error.
    if (got < block.size()) {
      return std::ferror(source) ? CopyResult::readFailed : CopyResult::copied;
    }
  }
}

}  // namespace

CopyResult copyFile(const char* source, const char* destination) {
  if (!source || !destination) return CopyResult::missingPath;
  if (std::strcmp(source, destination) == 0) return CopyResult::samePath;

  File in(platform::openForReading(source));
  if (!in) return CopyResult::sourceNotOpened;
  // Every block goes straight from one file to the other.
  platform::dropStreamBuffer(in.get());
  const auto sourceIdentity = platform::identityOf(in.get());
  // Only a regular file has an end to copy up to: a device such as /dev/zero would fill the disk.
  if (!sourceIdentity || !platform::regularFileSize(in.get())) return CopyResult::sourceNotOpened;
  // Clearing the destination must never reach the source through another name for it.
  if (platform::identityOf(destination) == sourceIdentity) return CopyResult::sameFile;

  platform::deleteFile(destination);  // a missing destination, or a device, is fine
  File out(platform::openForWriting(destination, platform::WriteMode::truncate));
  if (!out) return CopyResult::destinationNotOpened;
  platform::dropStreamBuffer(out.get());

  const CopyResult result = transfer(in.get(), out.get());
  if (!platform::closeFile(out) && result == CopyResult::copied) {
    return CopyResult::writeFailed;
  }
  return result;
}

}  // namespace mevrix::fileutil
