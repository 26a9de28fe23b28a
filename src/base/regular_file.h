// Reading a regular file in bounded chunks, refusing anything else before a byte of it is read: a
// FIFO would block the program until a writer came, a device such as /dev/zero never ends, and a
// directory reads as an error on some systems and as junk on others. How much is read is the
// caller's choice, one of three policies for a file longer than the caller's limit.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "base/file_error.h"

namespace korvel::base {

// Bytes read at a time.
constexpr std::size_t kChunkBytes = 64 * 1024;

enum class OverLimit {
    // A file longer than the limit is refused (TooLarge): when it is opened, and when it grows past
    // the limit while it is read. Up to one byte past the limit is read to tell.
    Refuse,
    // Only the first `limit` bytes are read; the rest is left unread, without an error.
    Truncate,
    // Refused when longer than the limit when opened; reading ends where the file ended then (one
    // chunk at least: a file the kernel makes up as it is read, under /proc say, tells a length
    // of 0), so a file another program keeps appending to still ends.
    LengthAtOpen,
};

// A regular file open for reading, closed on destruction.
class RegularFile {
  public:
    // Opens `path` without blocking (a FIFO put there meanwhile) and without becoming its
    // controlling terminal. What the path names is looked at first: opening a device can have
    // effects of its own.
    RegularFile(const char* path, std::uint64_t limit, OverLimit policy);
    // Takes over `fd`, a descriptor opened for reading, and reads it from where it stands; its
    // kind and length are checked as for a path.
    RegularFile(int fd, std::uint64_t limit, OverLimit policy);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    FileError error() const { return error_; }
    // The file as it was when opened (valid when opened).
    const struct stat& status() const { return status_; }
    // The next chunk; empty at the end (as the policy sets it) or after a failure (see error()).
    std::span<const std::uint8_t> next();
    // The rest of the file, as the policy allows, appended to `text`.
    FileError read_rest(std::string& text);
    // Gives the descriptor back to the caller instead of closing it.
    void release() { fd_ = -1; }

  private:
    int fd_ = -1;
    FileError error_;
    struct stat status_ {};
    std::uint64_t limit_ = 0;
    OverLimit policy_ = OverLimit::Refuse;
    std::uint64_t got_ = 0;   // bytes read so far
    std::uint64_t left_ = 0;  // bytes still to be read at most
    std::unique_ptr<std::uint8_t[]> chunk_;

    void check_opened();
};

// The whole of the regular file `path` (or, for the descriptor, the rest of it: the descriptor
// stays open), as `policy` allows. `text` is left untouched on an error.
FileError read_regular_file(const char* path, std::uint64_t limit, OverLimit policy,
                            std::string& text, struct stat* status = nullptr);
FileError read_regular_file(int fd, std::uint64_t limit, OverLimit policy, std::string& text,
                            struct stat* status = nullptr);

}  // namespace korvel::base
