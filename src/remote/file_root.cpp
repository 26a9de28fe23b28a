#include "remote/file_root.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "scpi/scpi_error.h"

namespace korvel::remote {
namespace {

std::string g_root;  // as given; "" for the working directory

// `path` as an absolute path without symbolic links; "" when it cannot be resolved.
std::string resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : std::string();
}

bool inside(const std::string& path, const std::string& root) {
    if (path.empty() || root.empty()) return false;
    if (root == "/") return path.front() == '/';
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

// Relative, and without a ".." component that could climb out of the folder.
bool stays_below(std::string_view path) {
    if (path.empty() || path.front() == '/') return false;
    while (!path.empty()) {
        const auto slash = path.find('/');
        if (path.substr(0, slash) == "..") return false;
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return true;
}

scpi::Fault outside() {
    return scpi::Error{scpi::kFileNameError, "outside the remote file folder"};
}

scpi::Fault root_gone() {
    return scpi::Error{scpi::kMassStorageError, "the remote file folder does not exist"};
}

// Where the file open on `fd` really is (its path as the kernel found it).
std::string opened_path(int fd, const std::string& fallback) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : resolved(fallback);
}

std::string parent_of(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

}  // namespace

bool set_file_root(const std::string& folder, std::string* error) {
    struct stat st {};
    if (!folder.empty() && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        if (error != nullptr) *error = "--remote-files: " + folder + " is not a folder";
        return false;
    }
    g_root = folder;
    return true;
}

std::string file_root() {
    return resolved(g_root.empty() ? "." : g_root);
}

std::string path_in_root(const std::string& path) {
    const std::string root = file_root();
    return root == "/" ? "/" + path : root + "/" + path;
}

scpi::Fault open_in_root(const std::string& path, int* fd) {
    if (!stays_below(path)) return outside();
    const std::string root = file_root();
    if (root.empty()) return root_gone();
    const std::string full = path_in_root(path);
    const int opened = ::open(full.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (opened < 0) {
        const int error = errno;
        // Through a link to a folder outside, even a missing file is outside: the answer must
        // not tell what exists there.
        const std::string folder = resolved(parent_of(full));
        if (!folder.empty() && !inside(folder, root)) return outside();
        if (error == ENOENT || error == ENOTDIR)
            return scpi::Error{scpi::kFileNameNotFound, path + ": not found"};
        return scpi::Error{scpi::kMassStorageError,
                           path + ": cannot be opened: " + std::strerror(error)};
    }
    if (!inside(opened_path(opened, full), root)) {
        ::close(opened);
        return outside();
    }
    *fd = opened;
    return std::nullopt;
}

scpi::Fault store_target(const std::string& path, std::string* target) {
    if (!stays_below(path)) return outside();
    const std::string root = file_root();
    if (root.empty()) return root_gone();
    const std::string full = path_in_root(path);
    std::string file = resolved(full);
    struct stat st {};
    if (file.empty() && ::lstat(full.c_str(), &st) != 0) {
        // A new file: the folder it goes into must exist.
        const std::string folder = resolved(parent_of(full));
        if (folder.empty()) return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
        file = folder + full.substr(full.rfind('/'));
    }
    // A link that leads nowhere (or round in a loop) is not written through.
    if (file.empty()) return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
    if (!inside(file, root)) return outside();
    *target = file;
    return std::nullopt;
}

}  // namespace korvel::remote
