#include "ftdi/libftdi/libusb_request_queue.h"

#include <libusb.h>

#include <chrono>
#include <vector>

namespace korvel::ftdi {

struct LibusbRequestQueue::Pending {
    // Bulk: the bytes. Control: the 8-byte setup packet, then room for the IN data stage.
    std::vector<std::uint8_t> bytes;
    libusb_transfer* transfer = nullptr;
    bool bulk = false;
    bool control_in = false;
    int completed = 0;  // set by the completion callback

    ~Pending() { libusb_free_transfer(transfer); }
};

namespace {

void LIBUSB_CALL on_transfer_done(libusb_transfer* transfer) {
    static_cast<LibusbRequestQueue::Pending*>(transfer->user_data)->completed = 1;
}

// How long past its own timeout a transfer may take to complete before we stop waiting: libusb
// ends a timed-out or cancelled transfer on the next event it handles, so this is never
// reached unless the host's USB stack itself hangs.
constexpr std::chrono::milliseconds kCompletionGrace{2000};
constexpr timeval kEventPoll{0, 100000};  // 100 ms

}  // namespace

LibusbRequestQueue::LibusbRequestQueue(libusb_context* context, libusb_device_handle* device,
                                       unsigned char bulk_out_endpoint, unsigned timeout_ms)
    : context_(context), device_(device), endpoint_(bulk_out_endpoint), timeout_ms_(timeout_ms) {}

LibusbRequestQueue::~LibusbRequestQueue() {
    cancel_all();
}

void LibusbRequestQueue::cancel_all() {
    for (auto& p : pending_)
        if (!p->completed) libusb_cancel_transfer(p->transfer);
    while (!pending_.empty()) {
        // A transfer still owned by libusb stays allocated (see drop_front).
        drop_front(wait_for(*pending_.front()));
    }
}

Transfer LibusbRequestQueue::submit_bulk(std::span<const std::uint8_t> bytes) {
    auto p = std::make_unique<Pending>();
    p->bytes.assign(bytes.begin(), bytes.end());
    p->bulk = true;
    p->transfer = libusb_alloc_transfer(0);
    if (p->transfer == nullptr) return Transfer::Failed;
    libusb_fill_bulk_transfer(p->transfer, device_, endpoint_, p->bytes.data(),
                              static_cast<int>(p->bytes.size()), on_transfer_done, p.get(),
                              timeout_ms_);
    return submit(std::move(p));
}

Transfer LibusbRequestQueue::submit_control(std::uint8_t request_type, std::uint8_t request,
                                            std::uint16_t value, std::uint16_t index,
                                            std::uint16_t in_length) {
    auto p = std::make_unique<Pending>();
    p->bytes.resize(LIBUSB_CONTROL_SETUP_SIZE + in_length);
    p->control_in = (request_type & LIBUSB_ENDPOINT_IN) != 0;
    libusb_fill_control_setup(p->bytes.data(), request_type, request, value, index, in_length);
    p->transfer = libusb_alloc_transfer(0);
    if (p->transfer == nullptr) return Transfer::Failed;
    libusb_fill_control_transfer(p->transfer, device_, p->bytes.data(), on_transfer_done, p.get(),
                                 timeout_ms_);
    return submit(std::move(p));
}

Transfer LibusbRequestQueue::submit(std::unique_ptr<Pending> p) {
    if (libusb_submit_transfer(p->transfer) != 0) return Transfer::Failed;
    if (p->bulk) ++bulk_;
    pending_.push_back(std::move(p));
    return Transfer::Done;
}

void LibusbRequestQueue::drop_front(bool completed) {
    if (pending_.front()->bulk) --bulk_;
    // A transfer that never completed is still owned by libusb: freeing it would let the
    // callback write into freed memory.
    if (!completed) (void)pending_.front().release();
    pending_.pop_front();
}

Transfer LibusbRequestQueue::finish_oldest(std::uint8_t* answer) {
    if (pending_.empty()) return Transfer::Done;
    Pending& p = *pending_.front();
    if (!wait_for(p)) {
        libusb_cancel_transfer(p.transfer);
        drop_front(wait_for(p));
        return Transfer::Failed;
    }
    const libusb_transfer& t = *p.transfer;
    // A control transfer's length counts its setup packet; actual_length does not.
    const int wanted = p.bulk ? t.length : t.length - LIBUSB_CONTROL_SETUP_SIZE;
    const bool all_done = t.status == LIBUSB_TRANSFER_COMPLETED && t.actual_length == wanted;
    if (all_done && p.control_in && answer != nullptr && wanted > 0)
        *answer = libusb_control_transfer_get_data(p.transfer)[0];
    drop_front(true);
    return all_done ? Transfer::Done : Transfer::Failed;
}

bool LibusbRequestQueue::wait_for(Pending& pending) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeout_ms_) + kCompletionGrace;
    while (!pending.completed) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        timeval poll = kEventPoll;
        const int r = libusb_handle_events_timeout_completed(context_, &poll, &pending.completed);
        if (r < 0 && r != LIBUSB_ERROR_INTERRUPTED && r != LIBUSB_ERROR_TIMEOUT) return false;
    }
    return true;
}

}  // namespace korvel::ftdi
