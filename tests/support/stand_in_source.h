#pragma once
// A source that behaves as a file can go wrong: one of its reads fails, its bytes change once
// they have all been read (between a reader's passes), or its size says more than it delivers.

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/byte_source.h"

namespace mevrix::test {

class StandInSource : public common::MemorySource {
 public:
  // Hands out `before` three bytes per read, failing the `failingRead`-th read (counted from 1;
  // 0: none). Once every byte of `before` has been handed out, it holds `after` instead. Its size
  // says `overstated` bytes more than it holds, as /sys files say 4096.
  StandInSource(std::string_view before, std::string_view after, int failingRead = 0,
                std::uint64_t overstated = 0)
      : MemorySource(before, 3),
        before_(before),
        after_(after),
        failingRead_(failingRead),
        overstated_(overstated) {}

  std::optional<std::uint64_t> size() override {
    turn();
    return *MemorySource::size() + overstated_;
  }
  bool seek(std::uint64_t offset) override {
    turn();
    return MemorySource::seek(offset);
  }
  std::optional<std::size_t> read(char* buffer, std::size_t size) override {
    if (failingRead_ != 0 && ++reads_ == failingRead_) return std::nullopt;
    const std::optional<std::size_t> got = MemorySource::read(buffer, size);
    if (got) handedOut_ += *got;
    return got;
  }

 private:
  void turn() {
    if (handedOut_ >= before_.size()) replaceBytes(after_);
  }

  std::string_view before_;
  std::string_view after_;
  int failingRead_;
  std::uint64_t overstated_;
  int reads_ = 0;
  std::size_t handedOut_ = 0;
};

}  // namespace mevrix::test
