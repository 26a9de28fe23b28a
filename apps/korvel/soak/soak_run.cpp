#include "soak/soak_run.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "app/shell.h"
#include "app/state.h"
#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "platform/host_services.h"
#include "platform/model_query.h"
#include "soak/soak_checks.h"
#include "soak/soak_files.h"
#include "soak/soak_host.h"
#include "soak/soak_log.h"
#include "soak/soak_loop.h"

namespace korvel::soak {
namespace {

namespace fs = std::filesystem;

std::uint64_t fresh_seed() {
    std::random_device device;
    return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^
           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

// A new folder under the system's temporary directory; empty on failure.
std::string make_work_dir() {
    std::error_code ec;
    std::string pattern = (fs::temp_directory_path(ec) / "korvel-soak-XXXXXX").string();
    if (ec || mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

// The program as a fresh process would meet it: the simulated unit plugged in, with no state
// file or trace of the user's, no unit variant noted yet, and every layer at its start.
void fresh_unit() {
    unsetenv("KORVEL_SIM_STATE");
    unsetenv("KORVEL_SIM_TRACE");
    unsetenv(kChipFlagVariable);
    platform::reset_user_interface();
    ftdi::use_fresh_simulated_unit();
    reset_link();
    reset_ds4520();
    reset_fpga();
    app::reset_app_state();
}

}  // namespace

int run_soak(const SoakOptions& options, std::FILE* out) {
    const std::uint64_t seed = options.seed.value_or(fresh_seed());
    std::fprintf(out, "soak: seed %llu (replay with --soak-seed %llu), %.0f s of virtual time\n",
                 static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed),
                 options.seconds);
    std::error_code ec;
    const fs::path previous_dir = fs::current_path(ec);
    const std::string dir = make_work_dir();
    if (dir.empty() || chdir(dir.c_str()) != 0) {
        std::fprintf(out, "soak: cannot make a temporary working directory\n");
        return 2;
    }
    fresh_unit();

    SoakRandom random(seed);
    SoakLog log;
    SoakFiles files(dir);
    files.refresh(random);
    SoakHost host(files, log, random);
    SoakLoop loop(options.seconds, random, log, host);
    host.set_loop([&loop] { loop.run(); });
    platform::set_host(&host);

    const auto started = std::chrono::steady_clock::now();
    char program_name[] = "korvel";
    char* argv[] = {program_name, nullptr};
    const int main_rc = app::korvel_main(1, argv);
    const double real_seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    platform::set_host(nullptr);

    std::string failure = loop.failure();
    if (failure.empty() && main_rc != 0) failure = "the program failed to start";
    if (failure.empty()) {
        // File > Exit has just saved the settings.
        if (!fs::is_regular_file(dir + "/settings.cfg", ec))
            failure = "File > Exit left no settings.cfg";
        for (const auto& f : program_faults()) failure += (failure.empty() ? "" : "\n  ") + f;
    }

    std::fprintf(out,
                 "soak: %llu actions, %llu supervision ticks, %llu plug/unplug, %llu checks, "
                 "%llu message boxes, %llu file dialogs, %.1f s real time\n",
                 static_cast<unsigned long long>(loop.actions()),
                 static_cast<unsigned long long>(loop.ticks()),
                 static_cast<unsigned long long>(loop.cable_changes()),
                 static_cast<unsigned long long>(loop.checks()),
                 static_cast<unsigned long long>(host.popups()),
                 static_cast<unsigned long long>(host.dialogs()), real_seconds);
    std::string kinds;
    for (const auto& [kind, n] : loop.actions_by_kind())
        kinds += " " + kind + " " + std::to_string(n);
    std::fprintf(out, "soak: actions by window or kind:%s\n", kinds.c_str());
    std::fprintf(out, "soak: resident memory %ld KiB at start, %ld KiB at end\n",
                 loop.rss_start_kib(), loop.rss_end_kib());
    std::string tenths;
    for (long kib : loop.rss_tenths_kib()) tenths += " " + std::to_string(kib);
    std::fprintf(out, "soak: resident memory at each tenth of the run (KiB):%s\n", tenths.c_str());
    if (!previous_dir.empty()) fs::current_path(previous_dir, ec);
    if (!failure.empty()) {
        std::fprintf(out, "soak: FAILED %s\nsoak: last actions:\n%ssoak: seed %llu, files in %s\n",
                     failure.c_str(), log.tail().c_str(), static_cast<unsigned long long>(seed),
                     dir.c_str());
        return 1;
    }
    fs::remove_all(dir, ec);
    std::fprintf(out, "soak: clean\n");
    return 0;
}

}  // namespace korvel::soak
