// The backend for real hardware: FTDI devices on the USB bus, reached through a transport
// (libftdi1 and libusb in the program, a fake in tests).
#pragma once

#include <cstddef>
#include <memory>

#include "ftdi/backend.h"
#include "ftdi/ftdi_transport.h"

namespace korvel::ftdi {

struct UsbBackendTuning {
    // Bulk writes kept in flight at once (see write()); 1 makes every write wait for the one
    // before it.
    std::size_t writes_in_flight = 8;
    // Bytes per bulk write: FT_Write cuts larger buffers into transfers of this size.
    std::size_t write_chunk = 4096;
    OpenOptions open;
};

std::unique_ptr<Backend> make_libftdi_backend();
std::unique_ptr<Backend> make_libftdi_backend(std::unique_ptr<FtdiTransport> transport,
                                              UsbBackendTuning tuning = {});

}  // namespace korvel::ftdi
