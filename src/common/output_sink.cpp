#include "common/output_sink.h"

#include "common/number_format.h"

namespace mevrix::common {
namespace {

constexpr std::size_t kFileBufferSize = 512 * 1024;
constexpr std::size_t kMemoryInitialSize = 4096;

}  // namespace

std::optional<OutputFile> OutputFile::open(const char* path, platform::WriteMode mode) {
  std::FILE* file = platform::openForWriting(path, mode);
  if (!file) return std::nullopt;
  // The sink hands over large blocks; a second buffer would only copy them again.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return OutputFile(file);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(other.file_), failed_(other.failed_) {
  other.file_ = nullptr;
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

bool OutputFile::write(const char* bytes, std::size_t size) {
  if (failed_ || !file_) return false;
  if (size != 0 && std::fwrite(bytes, 1, size, file_) != size) failed_ = true;
  return !failed_;
}

bool OutputFile::close() {
  if (!file_) return false;
  bool good = !failed_;
  if (std::fflush(file_) != 0 || std::ferror(file_)) good = false;
  if (std::fclose(file_) != 0) good = false;
  file_ = nullptr;
  failed_ = !good;
  return good;
}

OutputSink::OutputSink()
    : buffer_(std::make_unique_for_overwrite<char[]>(kMemoryInitialSize)),
      capacity_(kMemoryInitialSize) {}

OutputSink::OutputSink(OutputFile& file)
    : file_(&file),
      buffer_(std::make_unique_for_overwrite<char[]>(kFileBufferSize)),
      capacity_(kFileBufferSize) {}

void OutputSink::putInt(std::int64_t value) {
  char* p = reserve(kMaxNumberChars);
  commit(formatInt(p, value));
}

void OutputSink::putG6(double value) {
  char* p = reserve(kMaxNumberChars);
  commit(formatG6(p, value));
}

void OutputSink::putSlow(std::string_view bytes) {
  if (file_ && bytes.size() >= capacity_) {
    // Too large to be worth buffering: pass it on directly, behind what is buffered.
    finish();
    if (!file_->write(bytes.data(), bytes.size())) failed_ = true;
    return;
  }
  makeRoom(bytes.size());
  std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

void OutputSink::makeRoom(std::size_t size) {
  if (file_ && size <= capacity_) {
    finish();
    return;
  }
  std::size_t grown = capacity_ * 2;
  while (grown - size_ < size) grown *= 2;
  auto bigger = std::make_unique_for_overwrite<char[]>(grown);
  std::memcpy(bigger.get(), buffer_.get(), size_);
  buffer_ = std::move(bigger);
  capacity_ = grown;
}

bool OutputSink::finish() {
  if (file_) {
    if (size_ != 0 && !file_->write(buffer_.get(), size_)) failed_ = true;
    size_ = 0;
  }
  return !failed_;
}

}  // namespace mevrix::common
