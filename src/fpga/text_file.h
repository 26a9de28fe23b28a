// Reading a pattern or mask text file in bounded chunks, refusing anything that is not a regular
// file before a byte of it is read: a FIFO would block the window until a writer came, a device
// such as /dev/zero never ends, and a directory reads as an error on some systems and as junk on
// others.
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

// Reads `path` chunk by chunk into `reader` (take(std::span<const std::uint8_t>), and done() once
// it needs no more). A read failure ends the text there. No more is read than the file held when
// it was opened (or one chunk, when it held less): a file another program keeps appending to
// would otherwise never end.
template <class Reader>
FileProblem read_text_file(const char* path, Reader& reader);

namespace detail {
// An open file descriptor of a regular file, closed on destruction.
class TextFile {
  public:
    explicit TextFile(const char* path);
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
};
}  // namespace detail

template <class Reader>
FileProblem read_text_file(const char* path, Reader& reader) {
    detail::TextFile file(path);
    while (!file.problem() && !reader.done()) {
        const auto chunk = file.next();
        if (chunk.empty()) break;
        reader.take(chunk);
    }
    return file.problem();
}

}  // namespace korvel
