#include "vcd_trace.h"

#include <cinttypes>

namespace korvel::sim {

namespace {
// Wire names for D0..D7 and their one-character identifiers.
constexpr const char* kNames[8] = {"scl",       "sda",          "fpga_clk",     "d3",
                                   "fpga_data", "fpga_sel_err", "fpga_sel_pat", "d7"};
constexpr char kIds[8] = {'!', '"', '#', '$', '%', '&', '\'', '('};
}  // namespace

bool VcdTrace::open(const std::string& path, std::uint64_t now_us, std::uint8_t levels) {
    close();
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) return false;
    std::fputs("$version korvel simulated unit $end\n$timescale 1 us $end\n", file_);
    std::fputs("$scope module korvel $end\n", file_);
    for (int i = 0; i < 8; ++i) std::fprintf(file_, "$var wire 1 %c %s $end\n", kIds[i], kNames[i]);
    std::fputs("$upscope $end\n$enddefinitions $end\n", file_);
    // The initial values are written with the first timestamp, so changes within the same
    // microsecond fold into them.
    initial_ = true;
    written_ = pending_ = levels;
    pending_time_ = last_time_ = now_us;
    return true;
}

void VcdTrace::flush_pending() {
    if (initial_) {
        std::fprintf(file_, "#%" PRIu64 "\n$dumpvars\n", pending_time_);
        for (int i = 0; i < 8; ++i) std::fprintf(file_, "%d%c\n", (pending_ >> i) & 1, kIds[i]);
        std::fputs("$end\n", file_);
        initial_ = false;
        written_ = pending_;
        last_time_ = pending_time_;
        return;
    }
    const std::uint8_t diff = pending_ ^ written_;
    if (!diff) return;
    std::fprintf(file_, "#%" PRIu64 "\n", pending_time_);
    for (int i = 0; i < 8; ++i)
        if (diff & (1u << i)) std::fprintf(file_, "%d%c\n", (pending_ >> i) & 1, kIds[i]);
    written_ = pending_;
    last_time_ = pending_time_;
}

void VcdTrace::change(std::uint64_t now_us, std::uint8_t levels) {
    if (!file_) return;
    if (now_us != pending_time_) {
        flush_pending();
        pending_time_ = now_us;
    }
    pending_ = levels;
}

void VcdTrace::close(std::uint64_t now_us) {
    if (!file_) return;
    flush_pending();
    // A closing timestamp lets viewers show the last levels up to the end of the run.
    std::uint64_t end = (pending_time_ > last_time_ ? pending_time_ : last_time_) + 1;
    if (now_us > end) end = now_us;
    std::fprintf(file_, "#%" PRIu64 "\n", end);
    std::fclose(file_);
    file_ = nullptr;
}

}  // namespace korvel::sim
