#pragma once
// Reading a source in windows of a fixed buffer: whole lines one after the other, further passes
// from any line's offset, and reads at an offset. Memory stays that of the window whatever the
// source's size.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/byte_source.h"
#include "common/split_size.h"

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
  explicit ChunkedInput(ByteSource& source, std::size_t window = splitSize(kDefaultWindow));

  // The source's size when reading began.
  std::uint64_t size() const { return size_; }

  // Stores the next line in `line` and returns true, or returns false when no line is left. A line
  // ends at a line feed; one carriage return just before the feed is not part of it; the last line
  // needs no line feed. The view stays valid until the next call. Throws ReadError.
  bool nextLine(std::string_view& line) {
    for (;;) {
      if (feeds_ != 0) {
        const std::size_t feed = blockStart_ + static_cast<std::size_t>(std::countr_zero(feeds_));
        feeds_ &= feeds_ - 1;
        takeLine(feed, line);
        return true;
      }
      if (scanned_ == filled_) return nextLineAfterRefill(line);
      scanBlock();
    }
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
  void readAt(std::uint64_t offset, char* buffer, std::size_t count) {
    readAtLeast(offset, buffer, count, count);
  }

  // Reads at most `count` bytes at `offset` into `buffer`, stopping early where the source ends
  // before its size said, and returns how many it read. For reading ahead of what is needed: a
  // source that falls short there gives the same result as one read only as far as needed.
  // Throws ReadError when fewer than `least` bytes are there.
  std::size_t readAtLeast(std::uint64_t offset, char* buffer, std::size_t least,
                          std::size_t count);

 private:
  // Finds the line feeds among the next 64 bytes behind scanned_ (fewer at the end of what was
  // read; the padding makes the whole block readable), one bit each. Lines are short: one look
  // at a block serves several of them.
  void scanBlock() {
    const char* const block = buffer_.get() + scanned_;
    std::uint64_t feeds = 0;
#if defined(__SSE2__)
    const __m128i feed = _mm_set1_epi8('\n');
    for (int part = 0; part < 4; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
      const auto found = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, feed)));
      feeds |= std::uint64_t{found} << (16 * part);
    }
#else
    for (int i = 0; i < 64; ++i) feeds |= std::uint64_t{block[i] == '\n'} << i;
#endif
    const std::size_t left = filled_ - scanned_;
    if (left < 64) feeds &= (std::uint64_t{1} << left) - 1;
    blockStart_ = scanned_;
    feeds_ = feeds;
    scanned_ += left < 64 ? left : 64;
  }

  // Hands out the line that ends at the line feed at `feed` in the buffer.
  void takeLine(std::size_t feed, std::string_view& line) {
    const char* const data = buffer_.get();
    std::size_t stop = feed;
    if (stop != begin_ && data[stop - 1] == '\r') --stop;
    line = std::string_view(data + begin_, stop - begin_);
    lineOffset_ = bufferStart_ + begin_;
    begin_ = feed + 1;
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
  std::size_t scanned_ = 0;       // the line feeds before this are known: handed out or in feeds_
  std::size_t blockStart_ = 0;    // where the block of feeds_ starts
  std::uint64_t feeds_ = 0;       // line feeds not handed out yet, a bit each from blockStart_
  std::size_t filled_ = 0;        // bytes in the buffer
  std::uint64_t bufferStart_ = 0;  // the source offset of the buffer's first byte
  std::uint64_t lineOffset_ = 0;
};

}  // namespace mevrix::common
