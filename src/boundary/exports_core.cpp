// Exports of the library itself and of the metadata that COLLADA documents carry.

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "mevrix/exports.h"
#include "mevrix_version.h"

using mevrix::boundary::guarded;
using mevrix::boundary::moduleState;
using mevrix::collada::MetadataResult;

namespace {

constexpr float kVersion = MEVRIX_VERSION_FLOAT;

// Replaces `target` with `text` (null meaning the empty string); keeps it on failure.
float assignText(std::string& target, const char* text) {
  return guarded(MetadataResult::outOfMemory, [&] {
    target.assign(text ? text : "");
    return MetadataResult::set;
  });
}

}  // namespace

extern "C" {

float Version(const char*, double, char*, int) { return kVersion; }

float setDate(const char* text, double, char*, int) {
  return assignText(moduleState().exportMetadata.date, text);
}

float setTxrName(const char* text, double, char*, int) {
  return assignText(moduleState().exportMetadata.textureName, text);
}

}  // extern "C"
