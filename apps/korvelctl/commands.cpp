#include "commands.h"

#include <variant>

#include "api/unit_status.h"
#include "device_notes.h"
#include "exit_codes.h"
#include "korvel.h"
#include "readback_check.h"
#include "status_report.h"
#include "unit_access.h"

namespace korvelctl {

namespace {

constexpr const char* kDisconnected = "the unit was disconnected";

void apply(const Setting& s) {
    switch (s.kind) {
        case Setting::Kind::Pattern:
            prbs_select(s.number);
            break;
        case Setting::Kind::Divide:
            set_divide_ratio(s.number);
            break;
        case Setting::Kind::Clock:
            ClockOutput1(s.number);
            break;
        case Setting::Kind::Duty:
            set_dutycycle(s.volts);
            break;
        case Setting::Kind::Amplitude:
            set_amplitude(s.volts);
            break;
    }
}

}  // namespace

int run_set(const std::vector<Setting>& settings, std::ostream& out, std::ostream& err) {
    if (auto problem = open_unit()) {
        err << "korvelctl: " << *problem << "\n";
        return kExitUnavailable;
    }
    for (const auto& s : settings) apply(s);
    // The setters return 1 whatever happened on the cable: what counts is what the unit holds,
    // read back while it is still the unit that was opened.
    const auto unit = korvel::api::interpret(korvel::api::read_unit());
    const bool connected = unit_still_connected();
    const auto mismatch = connected ? readback_mismatch(settings, unit) : std::nullopt;
    usb_close();
    if (!connected || mismatch) {
        err << "korvelctl: " << kDisconnected;
        if (mismatch) err << " (" << *mismatch << ")";
        err << "; the settings may not have been applied\n";
        return kExitUnavailable;
    }
    for (const auto& s : settings) out << "set " << describe(s) << "\n";
    return kExitOk;
}

int run_list(std::ostream& out, std::ostream& err) {
    auto listed = list_devices();
    if (auto* reason = std::get_if<std::string>(&listed)) {
        err << "korvelctl: " << *reason << "\n";
        return kExitUnavailable;
    }
    const auto& devices = std::get<std::vector<FtdiDevice>>(listed);
    if (devices.empty()) {
        out << "no FTDI devices attached\n";
        return kExitOk;
    }
    for (const auto& d : devices) {
        out << d.index << "  " << (d.description.empty() ? "(no description)" : d.description)
            << "  serial " << (d.serial.empty() ? "(none)" : d.serial) << device_note(d) << "\n";
    }
    return kExitOk;
}

int run_status(bool json, std::ostream& out, std::ostream& err) {
    if (auto problem = open_unit()) {
        err << "korvelctl: " << *problem << "\n";
        return kExitUnavailable;
    }
    const auto readback = korvel::api::read_unit();
    // Reads from a unit that went away return what an empty bus gives, not its settings.
    const bool connected = unit_still_connected();
    usb_close();
    if (!connected) {
        err << "korvelctl: " << kDisconnected << " while it was read; nothing is reported\n";
        return kExitUnavailable;
    }
    const auto fpga = simulated_fpga_memories();
    out << (json ? status_json(readback, fpga) : status_text(readback, fpga));
    return kExitOk;
}

}  // namespace korvelctl
