#include "base/file_error.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace korvel::base {

std::string kind_words(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISREG(mode)) return "a regular file";
    return "not a regular file";
}

std::string FileError::describe() const {
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
            return "is too large";
        case Kind::OpenFailed:
            return std::string("cannot be opened: ") + std::strerror(error_number);
        case Kind::ReadFailed:
            return std::string("reading failed: ") + std::strerror(error_number);
        case Kind::ReadOnly:
            return "is read-only";
        case Kind::WriteFailed:
            return std::string("cannot be written: ") + std::strerror(error_number);
    }
    return "cannot be read";
}

FileError open_error(int error_number) {
    switch (error_number) {
        case ENOENT:
        case ENOTDIR:
            return {FileError::Kind::NotFound, error_number};
        case EACCES:
        case EPERM:
            return {FileError::Kind::NoPermission, error_number};
        case EISDIR:
            return {FileError::Kind::Directory, error_number};
        default:
            return {FileError::Kind::OpenFailed, error_number};
    }
}

FileError kind_error(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return {FileError::Kind::Directory, EISDIR};
    if (S_ISFIFO(mode)) return {FileError::Kind::Fifo, EINVAL};
    if (S_ISCHR(mode) || S_ISBLK(mode)) return {FileError::Kind::Device, EINVAL};
    return {FileError::Kind::NotRegular, EINVAL};
}

}  // namespace korvel::base
