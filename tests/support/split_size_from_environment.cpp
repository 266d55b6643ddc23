// Lets a whole test run split the library's work at a tiny size, for the code the test program
// holds itself (not the plug-in it loads): MEVRIX_TEST_SPLIT_SIZE=N, as
// common::splitWorkForTesting.

#include <cstdlib>

#include "common/split_size.h"

namespace {

const bool kSplitFromEnvironment = [] {
  if (const char* size = std::getenv("MEVRIX_TEST_SPLIT_SIZE")) {
    mevrix::common::splitWorkForTesting(std::strtoul(size, nullptr, 10));
  }
  return true;
}();

}  // namespace
