// Seams where the modules that come later (settings files, control logic, connection
// supervision) join the shell without the shell knowing them. Each is empty until its module
// installs it; an empty hook is simply skipped.
#pragma once

#include <functional>

namespace korvel::app::hooks {

// Writes the settings file (argument: its name); the exit paths that save call it.
inline std::function<int(const char* file_name)> save_settings;
// Shows the stored Manual, DivideBy and Polarity in a freshly opened More Features panel.
inline std::function<void()> update_more;
// Runs after the main panel is shown and before the event loop starts (the first supervision
// tick and the restore of the settings file).
inline std::function<void()> after_main_panel_shown;

}  // namespace korvel::app::hooks
