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

/* Appends one OBJ file to a merged OBJ file, renumbering its faces past what earlier calls
 * appended. Start a merge with GroupListClear, then call once per input with the same output,
 * passing 0 as value the first time and each result as the next call's value.
 * text:  the OBJ file to append.
 * value: the vertex base, the number of positions already in the output (read as an integer).
 * buf1:  the output OBJ path; created if absent, otherwise appended to. buf1Len is not used.
 * The input's "v " and "vt" lines are copied, every line beginning with "g" becomes "g " and the
 * input's file name without directory and last extension (split at "/" and "\"), every line
 * beginning with "f" is renumbered ("f 1/1 2/2 3/3" becomes "f P/T P/T P/T " with the vertex base
 * added to each position and the texture coordinates of earlier calls to each T), and all other
 * lines are dropped. A face whose position and texture-coordinate counts differ becomes the line
 * "# faceV - N txrV - M". Sums are exact: a number beyond the 32-bit range is written in full.
 * Output lines end with the platform's line end. The input is read completely before anything
 * is appended, so an output that names the input gains one renumbered copy.
 * Returns the vertex base plus the number of position lines copied (the next call's value; as a
 * float, exact up to 16777216);
 *   -1 the input cannot be read (or does not fit in memory): nothing written, nothing recorded;
 *   -2 the output cannot be opened for appending, or a write to it failed: nothing recorded;
 *   -9 text or buf1 is null. */
MEVRIX_API float AppendOBJ(const char* text, double value, char* buf1, int buf1Len);

/* Starts a new merge: forgets the inputs AppendOBJ recorded and its texture-coordinate and face
 * counts. Uses no argument. Returns 0. */
MEVRIX_API float GroupListClear(const char* text, double value, char* buf1, int buf1Len);

/* Writes a copy of an OBJ file whose texture coordinates are shrunk toward the texture's centre:
 * every number c of a line beginning with "vt" becomes value * c + (1 - value) / 2.
 * text:  the OBJ file to read.
 * value: the scale, 0 to 1 (both included).
 * buf1:  the output OBJ path; created, or emptied if it exists. buf1Len is not used.
 * A "vt" line is written as "vt " followed by each scaled number as printf's "%g" writes it and
 * a space; its numbers are read from its fourth character on until one cannot be read, and
 * whatever follows is dropped. Every other line is copied unchanged. Output lines end with the
 * platform's line end. The input is read completely before the output is emptied, so an output
 * that names the input receives the rescaled text.
 * Returns, checked in this order:
 *   -5 the scale is below 0, above 1 or not a number (nothing is opened);
 *    0 text or buf1 is null (nothing is opened);
 *   -1 the input cannot be read (or does not fit in memory); the output is not touched;
 *   -2 the output cannot be opened for writing, or a write to it failed;
 *    0 the output was written. */
MEVRIX_API float ScaleUVs(const char* text, double value, char* buf1, int buf1Len);

/* Counts the distinct groups in the host's binary mesh-exchange file: the distinct 16-bit ids in
 * its first group block (tag 40001), found by walking the chain of blocks from byte 32.
 * text: the file. value and buf1 are not used.
 * Returns the number of distinct group ids (0 to 65536);
 *   -9  text is null;
 *   -17 the file cannot be opened or read (a missing file, a directory);
 *   -18 the chain of blocks ends, or a block's 16-byte header runs past the end of the file,
 *       before a group block. A group block holding fewer ids than its entry count says is
 *       counted over the whole ids it holds. */
MEVRIX_API float getGroups(const char* text, double value, char* buf1, int buf1Len);

/* ---- File-open dialog, file list and directory listing ----------------------------------- */

/* ---- Folder cursor and file operations --------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
