// Seams where the settings files join the shell until that module exists. Each is empty until
// installed; an empty hook is simply skipped.
#pragma once

#include <functional>

namespace korvel::app::hooks {

// Writes the settings file (argument: its name); the exit paths that save call it.
inline std::function<int(const char* file_name)> save_settings;
// Restores the settings file after the first supervision tick at start-up.
inline std::function<void()> restore_settings;

}  // namespace korvel::app::hooks
