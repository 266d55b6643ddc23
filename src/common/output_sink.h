#pragma once
// Buffered output: writers append bytes to an OutputSink, which either keeps them in memory or
// hands them to an OutputFile in large blocks.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_identity.h"
#include "platform/file_open.h"
#include "platform/file_replace.h"

namespace mevrix::common {

// The text line end of this platform, written explicitly into binary files.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// An output file that remembers whether every write reached it.
class OutputFile {
 public:
  // Opens `path` itself for writing; nothing when it cannot be opened (a FIFO that no program
  // reads included). A file opened to be appended to that is not closed successfully is cut back
  // to the size it had when it was opened, and removed when this opening created it, unless
  // another program has appended to it since.
  static std::optional<OutputFile> open(const char* path, platform::WriteMode mode);

  // Opens `path` to be written anew. The bytes go to a new file, which close() puts at the path
  // once every byte is there (see platform::Replacement): a failed write, a failed close or a file
  // never closed leaves the path exactly as it was, or absent. A device, a FIFO or a file of the
  // system's is opened itself and emptied now, unless it is the file `input` (the one being read),
  // which must stay whole for reading. Nothing when the file cannot be opened or created, or may
  // not be written.
  static std::optional<OutputFile> openReplacing(
      const char* path, const std::optional<platform::FileIdentity>& input);

  // For tests, standing in for a disk that fills up: from now on, writes through any OutputFile
  // fail once `bytes` more bytes have been written in all (the write that crosses the limit
  // writes what fits). Nothing lifts the limit.
  static void limitWritesForTesting(std::optional<std::uint64_t> bytes);
  // For tests, standing in for a flush or a close that reports an error (a write that failed
  // late): while `fail` holds, every close() fails after writing what it holds.
  static void failClosesForTesting(bool fail);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  // A file never closed is closed (an appended one cut back); a replacement never closed is
  // discarded.
  ~OutputFile();

  // Writes all of `bytes`; false (now and on every later call) once any write has failed.
  bool write(const char* bytes, std::size_t size);

  // Flushes and closes the file, and puts a replacement in place. True only when every write,
  // the flush, the close and the replacement succeeded. On Windows a file that is replaced must
  // no longer be open for reading.
  bool close();

 private:
  explicit OutputFile(platform::FileHandle file);
  explicit OutputFile(platform::Replacement replacement);

  std::FILE* stream() const { return replacement_ ? replacement_->file() : file_.get(); }
  // Gives up an appended file that was not closed successfully: cut back, and removed when this
  // opening made it.
  void abandonAppend();
  void removeIfMadeHere();

  platform::FileHandle file_;  // the path itself, when it is not replaced
  std::optional<platform::Replacement> replacement_;
  std::optional<std::uint64_t> appendedFrom_;  // an appended file's size when it was opened
  std::uint64_t written_ = 0;                  // bytes that reached the file
  std::string createdPath_;                    // an appended file this opening made
  std::optional<platform::FileIdentity> created_;
  bool failed_ = false;
};

class OutputSink {
 public:
  // Keeps every byte in memory; read them with contents().
  OutputSink();
  // Passes the bytes on to `file` whenever the buffer fills, and in finish().
  explicit OutputSink(OutputFile& file);
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  void put(std::string_view bytes) {
    // An empty view may carry a null pointer, which memcpy must never see.
    if (bytes.empty()) return;
    if (bytes.size() <= capacity_ - size_) {
      std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
      size_ += bytes.size();
    } else {
      putSlow(bytes);
    }
  }
  void put(char byte) {
    if (size_ == capacity_) makeRoom(1);
    buffer_[size_++] = byte;
  }
  void putLineEnd() { put(kLineEnd); }
  // `text` followed by the line end.
  void putLine(std::string_view text) {
    put(text);
    putLineEnd();
  }
  // `text` followed by `tail` (a few bytes, such as the line end), where `Readable` bytes from
  // the text's start may be read (lines handed out by ChunkedInput have padding behind them): a
  // shorter text is copied in one fixed-size move, and what the move copies behind the text is
  // overwritten by what follows.
  template <std::size_t Readable>
  void putReadingAhead(std::string_view text, std::string_view tail) {
    if (text.size() >= Readable) {
      put(text);
      put(tail);
      return;
    }
    char* out = reserve(Readable + tail.size());
    std::memcpy(out, text.data(), Readable);
    out += text.size();
    std::memcpy(out, tail.data(), tail.size());
    commit(out + tail.size());
  }

  // A decimal integer.
  void putInt(std::int64_t value);
  // A number as printf's "%g" writes it.
  void putG6(double value);

  // Space for at most `size` bytes written directly; hand the end of what was written to
  // commit() before any other call.
  char* reserve(std::size_t size) {
    if (size > capacity_ - size_) makeRoom(size);
    return buffer_.get() + size_;
  }
  void commit(char* end) { size_ = static_cast<std::size_t>(end - buffer_.get()); }

  // Passes every buffered byte on to the file. True when everything written so far reached it
  // (always true in memory).
  bool finish();
  // Whether a write to the file has failed already, so that the rest need not be made.
  bool failed() const { return failed_; }

  // Everything written so far; in memory only.
  std::string_view contents() const { return {buffer_.get(), size_}; }

 private:
  void putSlow(std::string_view bytes);
  void makeRoom(std::size_t size);

  OutputFile* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
  bool failed_ = false;
};

}  // namespace mevrix::common
