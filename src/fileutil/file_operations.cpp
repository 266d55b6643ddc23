#include "fileutil/file_operations.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/path.h"
#include "platform/directory_reader.h"
#include "platform/file_delete.h"
#include "platform/file_identity.h"

namespace mevrix::fileutil {

bool deleteFile(const char* path) {
  return platform::deleteFile(path);
}

bool renameFile(const char* from, const char* to) {
  if (!from || !to || std::strcmp(from, to) == 0) return false;
#ifndef _WIN32
  // Two names of one file: rename then does nothing and says it succeeded. (On Windows such a
  // pair is one name in two letter cases, which a rename changes.)
  const std::optional<platform::FileIdentity> fromName = platform::identityOfName(from);
  if (fromName && fromName == platform::identityOfName(to)) return false;
#endif
  return std::rename(from, to) == 0;
}

bool looksLikeFileName(std::string_view name) {
  const std::size_t last = name.find_last_of("./\\");
  return last != std::string_view::npos && name[last] == '.';
}

bool emptyFolder(const char* folder) {
  if (!folder || !*folder) return false;
  std::string path = folder;
  if (path.back() != common::kPathSeparator) path += common::kPathSeparator;
  const auto reader = platform::DirectoryReader::open(path.c_str());
  if (!reader) return false;
  const std::size_t folderLength = path.size();
  while (const platform::DirectoryEntry* entry = reader->next()) {
    // "." and ".." are recognised by name: the reader's order is not fixed, and a root
    // directory yields neither.
    const std::string_view name = entry->name;
    if (name == "." || name == ".." || !looksLikeFileName(name)) continue;
    path.resize(folderLength);
    path += name;
    platform::deleteFile(path.c_str());  // a failure leaves the entry; the others go on
  }
  return true;
}

}  // namespace mevrix::fileutil
