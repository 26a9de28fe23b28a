#include "fpga/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace korvel {

std::string FileProblem::describe() const {
    switch (kind) {
        case Kind::None:
            return "read";
        case Kind::NotFound:
            return "not found";
        case Kind::NoPermission:
            return "no permission to read it";
        case Kind::Directory:
            return "is a directory, not a file";
        case Kind::Fifo:
            return "is a FIFO, not a file";
        case Kind::Device:
            return "is a device, not a file";
        case Kind::NotRegular:
            return "is not a regular file";
        case Kind::TooLarge:
            return "is larger than " + std::to_string(kMostTextBytes >> 20) +
                   " MiB: too large to be a pattern or mask file";
        case Kind::OpenFailed:
            return std::string("cannot be opened: ") + std::strerror(error_number);
        case Kind::ReadFailed:
            return std::string("reading failed: ") + std::strerror(error_number);
    }
    return "cannot be read";
}

namespace {

FileProblem open_problem(int error_number) {
    switch (error_number) {
        case ENOENT:
        case ENOTDIR:
            return {FileProblem::Kind::NotFound, error_number};
        case EACCES:
        case EPERM:
            return {FileProblem::Kind::NoPermission, error_number};
        case EISDIR:
            return {FileProblem::Kind::Directory, error_number};
        default:
            return {FileProblem::Kind::OpenFailed, error_number};
    }
}

FileProblem kind_problem(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return {FileProblem::Kind::Directory, 0};
    if (S_ISFIFO(mode)) return {FileProblem::Kind::Fifo, 0};
    if (S_ISCHR(mode) || S_ISBLK(mode)) return {FileProblem::Kind::Device, 0};
    return {FileProblem::Kind::NotRegular, 0};
}

}  // namespace

TextFile::TextFile(const char* path) {
    if (path == nullptr || *path == '\0') {
        problem_ = {FileProblem::Kind::NotFound, ENOENT};
        return;
    }
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the kind is checked before any read.
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        problem_ = open_problem(errno);
        return;
    }
    check_opened();
}

TextFile::TextFile(int fd) : fd_(fd) {
    if (fd_ < 0) {
        problem_ = {FileProblem::Kind::OpenFailed, EBADF};
        return;
    }
    check_opened();
}

void TextFile::check_opened() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        problem_ = {FileProblem::Kind::OpenFailed, errno};
    } else {
        problem_ = kind_problem(st.st_mode);
    }
    if (!problem_ && static_cast<std::uint64_t>(st.st_size) > kMostTextBytes)
        problem_ = {FileProblem::Kind::TooLarge, 0};
    if (problem_) return;
    chunk_ = std::make_unique<std::uint8_t[]>(kTextChunkBytes);
    // A file the kernel makes up as it is read (under /proc, say) tells a length of 0; one chunk
    // of it is read.
    left_ = std::max<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), kTextChunkBytes);
}

TextFile::~TextFile() {
    if (fd_ >= 0) ::close(fd_);
}

std::span<const std::uint8_t> TextFile::next() {
    if (problem_ || !chunk_ || left_ == 0) return {};
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kTextChunkBytes));
    for (;;) {
        const ssize_t n = ::read(fd_, chunk_.get(), want);
        if (n >= 0) {
            left_ -= static_cast<std::uint64_t>(n);
            return {chunk_.get(), static_cast<std::size_t>(n)};
        }
        if (errno == EINTR) continue;
        problem_ = {FileProblem::Kind::ReadFailed, errno};
        return {};
    }
}

}  // namespace korvel
