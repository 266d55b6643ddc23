#include <array>
#include <cstdio>
#include <cstring>
#include <optional>

#include "common/export_output.h"
#include "common/split_size.h"
#include "fileutil/file_operations.h"
#include "platform/file_identity.h"
#include "platform/file_open.h"

namespace mevrix::fileutil {
namespace {

// Moves the source to the destination block by block until the source ends.
CopyResult transfer(std::FILE* source, common::OutputSink& destination) {
  std::array<char, kCopyBlockSize> block;
  const std::size_t blockSize = common::splitSize(block.size());
  for (;;) {
    const std::size_t got = std::fread(block.data(), 1, blockSize, source);
    destination.put(std::string_view(block.data(), got));
    if (destination.failed()) return CopyResult::writeFailed;
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

  // A copy that failed is never put in place: the destination stays as it was.
  return common::writeExportOutput(
      destination, sourceIdentity, nullptr,
      {CopyResult::copied, CopyResult::destinationNotOpened, CopyResult::writeFailed},
      [&](common::OutputSink& sink) { return transfer(in.get(), sink); });
}

}  // namespace mevrix::fileutil
