// Driver calls on an open handle that reach the pins or the chip's state: baud rate, bit mode,
// pin read, write, close and port cycle. Each call that reaches the pins takes 1 us.
#include "usb_impl.h"

namespace korvel::sim {

namespace {
constexpr std::uint32_t kMaxBaud = 3000000;
}

Status Usb::set_baud_rate(Handle handle, std::uint32_t baud) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::SetBaudRate, handle, dev, st)) return st;
    // The rate paces only the real chip's pin output; virtual time does not depend on it, so
    // nothing keeps it.
    return baud == 0 || baud > kMaxBaud ? kInvalidBaudRate : kOk;
}

Status Usb::set_bit_mode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::SetBitMode, handle, dev, st)) return st;
    if (mode != 0 && mode != 1 && mode != 4) return kInvalidParameter;
    dev.port->mode = mode;
    impl_->set_direction(*dev.port, mode == 0 ? 0 : mask);
    ++impl_->now_us;
    return kOk;
}

Status Usb::get_bit_mode(Handle handle, std::uint8_t& pins) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::GetBitMode, handle, dev, st)) return st;
    if (dev.target == Impl::Target::Board) {
        pins = static_cast<std::uint8_t>(impl_->board.pins() | impl_->pins_read_high);
    } else {
        // A lone FT232R: driven pins read their latch, inputs its internal pull-ups.
        pins = static_cast<std::uint8_t>((dev.port->latch & dev.port->direction) |
                                         ~dev.port->direction);
    }
    ++impl_->now_us;
    return kOk;
}

Status Usb::write(Handle handle, const std::uint8_t* data, std::uint32_t count,
                  std::uint32_t& written) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::Write, handle, dev, st)) return st;
    if (!data && count) return kInvalidParameter;
    if (dev.port->mode != 0 && count) {
        if (dev.target == Impl::Target::Board) {
            Board& board = impl_->board;
            for (std::uint32_t i = 0; i < count; ++i) board.write_latch(data[i]);
        } else {
            dev.port->latch = data[count - 1];
        }
    }
    written = count;
    ++impl_->now_us;
    return kOk;
}

Status Usb::close(Handle handle) {
    Impl::Resolved dev;
    Status st = kOk;
    const bool open = impl_->enter(Call::Close, handle, dev, st);
    if (st == kInvalidHandle || (!open && dev.target != Impl::Target::Dead)) return st;
    impl_->handles.erase(handle);  // a dead handle is forgotten too
    if (!open) return st;
    dev.port->handle = 0;
    if (dev.target == Impl::Target::Board) impl_->release_state();
    return kOk;
}

Status Usb::cycle_port(Handle handle) {
    Impl::Resolved dev;
    Status st = kOk;
    if (!impl_->enter(Call::CyclePort, handle, dev, st)) return st;
    // The chip drops off the bus and enumerates again: the handle is gone, the chip is reset,
    // the rest of the unit stays powered.
    dev.port->handle = 0;
    dev.port->mode = 0;
    impl_->set_direction(*dev.port, 0);
    if (dev.target == Impl::Target::Board) impl_->release_state();
    return kOk;
}

}  // namespace korvel::sim
