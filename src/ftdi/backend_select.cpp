#include "ftdi/backend_select.h"

#include <cstdlib>
#include <iostream>
#include <memory>

#include "ftdi/backend.h"
#include "ftdi/libftdi/libftdi_backend.h"
#include "ftdi/sim/sim_backend.h"

namespace korvel::ftdi {
namespace {

struct Selection {
    std::unique_ptr<Backend> backend;
    BackendKind kind = BackendKind::Ftdi;
};

Selection& selection() {
    static Selection s;
    return s;
}

void install_sim_clock() {
    sim_clock().set_listener(pass_pause_to_simulated_unit);
    platform::set_clock(&sim_clock());
}

// The process clock's before-delay hook: whatever the backend has queued reaches the unit before
// the program pauses.
void finish_queued_requests() {
    if (Selection& s = selection(); s.backend) s.backend->finish_queued();
}

void remove_sim_clock() {
    if (&platform::clock() == &sim_clock()) platform::set_clock(nullptr);
}

}  // namespace

std::optional<BackendKind> parse_backend_name(std::string_view name) {
    if (name == "ftdi") return BackendKind::Ftdi;
    if (name == "sim") return BackendKind::Sim;
    return std::nullopt;
}

BackendKind backend_kind_from_environment(const char* value, std::ostream& warnings) {
    if (value == nullptr || *value == '\0') return BackendKind::Ftdi;
    if (auto kind = parse_backend_name(value)) return *kind;
    warnings << "korvel: unknown KORVEL_BACKEND \"" << value
             << "\" (expected \"ftdi\" or \"sim\"); using \"ftdi\"\n";
    return BackendKind::Ftdi;
}

void select_backend(BackendKind kind) {
    selection().backend.reset();  // closes whatever the old backend still had open
    use_backend(kind == BackendKind::Sim ? make_sim_backend() : make_libftdi_backend(), kind);
}

void use_backend(std::unique_ptr<Backend> backend, BackendKind kind) {
    Selection& s = selection();
    s.backend = std::move(backend);
    platform::set_before_delay(finish_queued_requests);
    if (kind == BackendKind::Sim)
        install_sim_clock();
    else
        remove_sim_clock();
    s.kind = kind;
}

BackendKind selected_backend() {
    backend();
    return selection().kind;
}

Backend& backend() {
    Selection& s = selection();
    if (!s.backend)
        select_backend(backend_kind_from_environment(std::getenv("KORVEL_BACKEND"), std::cerr));
    return *s.backend;
}

platform::VirtualClock& sim_clock() {
    static platform::VirtualClock clock;
    return clock;
}

void use_fresh_simulated_unit() {
    replace_simulated_unit();
    sim_clock() = platform::VirtualClock();
    select_backend(BackendKind::Sim);
}

}  // namespace korvel::ftdi
