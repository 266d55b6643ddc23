#include <array>
#include <cstdio>
#include <cstring>
#include <optional>

#include "common/output_sink.h"
#include "common/split_size.h"
#include "fileutil/file_operations.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"

namespace mevrix::fileutil {
namespace {

// Moves the source to the destination block by block until the source ends.
CopyResult transfer(std::FILE* source, common::OutputFile& destination) {
  std::array<char, kCopyBlockSize> block;
  const std::size_t blockSize = common::splitSize(block.size());
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, blockSize, source);
    if (!destination.write(block.data(), got)) return CopyResult::writeFailed;
    // fread comes back short only at the end of the source or on an error.
    if (got < blockSize) {
      return std::ferror(source) ? CopyResult::readFailed : CopyResult::copied;
    }
  }
}

}  // namespace

CopyResult copyFile(const char* source, const char* destination) {
  if (!source || !destination) return CopyResult::missingPath;
  if (std::strcmp(source, destination) == 0) return CopyResult::samePath;

  platform::FileHandle in(platform::openForReading(source));
  if (!in) return CopyResult::sourceNotOpened;
  // Every block goes straight from one file to the other.
  platform::dropStreamBuffer(in.get());
  const auto sourceIdentity = platform::identityOf(in.get());
  // Only a regular file has an end to copy up to: a device such as /dev/zero would fill the disk.
  if (!sourceIdentity || !platform::regularFileSize(in.get())) return CopyResult::sourceNotOpened;
  // Writing the destination must never reach the source through another name for it.
  if (platform::identityOf(destination) == sourceIdentity) return CopyResult::sameFile;

  std::optional<common::OutputFile> out =
      common::OutputFile::openReplacing(destination, sourceIdentity);
  if (!out) return CopyResult::destinationNotOpened;
  const CopyResult result = transfer(in.get(), *out);
  // A copy that failed is never closed: its new file is removed and the destination stays.
  if (result != CopyResult::copied) return result;
  return out->close() ? CopyResult::copied : CopyResult::writeFailed;
}

}  // namespace mevrix::fileutil
