// Which backend answers the FT_* operations, and the helpers tests use to start from a known
// simulated unit.
//
// The choice is made once, at the first FT_* call, from KORVEL_BACKEND ("ftdi", the default, or
// "sim"). Tools and tests may choose before that (or switch later) with select_backend().
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string_view>

#include "base/clock.h"

namespace korvel::ftdi {

class Backend;

enum class BackendKind { Ftdi, Sim };

// "ftdi" or "sim" (exactly, lower case); anything else has no kind.
std::optional<BackendKind> parse_backend_name(std::string_view name);

// The kind named by the value of KORVEL_BACKEND (`value` may be null = unset). An unknown value
// writes one line to `warnings` and gives Ftdi.
BackendKind backend_kind_from_environment(const char* value, std::ostream& warnings);

// Makes `kind` the process's backend from now on. Real devices left open by the previous
// libftdi backend are closed and their handles become invalid; simulated handles belong to the
// simulated unit and die with it (use_fresh_simulated_unit). Choosing Sim installs sim_clock()
// as the process clock; choosing Ftdi puts the real clock back if sim_clock() was installed.
void select_backend(BackendKind kind);

// Makes `backend` the process's backend from now on, as select_backend(kind) does with a fresh
// one: tests run the FT_* operations over a real-hardware backend on a fake transport with it.
void use_backend(std::unique_ptr<Backend> backend, BackendKind kind);

// The current kind; makes the choice from the environment if none was made yet.
BackendKind selected_backend();

// The backend behind the FT_* operations (chosen on first use).
Backend& backend();

// The virtual clock that stands in for the process clock while the simulated unit is in use.
// Every pause taken on it is also passed to the simulated unit, which stamps it into its trace.
platform::VirtualClock& sim_clock();

// For tests: a fresh simulated unit (korvel::sim::reset_usb()), the sim backend selected and the
// virtual clock back at zero with no pauses counted.
void use_fresh_simulated_unit();

}  // namespace korvel::ftdi
