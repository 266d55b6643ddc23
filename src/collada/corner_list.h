#pragma once
// The corners of one group's faces, held compactly: a face's corner count and each corner's
// position and texture-coordinate numbers as variable-length integers, the position as its
// difference from the corner before and the texture coordinate as its difference from the
// position. Neighbouring corners name neighbouring vertices and mostly one number serves both, so
// a corner usually takes two or three bytes instead of eight.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mevrix::collada {

// Bytes appended at the end and read back in order, in blocks that grow from small to 1 MiB. What
// one reserve() holds is never split between two blocks.
class ByteBlocks {
 public:
  // Room for at most `size` bytes (a few hundred at most) at the end; hand the end of what was
  // written to commit().
  std::uint8_t* reserve(std::size_t size) {
    if (capacity_ - used_ < size) addBlock(size);
    return blocks_.back().bytes.get() + used_;
  }
  void commit(std::uint8_t* end) {
    used_ = static_cast<std::size_t>(end - blocks_.back().bytes.get());
    blocks_.back().used = used_;
  }

  // Calls `visit(first, last)` with the bytes of every block in order.
  template <typename Visit>
  void forEachBlock(Visit&& visit) const {
    for (const Block& block : blocks_) visit(block.bytes.get(), block.bytes.get() + block.used);
  }

 private:
  struct Block {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t used = 0;
  };

  // Adds a block of at least `size` bytes.
  void addBlock(std::size_t size);

  std::vector<Block> blocks_;
  std::size_t capacity_ = 0;  // of the last block
  std::size_t used_ = 0;      // of the last block
};

class CornerList {
 public:
  // Adds a face of `corners` corner tokens. Faces and corners are kept apart, each in order, so a
  // face may be added after its corners.
  void addFace(std::int32_t corners) {
    sizeBytes_.commit(
        writeVarint(sizeBytes_.reserve(kMaxVarint), static_cast<std::uint32_t>(corners)));
    ++faces_;
  }
  // Adds a corner.
  void addCorner(std::int32_t position, std::int32_t texCoord) {
    addCorners(&position, &texCoord, 1);
  }
  // Adds `count` corners (a few dozen at most), the i-th with positions[i] and texCoords[i].
  void addCorners(const std::int32_t* positions, const std::int32_t* texCoords, std::size_t count) {
    if (count == 0) return;
    // Encoded through local copies and committed once: stores through a byte pointer could
    // change any member as far as the compiler knows.
    std::uint8_t* p = cornerBytes_.reserve(2 * kMaxVarint * count);
    std::int64_t previous = previousPosition_;
    for (std::size_t i = 0; i < count; ++i) {
      p = writeVarint(p, zigzag(std::int64_t{positions[i]} - previous));
      p = writeVarint(p, zigzag(std::int64_t{texCoords[i]} - std::int64_t{positions[i]}));
      previous = positions[i];
    }
    cornerBytes_.commit(p);
    previousPosition_ = previous;
    corners_ += count;
  }

  std::size_t faceCount() const { return faces_; }
  std::size_t cornerCount() const { return corners_; }

  // Calls `visit(corners)` for every face in order.
  template <typename Visit>
  void forEachFaceSize(Visit&& visit) const {
    sizeBytes_.forEachBlock([&](const std::uint8_t* p, const std::uint8_t* end) {
      while (p != end) visit(static_cast<std::int32_t>(readVarint(p)));
    });
  }

  // Calls `visit(position, texCoord)` for every corner in order.
  template <typename Visit>
  void forEachCorner(Visit&& visit) const {
    std::int64_t previous = 0;
    cornerBytes_.forEachBlock([&](const std::uint8_t* p, const std::uint8_t* end) {
      while (p != end) {
        const std::int64_t position = previous + unzigzag(readVarint(p));
        const std::int64_t texCoord = position + unzigzag(readVarint(p));
        visit(static_cast<std::int32_t>(position), static_cast<std::int32_t>(texCoord));
        previous = position;
      }
    });
  }

 private:
  // A zigzag-coded difference of two 32-bit numbers has at most 33 bits: five bytes.
  static constexpr std::size_t kMaxVarint = 5;

  static std::uint64_t zigzag(std::int64_t value) {
    return (static_cast<std::uint64_t>(value) << 1) ^ static_cast<std::uint64_t>(value >> 63);
  }
  static std::int64_t unzigzag(std::uint64_t value) {
    return static_cast<std::int64_t>(value >> 1) ^ -static_cast<std::int64_t>(value & 1);
  }
  static std::uint8_t* writeVarint(std::uint8_t* p, std::uint64_t value) {
    while (value >= 0x80) {
      *p++ = static_cast<std::uint8_t>(value | 0x80);
      value >>= 7;
    }
    *p++ = static_cast<std::uint8_t>(value);
    return p;
  }
  static std::uint64_t readVarint(const std::uint8_t*& p) {
    std::uint64_t value = *p & 0x7F;
    for (int shift = 7; *p++ & 0x80; shift += 7) value |= std::uint64_t{*p & 0x7Fu} << shift;
    return value;
  }

  ByteBlocks sizeBytes_;
  ByteBlocks cornerBytes_;
  std::int64_t previousPosition_ = 0;
  std::size_t faces_ = 0;
  std::size_t corners_ = 0;
};

}  // namespace mevrix::collada
