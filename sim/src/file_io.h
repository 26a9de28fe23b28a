// File-system steps for the unit's files: what a path names, bounded reads that never block,
// and writing a file whole through a temporary file beside it.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvel::sim {

// Who a file is, to tell whether another program replaced it since it was last read or written:
// every save renames a new file into place, so its inode changes.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t mtime_ns = 0;
    bool operator==(const FileIdentity&) const = default;
};
FileIdentity identity_of(const struct stat& st);

// "a folder", "a character device", "a FIFO", ... for a file that is not a regular file.
std::string kind_words(mode_t mode);

// Where a chain of symbolic links ends (`path` itself when it is not a link). The end need not
// exist. Saves go there, so a linked file is written through and the link stays a link.
std::string resolve_links(const std::string& path);

// Reads a whole regular file from an open descriptor, refusing anything else and any file longer
// than `max_bytes` without reading it. `path` is for the message; `identity` gets the file's.
bool read_regular(int fd, const std::string& path, std::size_t max_bytes, std::string& text,
                  std::string* error, FileIdentity* identity = nullptr);
// Reads `path` so. A FIFO or device is refused before it is opened, and it is opened without
// blocking in case one appears there meanwhile.
bool read_file(const std::string& path, std::size_t max_bytes, std::string& text,
               std::string* error, FileIdentity* identity = nullptr);

// A new file holding `text` in the folder of `target`, under a short hidden name (so a long target
// name still leaves room), with `target`'s permissions when it exists, written and flushed to
// disk. The descriptor stays open (close-on-exec); `temp` gets the name. -1 with `error` on
// failure, leaving nothing behind.
int write_temporary_beside(const std::string& target, const std::string& text, std::string& temp,
                           std::string* error);

// Renames `from` to `to` unless `to` exists. 0, or the errno (EEXIST when `to` exists). Falls back
// to a hard link, then to looking first, on file systems that cannot refuse an existing name.
int rename_without_overwriting(const std::string& from, const std::string& to);

// Moves `path` to "<path>.bad", or "<path>.bad.1", ".bad.2"... when that exists, never over an
// earlier one. The name used, or "" with `error`.
std::string move_aside(const std::string& path, std::string* error);

}  // namespace korvel::sim
