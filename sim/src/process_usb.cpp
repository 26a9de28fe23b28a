// The process's one simulated USB, made at first use from the environment:
//   KORVEL_SIM_STATE  the state file the unit is loaded from and saved to;
//   KORVEL_SIM_TRACE  the Value Change Dump of the pins.
// A state file that cannot be used never stops the program: the message says why, the file is
// moved aside to "<path>.bad" for the user to look at, and the unit starts from its defaults
// (saved to the path from then on). If it cannot be moved aside, nothing is saved there.
#include <sys/stat.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "korvel/sim/usb.h"

namespace korvel::sim {

namespace {

std::unique_ptr<Usb>& instance() {
    static std::unique_ptr<Usb> usb;
    return usb;
}

void start_from_state_file(Usb& usb, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        usb.set_state_path(path);  // a fresh unit; the file appears at the first save
        return;
    }
    std::string error;
    if (usb.load_state(path, &error)) return;
    const std::string aside = path + ".bad";
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr,
                     "korvel simulated unit: cannot use the state file (%s); starting from the "
                     "default unit. The old file is kept as %s.\n",
                     error.c_str(), aside.c_str());
        usb.set_state_path(path);
    } else {
        std::fprintf(stderr,
                     "korvel simulated unit: cannot use the state file (%s); starting from the "
                     "default unit, which is not saved.\n",
                     error.c_str());
    }
}

}  // namespace

Usb& usb() {
    auto& u = instance();
    if (!u) {
        u = std::make_unique<Usb>();
        if (const char* state = std::getenv("KORVEL_SIM_STATE"); state && *state)
            start_from_state_file(*u, state);
        if (const char* trace = std::getenv("KORVEL_SIM_TRACE"); trace && *trace) {
            if (!u->open_trace(trace))
                std::fprintf(stderr, "korvel simulated unit: cannot write the trace %s: %s\n",
                             trace, std::strerror(errno));
        }
    }
    return *u;
}

void reset_usb() {
    auto& u = instance();
    u.reset();
    u = std::make_unique<Usb>();
}

}  // namespace korvel::sim
