#include "common/chunked_input.h"

#include <algorithm>
#include <cstring>

namespace mevrix::common {

ChunkedInput::ChunkedInput(ByteSource& source, std::size_t window)
    : source_(source), window_(std::max<std::size_t>(window, 1)) {
  const std::optional<std::uint64_t> size = source.size();
  if (!size || !source.seek(0)) throw ReadError();
  size_ = *size;
}

bool ChunkedInput::nextLineAfterRefill(std::string_view& line) {
  // Every line feed of the buffer has been handed out.
  for (;;) {
    if (bufferStart_ + filled_ == size_) {
      // The last line needs no line feed.
      if (begin_ == filled_) return false;
      line = std::string_view(buffer_.get() + begin_, filled_ - begin_);
      lineOffset_ = bufferStart_ + begin_;
      begin_ = scanned_ = filled_;
      return true;
    }
    refill();  // keeps scanned_ behind the bytes searched already
    while (scanned_ != filled_) {
      scanBlock();
      if (feeds_ != 0) return nextLine(line);
    }
  }
}

void ChunkedInput::readAhead() {
  if (begin_ == filled_ && bufferStart_ + filled_ != size_) refill();
}

void ChunkedInput::refill() {
  // The unfinished line moves to the front; a line that fills the whole buffer grows it, and
  // once such a line is gone the buffer shrinks back to the window.
  const std::size_t tail = filled_ - begin_;
  std::size_t capacity = capacity_;
  if (capacity_ == 0) {
    // No larger than the input needs.
    capacity = static_cast<std::size_t>(
        std::min<std::uint64_t>(window_, std::max<std::uint64_t>(size_ - bufferStart_, 1)));
  } else if (tail == capacity_) {
    if (capacity_ >= kMaxLine) throw ReadError();
    capacity = std::min(std::max(2 * capacity_, window_), kMaxLine);
  } else if (capacity_ > window_ && tail < window_) {
    capacity = window_;
  }
  if (capacity != capacity_) {
    auto fresh = std::make_unique_for_overwrite<char[]>(capacity + kPadding);
    if (tail != 0) std::memcpy(fresh.get(), buffer_.get() + begin_, tail);
    buffer_ = std::move(fresh);
    capacity_ = capacity;
  } else if (begin_ != 0 && tail != 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, tail);
  }
  bufferStart_ += begin_;
  scanned_ -= begin_;
  begin_ = 0;
  filled_ = tail;

  const std::uint64_t left = size_ - (bufferStart_ + filled_);
  const std::size_t room = capacity_ - filled_;
  const std::size_t wanted = left < room ? static_cast<std::size_t>(left) : room;
  const std::optional<std::size_t> got = source_.read(buffer_.get() + filled_, wanted);
  // A source that ends before the size it had when reading began has changed under the reader.
  if (!got || *got == 0 || *got > wanted) throw ReadError();
  filled_ += *got;
  std::memset(buffer_.get() + filled_, 0, kPadding);
}

void ChunkedInput::moveTo(std::uint64_t offset) {
  if (offset > size_ || !source_.seek(offset)) throw ReadError();
  bufferStart_ = offset;
  begin_ = scanned_ = filled_ = 0;
  feeds_ = 0;
}

void ChunkedInput::rewind(std::uint64_t offset) {
  const std::optional<std::uint64_t> size = source_.size();
  if (!size || *size != size_) throw ReadError();
  moveTo(offset);
}

std::size_t ChunkedInput::readAtLeast(std::uint64_t offset, char* buffer, std::size_t least,
                                      std::size_t count) {
  if (offset > size_ || count > size_ - offset) throw ReadError();
  moveTo(offset);
  std::size_t done = 0;
  while (done != count) {
    const std::optional<std::size_t> got = source_.read(buffer + done, count - done);
    if (!got || *got > count - done) throw ReadError();
    if (*got == 0) break;  // the source ends before its size said
    done += *got;
  }
  if (done < least) throw ReadError();
  bufferStart_ = offset + done;
  return done;
}

}  // namespace mevrix::common
