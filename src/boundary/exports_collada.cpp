// The COLLADA exports: an OBJ file in, a COLLADA document out.

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "boundary/value_conversion.h"
#include "collada/document_variants.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::moduleState;
using mevrix::boundary::toInteger;
using mevrix::collada::ExportResult;

namespace {

using Writer = ExportResult (*)(mevrix::collada::ExportMetadata&, const char*, const char*,
                                std::int32_t);

float runWriter(Writer writer, const char* objPath, double value, const char* documentPath) {
  if (!objPath || !documentPath) return mevrix::boundary::toResult(ExportResult::missingPath);
  const std::int32_t mode = toInteger(value);
  // Anything that escapes a writer happens once the document is being written.
  return guarded(ExportResult::outputFailed,
                 [&] { return writer(moduleState().exportMetadata, objPath, documentPath, mode); });
}

}  // namespace

extern "C" {

float writeCollada(const char* text, double value, char* buf1, int) {
  return runWriter(mevrix::collada::writePolylistCollada, text, value, buf1);
}

float writeColladaTris(const char* text, double value, char* buf1, int) {
  return runWriter(mevrix::collada::writeTrianglesCollada, text, value, buf1);
}

}  // extern "C"
