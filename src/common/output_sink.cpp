#include "common/output_sink.h"

#include <algorithm>
#include <utility>

#include "common/number_format.h"
#include "common/split_size.h"
#include "platform/file_delete.h"

namespace mevrix::common {
namespace {

constexpr std::size_t kFileBufferSize = 512 * 1024;
constexpr std::size_t kMemoryInitialSize = 4096;

// What tests let every file take before its writes fail; nothing: no limit.
std::optional<std::uint64_t> testWriteLimit;
// Whether tests have every close fail.
bool testClosesFail = false;

}  // namespace

OutputFile::OutputFile(platform::FileHandle file) : file_(std::move(file)) {
  // The sink hands over large blocks.
  platform::dropStreamBuffer(file_.get());
}

OutputFile::OutputFile(platform::Replacement replacement) : replacement_(std::move(replacement)) {
  platform::dropStreamBuffer(replacement_->file());
}

std::optional<OutputFile> OutputFile::open(const char* path, platform::WriteMode mode) {
  std::string created;
  platform::FileHandle file(platform::openForWriting(path, mode, &created));
  if (!file) return std::nullopt;
  OutputFile opened(std::move(file));
  if (mode == platform::WriteMode::append) {
    // Only a regular file can be cut back; a device or FIFO keeps what reached it.
    opened.appendedFrom_ = platform::regularFileSize(opened.file_.get());
    if (!created.empty() && opened.appendedFrom_) {
      opened.createdPath_ = std::move(created);
      opened.created_ = platform::identityOf(opened.file_.get());
    }
  }
  return opened;
}

std::optional<OutputFile> OutputFile::openReplacing(
    const char* path, const std::optional<platform::FileIdentity>& input) {
  using Outcome = platform::ReplacementAttempt::Outcome;
  platform::ReplacementAttempt attempt = platform::createReplacement(path);
  if (attempt.outcome == Outcome::replacing) return OutputFile(std::move(*attempt.replacement));
  // Emptying the file being read would lose the very bytes still to be read.
  if (attempt.outcome == Outcome::refused || (input && platform::identityOf(path) == input)) {
    return std::nullopt;
  }
  return open(path, platform::WriteMode::truncate);
}

void OutputFile::limitWritesForTesting(std::optional<std::uint64_t> bytes) {
  testWriteLimit = bytes;
}

void OutputFile::failClosesForTesting(bool fail) {
  testClosesFail = fail;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      replacement_(std::exchange(other.replacement_, std::nullopt)),
      appendedFrom_(std::exchange(other.appendedFrom_, std::nullopt)),
      written_(other.written_),
      createdPath_(std::exchange(other.createdPath_, {})),
      created_(other.created_),
      failed_(other.failed_) {}

OutputFile::~OutputFile() {
  if (file_ && appendedFrom_) abandonAppend();
}

void OutputFile::abandonAppend() {
  const bool cut = platform::cutBack(file_.get(), *appendedFrom_, *appendedFrom_ + written_);
  file_.reset();
  if (cut) removeIfMadeHere();
}

void OutputFile::removeIfMadeHere() {
  // Emptied again, a file this opening made goes too, if its name still leads to it.
  if (!createdPath_.empty() && platform::identityOf(createdPath_.c_str()) == created_) {
    platform::deleteFile(createdPath_.c_str());
  }
}

bool OutputFile::write(const char* bytes, std::size_t size) {
  std::FILE* out = stream();
  if (failed_ || !out) return false;
  std::size_t allowed = size;
  if (testWriteLimit) {
    allowed = static_cast<std::size_t>(std::min<std::uint64_t>(size, *testWriteLimit));
    *testWriteLimit -= allowed;
  }
  if (allowed != 0) {
    const std::size_t put = std::fwrite(bytes, 1, allowed, out);
    written_ += put;
    if (put != allowed) failed_ = true;
  }
  if (allowed != size) failed_ = true;
  return !failed_;
}

bool OutputFile::close() {
  if (testClosesFail) failed_ = true;
  bool good = false;
  if (replacement_) {
    // A replacement that missed a byte is discarded, never put in place.
    good = !failed_ && replacement_->commit(splitSize(platform::Replacement::kCopyBlock));
    replacement_.reset();
  } else if (!file_) {
    return false;
  } else if (appendedFrom_) {
    if (failed_) {
      abandonAppend();
      return false;
    }
    bool cut = false;
    good = platform::closeFileOrCutBack(file_, *appendedFrom_, *appendedFrom_ + written_, cut);
    if (cut) removeIfMadeHere();
  } else {
    good = platform::closeFile(file_) && !failed_;
  }
  failed_ = !good;
  return good;
}

OutputSink::OutputSink()
    : buffer_(std::make_unique_for_overwrite<char[]>(splitSize(kMemoryInitialSize))),
      capacity_(splitSize(kMemoryInitialSize)) {}

OutputSink::OutputSink(OutputFile& file)
    : file_(&file),
      buffer_(std::make_unique_for_overwrite<char[]>(splitSize(kFileBufferSize))),
      capacity_(splitSize(kFileBufferSize)) {}

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
