#include "base/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace korvel::base {

RegularFile::RegularFile(const char* path, std::uint64_t limit, OverLimit policy)
    : limit_(limit), policy_(policy) {
    if (path == nullptr || *path == '\0') {
        error_ = {FileError::Kind::NotFound, ENOENT};
        return;
    }
    if (::stat(path, &status_) == 0 && (error_ = kind_error(status_.st_mode))) return;
    fd_ = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = open_error(errno);
        return;
    }
    check_opened();
}

RegularFile::RegularFile(int fd, std::uint64_t limit, OverLimit policy)
    : fd_(fd), limit_(limit), policy_(policy) {
    if (fd_ < 0) {
        error_ = {FileError::Kind::OpenFailed, EBADF};
        return;
    }
    check_opened();
}

RegularFile::~RegularFile() {
    if (fd_ >= 0) ::close(fd_);
}

void RegularFile::check_opened() {
    if (::fstat(fd_, &status_) != 0) {
        error_ = {FileError::Kind::OpenFailed, errno};
        return;
    }
    if ((error_ = kind_error(status_.st_mode))) return;
    const auto size = static_cast<std::uint64_t>(status_.st_size);
    if (policy_ != OverLimit::Truncate && size > limit_) {
        error_ = {FileError::Kind::TooLarge, EFBIG};
        return;
    }
    switch (policy_) {
        case OverLimit::Refuse:
            left_ = limit_ + 1;
            break;
        case OverLimit::Truncate:
            left_ = limit_;
            break;
        case OverLimit::LengthAtOpen:
            left_ = std::max<std::uint64_t>(size, kChunkBytes);
            break;
    }
    chunk_ = std::make_unique<std::uint8_t[]>(kChunkBytes);
}

std::span<const std::uint8_t> RegularFile::next() {
    if (error_ || !chunk_ || left_ == 0) return {};
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kChunkBytes));
    for (;;) {
        const ssize_t n = ::read(fd_, chunk_.get(), want);
        if (n >= 0) {
            left_ -= static_cast<std::uint64_t>(n);
            got_ += static_cast<std::uint64_t>(n);
            if (n == 0) left_ = 0;
            if (policy_ == OverLimit::Refuse && got_ > limit_) {
                error_ = {FileError::Kind::TooLarge, EFBIG};
                return {};
            }
            return {chunk_.get(), static_cast<std::size_t>(n)};
        }
        if (errno == EINTR) continue;
        error_ = {FileError::Kind::ReadFailed, errno};
        return {};
    }
}

FileError RegularFile::read_rest(std::string& text) {
    std::string read;
    for (auto chunk = next(); !chunk.empty(); chunk = next())
        read.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
    if (!error_) text = std::move(read);
    return error_;
}

FileError read_regular_file(const char* path, std::uint64_t limit, OverLimit policy,
                            std::string& text, struct stat* status) {
    RegularFile file(path, limit, policy);
    const FileError error = file.read_rest(text);
    if (!error && status) *status = file.status();
    return error;
}

FileError read_regular_file(int fd, std::uint64_t limit, OverLimit policy, std::string& text,
                            struct stat* status) {
    RegularFile file(fd, limit, policy);
    const FileError error = file.read_rest(text);
    file.release();
    if (!error && status) *status = file.status();
    return error;
}

}  // namespace korvel::base
