// The sculpt-map export.

#include "boundary/export_guard.h"
#include "meshtools/sculpt_map.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::meshtools::SculptResult;

extern "C" {

float OBJtoSculpty(const char* text, double, char* buf1, int) {
  if (!text || !buf1) return mevrix::boundary::toResult(SculptResult::missingPath);
  // Anything thrown before the image is opened (memory running out while the OBJ text is read
  // or the map is built) means the input could not be read.
  return guarded(SculptResult::cannotRead,
                 [&] { return mevrix::meshtools::objToSculptMap(text, buf1); });
}

}  // extern "C"
