#include "fileutil/dialog_settings.h"

#include <cstring>

namespace mevrix::fileutil {
namespace {

// Copies `text` with its NUL into `target` when it fits; returns false for null or too long.
template <std::size_t Size>
bool copyWhole(std::array<char, Size>& target, const char* text) {
  if (!text) return false;
  const std::size_t length = strnlen(text, Size);
  if (length >= Size) return false;
  std::memcpy(target.data(), text, length + 1);
  return true;
}

}  // namespace

void setDefaultDirectory(DialogSettings& settings, const char* text) {
  if (!copyWhole(settings.defaultDirectory, text)) settings.defaultDirectory[0] = '\0';
}

void setDialogTitle(DialogSettings& settings, const char* text) {
  if (!copyWhole(settings.title, text)) {
    kDefaultDialogTitle.copy(settings.title.data(), kDefaultDialogTitle.size());
    settings.title[kDefaultDialogTitle.size()] = '\0';
  }
}

}  // namespace mevrix::fileutil
