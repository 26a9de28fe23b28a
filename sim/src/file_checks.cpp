#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "file_io.h"
#include "korvel/sim/files.h"

namespace korvel::sim {

namespace {

// Read-only: this process may not write it, or nobody may (root passes the first test anyway).
bool read_only(const std::string& path, const struct stat& st) {
    return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
}

std::optional<std::string> folder_problem(const std::string& path) {
    std::string folder = std::filesystem::path(resolve_links(path)).parent_path().string();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return folder + ": " + std::strerror(errno);
    return std::nullopt;
}

// Common to both files: what exists at `path` must be a writable regular file (or, when
// `fifo_allowed`, a FIFO); what does not exist must be creatable. `replaced_whole` files also
// need a writable folder when they exist.
std::optional<std::string> file_problem(const std::string& path, bool fifo_allowed,
                                        bool replaced_whole) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) return std::string(std::strerror(errno));
        return folder_problem(path);
    }
    if (fifo_allowed && S_ISFIFO(st.st_mode)) return std::nullopt;
    if (!S_ISREG(st.st_mode)) return "it is " + kind_words(st.st_mode);
    if (read_only(path, st)) return std::string("it is read-only");
    return replaced_whole ? folder_problem(path) : std::nullopt;
}

}  // namespace

std::optional<std::string> state_file_problem(const std::string& path) {
    return file_problem(path, false, true);
}

std::optional<std::string> trace_file_problem(const std::string& path) {
    return file_problem(path, true, false);
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    namespace fs = std::filesystem;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(resolve_links(a), ea);
    const fs::path cb = fs::weakly_canonical(resolve_links(b), eb);
    return !ea && !eb && ca == cb;
}

}  // namespace korvel::sim
