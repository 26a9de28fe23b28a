#include "options.h"

namespace korvel::gui {

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
        } else if (a == "--startup-time") {
            o.startup_time = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else {
            if (error != nullptr) *error = "unknown option " + a;
            return std::nullopt;
        }
    }
    return o;
}

std::string usage(const std::string& program) {
    return "Usage: " + program +
           " [--simulate] [--tour] [--screenshots DIR] [--startup-time]\n"
           "  --simulate        run on the simulated unit and show its window\n"
           "  --tour            open every window, close them again and leave\n"
           "  --screenshots DIR the tour, saving every window as a PNG in DIR\n"
           "  --startup-time    print the time until the main window is shown, then leave\n";
}

}  // namespace korvel::gui
