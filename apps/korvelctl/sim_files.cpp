#include "sim_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace korvelctl {

namespace {

// The state file is replaced through a temporary file beside it, so its folder must be writable;
// the trace is written in place, so an existing trace file only has to be writable itself.
std::optional<std::string> cannot_write(const std::string& path, bool replaced_through_folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::string("it is a folder");
    if (!replaced_through_folder && fs::exists(path, ec)) {
        if (access(path.c_str(), W_OK) != 0) return std::string(std::strerror(errno));
        return std::nullopt;
    }
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return folder.string() + ": " + std::strerror(errno);
    return std::nullopt;
}

std::optional<std::string> check(const char* variable, const char* option, bool from_option,
                                 const char* what, bool replaced_through_folder) {
    const char* path = std::getenv(variable);
    if (path == nullptr || *path == '\0') return std::nullopt;
    auto reason = cannot_write(path, replaced_through_folder);
    if (!reason) return std::nullopt;
    return std::string(from_option ? option : variable) + " " + path + ": cannot write the " +
           what + " there (" + *reason + ")";
}

}  // namespace

std::optional<std::string> sim_file_problem(bool state_option, bool trace_option) {
    if (auto p = check("KORVEL_SIM_STATE", "--sim-state", state_option,
                       "simulated unit's state file", true))
        return p;
    return check("KORVEL_SIM_TRACE", "--trace", trace_option, "trace", false);
}

}  // namespace korvelctl
