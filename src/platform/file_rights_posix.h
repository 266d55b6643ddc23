#pragma once
// POSIX only: giving a new file everything of an old one but its contents, so that the new file
// can take the old one's place without changing who may do what with it.

#include <sys/stat.h>

namespace mevrix::platform {

// Gives the new file `newFile` the owner, group, extended attributes (the access list among
// them), file flags and mode of the old file `oldFile`, whose status is `old`. True when the new
// file then has all of them; false when one of them cannot be given or checked, which leaves the
// new file with any of them.
bool takeRightsOf(int newFile, int oldFile, const struct stat& old);

}  // namespace mevrix::platform
