#include "file_io.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/regular_file.h"

namespace korvel::sim {

namespace {

// The sentence for a failed read of `path`.
std::string read_problem(const std::string& path, const base::FileError& e, mode_t mode,
                         std::size_t max_bytes) {
    using Kind = base::FileError::Kind;
    switch (e.kind) {
        case Kind::TooLarge:
            return path + " is too large for a state file (more than " + std::to_string(max_bytes) +
                   " bytes)";
        case Kind::Directory:
        case Kind::Fifo:
        case Kind::Device:
        case Kind::NotRegular:
            return path + " is " + kind_words(mode) + ", not a regular file";
        case Kind::ReadFailed:
            return "cannot read " + path + ": " + std::strerror(e.error_number);
        default:
            return "cannot open " + path + ": " + std::strerror(e.error_number);
    }
}

bool read_whole(base::RegularFile& file, const std::string& path, std::size_t max_bytes,
                std::string& text, std::string* error, FileIdentity* identity) {
    std::string read;
    if (const base::FileError e = file.read_rest(read)) {
        if (error) *error = read_problem(path, e, file.status().st_mode, max_bytes);
        return false;
    }
    text = std::move(read);
    if (identity) *identity = identity_of(file.status());
    return true;
}

}  // namespace

FileIdentity identity_of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size,
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool read_regular(int fd, const std::string& path, std::size_t max_bytes, std::string& text,
                  std::string* error, FileIdentity* identity) {
    if (::lseek(fd, 0, SEEK_SET) < 0) {
        // A FIFO or device cannot seek: tell what it is.
        struct stat st {};
        if (::fstat(fd, &st) != 0 || S_ISREG(st.st_mode)) {
            if (error) *error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    base::RegularFile file(fd, max_bytes, base::OverLimit::Refuse);
    const bool ok = read_whole(file, path, max_bytes, text, error, identity);
    file.release();
    return ok;
}

bool read_file(const std::string& path, std::size_t max_bytes, std::string& text,
               std::string* error, FileIdentity* identity) {
    // Looked at before opening: opening a device can have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error) *error = path + " is " + kind_words(st.st_mode) + ", not a regular file";
        return false;
    }
    base::RegularFile file(path.c_str(), max_bytes, base::OverLimit::Refuse);
    return read_whole(file, path, max_bytes, text, error, identity);
}

int write_temporary_beside(const std::string& target, const std::string& text, std::string& temp,
                           std::string* error) {
    base::FileError e;
    const int fd = base::write_temporary_beside(target, text, temp, e);
    if (fd < 0 && error) {
        std::string folder = std::filesystem::path(target).parent_path().string();
        if (folder.empty()) folder = ".";
        *error = e.kind == base::FileError::Kind::OpenFailed
                     ? "cannot create a file in " + folder + ": " + std::strerror(e.error_number)
                     : "cannot write " + target + ": " + std::strerror(e.error_number);
    }
    return fd;
}

std::string move_aside(const std::string& path, std::string* error) {
    base::FileError e;
    std::string aside = base::move_aside(path, e);
    if (aside.empty() && error)
        *error = "cannot move " + path + " aside: " + std::strerror(e.error_number);
    return aside;
}

}  // namespace korvel::sim
