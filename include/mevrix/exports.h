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

/* ---- Sculpt maps ------------------------------------------------------------------------ */

/* Turns a mesh laid out on a regular texture-coordinate grid into a sculpt map: a 24-bit BMP
 * image whose pixels are vertex positions (x in red, y in green, z in blue, mapped around the
 * origin by the largest absolute coordinate). With Nu distinct u and Nv distinct v values the
 * mesh needs (Nu - 1) x (Nv - 1) faces, one per grid cell; each cell becomes 2 x 2 pixels holding
 * its four corners, so the image is 2*Nu - 2 pixels wide and 2*Nv - 2 high.
 * text:  path of the OBJ file to read.
 * value: not used.
 * buf1:  path of the image file to write (created, or truncated if it exists); buf1Len is not
 *        used.
 * Returns 0 when the map was written;
 *   -1    the OBJ file could not be opened or read (or memory ran out while reading it);
 *   -4    the image file could not be opened, written, flushed or closed;
 *   -9    text or buf1 is null;
 *   -64   the number of faces does not match the texture-coordinate grid (also when there are
 *         no texture coordinates at all);
 *   -65   the mesh is malformed: a position line with fewer than three numbers, a texture-
 *         coordinate line with fewer than two, a face with fewer than three or more than four
 *         corners, a corner without a texture-coordinate number, or a number naming no entry;
 *   -2048 the image would be wider or higher than 2048 pixels.
 * The checks run in the order -64, -2048, -65. On -1, -9, -64, -65 and -2048 no image file is
 * created or touched. Nothing is written into buf1. */
MEVRIX_API float OBJtoSculpty(const char* text, double value, char* buf1, int buf1Len);

/* ---- OBJ merge, UV scaling and group count ----------------------------------------------- */

/* ---- File-open dialog, file list and directory listing ----------------------------------- */

/* ---- Folder cursor and file operations --------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
