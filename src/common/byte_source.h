#pragma once
// Where a reader's bytes come from: an open regular file in the library, memory in tests and fuzz
// targets. Readers see only this small read/seek interface, so that the bytes of a file and the
// bytes of a test travel through the same code.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/file_identity.h"
#include "platform/file_open.h"

namespace mevrix::common {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // The source's size now; nothing when it cannot be examined.
  virtual std::optional<std::uint64_t> size() = 0;
  // Moves the reading position to byte `offset`; false when that fails.
  virtual bool seek(std::uint64_t offset) = 0;
  // Reads at most `size` bytes at the reading position into `buffer` and moves the position
  // behind them. Returns how many were read, 0 at the end, or nothing on a read error.
  virtual std::optional<std::size_t> read(char* buffer, std::size_t size) = 0;
  // Lets go of the source once reading is over, so that a new file may take its name.
  virtual void close() {}
};

// A regular file open for reading.
class FileSource final : public ByteSource {
 public:
  // Opens the regular file at `path`; nothing when it cannot be opened or is something else (a
  // directory, a device, a pipe). Never waits for a FIFO's writer.
  static std::optional<FileSource> open(const char* path);

  // Which file this is, taken from the open file; nothing where it cannot be told.
  const std::optional<platform::FileIdentity>& identity() const { return identity_; }

  void close() override { file_.reset(); }

  std::optional<std::uint64_t> size() override;
  bool seek(std::uint64_t offset) override;
  std::optional<std::size_t> read(char* buffer, std::size_t size) override;

 private:
  FileSource(platform::FileHandle file, std::optional<platform::FileIdentity> identity)
      : file_(std::move(file)), identity_(identity) {}

  platform::FileHandle file_;
  std::optional<platform::FileIdentity> identity_;
};

// Bytes in memory, handed out at most `chunk` at a time, as a file may hand out fewer bytes than
// asked for.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes,
                        std::size_t chunk = std::numeric_limits<std::size_t>::max())
      : bytes_(bytes), chunk_(chunk == 0 ? 1 : chunk) {}

  std::optional<std::uint64_t> size() override { return bytes_.size(); }
  bool seek(std::uint64_t offset) override;
  std::optional<std::size_t> read(char* buffer, std::size_t size) override;

 protected:
  // The bytes from now on, for sources that change under the reader.
  void replaceBytes(std::string_view bytes) { bytes_ = bytes; }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
  std::uint64_t position_ = 0;
};

}  // namespace mevrix::common
