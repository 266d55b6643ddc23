// Exports of the OBJ merge, the texture-coordinate scaling and the group count.

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "boundary/value_conversion.h"
#include "meshtools/group_count.h"
#include "meshtools/obj_append.h"
#include "meshtools/uv_scaling.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::kMissingPath;
using mevrix::boundary::moduleState;

extern "C" {

float AppendOBJ(const char* text, double value, char* buf1, int) {
  if (!text || !buf1) return kMissingPath;
  const std::int32_t vertexBase = mevrix::boundary::toInteger(value);
  // The worker tells a failed input from a failed output itself; anything else that escapes it
  // counts as an unreadable input.
  return guarded(-1.0f, [&] {
    const auto result =
        mevrix::meshtools::appendObjFile(text, buf1, vertexBase, moduleState().merge);
    return result.status == mevrix::meshtools::AppendStatus::ok
               ? static_cast<float>(result.vertexCount)
               : static_cast<float>(result.status);
  });
}

float GroupListClear(const char*, double, char*, int) {
  moduleState().merge.clear();
  return 0.0f;
}

float ScaleUVs(const char* text, double value, char* buf1, int) {
  const double scale = mevrix::boundary::toReal(value);
  if (!mevrix::meshtools::isValidUvScale(scale)) {
    return static_cast<float>(mevrix::meshtools::ScaleUvStatus::badScale);
  }
  if (!text || !buf1) return 0.0f;
  return guarded(
      -1.0f, [&] { return static_cast<float>(mevrix::meshtools::scaleUvFile(text, buf1, scale)); });
}

float getGroups(const char* text, double, char*, int) {
  if (!text) return kMissingPath;
  return guarded(static_cast<float>(mevrix::meshtools::kGroupFileUnreadable),
                 [&] { return mevrix::meshtools::countGroupsInFile(text); });
}

}  // extern "C"
