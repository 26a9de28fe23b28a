// The backend that talks to the simulated unit (korvel::sim::usb()).
#pragma once

#include <memory>

#include "ftdi/backend.h"

namespace korvel::ftdi {

std::unique_ptr<Backend> make_sim_backend();

}  // namespace korvel::ftdi
