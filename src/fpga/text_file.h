// Reading a pattern or mask text file in bounded chunks, refusing anything that is not a regular
// file before a byte of it is read: a FIFO would block the window until a writer came, a device
// such as /dev/zero never ends, and a directory reads as an error on some systems and as junk on
// others. A file larger than any pattern or mask file could sensibly be is refused unread too: a
// reader that finds no bits would otherwise go through gigabytes of it while the window waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/regular_file.h"

namespace korvel {

// What went wrong with a pattern or mask file: the file module's error, in its words, with the
// limit of these files named.
struct FileProblem : base::FileError {
    // A few words for a message: "not found", "is a directory, not a file", ...
    std::string describe() const;
};

// Bytes read at a time.
constexpr std::size_t kTextChunkBytes = base::kChunkBytes;
// The largest file taken. A full pattern is 4096 words of 256 bits, one byte per bit: 1 MiB of
// '0'/'1' characters. Sixty-four times that leaves room for any separators and comments.
constexpr std::uint64_t kMostTextBytes = std::uint64_t{64} << 20;

// Reads `path` chunk by chunk into `reader` (take(std::span<const std::uint8_t>), and done() once
// it needs no more). A read failure ends the text there. No more is read than the file held when
// it was opened (or one chunk, when it held less): a file another program keeps appending to
// would otherwise never end.
template <class Reader>
FileProblem read_text_file(const char* path, Reader& reader);

// An open pattern or mask file: a regular file of at most kMostTextBytes, read to the length it
// had when opened.
class TextFile : public base::RegularFile {
  public:
    explicit TextFile(const char* path)
        : RegularFile(path, kMostTextBytes, base::OverLimit::LengthAtOpen) {}
    // Takes over `fd`, a descriptor opened for reading (O_NONBLOCK, so that a FIFO did not block
    // the open); its kind and size are checked as for a path.
    explicit TextFile(int fd) : RegularFile(fd, kMostTextBytes, base::OverLimit::LengthAtOpen) {}

    FileProblem problem() const { return {error()}; }
};

// Reads the rest of `file` into `reader`, as read_text_file does.
template <class Reader>
FileProblem read_text_file(TextFile& file, Reader& reader) {
    while (!file.problem() && !reader.done()) {
        const auto chunk = file.next();
        if (chunk.empty()) break;
        reader.take(chunk);
    }
    return file.problem();
}

template <class Reader>
FileProblem read_text_file(const char* path, Reader& reader) {
    TextFile file(path);
    return read_text_file(file, reader);
}

}  // namespace korvel
