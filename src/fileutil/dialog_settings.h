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

// Sets the folder the dialog opens in; null, or a text that does not fit with its NUL (512
// characters or more), sets none.
void setDefaultDirectory(DialogSettings& settings, const char* text);

// Sets the dialog's caption; null, or a text that does not fit with its NUL (256 characters or
// more), sets "Select Files".
void setDialogTitle(DialogSettings& settings, const char* text);

}  // namespace mevrix::fileutil
