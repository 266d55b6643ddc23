/* Mevrix: the functions a host script calls by name.
 *
 * Every export has the same parameters and returns one float:
 *
 *   float Name(const char* text, double value, char* buf1, int buf1Len);   (cdecl)
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

/* The calling convention of every export: the C default, cdecl (the caller removes the
 * arguments from the stack), under the plain name, without a leading underscore or an @N
 * suffix. It matters only on 32-bit Windows, where a host that finds an export by its name and
 * calls it through a function pointer of the C default gets exactly this; 64-bit systems have
 * one convention. */
#if defined(_WIN32) && !defined(_WIN64)
#define MEVRIX_CALL __cdecl
#else
#define MEVRIX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Library ------------------------------------------------------------------------------ */

/* The library's version number. Uses no argument.
 * Returns 4.09 (as a 32-bit float), always. */
MEVRIX_API float MEVRIX_CALL Version(const char* text, double value, char* buf1, int buf1Len);

/* ---- File-open dialog, file list and directory listing ----------------------------------- */

/* The file list: GetFileList and GetDirFileList replace it, GetFileInfo reads it. It is 4096
 * bytes of NUL-terminated entries ended by an empty entry, and holds either one full path, or a
 * folder followed by the names of the files in it. Paths are joined with the platform's separator
 * ("/" on POSIX, "\" on Windows). A newly loaded library holds an empty list. */

/* Sets the folder the file-open dialog opens in.
 * text: the folder; null, or 512 characters or more, sets none (the dialog's own choice).
 * Returns 0, always. */
MEVRIX_API float MEVRIX_CALL SetDefaultDir(const char* text, double value, char* buf1, int buf1Len);

/* Sets the file-open dialog's caption.
 * text: the caption; null, or 256 characters or more, sets "Select Files" (the initial caption).
 * Returns 0, always. */
MEVRIX_API float MEVRIX_CALL SetDialogTitle(const char* text, double value, char* buf1,
                                            int buf1Len);

/* Empties the file list, shows the file-open dialog and waits until it is closed; the chosen files
 * become the file list (one file: its path; several: the folder, then their names).
 * text:  the filter: descriptions and patterns taking turns, separated by "|", patterns of one
 *        description separated by ";" (e.g. "Meshes|*.obj;*.dae|All files|*.*"); at most 255
 *        characters; null offers "*.*".
 * value: exactly 1.0 lets one file be chosen; any other value (NaN included) several.
 * Returns the number of files chosen; 0 when the dialog was cancelled or failed (the list is
 * empty); -1 when text has 256 characters or more (the list is empty).
 * A selection the dialog hands back also counts as cancelled when its list does not end inside
 * the 4096 bytes (it did not fit), when it holds more than one file where one may be chosen, and
 * when one of its paths names no existing file.
 * On Windows the dialog is the system's (GetOpenFileNameA); a selection that does not fit in the
 * list fails it. On POSIX the dialog is zenity, else kdialog. It counts as cancelled when neither
 * DISPLAY nor WAYLAND_DISPLAY is set, when neither program is found, and when the selection does
 * not fit in the list. Files chosen from different folders are listed under their longest common
 * folder, with their paths relative to it as names. */
MEVRIX_API float MEVRIX_CALL GetFileList(const char* text, double value, char* buf1, int buf1Len);

/* Replaces the file list with the files or sub-folders of one folder, as GetFileList would list
 * them: one match gives its full path, several give the folder and their names in the order the
 * system lists them. Hidden entries and system entries are never listed: on Windows those with
 * the hidden or the system attribute; on POSIX names beginning with "." and whatever is neither
 * file nor folder (devices, FIFOs, sockets, dangling links).
 * text:  the folder, with or without a trailing separator; the list shows it without one. With
 *        the separator and "*" it must fit in 260 bytes (257 characters, 258 when it ends in a
 *        separator).
 * value: 0.0 lists files; any other value (NaN included) lists sub-folders, "." and ".." among
 *        them.
 * Returns the number of names listed, counting only those that fit in the 4096-byte list; 0 when
 * nothing matched, the folder cannot be read or text is too long (the list is then empty), and 0
 * with the list kept as it was when text is null or empty. */
MEVRIX_API float MEVRIX_CALL GetDirFileList(const char* text, double value, char* buf1,
                                            int buf1Len);

