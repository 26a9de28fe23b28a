#include "options.h"

#include <charconv>

namespace korvel::gui {
namespace {

// A TCP port number, 0 to 65535, in decimal.
bool parse_port(const std::string& text, int* port) {
    int value = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535)
        return false;
    *port = value;
    return true;
}

// How long a remote client may stay idle: whole seconds from 1 to a day.
bool parse_idle_seconds(const std::string& text, int* seconds) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 86400)
        return false;
    *seconds = value;
    return true;
}

bool starts_with_digit(const std::string& s) {
    return !s.empty() && s[0] >= '0' && s[0] <= '9';
}

// The longest soak: 1,000,000 s of virtual time (11.5 days) takes minutes to hours. Far longer
// runs would never end, and at some 1e15 s a fraction of a second no longer moves the virtual
// clock at all.
constexpr double kLongestSoakSeconds = 1e6;

// The soak's length: a number of seconds above 0 and at most the longest soak, the whole text.
bool parse_seconds(const std::string& text, double* seconds) {
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, *seconds);
    return ec == std::errc() && p == end && *seconds > 0.0 && *seconds <= kLongestSoakSeconds;
}

bool parse_seed(const std::string& text, std::uint64_t* seed) {
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, *seed);
    return ec == std::errc() && p == end && !text.empty();
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string* error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--simulate") {
            o.simulate = true;
        } else if (a == "--tour") {
            o.tour = true;
        } else if (a == "--screenshots") {
            if (i + 1 >= args.size()) {
                if (error != nullptr) *error = "--screenshots needs a directory";
                return std::nullopt;
            }
            o.screenshot_dir = args[++i];
            o.tour = true;
        } else if (a == "--remote") {
            o.remote = true;
            // The port is optional: a next argument that starts with a digit is taken as one.
            if (i + 1 < args.size() && starts_with_digit(args[i + 1])) {
                if (!parse_port(args[++i], &o.remote_port)) {
                    if (error != nullptr) *error = "--remote takes a port from 0 to 65535";
                    return std::nullopt;
                }
            }
        } else if (a == "--remote-bind") {
            if (i + 1 >= args.size()) {
                if (error != nullptr) *error = "--remote-bind needs an address";
                return std::nullopt;
            }
            o.remote_bind = args[++i];
            o.remote = true;
        } else if (a == "--remote-files") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                if (error != nullptr) *error = "--remote-files needs a folder";
                return std::nullopt;
            }
            o.remote_files = args[++i];
            o.remote = true;
        } else if (a == "--remote-idle") {
            if (i + 1 >= args.size() || !parse_idle_seconds(args[i + 1], &o.remote_idle_seconds)) {
                if (error != nullptr) *error = "--remote-idle needs whole seconds from 1 to 86400";
                return std::nullopt;
            }
            ++i;
            o.remote = true;
        } else if (a == "--no-announce") {
            o.announce = false;
        } else if (a == "--soak" || a == "--soak-seed") {
            double seconds = 0.0;
            std::uint64_t seed = 0;
            const bool has_value = i + 1 < args.size();
            if (a == "--soak" && has_value && parse_seconds(args[i + 1], &seconds)) {
                o.soak_seconds = seconds;
            } else if (a == "--soak-seed" && has_value && parse_seed(args[i + 1], &seed)) {
                o.soak_seed = seed;
            } else {
                if (error != nullptr)
                    *error = a + (a == "--soak" ? " needs a number of seconds above 0 and at"
                                                  " most 1000000 (11.5 days of virtual time)"
                                                : " needs a whole number from 0");
                return std::nullopt;
            }
            ++i;
        } else if (a == "--startup-time") {
            o.startup_time = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--data-dir") {
            o.data_dir = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else {
            if (error != nullptr) *error = "unknown option " + a;
            return std::nullopt;
        }
    }
    if ((o.soak_seconds || o.soak_seed) && !o.simulate) {
        if (error != nullptr) *error = "--soak runs on the simulated unit only: add --simulate";
        return std::nullopt;
    }
    if (o.soak_seed && !o.soak_seconds) {
        if (error != nullptr) *error = "--soak-seed goes with --soak SECONDS";
        return std::nullopt;
    }
    return o;
}

std::string usage(const std::string& program) {
    return "Usage: " + program +
           " [--simulate] [--remote [PORT]] [--remote-bind ADDR] [--tour] [--screenshots DIR]"
           " [--remote-files DIR]\n"
           "       [--remote-idle SECONDS] [--no-announce] [--startup-time]\n"
           "       [--simulate --soak SECONDS [--soak-seed N]]\n"
           "  --simulate          run on the simulated unit and show its window\n"
           "  --remote [PORT]     accept SCPI commands over TCP on PORT (default 5025; 0 picks a\n"
           "                      free port), from this machine only\n"
           "  --remote-bind ADDR  listen on ADDR instead of 127.0.0.1 (implies --remote): other\n"
           "                      machines may then drive the unit, without any authentication\n"
           "  --remote-files DIR  the folder whose files remote clients may read and write\n"
           "                      (implies --remote; default: the working directory)\n"
           "  --remote-idle SECONDS\n"
           "                      disconnect a client idle for SECONDS (default 300; 1 to 86400;\n"
           "                      implies --remote); with every connection taken, the client\n"
           "                      idle longest makes room for a new one\n"
           "  --no-announce       do not announce the remote servers by DNS-SD (mDNS), which\n"
           "                      they are when --remote-bind is not a loopback address\n"
           "  --tour              open every window, close them again and leave\n"
           "  --screenshots DIR   the tour, saving every window as a PNG in DIR\n"
           "  --startup-time      print the time until the main window is shown, then leave\n"
           "  --soak SECONDS      no window: a random operator works the program for SECONDS of\n"
           "                      virtual time (at most 1000000) while its invariants are\n"
           "                      checked (exit 1 if one breaks); prints its seed\n"
           "  --soak-seed N       replay the soak that printed seed N\n"
           "  --data-dir          keep settings.cfg, configurations and calibration files in\n"
           "                      $XDG_DATA_HOME/korvel (~/.local/share/korvel), not in the\n"
           "                      working directory\n"
           "  --version           print the program's version and leave\n";
}

}  // namespace korvel::gui
