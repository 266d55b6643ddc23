#pragma once
// Text in memory, read through the library's chunked input as the readers read files. A small
// window and chunk make lines cross window boundaries in tests too.

#include <cstddef>
#include <limits>
#include <string_view>

#include "common/byte_source.h"
#include "common/chunked_input.h"

namespace mevrix::test {

struct MemoryInput {
  explicit MemoryInput(std::string_view text,
                       std::size_t window = common::ChunkedInput::kDefaultWindow,
                       std::size_t chunk = std::numeric_limits<std::size_t>::max())
      : source(text, chunk), input(source, window) {}

  common::MemorySource source;
  common::ChunkedInput input;
};

}  // namespace mevrix::test
