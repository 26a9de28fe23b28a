#include "gpib/backend_select.h"

#include <cstdlib>

#include "gpib/backend.h"
#include "gpib/console.h"
#include "gpib/linux_gpib/linux_gpib_backend.h"
#include "gpib/sim/sim_bench.h"

namespace korvel::gpib {
namespace {

struct Selection {
    std::unique_ptr<Backend> backend;
    SimBench* sim = nullptr;
};

Selection& selection() {
    static Selection s;
    return s;
}

void install(std::unique_ptr<Backend> b, SimBench* sim) {
    Selection& s = selection();
    s.backend = std::move(b);
    s.sim = sim;
}

}  // namespace

BackendKind backend_kind_from_environment() {
    const char* value = std::getenv("KORVEL_GPIB_BACKEND");
    if (value == nullptr || *value == '\0') return BackendKind::LinuxGpib;
    if (auto kind = parse_backend_name(value)) return *kind;
    console_write(std::string("korvel: unknown KORVEL_GPIB_BACKEND \"") + value +
                  "\" (expected \"linux-gpib\" or \"sim\"); using \"linux-gpib\"\n");
    return BackendKind::LinuxGpib;
}

std::optional<BackendKind> parse_backend_name(std::string_view name) {
    if (name == "linux-gpib") return BackendKind::LinuxGpib;
    if (name == "sim") return BackendKind::Sim;
    return std::nullopt;
}

void select_linux_gpib(const std::string& library) {
    auto real = std::make_unique<LinuxGpibBackend>(library);
    if (!real->loaded())
        console_write(real->load_problem() + " Every GPIB call fails with EDVR (driver error).\n");
    install(std::move(real), nullptr);
}

void select_backend(BackendKind kind) {
    if (kind == BackendKind::LinuxGpib) {
        select_linux_gpib(kLinuxGpibLibrary);
        return;
    }
    auto bench = std::make_unique<SimBench>();
    SimBench* sim = bench.get();
    install(std::move(bench), sim);
}

void select_backend(std::unique_ptr<Backend> backend) {
    install(std::move(backend), nullptr);
}

Backend& backend() {
    if (!selection().backend) select_backend(backend_kind_from_environment());
    return *selection().backend;
}

SimBench* sim_bench() {
    return selection().sim;
}

}  // namespace korvel::gpib
