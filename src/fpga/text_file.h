// Reading a pattern or mask text file in bounded chunks, refusing anything that is not a regular
// file before a byte of it is read: a FIFO would block the window until a writer came, a device
// such as /dev/zero never ends, and a directory reads as an error on some systems and as junk on
// others. A file larger than any pattern or mask file could sensibly be is refused unread too: a
// reader that finds no bits would otherwise go through gigabytes of it while the window waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace korvel {

struct FileProblem {
    enum class Kind {
        None,
        NotFound,
        NoPermission,
        Directory,
        Fifo,
        Device,
        NotRegular,  // a socket or another kind of special file
        TooLarge,    // larger than kMostTextBytes
        OpenFailed,  // any other reason the file could not be opened
        ReadFailed,  // opened, but reading failed part way: what was read before is kept
    };
    Kind kind = Kind::None;
    int error_number = 0;  // errno for OpenFailed and ReadFailed

    explicit operator bool() const { return kind != Kind::None; }
    // The file could not be opened at all (as against a read failing part way).
    bool unopened() const { return kind != Kind::None && kind != Kind::ReadFailed; }
    // A few words for a message: "not found", "is a directory", ...
    std::string describe() const;
};

// Bytes read at a time.
constexpr std::size_t kTextChunkBytes = 64 * 1024;
// The largest file taken. A full pattern is 4096 words of 256 bits, one byte per bit: 1 MiB of
// '0'/'1' characters. Sixty-four times that leaves room for any separators and comments.
constexpr std::uint64_t kMostTextBytes = std::uint64_t{64} << 20;

// Reads `path` chunk by chunk into `reader` (take(std::span<const std::uint8_t>), and done() once
// it needs no more). A read failure ends the text there. No more is read than the file held when
// it was opened (or one chunk, when it held less): a file another program keeps appending to
// would otherwise never end.
template <class Reader>
FileProblem read_text_file(const char* path, Reader& reader);

// An open file descriptor of a regular file, closed on destruction.
class TextFile {
  public:
    explicit TextFile(const char* path);
    // Takes over `fd`, a descriptor opened for reading (O_NONBLOCK, so that a FIFO did not block
    // the open); its kind and size are checked as for a path.
    explicit TextFile(int fd);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    FileProblem problem() const { return problem_; }
    // The next chunk; empty at the end of the file or after a failure (see problem()).
    std::span<const std::uint8_t> next();

  private:
    int fd_ = -1;
    FileProblem problem_;
    std::uint64_t left_ = 0;  // bytes still to read of the length the file had when opened
    std::unique_ptr<std::uint8_t[]> chunk_;

    void check_opened();
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
