// The settings file and named configuration files: restoring one into the settings set, the main
// panel and the unit; saving the set; and the File menu's "Open Configuration" and "Save As
// Configuration".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ui_constants.h"

namespace korvel::app {

// The settings file in the working directory: restored at start-up, written by the exits that
// save.
inline constexpr const char* kSettingsFile = "settings.cfg";
// The File menu's path buffer: paths of 260 characters or more are refused, not cut.
inline constexpr std::size_t kConfigPathBuffer = 260;

// Reads `path` into the settings set, names the configuration in SETUP_LOADED (undimmed, its
// full path as the tooltip), applies the polarity and then everything else to the main panel
// and the unit, and clears the settings-changed mark. Returns 0, or -1 when the file cannot be
// read (nothing changes then).
int RestoreSettings(const char* path);
// The text of the configuration file open on `fd`, read as RestoreSettings reads a file. False
// when it is not a regular file or cannot be read.
bool read_settings_text(int fd, std::string* text);
// RestoreSettings with the text already read from the file at `path`.
void restore_settings_text(const char* path, std::string_view text);
// Writes the settings set to `path`, replacing any old file safely. Returns 1, or 0 when the file
// cannot be written (an old file is left as it was; errno tells why).
int SaveSettings(const char* path);

// File > Save As Configuration and File > Open Configuration: ask for a file, then save or
// restore. Cancel does nothing.
void CVICALLBACK FileSaveAs(int menuBar, int menuItem, void* callbackData, int panel);
void CVICALLBACK FileOpen(int menuBar, int menuItem, void* callbackData, int panel);

// What SETUP_LOADED shows for a configuration read from `path`: nothing for exactly
// "settings.cfg", else the part after the last '\' or '/' (the whole path when it has neither).
std::string configuration_name(std::string_view path);

}  // namespace korvel::app
