// The unit's file steps, on the program's file module (base/): what a path names, bounded reads
// that never block, writing a file whole through a temporary file beside it, each failure told
// in a sentence that names the file.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/atomic_replace.h"
#include "base/file_error.h"

namespace korvel::sim {

using base::kind_words;
using base::rename_without_overwriting;
using base::resolve_links;

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

// Reads a whole regular file from an open descriptor, from its start, refusing anything else and
// any file longer than `max_bytes` (also one that grows past it while read). `path` is for the
// message; `identity` gets the file's.
bool read_regular(int fd, const std::string& path, std::size_t max_bytes, std::string& text,
                  std::string* error, FileIdentity* identity = nullptr);
// Reads `path` so. A FIFO or device is refused before it is opened, and it is opened without
// blocking in case one appears there meanwhile.
bool read_file(const std::string& path, std::size_t max_bytes, std::string& text,
               std::string* error, FileIdentity* identity = nullptr);

// A new file holding `text` in the folder of `target` (base::write_temporary_beside): the
// descriptor stays open; `temp` gets the name. -1 with `error` on failure, leaving nothing behind.
int write_temporary_beside(const std::string& target, const std::string& text, std::string& temp,
                           std::string* error);

// Moves `path` to "<path>.bad", "<path>.bad.1", ... (base::move_aside). The name used, or "" with
// `error`.
std::string move_aside(const std::string& path, std::string* error);

}  // namespace korvel::sim
