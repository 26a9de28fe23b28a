#include "app/settings_files.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/safe_file.h"
#include "app/settings_format.h"
#include "app/state.h"
#include "app/unit_controls.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace korvel::app {
namespace {

// A settings file is a few hundred bytes. Reading stops here, so that a huge file chosen by
// mistake costs neither memory nor time; settings beyond this point keep their values.
constexpr std::size_t kMostBytesRead = 1u << 20;

constexpr const char* kErrorTitle = "Error";

// The path as the operator would look for it: absolute, as given when that cannot be worked out.
std::string full_path(const char* path) {
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return ec ? std::string(path) : absolute.string();
}

void show_configuration(const char* path) {
    SetCtrlVal(main_panel, PANELMAIN_SETUP_LOADED, configuration_name(path));
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_DIMMED, 0);
    SetCtrlAttribute(main_panel, PANELMAIN_SETUP_LOADED, ATTR_TOOLTIP_TEXT,
                     full_path(path).c_str());
}

void report(const char* what, const char* path) {
    MessagePopup(kErrorTitle, (std::string(what) + "\n" + path).c_str());
}

// The File menu's dialogs hand back paths in a buffer of kConfigPathBuffer characters; a longer
// path is refused with a message instead of being cut to a different file.
bool path_fits(const char* path) {
    if (std::strlen(path) < kConfigPathBuffer) return true;
    const std::string what = "The path of the configuration file is longer than " +
                             std::to_string(kConfigPathBuffer - 1) + " characters:";
    report(what.c_str(), path);
    return false;
}

}  // namespace

std::string configuration_name(std::string_view path) {
    if (path == kSettingsFile) return {};
    const auto separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

int RestoreSettings(const char* path) {
    std::string text;
    if (!read_regular_file(path, kMostBytesRead, &text)) return -1;
    restore_settings_text(path, text);
    return 0;
}

bool read_settings_text(int fd, std::string* text) {
    return read_regular_file(fd, kMostBytesRead, text);
}

void restore_settings_text(const char* path, std::string_view text) {
    parse_settings(text, settings);
    show_configuration(path);
    // The polarity just read, shown on More Features when it is open, is applied first.
    if (more_panel_open) SetCtrlVal(more_panel, PANELMORE_INV_DATA_BUTTON, settings.Polarity);
    invert_data(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    set_freq(main_panel, PANELMORE_INV_DATA_BUTTON, EVENT_COMMIT, nullptr, 0, 0);
    // set_freq has marked a change; the configuration just restored is unchanged.
    settings_changed = 0;
}

int SaveSettings(const char* path) {
    return replace_file_atomically(path, format_settings(settings)) ? 1 : 0;
}

void CVICALLBACK FileSaveAs(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                            int /*panel*/) {
    char path[MAX_PATHNAME_LEN] = "";
    const int chosen =
        FileSelectPopupEx("", "ZEVA_KORVEL_ConfigurationFile.txt", "",
                          "Choose a filename to save as:", VAL_SAVE_BUTTON, 0, 0, path);
    if (chosen != VAL_EXISTING_FILE_SELECTED && chosen != VAL_NEW_FILE_SELECTED) return;
    if (!path_fits(path)) return;
    if (SaveSettings(path) != 1) report("Unable to save the configuration file:", path);
}

void CVICALLBACK FileOpen(int /*menuBar*/, int /*menuItem*/, void* /*callbackData*/,
                          int /*panel*/) {
    char path[MAX_PATHNAME_LEN] = "";
    const int chosen =
        FileSelectPopupEx("", ".txt", "", "Choose a file to open", VAL_LOAD_BUTTON, 0, 0, path);
    if (chosen != VAL_EXISTING_FILE_SELECTED) return;
    if (!path_fits(path)) return;
    if (RestoreSettings(path) != 0) report("Unable to read the configuration file:", path);
}

}  // namespace korvel::app
