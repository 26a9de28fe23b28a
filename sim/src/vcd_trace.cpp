#include "vcd_trace.h"

#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstring>

namespace korvel::sim {

namespace {
// Wire names for D0..D7 and their one-character identifiers.
constexpr const char* kNames[8] = {"scl",       "sda",          "fpga_clk",     "d3",
                                   "fpga_data", "fpga_sel_err", "fpga_sel_pat", "d7"};
constexpr char kIds[8] = {'!', '"', '#', '$', '%', '&', '\'', '('};
}  // namespace

void VcdTrace::failed() {
    if (error_.empty()) error_ = std::strerror(errno);
}

void VcdTrace::put(const char* format, ...) {
    if (!file_ || !error_.empty()) return;
    std::va_list args;
    va_start(args, format);
    const int n = std::vfprintf(file_, format, args);
    va_end(args);
    if (n < 0) failed();
}

bool VcdTrace::open(const std::string& path, std::uint64_t now_us, std::uint8_t levels) {
    close();
    error_.clear();
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        failed();
        return false;
    }
    put("$version korvel simulated unit $end\n$timescale 1 us $end\n");
    put("$scope module korvel $end\n");
    for (int i = 0; i < 8; ++i) put("$var wire 1 %c %s $end\n", kIds[i], kNames[i]);
    put("$upscope $end\n$enddefinitions $end\n");
    // The initial values are written with the first timestamp, so changes within the same
    // microsecond fold into them.
    initial_ = true;
    written_ = pending_ = levels;
    pending_time_ = last_time_ = now_us;
    return true;
}

void VcdTrace::flush_pending() {
    if (initial_) {
        put("#%" PRIu64 "\n$dumpvars\n", pending_time_);
        for (int i = 0; i < 8; ++i) put("%d%c\n", (pending_ >> i) & 1, kIds[i]);
        put("$end\n");
        initial_ = false;
        written_ = pending_;
        last_time_ = pending_time_;
        return;
    }
    const std::uint8_t diff = pending_ ^ written_;
    if (!diff) return;
    put("#%" PRIu64 "\n", pending_time_);
    for (int i = 0; i < 8; ++i)
        if (diff & (1u << i)) put("%d%c\n", (pending_ >> i) & 1, kIds[i]);
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

bool VcdTrace::close(std::uint64_t now_us) {
    if (!file_) return error_.empty();
    flush_pending();
    // A closing timestamp lets viewers show the last levels up to the end of the run.
    std::uint64_t end = (pending_time_ > last_time_ ? pending_time_ : last_time_) + 1;
    if (now_us > end) end = now_us;
    put("#%" PRIu64 "\n", end);
    // What is still buffered is written now: a full disk shows here at the latest.
    if (std::fclose(file_) != 0) failed();
    file_ = nullptr;
    return error_.empty();
}

}  // namespace korvel::sim
