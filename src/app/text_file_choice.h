// The file dialog both pattern panels use to choose the one shared text file.
#pragma once

#include <optional>
#include <string>

#include "fpga/pattern_files.h"

namespace korvel::app {

// Asks for a text file with the dialog titled `title` (current directory, "*.txt" proposed,
// any file type allowed) and stores the choice in selected_file_path. A cancelled dialog keeps
// the path chosen before, on either panel. The panel's `path_control` then shows the path a
// load would read (it keeps its placeholder while no file was ever chosen).
void choose_text_file(int panel, int path_control, const char* title);

// A pattern or mask file opened and read already. Remote control reads a file once, with the
// window's own reader, to check it before the window loads it; it then hands over what it read, so
// that the load takes exactly the file that was checked (the path may name another file, or
// none, by then) without reading it a second time.
struct FileAlreadyRead {
    std::string path;                         // taken only by a load of this path
    const PatternColumns* columns = nullptr;  // where the reader wrote its bits
    std::optional<PatternFile> pattern;       // the file as read by the pattern reader,
    std::optional<MaskFile> mask;             // or by the mask reader
};

// While an object of this class lives, the load buttons take `file` instead of reading it.
class FileHandedOver {
  public:
    explicit FileHandedOver(const FileAlreadyRead& file);
    ~FileHandedOver();
    FileHandedOver(const FileHandedOver&) = delete;
    FileHandedOver& operator=(const FileHandedOver&) = delete;
};

// The chosen file (selected_file_path) read into `columns` for a load: what was handed over for
// it, else the file read now.
PatternFile read_chosen_pattern_file(PatternColumns& columns);
MaskFile read_chosen_mask_file(PatternColumns& columns);

}  // namespace korvel::app
