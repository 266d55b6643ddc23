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

/* Opens the folder cursor on a directory, for GetFile to walk. A cursor that was open is
 * released first, whatever happens next.
 * text: the directory's path, absolute or relative to the current directory.
 * Returns 0 when the cursor is open; -1 when text is null or empty, or the directory is missing,
 * not a directory or not readable (no cursor is left open then). */
MEVRIX_API float OpenFolder(const char* text, double value, char* buf1, int buf1Len);

/* Hands out the name of the open folder's next entry. Every entry comes, in the order the
 * system gives them: "." and "..", hidden entries, files and sub-directories alike, with no sign
 * of their type.
 * buf1: room for 260 bytes (buf1Len is not consulted); receives the name and its NUL, at most
 *       260 bytes together. A name that would not fit, which no file system here produces, is
 *       passed over, never cut short.
 * Returns 0 when a name was written; -1 when no folder is open; -2 when buf1 is null (nothing
 * written, no entry used up); -3 when no entry is left, again on every later call until the
 * cursor is closed or reopened (buf1 untouched). */
MEVRIX_API float GetFile(const char* text, double value, char* buf1, int buf1Len);

/* Closes the folder cursor. Uses no argument.
 * Returns 0 when a cursor was closed; -1 when none was open. */
MEVRIX_API float CloseFolder(const char* text, double value, char* buf1, int buf1Len);

/* Deletes one file. A directory, even an empty one, is never deleted, nor is a device, FIFO or
 * socket; a symbolic link is deleted itself, not what it points to.
 * text: the file's path.
 * Returns 0 when the file was deleted; -1 when text is null, the file is missing, is not a file,
 * or cannot be deleted. */
MEVRIX_API float FileDelete(const char* text, double value, char* buf1, int buf1Len);

/* Renames or moves a file, as the system's rename does (on POSIX a file already at the new path
 * is replaced).
 * text: the current path. buf1: the new path (read only).
 * Returns 0 when renamed; -1 when a path is null, the two paths are equal byte for byte (nothing
 * is touched), or the rename fails. */
MEVRIX_API float FileRename(const char* text, double value, char* buf1, int buf1Len);

/* Copies a file, 4000 bytes at a time, so files of any size take the same memory.
 * text: the source path. buf1: the destination path (read only).
 * The source is opened before the destination is touched. A regular file at the destination is
 * replaced by a new one (another hard link to the old one keeps its contents); a device or FIFO
 * is written as it is.
 * Returns 0 when the whole source was copied; -1 when a path is null, the paths are equal byte
 * for byte or name the same file in other ways (a relative form, a symbolic or hard link), the
 * source is missing, unreadable or a directory (in all these cases nothing is touched), the
 * destination cannot be opened for writing, or reading, writing or closing fails (the
 * destination is then left partly written). */
MEVRIX_API float FileCopyTo(const char* text, double value, char* buf1, int buf1Len);

/* Deletes the files of one folder whose names contain a dot, more exactly whose last ".", "/" or
 * "\" is a "." (".hidden", "a.txt", "a.b.c"). "." and ".." are passed over by name; names without
 * a dot, sub-directories (dotted or not, with everything in them), devices, FIFOs and sockets
 * stay, and a file that cannot be deleted is passed over. Sub-directories are not entered.
 * text: the folder's path, with or without a trailing separator.
 * Returns 0 when the folder could be read, whatever could be deleted; -1 when text is null or
 * empty, or the folder is missing, not a directory or not readable (nothing is deleted). */
MEVRIX_API float EmptyFolder(const char* text, double value, char* buf1, int buf1Len);

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
