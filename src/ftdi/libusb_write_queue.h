// Bulk writes to one USB endpoint kept in flight together, finished oldest first.
//
// Pin bytes of a pattern load reach the chip fastest when the next write is already queued in
// the host controller while the previous one is on the wire; one synchronous write at a time
// leaves the bus idle for a round trip after each. Transfers queued on one endpoint reach the
// device in submission order.
//
// libftdi has the same idea in ftdi_write_data_submit/ftdi_transfer_data_done, but its completion
// callback resubmits whatever part of a transfer did not get through, whatever the transfer's
// status: a chip that stops taking data times a write out, gets it again, and
// ftdi_transfer_data_done never returns. Here a transfer is submitted once; a timeout or a lost
// device ends it and is reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>

#include "ftdi/ftdi_transport.h"

struct libusb_context;
struct libusb_device_handle;

namespace korvel::ftdi {

class LibusbWriteQueue {
  public:
    LibusbWriteQueue(libusb_context* context, libusb_device_handle* device, unsigned char endpoint,
                     unsigned timeout_ms);
    // Cancels what is still in flight and waits for the cancellations.
    ~LibusbWriteQueue();
    LibusbWriteQueue(const LibusbWriteQueue&) = delete;
    LibusbWriteQueue& operator=(const LibusbWriteQueue&) = delete;

    // Copies `bytes` and submits them as one transfer.
    Transfer submit(std::span<const std::uint8_t> bytes);
    // Waits for the oldest transfer: Done when all its bytes went out (or none is in flight).
    Transfer finish_oldest();
    std::size_t in_flight() const { return pending_.size(); }

    struct Pending;

  private:
    // Handles USB events until `pending` completes or its timeout has long passed; false then.
    bool wait_for(Pending& pending);

    libusb_context* context_;
    libusb_device_handle* device_;
    unsigned char endpoint_;
    unsigned timeout_ms_;
    std::deque<std::unique_ptr<Pending>> pending_;
};

}  // namespace korvel::ftdi
