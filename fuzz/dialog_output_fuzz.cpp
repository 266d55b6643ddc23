// The layout of a dialog program's output in the file list, with any output and any list size.
// The list sits between guard bytes: a refused output leaves it untouched, and nothing is written
// beyond its size. A laid-out list must end inside its size and read back through the file-list
// lookups as the paths the program printed, one per file.
//
// Input: the list size, then the program's output.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fileutil/file_list.h"
#include "fuzz_support.h"
#include "platform/dialog_backend_posix.h"
#include "support/guarded_buffer.h"

namespace {

using mevrix::fuzz::check;

std::vector<std::string_view> printedPaths(std::string_view output) {
  if (output.ends_with('\n')) output.remove_suffix(1);
  std::vector<std::string_view> paths;
  for (std::size_t start = 0; start <= output.size();) {
    const std::size_t end = std::min(output.find('\n', start), output.size());
    paths.push_back(output.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

std::string lookUp(const mevrix::fileutil::FileListBuffer& list, std::string_view selector,
                   std::int32_t index) {
  std::array<char, 2 * mevrix::fileutil::kFileListSize> text;
  const std::size_t length = mevrix::fileutil::lookUpFile(list, selector, index, text);
  return std::string(text.data(), length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::size_t listSize =
      input.integer<std::uint16_t>() % (mevrix::fileutil::kFileListSize + 1);
  const std::string_view output = input.rest();

  mevrix::test::GuardedBuffer buffer("", listSize);
  const bool laidOut = mevrix::platform::layOutSelection(output, buffer.data(), buffer.size());
  check(buffer.unchangedFrom(listSize));
  if (!laidOut) {
    check(buffer.unchanged());
    return 0;
  }

  const std::vector<std::string_view> paths = printedPaths(output);
  // Its closing empty entry within the size given, not in the zeros behind it here.
  check(std::string_view(buffer.data(), listSize).find(std::string_view("\0\0", 2)) !=
        std::string_view::npos);
  mevrix::fileutil::FileListBuffer list{};
  std::memcpy(list.data(), buffer.data(), listSize);
  check(mevrix::fileutil::fileCount(list) == static_cast<int>(paths.size()));
  const std::string_view folder(list.data());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string path(paths[i]);
    const std::string fullName = lookUp(list, "fullname", static_cast<std::int32_t>(i + 1));
    // A root folder is written as "/", and the lookup joins it to a name with one more.
    const bool joinedToRoot = paths.size() > 1 && folder == "/" && fullName.starts_with('/') &&
                              std::string_view(fullName).substr(1) == path;
    check(fullName == path || joinedToRoot);
    const std::string name = lookUp(list, "name", static_cast<std::int32_t>(i + 1));
    check(path.size() > name.size() && path.ends_with(name) &&
          path[path.size() - name.size() - 1] == '/');
  }
  return 0;
}