/* Reads one file of the file list.
 * text:    "fullname" for the file's full path, "name" for its name alone (exact, case-sensitive).
 * value:   the 1-based file index, truncated toward zero.
 * buf1:    receives the path or name with its NUL; buf1Len is its capacity, NUL included.
 * Returns the length written (without the NUL), or 0: for a null text or buf1, another selector,
 * an index below 1 or above the list's file count, and "name" on a single path without a
 * separator (buf1 is then untouched). A path or name that does not fit in buf1Len bytes also
 * gives 0, and buf1 then holds the empty string (nothing when buf1Len is 0 or less). On an empty
 * list, "fullname" with index 1 writes the empty string and returns 0. */
MEVRIX_API float MEVRIX_CALL GetFileInfo(const char* text, double value, char* buf1, int buf1Len);

/* ---- Folder cursor and file operations --------------------------------------------------- */

/* Opens the folder cursor on a directory, for GetFile to walk. A cursor that was open is
 * released first, whatever happens next.
 * text: the directory's path, absolute or relative to the current directory.
 * Returns 0 when the cursor is open; -1 when text is null or empty, or the directory is missing,
 * not a directory or not readable (no cursor is left open then). */
MEVRIX_API float MEVRIX_CALL OpenFolder(const char* text, double value, char* buf1, int buf1Len);

/* Hands out the name of the open folder's next entry. Every entry comes, in the order the
 * system gives them: "." and "..", hidden entries, files and sub-directories alike, with no sign
 * of their type.
 * buf1: room for 260 bytes (buf1Len is not consulted); receives the name and its NUL, at most
 *       260 bytes together. A name that would not fit, which no file system here produces, is
 *       passed over, never cut short.
 * Returns 0 when a name was written; -1 when no folder is open; -2 when buf1 is null (nothing
 * written, no entry used up); -3 when no entry is left, again on every later call until the
 * cursor is closed or reopened (buf1 untouched). */
MEVRIX_API float MEVRIX_CALL GetFile(const char* text, double value, char* buf1, int buf1Len);

/* Closes the folder cursor. Uses no argument.
 * Returns 0 when a cursor was closed; -1 when none was open. */
MEVRIX_API float MEVRIX_CALL CloseFolder(const char* text, double value, char* buf1, int buf1Len);

/* Deletes one file. A directory, even an empty one, is never deleted, nor is a device, FIFO or
 * socket; a symbolic link is deleted itself, not what it points to. On Windows a link or junction
 * to a directory is kept like a directory, and the system refuses to delete a read-only file or
 * one that another program has open without sharing deletion.
 * text: the file's path.
 * Returns 0 when the file was deleted; -1 when text is null, the file is missing, is not a file,
 * or cannot be deleted. */
MEVRIX_API float MEVRIX_CALL FileDelete(const char* text, double value, char* buf1, int buf1Len);

/* Renames or moves a file, as the system's rename does: a file already at the new path is
 * replaced on POSIX; on Windows the rename then fails.
 * text: the current path. buf1: the new path (read only).
 * Returns 0 when renamed; -1 when a path is null, the two paths are equal byte for byte or, on
 * POSIX, two names of one file (hard links, which rename would leave as they are; nothing is
 * touched), or the rename fails. */
MEVRIX_API float MEVRIX_CALL FileRename(const char* text, double value, char* buf1, int buf1Len);

/* Copies a file, 4000 bytes at a time, so files of any size take the same memory.
 * text: the source path. buf1: the destination path (read only).
 * The source is opened before the destination is touched. The copy is written to a new file,
 * which takes the destination's place once complete; a file there keeps its every name, owner,
 * group, permissions and attributes (see the README's "Failed calls"), a symbolic link keeps
 * leading to the file it names, and a failed copy leaves the destination as it was. A device or
 * FIFO is written as it is; a FIFO that no program reads gives -1 at once.
 * Returns 0 when the whole source was copied; -1 when a path is null, the paths are equal byte
 * for byte or name the same file in other ways (a relative form, another letter case where the
 * system ignores it, a symbolic or hard link), the source is missing, unreadable or not a
 * regular file (a directory, device, FIFO or socket; in all these cases nothing is touched), the
 * destination cannot be opened for writing or may not be written by the caller, or reading,
 * writing or closing fails (the destination is then as it was, unless it is a device or FIFO). */
MEVRIX_API float MEVRIX_CALL FileCopyTo(const char* text, double value, char* buf1, int buf1Len);

