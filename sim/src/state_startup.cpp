#include "state_startup.h"

#include <sys/stat.h>

#include <cerrno>

namespace korvel::sim {

void start_from_state_file(Usb& usb, const std::string& path, std::FILE* messages) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        usb.set_state_path(path);  // a fresh unit; the file appears at the first save
        return;
    }
    std::string error;
    if (usb.load_state(path, &error)) return;
    const std::string aside = path + ".bad";
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        std::fprintf(messages,
                     "korvel simulated unit: cannot use the state file (%s); starting from the "
                     "default unit. The old file is kept as %s.\n",
                     error.c_str(), aside.c_str());
        usb.set_state_path(path);
    } else {
        std::fprintf(messages,
                     "korvel simulated unit: cannot use the state file (%s); starting from the "
                     "default unit, which is not saved.\n",
                     error.c_str());
    }
}

}  // namespace korvel::sim
