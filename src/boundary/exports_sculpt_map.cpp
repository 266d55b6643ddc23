// The sculpt-map export.

#include <cstdint>

#include "boundary/export_guard.h"
#include "meshtools/sculpt_map.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::kMissingPath;

extern "C" {

float OBJtoSculpty(const char* text, double, char* buf1, int) {
  if (!text || !buf1) return kMissingPath;
  // Anything thrown before the image is opened (memory running out while the OBJ text is read
  // or the map is built) means the input could not be read.
  return guarded(static_cast<float>(mevrix::meshtools::SculptResult::cannotRead), [&] {
    return static_cast<std::int32_t>(mevrix::meshtools::objToSculptMap(text, buf1));
  });
}

}  // extern "C"
