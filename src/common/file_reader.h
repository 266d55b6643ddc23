#pragma once
// Whole-file reading into one buffer, and splitting that buffer into lines.

#include <cstddef>
#include <memory>
#include <optional>
#include <string_view>

namespace mevrix::common {

// The bytes of one file, held in one allocation. A NUL byte stands behind the last byte so
// that scanners may look one past the end; it is not part of view().
class FileBuffer {
 public:
  FileBuffer() = default;
  FileBuffer(std::unique_ptr<char[]> data, std::size_t size) : data_(std::move(data)), size_(size) {}

  std::string_view view() const { return {data_.get(), size_}; }
  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
};

// Reads the whole regular file at `path` with a few large reads. Returns nothing when the path
// cannot be opened for reading or names something that is not a regular file (a directory, say).
// A read error after opening ends the data there, as the end of the file would.
std::optional<FileBuffer> readWholeFile(const char* path);

// Splits text into lines: a line ends at a line feed, one carriage return just before the line
// feed is not part of the line, and the last line needs no line feed. Text that ends with a line
// feed has no empty line after it.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : pos_(text.data()), end_(text.data() + text.size()) {}

  // Stores the next line in `line` and returns true, or returns false when no line is left.
  bool next(std::string_view& line);

 private:
  const char* pos_;
  const char* end_;
};

}  // namespace mevrix::common
