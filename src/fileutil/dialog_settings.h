#pragma once
// The file-open dialog's caption and starting folder, kept between calls.

#include <array>
#include <cstddef>
#include <string_view>

namespace mevrix::fileutil {

inline constexpr std::size_t kDialogTitleSize = 256;
inline constexpr std::size_t kDefaultDirectorySize = 512;
inline constexpr std::string_view kDefaultDialogTitle = "Select Files";

struct DialogSettings {
  DialogSettings() { kDefaultDialogTitle.copy(title.data(), kDefaultDialogTitle.size()); }

  std::array<char, kDialogTitleSize> title{};                  // NUL-terminated
  std::array<char, kDefaultDirectorySize> defaultDirectory{};  // NUL-terminated, empty: none
};

}  // namespace mevrix::fileutil
