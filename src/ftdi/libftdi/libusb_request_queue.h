// Requests to one USB device kept in flight together, finished oldest first: bulk writes to the
// chip's OUT endpoint and control requests on endpoint 0 (mask changes, pin reads whose answer
// nobody waits for).
//
// Pin bytes of a pattern load reach the chip fastest when the next write is already queued in
// the host controller while the previous one is on the wire; one synchronous write at a time
// leaves the bus idle for a round trip after each. The same holds for the I2C engine's line
// changes: each is one request, and waiting for every one before sending the next costs a full
// round trip per line change. Requests are submitted in the order the program makes them.
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

#include "ftdi/libftdi/ftdi_transport.h"

struct libusb_context;
struct libusb_device_handle;

namespace korvel::ftdi {

class LibusbRequestQueue {
  public:
    LibusbRequestQueue(libusb_context* context, libusb_device_handle* device,
                       unsigned char bulk_out_endpoint, unsigned timeout_ms);
    // Cancels what is still in flight and waits for the cancellations.
    ~LibusbRequestQueue();
    LibusbRequestQueue(const LibusbRequestQueue&) = delete;
    LibusbRequestQueue& operator=(const LibusbRequestQueue&) = delete;

    // Copies `bytes` and submits them as one bulk transfer.
    Transfer submit_bulk(std::span<const std::uint8_t> bytes);
    // Submits a control request with no data stage (`in_length` 0) or an IN data stage of
    // `in_length` bytes.
    Transfer submit_control(std::uint8_t request_type, std::uint8_t request, std::uint16_t value,
                            std::uint16_t index, std::uint16_t in_length);
    // Waits for the oldest request: Done when it completed in full (or none is in flight). When
    // it was a control IN request, `answer` (if given) gets the first byte of its answer.
    Transfer finish_oldest(std::uint8_t* answer);
    // Cancels every request still in flight and waits for the cancellations.
    void cancel_all();
    std::size_t in_flight() const { return pending_.size(); }
    std::size_t bulk_in_flight() const { return bulk_; }

    struct Pending;

  private:
    Transfer submit(std::unique_ptr<Pending> pending);
    // Takes the oldest request off the queue (`completed` false: libusb still owns it).
    void drop_front(bool completed);
    // Handles USB events until `pending` completes or its timeout has long passed; false then.
    bool wait_for(Pending& pending);

    libusb_context* context_;
    libusb_device_handle* device_;
    unsigned char endpoint_;
    unsigned timeout_ms_;
    std::deque<std::unique_ptr<Pending>> pending_;
    std::size_t bulk_ = 0;
};

}  // namespace korvel::ftdi
