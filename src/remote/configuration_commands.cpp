#include "remote/configuration_commands.h"

#include <unistd.h>

#include <string>

#include "app/settings_files.h"
#include "app/settings_format.h"
#include "remote/control_commands.h"
#include "remote/file_root.h"

namespace korvel::remote {
namespace {

// A string reply: the text in double quotes, a quote inside doubled.
std::string quoted(const std::string& text) {
    std::string reply = "\"";
    for (const char c : text) reply += c == '"' ? std::string(2, c) : std::string(1, c);
    return reply + "\"";
}

}  // namespace

scpi::Fault store_configuration(CommandCall& call) {
    std::string path, target;
    if (auto f = read_path(call, app::kConfigPathBuffer, &path)) return f;
    if (auto f = store_target(path, &target)) return f;
    if (app::SaveSettings(target.c_str()) != 1)
        return scpi::Error{scpi::kMassStorageError, "cannot write " + path};
    return std::nullopt;
}

scpi::Fault load_configuration(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, app::kConfigPathBuffer, &path)) return f;
    int fd = -1;
    if (auto f = open_in_root(path, &fd)) return f;
    std::string text;
    const bool read = app::read_settings_text(fd, &text);
    ::close(fd);
    // A folder, a FIFO or a device opens, but is no file to read.
    if (!read) return scpi::Error{scpi::kMassStorageError, path + ": not a readable regular file"};
    if (!app::has_settings_header(text))
        return scpi::Error{scpi::kExecutionError,
                           path + ": not a configuration file (its first line is not " +
                               std::string(app::kSettingsHeader) + ")"};
    app::restore_settings_text(path_in_root(path).c_str(), text);
    return std::nullopt;
}

scpi::Fault query_directory(CommandCall& call) {
    if (auto f = no_parameters(call)) return f;
    call.reply = quoted(file_root());
    return std::nullopt;
}

scpi::Fault set_directory(CommandCall& call) {
    std::string path;
    if (auto f = read_path(call, app::kConfigPathBuffer, &path)) return f;
    const std::string root = file_root();
    if (path == "." || path == root) return std::nullopt;
    return scpi::Error{scpi::kFileNameError,
                       "the remote file folder is " + root + ", set by --remote-files"};
}

}  // namespace korvel::remote
