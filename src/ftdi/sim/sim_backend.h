// The backend that talks to the simulated unit (korvel::sim::usb()). The only part of the driver
// that sees the simulated unit: everything above asks through the FT_* calls and backend_select.h.
#pragma once

#include <memory>

#include "ftdi/backend.h"

namespace korvel::ftdi {

std::unique_ptr<Backend> make_sim_backend();

// Passes a pause of the program's to the simulated unit, which stamps it into its trace.
void pass_pause_to_simulated_unit(double seconds);

// Replaces the simulated unit with a fresh one, as a new process finds it.
void replace_simulated_unit();

}  // namespace korvel::ftdi
