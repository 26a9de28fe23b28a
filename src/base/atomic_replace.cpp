#include "base/atomic_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "base/temporary_files.h"

namespace korvel::base {

namespace {

// Closes a descriptor when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded (a delayed write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_;
};

bool write_all(int fd, std::string_view text, WriteCall write) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = write != nullptr ? write(fd, p, left) : ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;  // nothing written and no reason given: taken as a full disk
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// "dir/" of "dir/name", or "" for a bare name (the working folder).
std::string folder_prefix(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void sync_folder(const std::string& prefix) {
    const int fd =
        ::open(prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // a folder that cannot be synced changes nothing
    ::fsync(fd);
    ::close(fd);
}

bool rewrite_in_place(const std::string& target, std::string_view text, WriteCall write) {
    Fd fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const bool written = write_all(fd.get(), text, write) &&
                         ::ftruncate(fd.get(), static_cast<off_t>(text.size())) == 0 &&
                         ::fsync(fd.get()) == 0;
    return fd.close() && written;
}

FileError write_error() {
    return {FileError::Kind::WriteFailed, errno};
}

}  // namespace

std::string resolve_links(const std::string& path) {
    std::string p = path;
    for (int depth = 0; depth < 40; ++depth) {  // as many links as the kernel follows
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return p;
        const std::string next(target.data(), static_cast<std::size_t>(n));
        const std::string prefix = folder_prefix(p);
        p = next.starts_with('/') || prefix.empty() ? next : prefix + next;
    }
    return p;
}

int write_temporary_beside(const std::string& target, std::string_view text, std::string& temp,
                           FileError& error, WriteCall write) {
    const std::string prefix = folder_prefix(target);
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temp = temporary_file_name(prefix);
        created = ::open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && errno != EEXIST) break;
    }
    if (created < 0) {
        error = {FileError::Kind::OpenFailed, errno};
        return -1;
    }
    Fd fd(created);
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0) {
        // Only a privileged process may give the file away; otherwise it stays the writer's.
        [[maybe_unused]] const int owner_kept = ::fchown(fd.get(), old.st_uid, old.st_gid);
        ok = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
    }
    if (!ok || !write_all(fd.get(), text, write) || ::fsync(fd.get()) != 0) {
        error = write_error();
        ::unlink(temp.c_str());
        return -1;
    }
    return fd.release();
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

int place(const std::string& temp, const std::string& target, Placing how) {
    const int e = how == Placing::KeepExisting
                      ? rename_without_overwriting(temp, target)
                      : (std::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno);
    if (e == 0) sync_folder(folder_prefix(target));
    return e;
}

FileError replace_file(const std::string& path, std::string_view text, WriteCall write) {
    if (path.empty()) return {FileError::Kind::NotFound, ENOENT};
    const std::string target = resolve_links(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (!existed && (errno != ENOENT || target != path)) return open_error(errno);
    if (existed) {
        if (const FileError e = kind_error(old.st_mode)) return e;
        if ((old.st_mode & 0222) == 0) return {FileError::Kind::ReadOnly, EACCES};
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return open_error(errno);
    }

    std::string temp;
    FileError error;
    Fd fd(write_temporary_beside(target, text, temp, error, write));
    if (fd.get() < 0) {
        if (error.kind != FileError::Kind::OpenFailed || !existed) return error;
        return rewrite_in_place(target, text, write) ? FileError{} : write_error();
    }
    const bool closed = fd.close();
    const int e = closed ? place(temp, target, Placing::Overwrite) : errno;
    if (e != 0) {
        ::unlink(temp.c_str());
        return {FileError::Kind::WriteFailed, e};
    }
    return {};
}

std::string move_aside(const std::string& path, FileError& error) {
    int failure = 0;
    for (int n = 0; n < 1000; ++n) {
        const std::string aside = path + ".bad" + (n == 0 ? "" : "." + std::to_string(n));
        failure = rename_without_overwriting(path, aside);
        if (failure == 0) return aside;
        if (failure != EEXIST) break;
    }
    error = {FileError::Kind::WriteFailed, failure};
    return "";
}

}  // namespace korvel::base
