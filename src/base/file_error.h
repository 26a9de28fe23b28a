// What went wrong with a file, in one type for every reader and writer of the program and the
// simulated unit, and the words the program uses for it.
#pragma once

#include <sys/types.h>

#include <string>

namespace korvel::base {

// "a folder", "a FIFO", "a character device", "a block device", "a socket", "a regular file",
// or "not a regular file": what a path names, for a message.
std::string kind_words(mode_t mode);

struct FileError {
    enum class Kind {
        None,
        NotFound,
        NoPermission,
        Directory,
        Fifo,
        Device,
        NotRegular,   // a socket or another kind of special file
        TooLarge,     // longer than the reader's limit
        OpenFailed,   // any other reason the file could not be opened
        ReadFailed,   // opened, but reading failed part way
        ReadOnly,     // a replacement's target that has no write permission for anybody
        WriteFailed,  // the new content could not be written (creating, writing, syncing, renaming)
    };
    Kind kind = Kind::None;
    int error_number = 0;  // errno, where the system gave one

    explicit operator bool() const { return kind != Kind::None; }
    // The file could not be opened at all (as against a read failing part way).
    bool unopened() const { return kind != Kind::None && kind != Kind::ReadFailed; }
    // A few words for a message: "not found", "is a directory, not a file", ...
    std::string describe() const;
};

// The error of an open(2) that failed with `error_number`.
FileError open_error(int error_number);
// The error for a file of this kind where a regular file is wanted; none for a regular file.
FileError kind_error(mode_t mode);

}  // namespace korvel::base
