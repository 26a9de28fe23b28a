// The backend for real hardware: FTDI devices on the USB bus, reached through a transport
// (libftdi1 and libusb in the program, a fake in tests).
#pragma once

#include <cstddef>
#include <memory>

#include "ftdi/backend.h"
#include "ftdi/libftdi/ftdi_transport.h"

namespace korvel::ftdi {

struct UsbBackendTuning {
    // Mask changes (FT_SetBitMode), latch and pin-byte writes (FT_Write) and pin reads nobody
    // examines (FT_QueuePinRead) are queued and the call returns at once (see
    // libftdi_backend.cpp). false: the synchronous path, every one of them waited for before the
    // call returns, as before queueing (writes still queued up to `writes_in_flight`). Both send
    // the same requests in the same order.
    bool queue_requests = true;
    // Requests kept in flight at most; the next one waits for the oldest.
    std::size_t requests_in_flight = 64;
    // Bulk writes kept in flight at once (see write()); 1 makes every write wait for the one
    // before it.
    std::size_t writes_in_flight = 8;
    // Bytes per bulk write: FT_Write cuts larger buffers into transfers of this size.
    std::size_t write_chunk = 4096;
    OpenOptions open;
};

// The program's backend: every request waited for, unless KORVEL_USB_QUEUE is "1" or "on" (the
// queued path, to be proven on real units).
std::unique_ptr<Backend> make_libftdi_backend();
UsbBackendTuning usb_tuning_from_environment(const char* queue_value);
std::unique_ptr<Backend> make_libftdi_backend(std::unique_ptr<FtdiTransport> transport,
                                              UsbBackendTuning tuning = {});

}  // namespace korvel::ftdi
