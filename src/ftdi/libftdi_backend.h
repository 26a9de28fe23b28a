// The backend for real hardware: FTDI devices on the USB bus through libftdi1 and libusb.
#pragma once

#include <memory>

#include "ftdi/backend.h"

namespace korvel::ftdi {

std::unique_ptr<Backend> make_libftdi_backend();

}  // namespace korvel::ftdi
