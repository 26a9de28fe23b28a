#include "fpga_commands.h"

#include <cstdio>

#include "exit_codes.h"
#include "fpga/fpga_load.h"
#include "fpga/pattern_files.h"
#include "fpga/pulse_timing.h"
#include "korvel.h"
#include "unit_access.h"

namespace korvelctl {

namespace {

int refuse(std::ostream& err, const std::string& path, const std::string& why) {
    err << "korvelctl: " << path << ": " << why << "\n";
    return kExitUsage;
}

// Opens the unit, runs `load`, closes it. The FPGA's memories cannot be read back, so a load
// counts when the unit opened is still there after it (it was not unplugged meanwhile).
template <class Load>
int with_unit(std::ostream& err, Load load) {
    if (auto problem = open_unit()) {
        err << "korvelctl: " << *problem << "\n";
        return kExitUnavailable;
    }
    load();
    const bool connected = unit_still_connected();
    usb_close();
    if (!connected) {
        err << "korvelctl: the unit was disconnected; the load may not have reached it\n";
        return kExitUnavailable;
    }
    return kExitOk;
}

}  // namespace

int run_load_pattern(const std::string& path, std::ostream& out, std::ostream& err) {
    const korvel::PatternFile file =
        korvel::read_pattern_file(path.c_str(), korvel::pattern_buffer);
    if (file.problem) return refuse(err, path, file.problem.describe());
    if (file.words == 0)
        return refuse(err, path,
                      "no complete 256-bit word (" + std::to_string(file.bits) +
                          " bits of '0'/'1'); nothing sent");
    const int status = with_unit(err, [&] { korvel::bit_load_FPGA(0, file.words); });
    if (status != kExitOk) return status;
    out << "loaded " << file.words << (file.words == 1 ? " word" : " words")
        << " into the custom-pattern memory";
    if (const std::uint32_t left = file.bits % korvel::kWordBits; left != 0)
        out << " (the last " << left << " bits, an incomplete word, were not sent)";
    if (file.words == korvel::kPatternWords) out << " (the memory's limit; the rest was not read)";
    out << "\n";
    return kExitOk;
}

int run_load_mask(const std::string& path, std::ostream& out, std::ostream& err) {
    using Outcome = korvel::MaskReader::Outcome;
    const korvel::MaskFile file = korvel::read_mask_file(path.c_str(), korvel::pattern_buffer);
    if (file.problem) return refuse(err, path, file.problem.describe());
    if (file.outcome == Outcome::NotNumbers)
        return refuse(err, path,
                      "the period and width are not numbers (the file must begin with two decimal "
                      "integers, 0 to 4294967295); nothing sent");
    if (file.outcome == Outcome::Short)
        return refuse(err, path,
                      "the mask is shorter than 256 bits (" + std::to_string(file.mask_bits) +
                          " found); nothing sent");
    const korvel::PulseTiming timing = korvel::usable_timing(file.period, file.width);
    const int status = with_unit(
        err, [&] { korvel::bit_load_FPGA_ErrInj(0, 0, timing.period - 1, timing.width - 1); });
    if (status != kExitOk) return status;
    const double rate = korvel::error_rate(timing.width, file.ones, timing.period);
    char line[200];
    std::snprintf(line, sizeof line,
                  "loaded the error mask: %d errors in 256 bits, period %u, width %u "
                  "(error rate %g",
                  file.ones, timing.period, timing.width, rate);
    out << line;
    if (rate > 0) {
        std::snprintf(line, sizeof line, ", 1 error in %g bits", 1.0 / rate);
        out << line;
    }
    out << ")";
    if (timing.period != file.period || timing.width != file.width)
        out << " (the file gave period " << file.period << ", width " << file.width << ")";
    out << "\n";
    return kExitOk;
}

}  // namespace korvelctl
