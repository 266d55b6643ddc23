// Exports of the OBJ merge, the texture-coordinate scaling and the group count.

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "boundary/value_conversion.h"
#include "meshtools/group_count.h"
#include "meshtools/obj_append.h"
#include "meshtools/uv_scaling.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::moduleState;
using mevrix::boundary::toResult;
using mevrix::meshtools::AppendStatus;
using mevrix::meshtools::ScaleUvStatus;
namespace meshtools = mevrix::meshtools;

extern "C" {

float AppendOBJ(const char* text, double value, char* buf1, int) {
  if (!text || !buf1) return toResult(AppendStatus::missingPath);
  meshtools::MergeState& merge = moduleState().merge;
  const std::int64_t vertexBase = merge.vertexBaseFor(value, mevrix::boundary::toInteger(value));
  // The worker tells a failed input from a failed output itself; anything else that escapes it
  // counts as an unreadable input.
  return guarded(AppendStatus::inputFailed, [&] {
    const auto result = meshtools::appendObjFile(text, buf1, vertexBase, merge);
    return result.status == AppendStatus::ok ? toResult(result.vertexCount)
                                             : toResult(result.status);
  });
}

float GroupListClear(const char*, double, char*, int) {
  moduleState().merge.clear();
  return toResult(AppendStatus::ok);
}

float ScaleUVs(const char* text, double value, char* buf1, int) {
  const double scale = mevrix::boundary::toReal(value);
  if (!meshtools::isValidUvScale(scale)) return toResult(ScaleUvStatus::badScale);
  if (!text || !buf1) return toResult(ScaleUvStatus::missingPath);
  return guarded(ScaleUvStatus::inputFailed,
                 [&] { return meshtools::scaleUvFile(text, buf1, scale); });
}

float getGroups(const char* text, double, char*, int) {
  if (!text) return toResult(meshtools::kNoGroupFilePath);
  return guarded(meshtools::kGroupFileUnreadable,
                 [&] { return meshtools::countGroupsInFile(text); });
}

}  // extern "C"
