// Differential target: the scanner must read every text exactly as a string stream does.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/stream_extraction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 256) return -1;  // numbers are short; long inputs only slow the reference down
  const std::string text(reinterpret_cast<const char*>(data), size);
  using mevrix::test::scannerExtractions;
  using mevrix::test::streamExtractions;
  if (streamExtractions<float>(text) != scannerExtractions<float>(text)) std::abort();
  if (streamExtractions<std::int32_t>(text) != scannerExtractions<std::int32_t>(text)) std::abort();
  return 0;
}
