// Reading and replacing the small text files the operator keeps (the settings file and named
// configurations) so that neither a strange file nor a failing disk can hurt: reads take only
// regular files and only so much of them, and a replacement leaves either the old or the complete
// new content, never a truncated file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace korvel::app {

// Reads at most `limit` bytes of the regular file `path` into `text`. False (and `text`
// untouched) when the file cannot be opened or read, or is not a regular file: a directory,
// a FIFO that would block the program, a device that never ends.
bool read_regular_file(const char* path, std::size_t limit, std::string* text);
// The same from the file open on `fd`, from where it stands (the caller closes it).
bool read_regular_file(int fd, std::size_t limit, std::string* text);

// Replaces the file `path` with `text`: written to a temporary file in the same directory,
// flushed and synced, then renamed over the old one. A file that exists keeps its permission bits
// (and, where allowed, its owner and group); a new one gets 0666 less the umask, as any newly
// created file does. A symbolic link is followed and the file it names is replaced. Where the
// directory cannot take a new file but the file itself may be written, the file is rewritten in
// place instead (written over, cut to length, synced). Returns false and leaves the old file
// exactly as it was when anything else fails: the disk fills up, the file may not be written or
// has no write permission bit at all (whoever writes), the path names something other than a
// regular file. Only a failure of the rewrite in place can leave a damaged file. When it returns
// false, errno tells why.
bool replace_file_atomically(const char* path, std::string_view text);

// The write(2) the replacement makes its writes through. Tests install one that fails midway to
// act out a full disk; reset_safe_file() (part of reset_app_state) puts write(2) back.
using FileWriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
extern FileWriteCall file_write_call;
void reset_safe_file();

}  // namespace korvel::app
