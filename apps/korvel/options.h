// Command-line options of the korvel program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvel::gui {

struct Options {
    bool simulate = false;                   // run on the simulated unit, with its window
    bool tour = false;                       // open every window, close them all, leave
    std::string screenshot_dir;              // with the tour: save every window as PNG here
    bool startup_time = false;               // report the time to the main window shown, then leave
    bool remote = false;                     // serve SCPI commands over TCP
    int remote_port = 5025;                  // the SCPI raw-socket port; 0 picks a free one
    std::string remote_bind = "127.0.0.1";   // loopback unless told otherwise
    std::string remote_files;                // the remote file folder; "": the working directory
    int remote_idle_seconds = 300;           // a client idle this long is disconnected
    bool announce = true;                    // DNS-SD (mDNS) when bound to a non-loopback address
    std::optional<double> soak_seconds;      // with --simulate: the headless soak, virtual seconds
    std::optional<std::uint64_t> soak_seed;  // replays the soak that printed this seed
    bool help = false;
    bool version = false;   // print "korvel <version>" and leave
    bool data_dir = false;  // work in $XDG_DATA_HOME/korvel instead of the working directory
};

// Parses the arguments after the program name; an unknown option gives an error text.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string* error);

std::string usage(const std::string& program);

}  // namespace korvel::gui
