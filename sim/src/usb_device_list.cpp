// Driver calls that find and open devices: the device list, its detail records and open.
#include "usb_impl.h"

namespace korvel::sim {

namespace {
constexpr std::uint32_t kFlagOpened = 0x1;
constexpr std::size_t kMaxSerial = 15, kMaxDescription = 63;  // the driver's record fields

ListEntry entry_for(const Usb::Impl& impl, const FtdiPort& port) {
    const bool is_board = &port == &impl.board_port;
    ListEntry e;
    // Opened by this program, or (the board) by another one that holds its state file.
    const bool opened = port.handle != 0 || (is_board && impl.board_held_elsewhere());
    e.flags = opened ? kFlagOpened : 0;
    e.loc_id = port.loc_id;
    e.serial = port.serial.substr(0, kMaxSerial);
    e.description = port.description.substr(0, kMaxDescription);
    e.handle = port.handle ? port.handle : (is_board ? impl.board_list_handle : 0);
    return e;
}
}  // namespace

Status Usb::create_device_info_list(std::uint32_t& count) {
    Status st = kOk;
    if (!impl_->enter(Call::CreateDeviceInfoList, st)) return st;
    count = static_cast<std::uint32_t>(impl_->listed().size());
    return kOk;
}

Status Usb::get_device_info_list(std::vector<ListEntry>& out, std::size_t capacity,
                                 std::uint32_t& count) {
    Status st = kOk;
    if (!impl_->enter(Call::GetDeviceInfoList, st)) return st;
    const auto ports = impl_->listed();
    out.clear();
    for (std::size_t i = 0; i < ports.size() && i < capacity; ++i)
        out.push_back(entry_for(*impl_, *ports[i]));
    count = static_cast<std::uint32_t>(ports.size());
    return kOk;
}

Status Usb::get_device_info_detail(std::uint32_t index, ListEntry& out) {
    Status st = kOk;
    if (!impl_->enter(Call::GetDeviceInfoDetail, st)) return st;
    const auto ports = impl_->listed();
    if (index >= ports.size()) return kDeviceNotFound;
    out = entry_for(*impl_, *ports[index]);
    return kOk;
}

Status Usb::open(std::uint32_t index, Handle& handle) {
    Status st = kOk;
    if (!impl_->enter(Call::Open, st)) return st;
    const auto ports = impl_->listed();
    if (index >= ports.size()) return kDeviceNotFound;
    FtdiPort& port = *ports[index];
    if (port.handle) return kDeviceNotOpened;  // already open
    if (&port == &impl_->board_port) {
        bool busy = false;
        if (!impl_->take_state(busy)) return kDeviceNotOpened;  // open in another program
        if (!impl_->board.attached()) {  // another program's save says it was unplugged since
            impl_->state_lock.release();
            return kDeviceNotFound;
        }
    }
    handle = impl_->next_handle;
    impl_->next_handle += 0x10;
    port.handle = handle;
    port.mode = 0;
    impl_->handles[handle] = port.id;
    // Opening resets the chip out of bit-bang mode: every pin an input.
    impl_->set_direction(port, 0);
    return kOk;
}

}  // namespace korvel::sim
