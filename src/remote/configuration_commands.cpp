#include "remote/configuration_commands.h"

#include <string>

#include "app/settings_files.h"
#include "remote/control_commands.h"

namespace korvel::remote {

scpi::Fault store_configuration(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, app::kConfigPathBuffer, &path)) return f;
    if (app::SaveSettings(path.c_str()) != 1)
        return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
    return std::nullopt;
}

scpi::Fault load_configuration(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, app::kConfigPathBuffer, &path)) return f;
    if (app::RestoreSettings(path.c_str()) != 0)
        return scpi::Error{scpi::kFileNameNotFound, "cannot read " + path};
    return std::nullopt;
}

}  // namespace korvel::remote
