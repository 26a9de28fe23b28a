#include "base/temporary_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string_view>

namespace korvel::base {
namespace {

constexpr std::string_view kPrefix = ".korvel-";
constexpr std::string_view kSuffix = ".tmp";

bool all_digits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The process id in a name made by temporary_file_name(), or nothing for any other name.
std::optional<pid_t> owner_of(std::string_view name) {
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
    name = name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !all_digits(name.substr(0, dash)) ||
        !all_digits(name.substr(dash + 1)))
        return std::nullopt;
    pid_t pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + dash, pid);
    if (ec != std::errc() || pid <= 0) return std::nullopt;
    return pid;
}

// Whether a process with this id exists (one of another user's counts too).
bool running(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

std::string temporary_file_name(const std::string& folder) {
    static std::atomic<unsigned> counter{0};
    std::string name = folder;
    if (!name.empty() && name.back() != '/') name += '/';
    name += kPrefix;
    name += std::to_string(::getpid()) + "-" + std::to_string(counter++);
    name += kSuffix;
    return name;
}

int remove_stale_temporary_files(const std::string& folder) {
    const int dir_fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd < 0) return 0;
    DIR* dir = ::fdopendir(dir_fd);
    if (dir == nullptr) {
        ::close(dir_fd);
        return 0;
    }
    const pid_t self = ::getpid();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> owner = owner_of(entry->d_name);
        if (!owner || (*owner != self && running(*owner))) continue;
        struct stat st {};
        if (::fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::unlinkat(dir_fd, entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(dir);  // closes dir_fd too
    return removed;
}

}  // namespace korvel::base
