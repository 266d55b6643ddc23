#include "common/output_sink.h"

#include <algorithm>
#include <utility>

#include "common/number_format.h"
#include "platform/file_replace.h"

namespace mevrix::common {
namespace {

constexpr std::size_t kFileBufferSize = 512 * 1024;
constexpr std::size_t kMemoryInitialSize = 4096;

// What tests let every file take before its writes fail; nothing: no limit.
std::optional<std::uint64_t> testWriteLimit;

}  // namespace

std::optional<OutputFile> OutputFile::open(const char* path, platform::WriteMode mode) {
  platform::FileHandle file(platform::openForWriting(path, mode));
  if (!file) return std::nullopt;
  std::optional<std::uint64_t> size;
  if (mode == platform::WriteMode::append) {
    // Only a regular file can be cut back; a device or FIFO keeps what reached it.
    size = platform::regularFileSize(file.get());
  }
  OutputFile opened(std::move(file));
  opened.appendedFrom_ = size;
  return opened;
}

std::optional<OutputFile> OutputFile::openReplacing(
    const char* path, const std::optional<platform::FileIdentity>& input) {
  platform::ReplacementAttempt attempt = platform::createReplacement(path);
  if (attempt.replacement) {
    platform::Replacement& replacement = *attempt.replacement;
    return OutputFile(std::move(replacement.file), std::move(replacement.temporaryPath),
                      std::move(replacement.targetPath));
  }
  // Emptying the file being read would lose the very bytes still to be read.
  if (attempt.reason == platform::NoReplacement::failed ||
      (input && platform::identityOf(path) == input)) {
    return std::nullopt;
  }
  return open(path, platform::WriteMode::truncate);
}

void OutputFile::limitWritesForTesting(std::optional<std::uint64_t> bytes) {
  testWriteLimit = bytes;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      replacementPath_(std::exchange(other.replacementPath_, {})),
      target_(std::move(other.target_)),
      appendedFrom_(std::exchange(other.appendedFrom_, std::nullopt)),
      failed_(other.failed_) {}

OutputFile::~OutputFile() {
  if (file_ && appendedFrom_) platform::truncateFile(file_.get(), *appendedFrom_);
  file_.reset();
  if (!replacementPath_.empty()) platform::discardReplacement(replacementPath_);
}

bool OutputFile::write(const char* bytes, std::size_t size) {
  if (failed_ || !file_) return false;
  std::size_t allowed = size;
  if (testWriteLimit) {
    allowed = static_cast<std::size_t>(std::min<std::uint64_t>(size, *testWriteLimit));
    *testWriteLimit -= allowed;
  }
  if (allowed != 0 && std::fwrite(bytes, 1, allowed, file_.get()) != allowed) failed_ = true;
  if (allowed != size) failed_ = true;
  return !failed_;
}

bool OutputFile::close() {
  if (!file_) return false;
  bool good = false;
  if (appendedFrom_) {
    if (failed_) platform::truncateFile(file_.get(), *appendedFrom_);
    good = platform::closeFileOrCutBack(file_, *appendedFrom_) && !failed_;
  } else {
    good = platform::closeFile(file_) && !failed_;
  }
  if (!replacementPath_.empty()) {
    const std::string temporary = std::exchange(replacementPath_, {});
    if (!good) {
      platform::discardReplacement(temporary);
    } else if (!platform::commitReplacement(temporary, target_)) {
      good = false;
    }
  }
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
