#include "app/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "korvel/sim/temporary_files.h"

namespace korvel::app {

FileWriteCall file_write_call = ::write;

void reset_safe_file() {
    file_write_call = ::write;
}

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

  private:
    int fd_;
};

bool write_all(int fd, std::string_view text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = file_write_call(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;  // nothing written and no reason given: taken as a full disk
        if (n <= 0) return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a write to `path` lands in: `path` itself, or the file a symbolic link names (so the
// link survives the rename). Empty when a link leads nowhere.
std::string write_target(const char* path) {
    struct stat st {};
    if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path, resolved) != nullptr ? std::string(resolved) : std::string();
}

// "dir/" of "dir/name", or "" for a bare name (the working directory).
std::string directory_prefix(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates a fresh temporary file beside the target. Returns the descriptor, or -1.
int create_temporary(const std::string& directory, std::string* temp_path) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp_path = sim::temporary_file_name(directory);
        const int fd = ::open(temp_path->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Makes the rename itself durable; a directory that cannot be synced changes nothing.
void sync_directory(const std::string& directory) {
    const int fd =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Where no new file can be made beside it (a shared folder the writer may not add files to), the
// file itself is rewritten: written over from its start, cut to the new length, synced. Writing
// before cutting keeps the old blocks, so a full disk can still take a text no longer than the
// old one. This is not atomic: a failure part way leaves a mix of old and new, and says so.
bool rewrite_in_place(const std::string& target, std::string_view text) {
    Fd fd(::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const bool written = write_all(fd.get(), text) &&
                         ::ftruncate(fd.get(), static_cast<off_t>(text.size())) == 0 &&
                         ::fsync(fd.get()) == 0;
    return fd.close() && written;
}

}  // namespace

bool read_regular_file(const char* path, std::size_t limit, std::string* text) {
    if (path == nullptr || text == nullptr) return false;
    // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
    Fd fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    return fd.get() >= 0 && read_regular_file(fd.get(), limit, text);
}

bool read_regular_file(int fd, std::size_t limit, std::string* text) {
    if (text == nullptr) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::string content;
    char chunk[8192];
    while (content.size() < limit) {
        const std::size_t want = std::min(sizeof chunk, limit - content.size());
        const ssize_t n = ::read(fd, chunk, want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        content.append(chunk, static_cast<std::size_t>(n));
    }
    *text = std::move(content);
    return true;
}

bool replace_file_atomically(const char* path, std::string_view text) {
    if (path == nullptr || *path == '\0') return false;
    const std::string target = write_target(path);
    if (target.empty()) return false;

    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (!existed && errno != ENOENT) return false;
    // Renaming over a device, FIFO or directory would replace it, not write into it; and a file
    // the writer may not write stays as it is, although the directory would allow the rename. A
    // file without any write permission bit was made read-only to protect it: a privileged writer,
    // whom every access check lets through, keeps off it too.
    if (existed && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (existed && (old.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    if (existed && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

    const std::string directory = directory_prefix(target);
    std::string temp;
    Fd fd(create_temporary(directory, &temp));
    if (fd.get() < 0) return existed && rewrite_in_place(target, text);
    if (existed) {
        // Owner and group first: changing them may clear mode bits that the chmod then restores.
        // Only a privileged process may give the file away; otherwise it stays the writer's.
        [[maybe_unused]] const int owner_kept = ::fchown(fd.get(), old.st_uid, old.st_gid);
        ::fchmod(fd.get(), old.st_mode & 07777);
    }
    const bool written = write_all(fd.get(), text) && ::fsync(fd.get()) == 0;
    if (!fd.close() || !written || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int reason = errno;
        ::unlink(temp.c_str());
        errno = reason;
        return false;
    }
    sync_directory(directory);
    return true;
}

}  // namespace korvel::app
