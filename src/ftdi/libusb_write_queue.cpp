#include "ftdi/libusb_write_queue.h"

#include <libusb.h>

#include <chrono>
#include <vector>

namespace korvel::ftdi {

struct LibusbWriteQueue::Pending {
    std::vector<std::uint8_t> bytes;
    libusb_transfer* transfer = nullptr;
    int completed = 0;  // set by the completion callback

    ~Pending() { libusb_free_transfer(transfer); }
};

namespace {

void LIBUSB_CALL on_transfer_done(libusb_transfer* transfer) {
    static_cast<LibusbWriteQueue::Pending*>(transfer->user_data)->completed = 1;
}

// How long past its own timeout a transfer may take to complete before we stop waiting: libusb
// ends a timed-out or cancelled transfer on the next event it handles, so this is never
// reached unless the host's USB stack itself hangs.
constexpr std::chrono::milliseconds kCompletionGrace{2000};
constexpr timeval kEventPoll{0, 100000};  // 100 ms

}  // namespace

LibusbWriteQueue::LibusbWriteQueue(libusb_context* context, libusb_device_handle* device,
                                   unsigned char endpoint, unsigned timeout_ms)
    : context_(context), device_(device), endpoint_(endpoint), timeout_ms_(timeout_ms) {}

LibusbWriteQueue::~LibusbWriteQueue() {
    for (auto& p : pending_)
        if (!p->completed) libusb_cancel_transfer(p->transfer);
    while (!pending_.empty()) {
        if (!wait_for(*pending_.front())) {
            // Still owned by libusb: freeing it would let the callback write into freed memory.
            (void)pending_.front().release();
        }
        pending_.pop_front();
    }
}

Transfer LibusbWriteQueue::submit(std::span<const std::uint8_t> bytes) {
    auto p = std::make_unique<Pending>();
    p->bytes.assign(bytes.begin(), bytes.end());
    p->transfer = libusb_alloc_transfer(0);
    if (p->transfer == nullptr) return Transfer::Failed;
    libusb_fill_bulk_transfer(p->transfer, device_, endpoint_, p->bytes.data(),
                              static_cast<int>(p->bytes.size()), on_transfer_done, p.get(),
                              timeout_ms_);
    if (libusb_submit_transfer(p->transfer) != 0) return Transfer::Failed;
    pending_.push_back(std::move(p));
    return Transfer::Done;
}

Transfer LibusbWriteQueue::finish_oldest() {
    if (pending_.empty()) return Transfer::Done;
    Pending& p = *pending_.front();
    if (!wait_for(p)) {
        libusb_cancel_transfer(p.transfer);
        if (!wait_for(p)) (void)pending_.front().release();  // see the destructor
        pending_.pop_front();
        return Transfer::Failed;
    }
    const bool all_out = p.transfer->status == LIBUSB_TRANSFER_COMPLETED &&
                         p.transfer->actual_length == p.transfer->length;
    pending_.pop_front();
    return all_out ? Transfer::Done : Transfer::Failed;
}

bool LibusbWriteQueue::wait_for(Pending& pending) {
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
