/* A host's view of the Windows plug-in, written as a host written in C would be: load the DLL
 * with LoadLibraryA, find every export with GetProcAddress by its plain name, call them through
 * function pointers of the C calling convention (cdecl), and check what comes back.
 *
 *   windows_host_check DLL OBJ GOLDEN DOCUMENT
 *
 * Converts OBJ (with per-vertex unit normals) into DOCUMENT and compares it byte for byte with
 * GOLDEN, stored with "\n" line ends, which the plug-in writes as "\r\n". Both Windows builds,
 * 32-bit and 64-bit, run this check against the same golden document, so their documents are
 * identical. Exits 0 when everything holds; prints each fault otherwise. */

#define WIN32_LEAN_AND_MEAN
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "export_names.h"

typedef float(__cdecl* ExportFunction)(const char* text, double value, char* buf1, int buf1Len);

static const char* const kExportNames[] = {MEVRIX_EXPORT_NAME_LIST};

static int failures = 0;

static void fail(const char* what, const char* detail) {
  fprintf(stderr, "FAILED: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  ++failures;
}

/* The export called `name`, found as a host finds it; null (and a failure) when it is missing. */
static ExportFunction findExport(HMODULE plugin, const char* name) {
  /* GetProcAddress returns a generic function pointer; the cast goes through void* because the
   * two function types differ. */
  ExportFunction function = (ExportFunction)(void*)GetProcAddress(plugin, name);
  if (!function) fail("no export of this plain name", name);
  return function;
}

/* The whole file at `path` in a buffer the caller frees, or null. */
static char* readFile(const char* path, long* size) {
  FILE* file = fopen(path, "rb");
  char* bytes = NULL;
  if (!file) return NULL;
  if (fseek(file, 0, SEEK_END) == 0 && (*size = ftell(file)) >= 0 &&
      fseek(file, 0, SEEK_SET) == 0) {
    bytes = malloc((size_t)*size + 1);
    if (bytes && fread(bytes, 1, (size_t)*size, file) != (size_t)*size) {
      free(bytes);
      bytes = NULL;
    }
  }
  fclose(file);
  return bytes;
}

/* Whether `document` is `golden` with every "\n" written as "\r\n". */
static int sameWithCrLf(const char* document, long documentSize, const char* golden,
                        long goldenSize) {
  long d = 0;
  for (long g = 0; g < goldenSize; ++g) {
    if (golden[g] == '\n') {
      if (d >= documentSize || document[d++] != '\r') return 0;
    }
    if (d >= documentSize || document[d++] != golden[g]) return 0;
  }
  return d == documentSize;
}

static void checkDocument(const char* documentPath, const char* goldenPath) {
  long documentSize = 0, goldenSize = 0;
  char* document = readFile(documentPath, &documentSize);
  char* golden = readFile(goldenPath, &goldenSize);
  if (!document) fail("cannot read the written document", documentPath);
  if (!golden) fail("cannot read the golden document", goldenPath);
  if (document && golden && !sameWithCrLf(document, documentSize, golden, goldenSize)) {
    fail("the document differs from the golden document", goldenPath);
  }
  free(document);
  free(golden);
}

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: windows_host_check DLL OBJ GOLDEN DOCUMENT\n");
    return 2;
  }
  HMODULE plugin = LoadLibraryA(argv[1]);
  if (!plugin) {
    fprintf(stderr, "FAILED: LoadLibraryA(%s): error %lu\n", argv[1], GetLastError());
    return 1;
  }

  for (size_t i = 0; i < sizeof kExportNames / sizeof kExportNames[0]; ++i) {
    findExport(plugin, kExportNames[i]);
  }
  if (failures) return 1;

  const ExportFunction version = findExport(plugin, "Version");
  const ExportFunction setDate = findExport(plugin, "setDate");
  const ExportFunction setTxrName = findExport(plugin, "setTxrName");
  const ExportFunction writeCollada = findExport(plugin, "writeCollada");
  if (version(NULL, 0, NULL, 0) != 4.09f) fail("Version did not return 4.09", NULL);
  if (setDate("2026-12-07T00:00:00Z", 0, NULL, 0) != 0.0f) fail("setDate did not return 0", NULL);
  if (setTxrName("box_skin", 0, NULL, 0) != 0.0f) fail("setTxrName did not return 0", NULL);
  char documentPath[MAX_PATH];
  snprintf(documentPath, sizeof documentPath, "%s", argv[4]);
  if (writeCollada(argv[2], 2, documentPath, (int)sizeof documentPath) != 0.0f) {
    fail("writeCollada did not return 0", argv[2]);
  } else {
    checkDocument(argv[4], argv[3]);
  }

  FreeLibrary(plugin);
  if (failures == 0) printf("the plug-in works for a host calling it by name with cdecl\n");
  return failures == 0 ? 0 : 1;
}