/* Deletes the files of one folder whose names contain a dot, more exactly whose last ".", "/" or
 * "\" is a "." (".hidden", "a.txt", "a.b.c"). "." and ".." are passed over by name; names without
 * a dot, sub-directories (dotted or not, with everything in them), devices, FIFOs and sockets
 * stay, and a file that cannot be deleted is passed over. Sub-directories are not entered.
 * text: the folder's path, with or without a trailing separator.
 * Returns 0 when the folder could be read, whatever could be deleted; -1 when text is null or
 * empty, or the folder is missing, not a directory or not readable (nothing is deleted). */
MEVRIX_API float MEVRIX_CALL EmptyFolder(const char* text, double value, char* buf1, int buf1Len);

/* ---- UV scaling -------------------------------------------------------------------------- */

/* Writes a copy of an OBJ file whose texture coordinates are shrunk toward the texture's centre:
 * every number c of a line beginning with "vt" becomes value * c + (1 - value) / 2.
 * text:  the OBJ file to read.
 * value: the scale, 0 to 1 (both included).
 * buf1:  the output OBJ path; created, or replaced if it exists. buf1Len is not used.
 * A "vt" line is written as "vt " followed by each scaled number as printf's "%g" writes it and
 * a space; its numbers are read from its fourth character on until one cannot be read, and
 * whatever follows is dropped. Every other line is copied unchanged. Output lines end with the
 * platform's line end. The output is written to a new file first and put at the path once
 * complete, keeping a replaced file's every name, owner, group, permissions and attributes (see
 * the README's "Failed calls"), so a failed call leaves it as it was, even when it names the
 * input (any name for the same file); a symbolic link is followed.
 * Returns, checked in this order:
 *   -5 the scale is below 0, above 1 or not a number (nothing is opened);
 *    0 text or buf1 is null (nothing is opened);
 *   -1 the input cannot be opened or read at all, or memory ran out before writing; the output is
 *      not touched;
 *   -2 the output cannot be opened for writing or may not be written by the caller, a write to
 *      it failed, or the input or memory failed once writing had begun; the output is as it
 *      was;
 *    0 the output was written. */
MEVRIX_API float MEVRIX_CALL ScaleUVs(const char* text, double value, char* buf1, int buf1Len);

/* ---- COLLADA export ---------------------------------------------------------------------- */

/* Sets the date that later COLLADA documents carry as their created and modified dates.
 * text: the date, used as given in any format; null sets the empty date.
 * Returns 0; -1 when memory ran out (the date is kept as it was). */
MEVRIX_API float MEVRIX_CALL setDate(const char* text, double value, char* buf1, int buf1Len);

/* Sets the texture image name that later COLLADA documents refer to, as "./" text ".bmp".
 * text: the name without ".bmp"; null sets the empty name.
 * Returns 0; -1 when memory ran out (the name is kept as it was). */
MEVRIX_API float MEVRIX_CALL setTxrName(const char* text, double value, char* buf1, int buf1Len);

/* Converts an OBJ file into a COLLADA 1.4.1 document with one polygon list per OBJ group and
 * one textured material, carrying the date and texture name set last. The OBJ file is read
 * before the document is created, and its position and texture-coordinate lines again while the
 * document is written. The document is written to a new file first and put at its path once
 * complete, keeping a replaced file's every name, owner, group, permissions and attributes (see
 * the README's "Failed calls"), so a failed call leaves the path as it was; both paths may name
 * the same file, whose OBJ text then stays until the document replaces it.
 * text:  path of the OBJ file.
 * value: normal mode, truncated toward zero: 0 or less no normals; 1 one unit normal per face;
 *        2 per vertex, the area-weighted sum of its faces' normals scaled to unit length;
 *        3 or more the same sums unscaled.
 * buf1:  path of the document, created or replaced; its file name gives the ids' base name.
 *        buf1Len is not used.
 * Returns 0 on success; -1 when the OBJ file cannot be opened or read, or memory ran out while
 * reading it (no document is touched); -2 when the document cannot be created, may not be
 * written by the caller, or not all of it could be written (disk full, I/O error, memory running
 * out, or the OBJ file failing or changing while its lines are read again; the document path keeps
 * what it held); -9 when text or buf1 is null (nothing is touched). Except on -9, the base name,
 * author, copyright and comments are assigned first, also when the call then fails. */
MEVRIX_API float MEVRIX_CALL writeCollada(const char* text, double value, char* buf1, int buf1Len);

