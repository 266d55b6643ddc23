#include "common/byte_source.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace mevrix::common {

std::optional<FileSource> FileSource::open(const char* path) {
  platform::FileHandle file(platform::openForReading(path));
  if (!file || !platform::regularFileSize(file.get())) return std::nullopt;
  platform::dropStreamBuffer(file.get());  // reads take large blocks
  const std::optional<platform::FileIdentity> identity = platform::identityOf(file.get());
  return FileSource(std::move(file), identity);
}

std::optional<std::uint64_t> FileSource::size() {
  if (!file_) return std::nullopt;
  return platform::regularFileSize(file_.get());
}

bool FileSource::seek(std::uint64_t offset) {
  return file_ && platform::seekTo(file_.get(), offset);
}

std::optional<std::size_t> FileSource::read(char* buffer, std::size_t size) {
  if (!file_) return std::nullopt;
  const std::size_t got = std::fread(buffer, 1, size, file_.get());
  if (got == 0 && std::ferror(file_.get())) return std::nullopt;
  return got;
}

bool MemorySource::seek(std::uint64_t offset) {
  position_ = offset;
  return true;
}

std::optional<std::size_t> MemorySource::read(char* buffer, std::size_t size) {
  if (position_ >= bytes_.size()) return 0;
  const auto left = static_cast<std::size_t>(bytes_.size() - position_);
  const std::size_t count = std::min({size, left, chunk_});
  std::memcpy(buffer, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

}  // namespace mevrix::common
