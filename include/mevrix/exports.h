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

/* The file list: GetFileList and GetDirFileList replace it, GetFileInfo reads it. It is 4096
 * bytes of NUL-terminated entries ended by an empty entry, and holds either one full path, or a
 * folder followed by the names of the files in it. Paths are joined with the platform's separator
 * ("/" on POSIX, "\" on Windows). A newly loaded library holds an empty list. */

/* Sets the folder the file-open dialog opens in.
 * text: the folder; null, or 512 characters or more, sets none (the dialog's own choice).
 * Returns 0, always. */
MEVRIX_API float SetDefaultDir(const char* text, double value, char* buf1, int buf1Len);

/* Sets the file-open dialog's caption.
 * text: the caption; null, or 256 characters or more, sets "Select Files" (the initial caption).
 * Returns 0, always. */
MEVRIX_API float SetDialogTitle(const char* text, double value, char* buf1, int buf1Len);

/* Empties the file list, shows the file-open dialog and waits until it is closed; the chosen files
 * become the file list (one file: its path; several: the folder, then their names).
 * text:  the filter: descriptions and patterns taking turns, separated by "|", patterns of one
 *        description separated by ";" (e.g. "Meshes|*.obj;*.dae|All files|*.*"); at most 255
 *        characters; null offers "*.*".
 * value: exactly 1.0 lets one file be chosen; any other value (NaN included) several.
 * Returns the number of files chosen; 0 when the dialog was cancelled or failed (the list is
 * empty); -1 when text has 256 characters or more (the list is empty).
 * On POSIX the dialog is zenity, else kdialog. It counts as cancelled when neither DISPLAY nor
 * WAYLAND_DISPLAY is set, when neither program is found, and when the selection does not fit in
 * the list. Files chosen from different folders are listed under their longest common folder,
 * with their paths relative to it as names. */
MEVRIX_API float GetFileList(const char* text, double value, char* buf1, int buf1Len);

/* Replaces the file list with the files or sub-folders of one folder, as GetFileList would list
 * them: one match gives its full path, several give the folder and their names in the order the
 * system lists them. Hidden entries (names beginning with "." on POSIX) and system entries
 * (neither file nor folder: devices, FIFOs, sockets, dangling links) are never listed.
 * text:  the folder, with or without a trailing separator; the list shows it without one. With
 *        the separator and "*" it must fit in 260 bytes (257 characters, 258 when it ends in a
 *        separator).
 * value: 0.0 lists files; any other value (NaN included) lists sub-folders, "." and ".." among
 *        them.
 * Returns the number of names listed, counting only those that fit in the 4096-byte list; 0 when
 * nothing matched, the folder cannot be read or text is too long (the list is then empty), and 0
 * with the list kept as it was when text is null or empty. */
MEVRIX_API float GetDirFileList(const char* text, double value, char* buf1, int buf1Len);

/* Reads one file of the file list.
 * text:    "fullname" for the file's full path, "name" for its name alone (exact, case-sensitive).
 * value:   the 1-based file index, truncated toward zero.
 * buf1:    receives the path or name with its NUL; buf1Len is its capacity, NUL included.
 * Returns the length written (without the NUL), or 0: for a null text or buf1, another selector,
 * an index below 1 or above the list's file count, and "name" on a single path without a
 * separator (buf1 is then untouched). A path or name that does not fit in buf1Len bytes also
 * gives 0, and buf1 then holds the empty string (nothing when buf1Len is 0 or less). On an empty
 * list, "fullname" with index 1 writes the empty string and returns 0. */
MEVRIX_API float GetFileInfo(const char* text, double value, char* buf1, int buf1Len);

/* ---- Folder cursor and file operations --------------------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