/* As writeCollada, but with one triangles element per OBJ group and one material and effect
 * per group ("material_001", "material_002", ... in the order the groups first occur; the
 * 1000th is "material_000", from the 1001st on the whole number follows, "material_1001").
 * Group names are taken from the group line's third character on; faces are written as they
 * stand, so the OBJ file should hold triangles. The base name always ends in "_".
 * Returns 0, -1, -2 or -9 as writeCollada does. */
MEVRIX_API float MEVRIX_CALL writeColladaTris(const char* text, double value, char* buf1,
                                              int buf1Len);

/* ---- Group count ------------------------------------------------------------------------- */

/* Counts the distinct groups in the host's binary mesh-exchange file: the distinct 16-bit ids in
 * its first group block (tag 40001), found by walking the chain of blocks from byte 32.
 * text: the file. value and buf1 are not used.
 * Returns the number of distinct group ids (0 to 65536);
 *   -9  text is null;
 *   -17 the file cannot be opened or read (a missing file, a directory, a read error);
 *   -18 the chain of blocks ends, or a block's 16-byte header runs past the end of the file,
 *       before a group block. A group block holding fewer ids than its entry count says is
 *       counted over the whole ids it holds. */
MEVRIX_API float MEVRIX_CALL getGroups(const char* text, double value, char* buf1, int buf1Len);

/* ---- Sculpt maps ------------------------------------------------------------------------ */

/* Turns a mesh laid out on a regular texture-coordinate grid into a sculpt map: a 24-bit BMP
 * image whose pixels are vertex positions (x in red, y in green, z in blue, mapped around the
 * origin by the largest absolute coordinate). With Nu distinct u and Nv distinct v values the
 * mesh needs (Nu - 1) x (Nv - 1) faces, one per grid cell; each cell becomes 2 x 2 pixels holding
 * its four corners, so the image is 2*Nu - 2 pixels wide and 2*Nv - 2 high.
 * text:  path of the OBJ file to read.
 * value: not used.
 * buf1:  path of the image file to write (created, or replaced once the image is complete);
 *        buf1Len is not used.
 * Returns 0 when the map was written;
 *   -1    the OBJ file could not be opened or read, changed between the two readings the map
 *         takes, or memory ran out while it was read;
 *   -4    the image file could not be opened (or may not be written by the caller), written,
 *         flushed or closed;
 *   -9    text or buf1 is null;
 *   -64   the number of faces does not match the texture-coordinate grid (also when there are
 *         no texture coordinates at all);
 *   -65   the mesh is malformed: a position line with fewer than three numbers, a texture-
 *         coordinate line with fewer than two, a face with fewer than three or more than four
 *         corners, a corner without a texture-coordinate number, or a number naming no entry;
 *   -2048 the image would be wider or higher than 2048 pixels.
 * The checks run in the order -64, -2048, -65. On any negative result no image file is created
 * or touched. Nothing is written into buf1. */
MEVRIX_API float MEVRIX_CALL OBJtoSculpty(const char* text, double value, char* buf1, int buf1Len);

/* ---- OBJ merge --------------------------------------------------------------------------- */

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
 * Output lines end with the platform's line end. Only the bytes the input had when the call
 * began are read, so an output that names the input gains one renumbered copy.
 * Returns the vertex base plus the number of position lines copied (the next call's value; as a
 * float, exact up to 16777216; the exact count is kept until GroupListClear, and a value equal
 * to it as a float is taken as that exact count);
 *   -1 the input cannot be opened or read at all, or memory ran out before appending: nothing
 *      written, nothing recorded;
 *   -2 the output cannot be opened for appending, a write to it failed, or the input or memory
 *      failed once appending had begun: the output is cut back to what it held (and removed
 *      when this call created it), nothing recorded. Where another program has appended to it
 *      since, or the file may only be appended to, it is not cut back: what this call wrote
 *      stays;
 *   -9 text or buf1 is null. */
MEVRIX_API float MEVRIX_CALL AppendOBJ(const char* text, double value, char* buf1, int buf1Len);

/* Starts a new merge: forgets the inputs AppendOBJ recorded and its texture-coordinate and face
 * counts. Uses no argument. Returns 0. */
MEVRIX_API float MEVRIX_CALL GroupListClear(const char* text, double value, char* buf1,
                                            int buf1Len);

#ifdef __cplusplus
}
#endif

#endif /* MEVRIX_EXPORTS_H */
