#include "common/file_reader.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/file_open.h"

namespace mevrix::common {
namespace {

constexpr std::size_t kMinimumChunk = 64 * 1024;

}  // namespace

std::optional<FileBuffer> readWholeFile(const char* path) {
  platform::FileHandle file(platform::openForReading(path));
  if (!file) return std::nullopt;
  const std::optional<std::uint64_t> knownSize = platform::regularFileSize(file.get());
  if (!knownSize) return std::nullopt;

  // The size is a hint: the file may grow or shrink while it is read.
  std::size_t capacity = static_cast<std::size_t>(*knownSize) + 1;
  if (capacity < kMinimumChunk) capacity = kMinimumChunk;
  auto data = std::make_unique_for_overwrite<char[]>(capacity + 1);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      const std::size_t grown = capacity * 2;
      auto bigger = std::make_unique_for_overwrite<char[]>(grown + 1);
      std::memcpy(bigger.get(), data.get(), size);
      data = std::move(bigger);
      capacity = grown;
    }
    const std::size_t got = std::fread(data.get() + size, 1, capacity - size, file.get());
    size += got;
    if (got == 0 || std::ferror(file.get()) || std::feof(file.get())) break;
  }
  data[size] = '\0';
  return FileBuffer(std::move(data), size);
}

bool LineReader::next(std::string_view& line) {
  if (pos_ == end_) return false;
  const char* start = pos_;
  const auto* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - start));
  const char* stop = feed ? feed : end_;
  pos_ = feed ? feed + 1 : end_;
  if (feed && stop != start && stop[-1] == '\r') --stop;
  line = std::string_view(start, stop - start);
  return true;
}

}  // namespace mevrix::common
