#include "state_startup.h"

#include <sys/stat.h>

#include "file_io.h"
#include "korvel/sim/files.h"

namespace korvel::sim {

bool set_aside_bad_state(const std::string& path, const std::string& why, const char* then,
                         std::FILE* messages) {
    std::string error;
    const std::string aside = move_aside(resolve_links(path), &error);
    if (aside.empty()) {
        std::fprintf(messages,
                     "korvel simulated unit: cannot use the state file (%s) nor move it aside "
                     "(%s); the unit cannot be opened.\n",
                     why.c_str(), error.c_str());
        return false;
    }
    std::fprintf(messages,
                 "korvel simulated unit: cannot use the state file (%s); %s. The old file is "
                 "kept as %s.\n",
                 why.c_str(), then, aside.c_str());
    return true;
}

void start_from_state_file(Usb& usb, const std::string& path, std::FILE* messages) {
    if (auto problem = state_file_problem(path)) {
        std::fprintf(messages,
                     "korvel simulated unit: cannot use %s as the state file (%s); the unit "
                     "cannot be opened.\n",
                     path.c_str(), problem->c_str());
        usb.refuse_state_file(path + ": " + *problem);
        return;
    }
    usb.set_state_path(path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;  // a fresh unit; the file appears when it opens
    std::string error;
    if (usb.load_state(path, &error)) return;
    if (!set_aside_bad_state(path, error, "starting from the default unit", messages))
        usb.refuse_state_file(error);
}

}  // namespace korvel::sim
