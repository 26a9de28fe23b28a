#include "api/fpga_file_loads.h"

#include <cstdio>

#include "fpga/fpga_load.h"
#include "fpga/pattern_files.h"
#include "fpga/pulse_timing.h"
#include "ftdi/ftd2xx.h"
#include "link/usb_link.h"

namespace korvel::api {
namespace {

using Outcome = FileLoad::Outcome;

constexpr const char* kNotOpen = "the unit is not open";
constexpr const char* kGone = "the unit was disconnected; the load may not have reached it";

// Sends with `load` when the unit is open, and tells whether it was still there afterwards.
template <class Load>
FileLoad send(Load load, std::string report) {
    if (!unit_answers()) return {Outcome::Unavailable, kNotOpen};
    load();
    if (!unit_answers()) return {Outcome::Unavailable, kGone};
    return {Outcome::Loaded, std::move(report)};
}

}  // namespace

bool unit_answers() {
    UCHAR pins = 0;
    return korvel::usb_handle_usable() && FT_GetBitMode(korvel::usb_handle, &pins) == FT_OK;
}

FileLoad load_pattern_file(const std::string& path) {
    const PatternFile file = read_pattern_file(path.c_str(), pattern_buffer);
    if (file.problem) return {Outcome::Refused, file.problem.describe()};
    if (file.words == 0)
        return {Outcome::Refused, "no complete 256-bit word (" + std::to_string(file.bits) +
                                      " bits of '0'/'1'); nothing sent"};
    std::string report = "loaded " + std::to_string(file.words) +
                         (file.words == 1 ? " word" : " words") + " into the custom-pattern memory";
    if (const std::uint32_t left = file.bits % kWordBits; left != 0)
        report +=
            " (the last " + std::to_string(left) + " bits, an incomplete word, were not sent)";
    if (file.words == kPatternWords) report += " (the memory's limit; the rest was not read)";
    return send([&] { bit_load_FPGA(0, file.words); }, std::move(report));
}

FileLoad load_mask_file(const std::string& path) {
    using MaskOutcome = MaskReader::Outcome;
    const MaskFile file = read_mask_file(path.c_str(), pattern_buffer);
    if (file.problem) return {Outcome::Refused, file.problem.describe()};
    if (file.outcome == MaskOutcome::NotNumbers)
        return {Outcome::Refused,
                "the period and width are not numbers (the file must begin with two decimal "
                "integers, 0 to 4294967295); nothing sent"};
    if (file.outcome == MaskOutcome::Short)
        return {Outcome::Refused, "the mask is shorter than 256 bits (" +
                                      std::to_string(file.mask_bits) + " found); nothing sent"};
    const PulseTiming timing = usable_timing(file.period, file.width);
    const double rate = error_rate(timing.width, file.ones, timing.period);
    char line[200];
    std::snprintf(line, sizeof line,
                  "loaded the error mask: %d errors in 256 bits, period %u, width %u "
                  "(error rate %g",
                  file.ones, timing.period, timing.width, rate);
    std::string report = line;
    if (rate > 0) {
        std::snprintf(line, sizeof line, ", 1 error in %g bits", 1.0 / rate);
        report += line;
    }
    report += ")";
    if (timing.period != file.period || timing.width != file.width)
        report += " (the file gave period " + std::to_string(file.period) + ", width " +
                  std::to_string(file.width) + ")";
    return send([&] { bit_load_FPGA_ErrInj(0, 0, timing.period - 1, timing.width - 1); },
                std::move(report));
}

}  // namespace korvel::api
