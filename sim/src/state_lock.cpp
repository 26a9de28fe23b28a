#include "state_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace korvel::sim {

namespace {

int open_for_lock(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool same_inode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

StateLock::Outcome StateLock::lock(const std::string& path, std::string* error) {
    // A save by another program may replace the file between opening and locking it; the lock
    // then sits on the old file, so the path is looked at again until both agree.
    for (int attempt = 0; attempt < 16; ++attempt) {
        struct stat named {};
        if (::stat(path.c_str(), &named) != 0) {
            if (errno == ENOENT) return Outcome::Missing;
            if (error) *error = path + ": " + std::strerror(errno);
            return Outcome::Failed;
        }
        if (!S_ISREG(named.st_mode)) {
            if (error) *error = path + " is " + kind_words(named.st_mode) + ", not a regular file";
            return Outcome::Failed;
        }
        const int fd = open_for_lock(path);
        if (fd < 0) {
            if (errno == ENOENT) continue;
            if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
            return Outcome::Failed;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int e = errno;
            ::close(fd);
            if (e == EWOULDBLOCK) return Outcome::Busy;
            if (error) *error = "cannot lock " + path + ": " + std::strerror(e);
            return Outcome::Failed;
        }
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && same_inode(now, opened)) {
            hold(fd);
            return Outcome::Locked;
        }
        ::close(fd);
    }
    if (error) *error = path + " keeps being replaced by another program";
    return Outcome::Failed;
}

bool StateLock::replace(const std::string& path, const std::string& text, bool create_only,
                        bool* existed, std::string* error) {
    if (existed) *existed = false;
    const std::string target = resolve_links(path);
    std::string temp;
    const int fd = write_temporary_beside(target, text, temp, error);
    if (fd < 0) return false;
    // Nobody else knows the new file yet, so this lock is granted at once.
    ::flock(fd, LOCK_EX);
    // A file another program created meanwhile is kept when only creating.
    const int e = base::place(temp, target,
                              create_only ? base::Placing::KeepExisting : base::Placing::Overwrite);
    const bool placed = e == 0;
    if (!placed) {
        ::unlink(temp.c_str());
        ::close(fd);
        if (create_only && e == EEXIST) {
            if (existed) *existed = true;
        } else if (error) {
            *error = "cannot replace " + target + ": " + std::strerror(e);
        }
        return false;
    }
    hold(fd);
    return true;
}

bool StateLock::read(const std::string& path, std::size_t max_bytes, std::string& text,
                     std::string* error) const {
    return held() && read_regular(fd_, path, max_bytes, text, error);
}

FileIdentity StateLock::identity() const {
    struct stat st {};
    if (!held() || ::fstat(fd_, &st) != 0) return {};
    return identity_of(st);
}

void StateLock::hold(int fd) {
    release();
    fd_ = fd;
}

void StateLock::release() {
    if (fd_ < 0) return;
    ::close(fd_);  // closing the last descriptor of the open file releases the lock
    fd_ = -1;
}

bool StateLock::held_elsewhere(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const int fd = open_for_lock(path);
    if (fd < 0) return false;
    const bool busy = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return busy;
}

}  // namespace korvel::sim
