#include "remote/configuration_commands.h"

#include <string>

#include "app/settings_files.h"

namespace korvel::remote {
namespace {

// The one path parameter, refused when longer than the File menu's path buffer takes.
scpi::Fault read_configuration_path(const CommandCall& call, std::string* path) {
    if (auto f = scpi::expect_count(call.parameters, 1)) return f;
    if (auto f = scpi::read_string(call.parameters[0], path)) return f;
    if (path->empty()) return scpi::Error{scpi::kFileNameError, "empty path"};
    if (path->size() >= app::kConfigPathBuffer || path->find('\0') != std::string::npos)
        return scpi::Error{
            scpi::kFileNameError,
            "path longer than " + std::to_string(app::kConfigPathBuffer - 1) + " bytes"};
    return std::nullopt;
}

}  // namespace

scpi::Fault store_configuration(CommandCall& call) {
    std::string path;
    if (auto f = read_configuration_path(call, &path)) return f;
    if (app::SaveSettings(path.c_str()) != 1)
        return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
    return std::nullopt;
}

scpi::Fault load_configuration(CommandCall& call) {
    std::string path;
    if (auto f = read_configuration_path(call, &path)) return f;
    if (app::RestoreSettings(path.c_str()) != 0)
        return scpi::Error{scpi::kFileNameNotFound, "cannot read " + path};
    return std::nullopt;
}

}  // namespace korvel::remote
