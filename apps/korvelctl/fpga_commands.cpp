#include "fpga_commands.h"

#include "api/fpga_file_loads.h"
#include "exit_codes.h"
#include "korvel.h"
#include "unit_access.h"

namespace korvelctl {

namespace {

using korvel::api::FileLoad;

// A file that cannot be used is refused before the unit is opened (with no unit open, a load only
// reads and checks the file); then the unit is opened, the file loaded and the unit closed.
int load(const std::string& path, FileLoad (*load_file)(const std::string&), std::ostream& out,
         std::ostream& err) {
    if (const FileLoad checked = load_file(path); checked.outcome == FileLoad::Outcome::Refused) {
        err << "korvelctl: " << path << ": " << checked.message << "\n";
        return kExitUsage;
    }
    if (auto problem = open_unit()) {
        err << "korvelctl: " << *problem << "\n";
        return kExitUnavailable;
    }
    const FileLoad loaded = load_file(path);
    usb_close();
    switch (loaded.outcome) {
        case FileLoad::Outcome::Loaded:
            out << loaded.message << "\n";
            return kExitOk;
        case FileLoad::Outcome::Refused:  // the file changed since it was checked
            err << "korvelctl: " << path << ": " << loaded.message << "\n";
            return kExitUsage;
        case FileLoad::Outcome::Unavailable:
            break;
    }
    err << "korvelctl: " << loaded.message << "\n";
    return kExitUnavailable;
}

}  // namespace

int run_load_pattern(const std::string& path, std::ostream& out, std::ostream& err) {
    return load(path, korvel::api::load_pattern_file, out, err);
}

int run_load_mask(const std::string& path, std::ostream& out, std::ostream& err) {
    return load(path, korvel::api::load_mask_file, out, err);
}

}  // namespace korvelctl
