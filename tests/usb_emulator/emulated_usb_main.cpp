// emulated-usb: runs one of our programs on the real USB stack (libftdi1, libusb) against an
// emulated FT232R backed by the simulated unit.
//
//   emulated-usb [--state FILE] [--trace FILE] [--latency-us L] [--service-us S]
//                [--serial SERIAL] [--alternate] -- COMMAND [ARGS...]
//
// --state and --trace keep the unit in FILE and write its pins' VCD trace, as KORVEL_SIM_STATE
// and KORVEL_SIM_TRACE do for the simulated backend. --latency-us and --service-us set the bus
// timing (bus_timing.h). The command runs with KORVEL_BACKEND=ftdi under umockdev's preload; the
// unit lives in this process. At the end one line goes to stderr: "usb: N requests, M round
// trips"; the exit status is the command's (128 + signal when a signal ended it).
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "emulated_ft232r.h"
#include "korvel/sim/usb.h"
#include "preload.h"

namespace {

constexpr int kUsage = 2;
constexpr const char* kUsageText =
    "usage: emulated-usb [--state FILE] [--trace FILE] [--latency-us L] [--service-us S]\n"
    "                    [--serial SERIAL] [--alternate] -- COMMAND [ARGS...]\n";

struct Options {
    std::string state, trace, serial;
    bool alternate = false;
    korvel::usbemu::TimingModel timing;
    std::vector<char*> command;
};

bool parse_microseconds(std::string_view text, std::uint64_t& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out <= 10'000'000;
}

// False (with a message) on a bad command line.
bool parse(int argc, char** argv, Options& o) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--") break;
        if (arg == "--alternate") {
            o.alternate = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "emulated-usb: %s needs a value\n", argv[i]);
            return false;
        }
        const std::string_view value = argv[++i];
        if (arg == "--state") {
            o.state = value;
        } else if (arg == "--trace") {
            o.trace = value;
        } else if (arg == "--serial") {
            o.serial = value;
        } else if (arg == "--latency-us" || arg == "--service-us") {
            auto& target = arg == "--latency-us" ? o.timing.latency_us : o.timing.service_us;
            if (!parse_microseconds(value, target)) {
                std::fprintf(stderr, "emulated-usb: %s wants 0..10000000 microseconds\n",
                             argv[i - 1]);
                return false;
            }
        } else {
            std::fprintf(stderr, "emulated-usb: unknown option %s\n", argv[i - 1]);
            return false;
        }
    }
    for (++i; i < argc; ++i) o.command.push_back(argv[i]);
    if (o.command.empty()) {
        std::fputs("emulated-usb: no command given\n", stderr);
        return false;
    }
    o.command.push_back(nullptr);
    return true;
}

int exit_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const auto preload = korvel::usbemu::umockdev_preload();
    if (!preload) {
        std::fputs(
            "emulated-usb: umockdev is not installed (scripts/install-deps.sh installs it)\n",
            stderr);
        return 1;
    }

    // The unit reads its files at first use, as in a program on the simulated backend.
    if (!o.state.empty()) setenv("KORVEL_SIM_STATE", o.state.c_str(), 1);
    if (!o.trace.empty()) setenv("KORVEL_SIM_TRACE", o.trace.c_str(), 1);
    korvel::sim::Board& board = korvel::sim::usb().board();
    if (!o.serial.empty()) board.serial = o.serial;
    if (o.alternate) board.description = "ZEVA~KORVEL";
    unsetenv("KORVEL_SIM_STATE");
    unsetenv("KORVEL_SIM_TRACE");

    int status = 1;
    korvel::usbemu::TrafficCounts counts;
    {
        korvel::usbemu::EmulatedUsb usb(o.timing);  // sets UMOCKDEV_DIR for the command
        setenv("KORVEL_BACKEND", "ftdi", 1);
        korvel::usbemu::put_preload_in_environment(*preload);
        const pid_t child = fork();
        if (child == 0) {
            execvp(o.command[0], o.command.data());
            std::fprintf(stderr, "emulated-usb: cannot run %s\n", o.command[0]);
            _exit(127);
        }
        int raw = 0;
        if (child > 0 && waitpid(child, &raw, 0) == child) status = exit_status(raw);
        counts = usb.counts();
    }
    std::fprintf(stderr, "usb: %llu requests, %llu round trips\n",
                 static_cast<unsigned long long>(counts.requests),
                 static_cast<unsigned long long>(counts.round_trips));
    std::string error;
    if (!korvel::sim::usb().finish_files(&error)) {
        std::fprintf(stderr, "emulated-usb: %s\n", error.c_str());
        if (status == 0) status = 1;
    }
    return status;
}
