#pragma once
// Counting the distinct groups stored in the host's binary mesh-exchange file.
//
// The file holds a 32-byte header, then from byte 32 on a chain of blocks, each behind a 16-byte
// header of little-endian 32-bit fields: tag, length (distance to the next block; 0 means 16) and
// entry count. The group block (tag 40001) is followed directly by entry-count 16-bit group ids.

#include "common/chunked_input.h"

namespace mevrix::meshtools {

// The results of getGroups besides a number of group ids (0 to 65536).
enum GroupCountResult : int {
  kNoGroupFilePath = -9,       // the path is null
  kGroupFileUnreadable = -17,  // the file cannot be opened or read
  kNoGroupBlock = -18,         // the block chain ends without a group block
};

// The number of distinct group ids in the first group block of `input`, or kNoGroupBlock when
// the walk from byte 32 reaches the end of the input first. A block whose 16-byte header does not
// fit ends the walk; a group block holding fewer ids than its entry count says is counted over
// the whole ids it holds. Reads the block headers and the ids at their offsets, nothing else, so
// time and memory do not grow with the file. Throws common::ReadError.
int countGroupIds(common::ChunkedInput& input);

// countGroupIds over the file at `path`; kGroupFileUnreadable when it cannot be read.
int countGroupsInFile(const char* path);

}  // namespace mevrix::meshtools
