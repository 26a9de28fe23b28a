// The file dialog both pattern panels use to choose the one shared text file.
#pragma once

namespace korvel::app {

// Asks for a text file with the dialog titled `title` (current directory, "*.txt" proposed,
// any file type allowed) and stores the choice in selected_file_path. A cancelled dialog keeps
// the path chosen before, on either panel. The panel's `path_control` then shows the path a
// load would read (it keeps its placeholder while no file was ever chosen).
void choose_text_file(int panel, int path_control, const char* title);

}  // namespace korvel::app
