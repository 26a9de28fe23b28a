#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "state_file.h"
#include "usb_impl.h"

namespace korvel::sim {

namespace {
constexpr std::uint32_t kFlagOpened = 0x1;
constexpr std::uint32_t kMaxSerial = 15, kMaxDescription = 63;  // the driver's record fields
constexpr std::uint32_t kMaxBaud = 3000000;
}  // namespace

Usb::Impl::Impl() {
    board_port.id = 0;
    board_port.loc_id = 0x0111;
    board.set_power_listener([this](bool attached) { on_power(attached); });
}

void Usb::Impl::on_power(bool attached) {
    // Unplugging kills the handle; the chip comes back closed and out of bit-bang mode.
    ++board_port.epoch;
    board_port.handle = 0;
    board_port.mode = 0;
    if (!attached && !loading) save_quietly();
}

void Usb::Impl::save_quietly() {
    if (state_path.empty()) return;
    std::string error;
    if (!write_file_atomically(state_path, board_to_json(board).dump(2) + "\n", &error))
        std::fprintf(stderr, "korvel simulated unit: state not saved: %s\n", error.c_str());
}

Usb::Impl::Resolved Usb::Impl::resolve(Handle handle) {
    const auto it = handles.find(handle);
    if (handle == 0 || it == handles.end()) return {};
    const HandleInfo info = it->second;
    FtdiPort* port = nullptr;
    if (info.port_id == board_port.id) {
        port = board.attached() ? &board_port : nullptr;
    } else {
        for (auto& o : others)
            if (o.id == info.port_id) port = &o;
    }
    if (!port || port->epoch != info.epoch || port->handle != handle)
        return {Target::Dead, nullptr};
    return {port == &board_port ? Target::Board : Target::Other, port};
}

bool Usb::Impl::enter(Call kind, Status& status) {
    ++counts[static_cast<std::size_t>(kind)];
    if (faults.detach_now()) board.detach();
    return !faults.fails(kind, status);
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

Usb::Usb() : impl_(std::make_unique<Impl>()) {}

Usb::~Usb() {
    impl_->trace.close(impl_->now_us);
    impl_->save_quietly();
}

// --- device list ---

Status Usb::create_device_info_list(std::uint32_t& count) {
    Status st = kOk;
    if (!impl_->enter(Call::CreateDeviceInfoList, st)) return st;
    count = static_cast<std::uint32_t>(impl_->listed().size());
    return kOk;
}

static ListEntry entry_for(const FtdiPort& port, const Usb::Impl& impl) {
    ListEntry e;
    e.flags = port.handle ? kFlagOpened : 0;
    e.loc_id = port.loc_id;
    e.serial = port.serial.substr(0, kMaxSerial);
    e.description = port.description.substr(0, kMaxDescription);
    e.handle = port.handle ? port.handle : (&port == &impl.board_port ? impl.board_list_handle : 0);
    return e;
}

Status Usb::get_device_info_list(std::vector<ListEntry>& out, std::size_t capacity,
                                 std::uint32_t& count) {
    Status st = kOk;
    if (!impl_->enter(Call::GetDeviceInfoList, st)) return st;
    const auto ports = impl_->listed();
    out.clear();
    for (std::size_t i = 0; i < ports.size() && i < capacity; ++i)
        out.push_back(entry_for(*ports[i], *impl_));
    count = static_cast<std::uint32_t>(ports.size());
    return kOk;
}

Status Usb::get_device_info_detail(std::uint32_t index, ListEntry& out) {
    Status st = kOk;
    if (!impl_->enter(Call::GetDeviceInfoDetail, st)) return st;
    const auto ports = impl_->listed();
    if (index >= ports.size()) return kDeviceNotFound;
    out = entry_for(*ports[index], *impl_);
    return kOk;
}

Status Usb::open(std::uint32_t index, Handle& handle) {
    Status st = kOk;
    if (!impl_->enter(Call::Open, st)) return st;
    const auto ports = impl_->listed();
    if (index >= ports.size()) return kDeviceNotFound;
    FtdiPort& port = *ports[index];
    if (port.handle) return kDeviceNotOpened;  // already open
    handle = impl_->next_handle;
    impl_->next_handle += 0x10;
    port.handle = handle;
    port.mode = 0;
    impl_->handles[handle] = {port.id, port.epoch};
    // Opening resets the chip out of bit-bang mode: every pin an input.
    if (&port == &impl_->board_port)
        impl_->board.set_direction(0);
    else
        port.direction = 0;
    return kOk;
}

Status Usb::set_baud_rate(Handle handle, std::uint32_t baud) {
    Status st = kOk;
    if (!impl_->enter(Call::SetBaudRate, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if (baud == 0 || baud > kMaxBaud) return kInvalidBaudRate;
    r.port->baud = baud;
    return kOk;
}

Status Usb::set_bit_mode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    Status st = kOk;
    if (!impl_->enter(Call::SetBitMode, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if (mode != 0 && mode != 1 && mode != 4) return kInvalidParameter;
    r.port->mode = mode;
    const std::uint8_t direction = mode == 0 ? 0 : mask;
    if (r.target == Impl::Target::Board)
        impl_->board.set_direction(direction);
    else
        r.port->direction = direction;
    ++impl_->now_us;
    return kOk;
}

Status Usb::get_bit_mode(Handle handle, std::uint8_t& pins) {
    Status st = kOk;
    if (!impl_->enter(Call::GetBitMode, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if (r.target == Impl::Target::Board) {
        pins = impl_->board.pins();
    } else {
        // A lone FT232R: driven pins read their latch, inputs its internal pull-ups.
        pins = static_cast<std::uint8_t>((r.port->latch & r.port->direction) | ~r.port->direction);
    }
    ++impl_->now_us;
    return kOk;
}

Status Usb::write(Handle handle, const std::uint8_t* data, std::uint32_t count,
                  std::uint32_t& written) {
    Status st = kOk;
    if (!impl_->enter(Call::Write, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if (!data && count) return kInvalidParameter;
    if (r.port->mode != 0 && count) {
        if (r.target == Impl::Target::Board) {
            Board& board = impl_->board;
            for (std::uint32_t i = 0; i < count; ++i) board.write_latch(data[i]);
        } else {
            r.port->latch = data[count - 1];
        }
    }
    written = count;
    ++impl_->now_us;
    return kOk;
}

Status Usb::close(Handle handle) {
    Status st = kOk;
    if (!impl_->enter(Call::Close, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    impl_->handles.erase(handle);
    if (r.target == Impl::Target::Dead) return kIoError;
    r.port->handle = 0;
    if (r.target == Impl::Target::Board) impl_->save_quietly();
    return kOk;
}

Status Usb::cycle_port(Handle handle) {
    Status st = kOk;
    if (!impl_->enter(Call::CyclePort, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    // The chip drops off the bus and enumerates again: the handle is gone, the chip is reset,
    // the rest of the unit stays powered.
    ++r.port->epoch;
    r.port->handle = 0;
    r.port->mode = 0;
    if (r.target == Impl::Target::Board)
        impl_->board.set_direction(0);
    else
        r.port->direction = 0;
    return kOk;
}

Status Usb::ee_ua_size(Handle handle, std::uint32_t& size) {
    Status st = kOk;
    if (!impl_->enter(Call::EeUaSize, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    size = static_cast<std::uint32_t>(kUserAreaSize);
    return kOk;
}

static std::vector<std::uint8_t>& user_area_of(Usb::Impl& impl, FtdiPort& port) {
    if (&port == &impl.board_port) return impl.board.user_area();
    port.user_area.resize(kUserAreaSize, 0x00);
    return port.user_area;
}

Status Usb::ee_ua_read(Handle handle, std::uint8_t* buffer, std::uint32_t length,
                       std::uint32_t& read) {
    Status st = kOk;
    if (!impl_->enter(Call::EeUaRead, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if (!buffer && length) return kInvalidParameter;
    const auto& ua = user_area_of(*impl_, *r.port);
    const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(length, ua.size()));
    if (n) std::memcpy(buffer, ua.data(), n);
    read = n;
    return kOk;
}

Status Usb::ee_ua_write(Handle handle, const std::uint8_t* buffer, std::uint32_t length) {
    Status st = kOk;
    if (!impl_->enter(Call::EeUaWrite, st)) return st;
    const auto r = impl_->resolve(handle);
    if (r.target == Impl::Target::Unknown) return kInvalidHandle;
    if (r.target == Impl::Target::Dead) return kIoError;
    if ((!buffer && length) || length > kUserAreaSize) return kInvalidParameter;
    auto& ua = user_area_of(*impl_, *r.port);
    if (length) std::memcpy(ua.data(), buffer, length);
    return kOk;
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

std::uint64_t Usb::total_calls() const {
    std::uint64_t sum = 0;
    for (auto c : impl_->counts) sum += c;
    return sum;
}

void Usb::reset_counters() {
    impl_->counts.fill(0);
}

void Usb::fail_call(Call kind, std::uint64_t nth, Status status) {
    impl_->faults.fail_call(kind, nth, status);
}
void Usb::detach_before_call(std::uint64_t nth) {
    impl_->faults.detach_before_call(nth);
}
void Usb::clear_faults() {
    impl_->faults.clear();
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
    port.user_area.assign(kUserAreaSize, 0x00);
    impl_->others.push_back(std::move(port));
}

void Usb::clear_other_devices() {
    impl_->others.clear();
}

// --- files ---

bool Usb::load_state(const std::string& path, std::string* error) {
    std::string text, why;
    if (!read_file(path, text, &why)) {
        if (error) *error = why;
        return false;
    }
    nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    if (doc.is_discarded()) {
        if (error) *error = path + " is not valid JSON";
        return false;
    }
    impl_->loading = true;
    const bool ok = board_from_json(doc, impl_->board, &why);
    impl_->loading = false;
    if (!ok) {
        if (error) *error = path + ": " + why;
        return false;
    }
    impl_->state_path = path;
    return true;
}

bool Usb::save_state(std::string* error) const {
    if (impl_->state_path.empty()) {
        if (error) *error = "no state file is set";
        return false;
    }
    return write_file_atomically(impl_->state_path, board_to_json(impl_->board).dump(2) + "\n",
                                 error);
}

void Usb::set_state_path(std::string path) {
    impl_->state_path = std::move(path);
}

bool Usb::open_trace(const std::string& path) {
    Impl& impl = *impl_;
    impl.board.set_pin_listener(nullptr);
    if (!impl.trace.open(path, impl.now_us, impl.board.pins())) return false;
    impl.board.set_pin_listener(
        [&impl](std::uint8_t levels) { impl.trace.change(impl.now_us, levels); });
    return true;
}

void Usb::close_trace() {
    impl_->board.set_pin_listener(nullptr);
    impl_->trace.close(impl_->now_us);
}

}  // namespace korvel::sim
