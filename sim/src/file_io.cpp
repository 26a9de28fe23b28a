#include "file_io.h"

#include "korvel/sim/temporary_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace korvel::sim {

namespace {

std::string reason() {
    return std::strerror(errno);
}

std::string folder_of(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

FileIdentity identity_of(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size,
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::string kind_words(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISREG(mode)) return "a regular file";
    return "not a regular file";
}

std::string resolve_links(const std::string& path) {
    std::string p = path;
    for (int depth = 0; depth < 40; ++depth) {  // as many links as the kernel follows
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return p;
        const std::string next(target.data(), static_cast<std::size_t>(n));
        p = next.starts_with('/') ? next : folder_of(p) + "/" + next;
    }
    return p;
}

bool read_regular(int fd, const std::string& path, std::size_t max_bytes, std::string& text,
                  std::string* error, FileIdentity* identity) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        if (error) *error = "cannot read " + path + ": " + reason();
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error) *error = path + " is " + kind_words(st.st_mode) + ", not a regular file";
        return false;
    }
    const std::string too_large =
        path + " is too large for a state file (more than " + std::to_string(max_bytes) + " bytes)";
    if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
        if (error) *error = too_large;
        return false;
    }
    // Room for the length the file tells and one byte more, to notice a file that grew
    // meanwhile; a file that did grow gets more room, up to one byte past the limit.
    std::string data(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            if (data.size() > max_bytes) break;
            data.resize(std::min(2 * data.size(), max_bytes + 1));
        }
        const ssize_t n =
            ::pread(fd, data.data() + got, data.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = "cannot read " + path + ": " + reason();
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > max_bytes) {
        if (error) *error = too_large;
        return false;
    }
    data.resize(got);
    text = std::move(data);
    if (identity) *identity = identity_of(st);
    return true;
}

bool read_file(const std::string& path, std::size_t max_bytes, std::string& text,
               std::string* error, FileIdentity* identity) {
    // Looked at before opening: opening a device can have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error) *error = path + " is " + kind_words(st.st_mode) + ", not a regular file";
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = "cannot open " + path + ": " + reason();
        return false;
    }
    const bool ok = read_regular(fd, path, max_bytes, text, error, identity);
    ::close(fd);
    return ok;
}

int write_temporary_beside(const std::string& target, const std::string& text, std::string& temp,
                           std::string* error) {
    const std::string folder = folder_of(target);
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = temporary_file_name(folder);
        fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        if (error) *error = "cannot create a file in " + folder + ": " + reason();
        return -1;
    }
    // The replacement keeps the permissions (and, where allowed, the owner) of the file it
    // replaces; a new file gets the usual ones (0666 less the umask).
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        if (ok && ::geteuid() == 0) (void)::fchown(fd, old.st_uid, old.st_gid);
    }
    ok = ok && write_all(fd, text) && ::fsync(fd) == 0;
    if (!ok) {
        if (error) *error = "cannot write " + target + ": " + reason();
        ::close(fd);
        ::unlink(temp.c_str());
        return -1;
    }
    return fd;
}

int rename_without_overwriting(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return errno;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

std::string move_aside(const std::string& path, std::string* error) {
    int failure = 0;
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = path + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        failure = rename_without_overwriting(path, aside);
        if (failure == 0) return aside;
        if (failure != EEXIST) break;
    }
    if (error) *error = "cannot move " + path + " aside: " + std::strerror(failure);
    return "";
}

}  // namespace korvel::sim
