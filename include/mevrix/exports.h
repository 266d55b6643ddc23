/* Mevrix: the functions a host script calls by name.
 *
 * Every export has the same parameters and returns one float:
 *
 *   float Name(const char* text, double value, char* buf1, int buf1Len);
 *
 *   text     a NUL-terminated 8-bit string, or null: a path, a name or a selector
 *   value    a number: a mode, an index, a scale or a flag
 *   buf1     a caller-owned buffer, or null: a second path, or space for a string result
 *   buf1Len  the capacity of buf1 in bytes, for the exports that say they honour it
 *
 * Exports ignore the arguments they do not use. 0, a count or a length means success; negative
 * results are the error codes listed with each export. Nothing but the float leaves an export:
 * no exception, no message. Calls are expected from one thread at a time.
 *
 * Where an export reads `value` as an integer, it truncates toward zero (2.9 gives 2, -2.9
 * gives -2); NaN gives 0 and values beyond the 32-bit range give its nearest end.
 */
#ifndef MEVRIX_EXPORTS_H
#define MEVRIX_EXPORTS_H

#if defined(_WIN32)
#if defined(MEVRIX_BUILDING_LIBRARY)
#define MEVRIX_API __declspec(dllexport)
#else
#define MEVRIX_API __declspec(dllimport)
#endif
#else
#define MEVRIX_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Library ------------------------------------------------------------------------------ */

/* The library's version number. Uses no argument.
 * Returns 4.09 (as a 32-bit float), always. */
MEVRIX_API float Version(const char* text, double value, char* buf1, int buf1Len);

/* ---- COLLADA export ---------------------------------------------------------------------- */

/* Sets the date that later COLLADA documents carry as their created and modified dates.
 * text: the date, used as given in any format; null sets the empty date.
 * Returns 0; -1 when memory ran out (the date is kept as it was). */
MEVRIX_API float setDate(const char* text, double value, char* buf1, int buf1Len);

/* Sets the texture image name that later COLLADA documents refer to, as "./" text ".bmp".
 * text: the name without ".bmp"; null sets the empty name.
 * Returns 0; -1 when memory ran out (the name is kept as it was). */
MEVRIX_API float setTxrName(const char* text, double value, char* buf1, int buf1Len);

/* Converts an OBJ file into a COLLADA 1.4.1 document with one polygon list per OBJ group and
 * one textured material, carrying the date and texture name set last. The input is read
 * completely before the document is created, so both paths may name the same file.
 * text:  path of the OBJ file.
 * value: normal mode, truncated toward zero: 0 or less no normals; 1 one unit normal per face;
 *        2 per vertex, the area-weighted sum of its faces' normals scaled to unit length;
 *        3 or more the same sums unscaled.
 * buf1:  path of the document, created or emptied; its file name gives the ids' base name.
 *        buf1Len is not used.
 * Returns 0 on success; -1 when the OBJ file cannot be opened or read (no document is created);
 * -2 when the document cannot be created or not all of it could be written (disk full, I/O
 * error); -9 when text or buf1 is null (nothing is touched).
 * Except on -9, the base name, author, copyright and comments are assigned first, also when the
 * call then fails. */
MEVRIX_API float writeCollada(const char* text, double value, char* buf1, int buf1Len);

/* As writeCollada, but with one triangles element per OBJ group and one material and effect
 * per group ("material_001", "material_002", ... in the order the groups first occur; the
 * 1000th is "material_000", from the 1001st on the whole number follows, "material_1001").
 * Group names are taken from the group line's third character on; faces are written as they
 * stand, so the OBJ file should hold triangles. The base name always ends in "_".
 * Returns 0, -1, -2 or -9 as writeCollada does. */
MEVRIX_API float writeColladaTris(const char* text, double value, char* buf1, int buf1Len);

/* ---- Sculpt maps ------------------------------------------------------------------------ */

/* ---- OBJ merge, UV scaling and group count ----------------------------------------------- */

/* ---- File-open dialog, file list and directory listing ----------------------------------- */

/* ---- Folder cursor and file operations --------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
