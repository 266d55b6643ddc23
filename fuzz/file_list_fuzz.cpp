// The file-list lookups over an arbitrary 4096-byte list, against a reference that splits the
// list into its entries: fileCount, and "fullname", "name" and other selectors with any index
// and any destination size. The destination sits between guard bytes: nothing may be written
// outside the size it is given, nor anything but the expected string.
//
// Input: a flag byte (selector, how the list is filled up, small or raw index), the index, the
// destination size, then the list's bytes.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/path.h"
#include "fileutil/file_list.h"
#include "fuzz_support.h"
#include "support/guarded_buffer.h"

namespace {

using mevrix::fuzz::check;

using mevrix::fileutil::FileListBuffer;

constexpr std::string_view kSelectors[] = {"fullname", "name", "Name", "", "fullname ", "nam"};

int referenceCount(const FileListBuffer& list) {
  int nuls = 0;
  for (std::size_t i = 0; i + 1 < list.size(); ++i) {
    if (list[i] != '\0') continue;
    ++nuls;
    if (list[i + 1] == '\0') return nuls == 1 ? 1 : nuls - 1;
  }
  return nuls;
}

// What a lookup should leave: nothing written, or `text` (the empty string when the file's path
// or name does not fit) with the length returned.
struct Expected {
  bool writes = false;
  std::string text;
  std::size_t length = 0;
};

Expected referenceLookUp(const FileListBuffer& list, std::string_view selector, std::int32_t index,
                         std::size_t capacity) {
  const bool fullName = selector == "fullname";
  if (!fullName && selector != "name") return {};
  const int count = referenceCount(list);
  if (index < 1 || index > count) return {};
  // The entries that end inside the list.
  std::vector<std::string_view> entries;
  const std::string_view all(list.data(), list.size());
  for (std::size_t p = 0;;) {
    const std::size_t nul = all.find('\0', p);
    if (nul == std::string_view::npos) break;
    entries.push_back(all.substr(p, nul - p));
    p = nul + 1;
  }
  check(!entries.empty());  // a count of at least 1 means a NUL in the list
  std::string text;
  if (index == 1 && count == 1) {
    const std::size_t separator = entries[0].rfind(mevrix::common::kPathSeparator);
    if (!fullName && separator == std::string_view::npos) return {};
    text = fullName ? entries[0] : entries[0].substr(separator + 1);
  } else {
    if (static_cast<std::size_t>(index) >= entries.size()) return {};
    const std::string_view name = entries[static_cast<std::size_t>(index)];
    text = fullName ? std::string(entries[0]) + mevrix::common::kPathSeparator + std::string(name)
                    : std::string(name);
  }
  if (text.size() >= capacity) return {capacity > 0, "", 0};
  return {true, text, text.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::uint8_t flags = input.byte();
  const std::int32_t rawIndex = input.integer<std::int32_t>();
  const std::size_t capacity = input.integer<std::uint16_t>() % 8400;
  const std::string_view selector = kSelectors[(flags & 7) % std::size(kSelectors)];
  const std::int32_t index = (flags & 8) ? rawIndex : static_cast<std::int32_t>(rawIndex & 15) - 1;

  // The list: the input's bytes, then zeros or the same bytes over and over, so that short inputs
  // can make lists without a single NUL.
  FileListBuffer list{};
  const std::string_view bytes = input.rest().substr(0, list.size());
  std::memcpy(list.data(), bytes.data(), bytes.size());
  if ((flags & 16) && !bytes.empty()) {
    for (std::size_t i = bytes.size(); i < list.size(); ++i) list[i] = bytes[i % bytes.size()];
  }

  check(mevrix::fileutil::fileCount(list) == referenceCount(list));

  mevrix::test::GuardedBuffer destination("", capacity);
  const std::size_t length = mevrix::fileutil::lookUpFile(
      list, selector, index, std::span<char>(destination.data(), capacity));
  const Expected expected = referenceLookUp(list, selector, index, capacity);
  check(length == expected.length);
  if (!expected.writes) {
    check(destination.unchanged());
    return 0;
  }
  check(std::memcmp(destination.data(), expected.text.c_str(), expected.text.size() + 1) == 0);
  check(destination.unchangedFrom(expected.text.size() + 1));
  return 0;
}
