// The simulated driver's bookkeeping: handles, call counting and planned faults, virtual time,
// the devices on the cable, and the board's power events.
#include <algorithm>
#include <cmath>

#include "usb_impl.h"

namespace korvel::sim {

Usb::Impl::Impl() {
    board_port.id = 0;
    board_port.loc_id = 0x0111;
    board.set_power_listener([this](bool attached) { on_power(attached); });
    board.set_clock([this] { return now_us; });
}

void Usb::Impl::on_power(bool attached) {
    // Unplugging kills the handle; the chip comes back closed and out of bit-bang mode.
    board_port.handle = 0;
    board_port.mode = 0;
    if (!attached && !loading) release_state();
}

Usb::Impl::Resolved Usb::Impl::resolve(Handle handle) {
    const auto it = handles.find(handle);
    if (handle == 0 || it == handles.end()) return {};
    const std::uint64_t port_id = it->second;
    FtdiPort* port = nullptr;
    if (port_id == board_port.id) {
        port = board.attached() ? &board_port : nullptr;
    } else {
        for (auto& o : others)
            if (o.id == port_id) port = &o;
    }
    if (!port || port->handle != handle) return {Target::Dead, nullptr};
    return {port == &board_port ? Target::Board : Target::Other, port};
}

bool Usb::Impl::enter(Call kind, Status& status) {
    ++counts[static_cast<std::size_t>(kind)];
    if (faults.detach_now()) board.detach();
    return !faults.fails(kind, status);
}

bool Usb::Impl::enter(Call kind, Handle handle, Resolved& device, Status& status) {
    if (!enter(kind, status)) return false;
    device = resolve(handle);
    if (device.target == Target::Unknown) {
        status = kInvalidHandle;
        ++invalid_handle_calls;
    }
    if (device.target == Target::Dead) {
        status = kIoError;
        // Closing is how a gone handle is given up; anything else after the first answer is a
        // program that went on using it.
        if (kind != Call::Close && !told_gone.insert(handle).second) ++lost_handle_calls;
    }
    return device.port != nullptr;
}

std::vector<FtdiPort*> Usb::Impl::listed() {
    std::vector<FtdiPort*> out;
    out.reserve(others.size() + 1);
    for (auto& o : others) out.push_back(&o);
    if (board.attached()) {
        board_port.description = board.description;
        board_port.serial = board.serial;
        out.insert(
            out.begin() + static_cast<std::ptrdiff_t>(std::min(board_position, others.size())),
            &board_port);
    }
    return out;
}

void Usb::Impl::set_direction(FtdiPort& port, std::uint8_t mask) {
    if (&port == &board_port)
        board.set_direction(mask);
    else
        port.direction = mask;
}

std::vector<std::uint8_t>& Usb::Impl::user_area_of(FtdiPort& port) {
    if (&port == &board_port) return board.user_area();
    port.user_area.resize(kUserAreaCapacity, 0x00);
    return port.user_area;
}

std::size_t Usb::Impl::user_area_size_of(const FtdiPort& port) const {
    if (&port == &board_port) return board.user_area_size();
    return user_area_size(kOtherManufacturer, port.description, port.serial);
}

Usb::Usb() : impl_(std::make_unique<Impl>()) {}

Usb::~Usb() {
    close_trace();
    impl_->release_state();
}

// --- time, counters, faults ---

void Usb::pause(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) return;
    impl_->now_us += static_cast<std::uint64_t>(std::llround(seconds * 1e6));
}

std::uint64_t Usb::now_us() const {
    return impl_->now_us;
}

std::uint64_t Usb::calls(Call kind) const {
    const auto i = static_cast<std::size_t>(kind);
    return i < impl_->counts.size() ? impl_->counts[i] : 0;
}

std::uint64_t Usb::invalid_handle_calls() const {
    return impl_->invalid_handle_calls;
}

std::uint64_t Usb::lost_handle_calls() const {
    return impl_->lost_handle_calls;
}

std::uint64_t Usb::total_calls() const {
    std::uint64_t sum = 0;
    for (auto c : impl_->counts) sum += c;
    return sum;
}

void Usb::reset_counters() {
    impl_->counts.fill(0);
    impl_->invalid_handle_calls = 0;
    impl_->lost_handle_calls = 0;
}

void Usb::fail_call(Call kind, std::uint64_t nth, Status status) {
    impl_->faults.fail_call(kind, nth, status);
}
void Usb::detach_before_call(std::uint64_t nth) {
    impl_->faults.detach_before_call(nth);
}
void Usb::force_pins_read_high(std::uint8_t mask) {
    impl_->pins_read_high = mask;
}
void Usb::clear_faults() {
    impl_->faults.clear();
    impl_->pins_read_high = 0;
}

// --- devices ---

Board& Usb::board() {
    return impl_->board;
}
void Usb::set_board_list_handle(std::uintptr_t value) {
    impl_->board_list_handle = value;
}
void Usb::set_board_position(std::size_t index) {
    impl_->board_position = index;
}

void Usb::add_other_device(std::string description, std::string serial) {
    FtdiPort port;
    port.id = impl_->next_port_id++;
    port.description = std::move(description);
    port.serial = std::move(serial);
    port.loc_id = 0x0112 + static_cast<std::uint32_t>(impl_->others.size());
    port.user_area.assign(kUserAreaCapacity, 0x00);
    impl_->others.push_back(std::move(port));
}

void Usb::clear_other_devices() {
    impl_->others.clear();
}

}  // namespace korvel::sim
