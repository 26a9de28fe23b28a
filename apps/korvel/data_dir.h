// Where a desktop launch keeps its files: the program keeps settings.cfg, named configurations
// and calibration files in its working directory, and --data-dir makes that a folder of the
// user's own instead of wherever the desktop started it (often "/").
#pragma once

#include <string>

namespace korvel::gui {

// $XDG_DATA_HOME/korvel, or ~/.local/share/korvel when XDG_DATA_HOME is unset, empty or not an
// absolute path. Empty when neither it nor HOME gives an absolute path.
std::string data_dir_path();

// Creates the folder (mode 0700, with missing parents) and changes into it. Returns false with
// the reason in *error when it cannot.
bool enter_data_dir(std::string* error);

}  // namespace korvel::gui
