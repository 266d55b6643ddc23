#pragma once
// Reading a source in windows of a fixed buffer: whole lines one after the other, further passes
// from any line's offset, and reads at an offset. Memory stays that of the window whatever the
// source's size.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/byte_source.h"

namespace mevrix::common {

// The source could not be read as it was when reading began: a read failed, it ended before its
// size, it changed its size between passes, or a line is too long to hold.
class ReadError : public std::exception {
 public:
  const char* what() const noexcept override { return "the input could not be read"; }
};

// Runs `work`, which reads an input; false when it stopped because the input could not be read
// or memory ran out, the two ways a reader fails. A caller decides by the moment it happened
// what that means: before any output exists the input is unreadable, after that the output is
// incomplete.
template <typename Work>
bool completes(Work&& work) {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (const ReadError&) {
  } catch (const std::bad_alloc&) {
  }
  return false;
}

class ChunkedInput {
 public:
  static constexpr std::size_t kDefaultWindow = std::size_t{1} << 20;
  // The longest line that can be held. What a reader derives from one line (the numbers of a
  // face, say) then stays within 64 MiB, the largest allocation the library makes.
  static constexpr std::size_t kMaxLine = std::size_t{32} << 20;
  // Behind the end of every line handed out, this many bytes may be read: the bytes that follow
  // in the buffer, or zeros. Scanners read whole words and copies move fixed sizes.
  static constexpr std::size_t kPadding = 64;

  // Reads `source`, whose size is fixed now: bytes behind it are never read. `window` is the
  // buffer's size (lines longer than it grow the buffer for as long as they are read). Throws
  // ReadError when the size cannot be told.
  explicit ChunkedInput(ByteSource& source, std::size_t window = kDefaultWindow);

  // The source's size when reading began.
  std::uint64_t size() const { return size_; }

  // Stores the next line in `line` and returns true, or returns false when no line is left. A line
  // ends at a line feed; one carriage return just before the feed is not part of it; the last line
  // needs no line feed. The view stays valid until the next call. Throws ReadError.
  bool nextLine(std::string_view& line) {
    if (const char* feed = findLineFeed(buffer_.get() + scanned_, buffer_.get() + filled_)) {
      takeLine(feed, line);
      return true;
    }
    return nextLineAfterRefill(line);
  }

  // Reads the next window now, before any line is asked for, so that a source that cannot be read
  // at all is found out before a reader touches its output. Throws ReadError.
  void readAhead();

  // The offset in the source of the line nextLine() returned last.
  std::uint64_t lineOffset() const { return lineOffset_; }

  // The bytes read ahead from the start of the line nextLine() returned last: that line and what
  // follows it in the buffer, up to where reading stands. For a look at many lines at once.
  std::string_view lookahead() const {
    const auto start = static_cast<std::size_t>(lineOffset_ - bufferStart_);
    return std::string_view(buffer_.get() + start, filled_ - start);
  }

  // Reads lines again from `offset` on (a line's start, for a further pass). Throws ReadError
  // when the source's size is no longer what it was.
  void rewind(std::uint64_t offset = 0);

  // Reads exactly `count` bytes at `offset` into `buffer`; lines then go on behind them. Throws
  // ReadError when they are not all there.
  void readAt(std::uint64_t offset, char* buffer, std::size_t count);

 private:
  // The first line feed in [first, last), or null. Lines are short: a word at a time finds the
  // feed sooner than a library call is set up.
  static const char* findLineFeed(const char* first, const char* last) {
#if defined(__SSE2__)
    // Sixteen bytes at a time; the last block may reach into the padding behind `last`.
    const __m128i feed = _mm_set1_epi8('\n');
    for (; first < last; first += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
      auto found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)));
      if (last - first < 16) found &= (1u << (last - first)) - 1;
      if (found != 0) return first + std::countr_zero(found);
    }
    return nullptr;
#else
    if constexpr (std::endian::native == std::endian::little) {
      for (; last - first >= 8; first += 8) {
        std::uint64_t word;
        std::memcpy(&word, first, sizeof word);
        const std::uint64_t x = word ^ 0x0A0A0A0A0A0A0A0Au;
        // The lowest byte flagged here is the first zero byte of x, the first line feed.
        const std::uint64_t zero = (x - 0x0101010101010101u) & ~x & 0x8080808080808080u;
        if (zero != 0) return first + std::countr_zero(zero) / 8;
      }
    }
    for (; first != last; ++first) {
      if (*first == '\n') return first;
    }
    return nullptr;
#endif
  }

  // Hands out the line that ends at `feed` in the buffer.
  void takeLine(const char* feed, std::string_view& line) {
    const char* const data = buffer_.get();
    const auto end = static_cast<std::size_t>(feed - data);
    std::size_t stop = end;
    if (stop != begin_ && data[stop - 1] == '\r') --stop;
    line = std::string_view(data + begin_, stop - begin_);
    lineOffset_ = bufferStart_ + begin_;
    begin_ = scanned_ = end + 1;
  }

  bool nextLineAfterRefill(std::string_view& line);
  void refill();
  void moveTo(std::uint64_t offset);

  ByteSource& source_;
  std::uint64_t size_ = 0;
  std::size_t window_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;         // the next line's first byte in the buffer
  std::size_t scanned_ = 0;       // no line feed stands between begin_ and this
  std::size_t filled_ = 0;        // bytes in the buffer
  std::uint64_t bufferStart_ = 0;  // the source offset of the buffer's first byte
  std::uint64_t lineOffset_ = 0;
};

}  // namespace mevrix::common
