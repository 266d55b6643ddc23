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

/* ---- OBJ merge, UV scaling and group count ----------------------------------------------- */

/* ---- File-open dialog, file list and directory listing ----------------------------------- */

/* ---- Folder cursor and file operations --------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
