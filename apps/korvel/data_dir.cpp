#include "data_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace korvel::gui {
namespace {

std::string absolute_env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// mkdir -p with mode 0700 for every folder it makes; folders already there are left as they are.
bool make_folders(const std::string& path, std::string* error) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

std::string data_dir_path() {
    std::string base = absolute_env("XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = absolute_env("HOME");
        if (home.empty()) return {};
        base = home + "/.local/share";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/korvel";
}

bool enter_data_dir(std::string* error) {
    const std::string path = data_dir_path();
    if (path.empty()) {
        *error = "--data-dir: neither XDG_DATA_HOME nor HOME names an absolute folder";
        return false;
    }
    if (!make_folders(path, error)) return false;
    if (chdir(path.c_str()) != 0) {
        *error = "cannot change to " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace korvel::gui
