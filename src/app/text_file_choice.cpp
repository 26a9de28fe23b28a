#include "app/text_file_choice.h"

#include "app/state.h"
#include "platform/user_interface.h"

namespace korvel::app {

void choose_text_file(int panel, int path_control, const char* title) {
    // The dialog writes the path only when a file is chosen.
    FileSelectPopup("", "*.txt", "*.*", title, VAL_OK_BUTTON, 0, 0, 1, 1, selected_file_path);
    if (selected_file_path[0] != '\0') SetCtrlVal(panel, path_control, selected_file_path);
}

}  // namespace korvel::app
