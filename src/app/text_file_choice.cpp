#include "app/text_file_choice.h"

#include "app/state.h"
#include "platform/user_interface.h"

namespace korvel::app {

void choose_text_file(int panel, int path_control, const char* title) {
    // The dialog writes the path only when a file is chosen.
    FileSelectPopup("", "*.txt", "*.*", title, VAL_OK_BUTTON, 0, 0, 1, 1, selected_file_path);
    if (selected_file_path[0] != '\0') SetCtrlVal(panel, path_control, selected_file_path);
}

namespace {

const FileAlreadyRead* g_handed_over = nullptr;

const FileAlreadyRead* handed_over() {
    const FileAlreadyRead* read = g_handed_over;
    return read != nullptr && read->path == selected_file_path ? read : nullptr;
}

}  // namespace

FileHandedOver::FileHandedOver(const FileAlreadyRead& file) {
    g_handed_over = &file;
}

FileHandedOver::~FileHandedOver() {
    g_handed_over = nullptr;
}

PatternFile read_chosen_pattern_file(PatternColumns& columns) {
    const FileAlreadyRead* read = handed_over();
    if (read == nullptr || !read->pattern) return read_pattern_file(selected_file_path, columns);
    copy_pattern_bits(*read->pattern, *read->columns, columns);
    return *read->pattern;
}

MaskFile read_chosen_mask_file(PatternColumns& columns) {
    const FileAlreadyRead* read = handed_over();
    if (read == nullptr || !read->mask) return read_mask_file(selected_file_path, columns);
    copy_mask_bits(*read->mask, *read->columns, columns);
    return *read->mask;
}

}  // namespace korvel::app
