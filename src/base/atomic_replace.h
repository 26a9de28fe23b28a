// Replacing a file whole, so that neither a failing disk nor a killed process leaves a truncated
// file: the new content goes into a temporary file beside the target (temporary_files.h), is
// synced, and is renamed over the target; then the folder is synced, so the rename itself is on
// disk. The steps, in this order, for every writer of the program and the simulated unit:
//   1. a symbolic link is followed to the file it names (the link stays a link);
//   2. the temporary file takes the target's owner and group where allowed (changing them may
//      clear mode bits), then the target's permission bits (a new file: 0666 less the umask);
//   3. the text is written and the temporary file synced;
//   4. it is renamed into place, and the folder synced.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "base/file_error.h"

namespace korvel::base {

// The write(2) a replacement writes through (tests give one that fails midway, a full disk).
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// Where a chain of symbolic links ends (`path` itself when it is not a link). The end need not
// exist.
std::string resolve_links(const std::string& path);

// Steps 2 and 3 for `target` (already resolved): the temporary file's descriptor (read-write,
// close-on-exec), its name in `temp`. -1 on failure, with `error` (OpenFailed: no file could be
// made in the folder; WriteFailed), leaving nothing behind.
int write_temporary_beside(const std::string& target, std::string_view text, std::string& temp,
                           FileError& error, WriteCall write = nullptr);

// Step 4: renames `temp` to `target`, over an existing target or (KeepExisting) never over one,
// then syncs the folder. 0, or the errno (EEXIST when KeepExisting found the target there).
enum class Placing { Overwrite, KeepExisting };
int place(const std::string& temp, const std::string& target, Placing how);

// Renames `from` to `to` unless `to` exists. 0, or the errno (EEXIST when `to` exists). Falls back
// to a hard link, then to looking first, on file systems that cannot refuse an existing name.
int rename_without_overwriting(const std::string& from, const std::string& to);

// All four steps for `path`. Refused before anything is written: a path naming something other
// than a regular file, a link that leads nowhere, a file this process may not write, and a file
// without any write permission bit (made read-only to protect it: a privileged writer, whom every
// access check lets through, keeps off it too). Where the folder takes no new file but the file
// itself may be written, the file is rewritten in place instead: written over from its start, cut
// to length, synced. Writing before cutting keeps the old blocks, so a full disk can still take a
// text no longer than the old one; but a failure part way leaves a mix of old and new. Any other
// failure leaves the old file as it was.
FileError replace_file(const std::string& path, std::string_view text, WriteCall write = nullptr);

// Moves `path` to "<path>.bad", or "<path>.bad.1", ".bad.2"... when that exists, never over an
// earlier one. The name used, or "" with `error`.
std::string move_aside(const std::string& path, FileError& error);

}  // namespace korvel::base
