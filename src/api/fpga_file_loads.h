// Loading a custom pattern or an error mask from a text file into the open unit's FPGA, with the
// refusals and reports korvelctl prints and libkorvel's korvel_load_pattern/korvel_load_mask
// return: one wording wherever the files are loaded from outside the program.
#pragma once

#include <string>

namespace korvel::api {

struct FileLoad {
    enum class Outcome {
        Loaded,       // sent to the unit; `message` says what was loaded
        Refused,      // the file cannot be used; nothing sent, `message` says why
        Unavailable,  // no open unit, or it went away during the load
    };
    Outcome outcome = Outcome::Refused;
    std::string message;
};

// Reads and checks the file first; only a usable file is sent, through the open link. The FPGA's
// memories cannot be read back, so a load counts when the unit still answers after it.
FileLoad load_pattern_file(const std::string& path);
FileLoad load_mask_file(const std::string& path);

// Whether the link is open and the unit still answers on it: it has not been unplugged (or
// re-enumerated) since it was opened, not even for a moment.
bool unit_answers();

}  // namespace korvel::api
