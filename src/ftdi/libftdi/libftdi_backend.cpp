// Real hardware: the FT_* rules on top of a transport.
//
// Handles: every FT_Open makes an OpenDevice owned by this backend, registered under a fresh
// number that is never reused; the FT_HANDLE is that number, not an address. A handle that is
// not in the registry (null, garbage, closed, or from another backend) is refused with
// FT_INVALID_HANDLE and never dereferenced.
//
// A chip that stops answering: every USB request waits at most the transport's timeout (1 s).
// The first request on a handle that fails on the USB side (timed out, device gone) marks the
// handle lost: from then on every call on it fails at once with FT_IO_ERROR and sends nothing,
// until FT_Close releases it. Without this a silent chip costs a full timeout per request, and
// the I2C engine makes hundreds of requests per expander write.
//
// Queued requests: the calls whose outcome nobody needs at once are submitted and return
// without waiting: FT_Write (its bytes as bulk writes), FT_SetBitMode (a mask change) and
// FT_QueuePinRead (a pin read whose answer is dropped). At most `requests_in_flight` (64) of
// them are in flight, `writes_in_flight` (8) of those bulk writes; the next one waits for the
// oldest. USB carries them in the order they were made, so the chip sees the same requests in
// the same order as when each was waited for. The backend waits for everything queued wherever
// the program needs an answer or a pause:
//   - a pin read (FT_GetBitMode): its request goes at the end of the queue and the call waits
//     for all of it;
//   - every other request (baud rate, EEPROM, port cycle): the queue is finished first;
//   - FT_Close, and finish_queued(), which the process clock calls before it moves on a Delay,
//     so a pause in the program is a pause on the wire too.
// A queued request that fails is reported by the call that waits for it (FT_IO_ERROR), which
// loses the handle exactly as a failed request always did; whatever is still queued behind it
// is cancelled. The supervision tick's pin read is such a wait, so a unit that vanished in the
// middle of a queued sequence is noticed and reopened at the next tick.
// With queue_requests off (KORVEL_USB_QUEUE=0) mask changes and pin reads are each waited for,
// as before queueing.
#include "ftdi/libftdi/libftdi_backend.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <span>

#include "ftdi/eeprom/ft232r_eeprom.h"
#include "ftdi/libftdi/ft232r_eeprom_io.h"

namespace korvel::ftdi {
namespace {

constexpr DWORD kMaxBaud = 3000000;  // the FT232R's highest rate

struct OpenDevice {
    std::unique_ptr<OpenFtdiDevice> usb;
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    bool lost = false;  // a USB request failed: nothing more is sent until FT_Close
};

class LibftdiBackend final : public Backend {
  public:
    LibftdiBackend(std::unique_ptr<FtdiTransport> transport, UsbBackendTuning tuning)
        : transport_(std::move(transport)), tuning_(tuning) {
        tuning_.writes_in_flight = std::max<std::size_t>(tuning_.writes_in_flight, 1);
        tuning_.requests_in_flight = std::max(tuning_.requests_in_flight, tuning_.writes_in_flight);
        tuning_.write_chunk = std::max<std::size_t>(tuning_.write_chunk, 1);
    }

    FT_STATUS create_device_info_list(DWORD& count) override {
        list_ = transport_->find_devices();
        count = static_cast<DWORD>(list_.size());
        return FT_OK;
    }

    FT_STATUS get_device_info_list(std::vector<DeviceRecord>& out, DWORD capacity,
                                   DWORD& count) override {
        for (std::size_t i = 0; i < list_.size() && i < capacity; ++i) out.push_back(record(i));
        count = static_cast<DWORD>(list_.size());
        return FT_OK;
    }

    FT_STATUS get_device_info_detail(DWORD index, DeviceRecord& out) override {
        if (index >= list_.size()) return FT_DEVICE_NOT_FOUND;
        out = record(index);
        return FT_OK;
    }

    FT_STATUS open(DWORD index, FT_HANDLE& handle) override {
        last_open_denied_ = false;
        if (list_.empty()) list_ = transport_->find_devices();
        if (index >= list_.size()) return FT_DEVICE_NOT_FOUND;
        auto device = std::make_unique<OpenDevice>();
        device->bus = list_[index].bus;
        device->address = list_[index].address;
        switch (transport_->open(list_[index], tuning_.open, device->usb)) {
            case OpenOutcome::Opened:
                break;
            case OpenOutcome::NoPermission:
                last_open_denied_ = true;
                return FT_DEVICE_NOT_OPENED;
            case OpenOutcome::Failed:
                return FT_DEVICE_NOT_OPENED;
        }
        if (!device->usb) return FT_DEVICE_NOT_OPENED;
        const std::uintptr_t number = next_handle_++;
        open_.emplace(number, std::move(device));
        handle = reinterpret_cast<FT_HANDLE>(number);
        return FT_OK;
    }

    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD baud) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = ready_for_request(handle, d); s != FT_OK) return s;
        if (baud == 0 || baud > kMaxBaud) return FT_INVALID_BAUD_RATE;
        return settle(*d, d->usb->set_baud_rate(baud), FT_INVALID_BAUD_RATE);
    }

    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override {
        OpenDevice* d = nullptr;
        if (!tuning_.queue_requests) {
            if (FT_STATUS s = ready_for_request(handle, d); s != FT_OK) return s;
            return settle(*d, d->usb->set_bit_mode(mask, mode), FT_INVALID_PARAMETER);
        }
        if (FT_STATUS s = room_for_request(handle, d, false); s != FT_OK) return s;
        return settle(*d, d->usb->submit_bit_mode(mask, mode), FT_INVALID_PARAMETER);
    }

    FT_STATUS get_bit_mode(FT_HANDLE handle, UCHAR& pins) override {
        OpenDevice* d = nullptr;
        if (!tuning_.queue_requests) {
            if (FT_STATUS s = ready_for_request(handle, d); s != FT_OK) return s;
            return settle(*d, d->usb->read_pins(pins), FT_INVALID_PARAMETER);
        }
        // The read rides at the end of the queue; its answer comes with the last completion.
        if (FT_STATUS s = room_for_request(handle, d, false); s != FT_OK) return s;
        if (FT_STATUS s = settle(*d, d->usb->submit_pin_read(), FT_INVALID_PARAMETER); s != FT_OK)
            return s;
        return finish_queued(*d, &pins);
    }

    FT_STATUS read_pins_unexamined(FT_HANDLE handle) override {
        if (!tuning_.queue_requests) {
            UCHAR pins = 0;
            return get_bit_mode(handle, pins);
        }
        OpenDevice* d = nullptr;
        if (FT_STATUS s = room_for_request(handle, d, false); s != FT_OK) return s;
        return settle(*d, d->usb->submit_pin_read(), FT_INVALID_PARAMETER);
    }

    FT_STATUS write(FT_HANDLE handle, const UCHAR* data, DWORD count, DWORD& written) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        written = 0;
        while (written < count) {
            if (FT_STATUS s = make_room(*d, true); s != FT_OK) return s;
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(count - written, tuning_.write_chunk));
            if (FT_STATUS s =
                    settle(*d, d->usb->submit_write(std::span(data + written, chunk)), FT_IO_ERROR);
                s != FT_OK)
                return s;
            written += chunk;
        }
        return FT_OK;
    }

    void finish_queued() override {
        for (auto& [number, device] : open_)
            if (!device->lost) finish_queued(*device, nullptr);
    }

    FT_STATUS close(FT_HANDLE handle) override {
        auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == open_.end()) return FT_INVALID_HANDLE;
        if (!it->second->lost) finish_queued(*it->second, nullptr);
        open_.erase(it);  // closes the device
        return FT_OK;
    }

    FT_STATUS cycle_port(FT_HANDLE handle) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = ready_for_request(handle, d); s != FT_OK) return s;
        return settle(*d, d->usb->reset_port(), FT_IO_ERROR);
    }

    FT_STATUS ee_ua_size(FT_HANDLE handle, DWORD& size) override {
        Eeprom eeprom;
        if (FT_STATUS s = read_eeprom(handle, eeprom); s != FT_OK) return s;
        size = static_cast<DWORD>(eeprom.area.size);
        return FT_OK;
    }

    FT_STATUS ee_ua_read(FT_HANDLE handle, UCHAR* buffer, DWORD length, DWORD& read) override {
        Eeprom eeprom;
        if (FT_STATUS s = read_eeprom(handle, eeprom); s != FT_OK) return s;
        const auto bytes = ft232r::read_user_area(eeprom.image, length);
        if (!bytes) return FT_INVALID_PARAMETER;
        std::copy(bytes->begin(), bytes->end(), buffer);
        read = static_cast<DWORD>(bytes->size());
        return FT_OK;
    }

    FT_STATUS ee_ua_write(FT_HANDLE handle, const UCHAR* buffer, DWORD length) override {
        Eeprom eeprom;
        if (FT_STATUS s = read_eeprom(handle, eeprom); s != FT_OK) return s;
        const auto updated = ft232r::write_user_area(eeprom.image, std::span(buffer, length));
        if (!updated) return FT_INVALID_PARAMETER;
        return settle(*eeprom.device,
                      write_eeprom_words(*eeprom.device->usb, *updated,
                                         ft232r::changed_words(eeprom.image, *updated)),
                      FT_EEPROM_WRITE_FAILED, FT_EEPROM_WRITE_FAILED);
    }

    bool handle_lost(FT_HANDLE handle) const override {
        auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
        return it != open_.end() && it->second->lost;
    }

    bool last_open_denied() const override { return last_open_denied_; }

  private:
    DeviceRecord record(std::size_t index) const {
        const UsbFtdiDevice& u = list_[index];
        DeviceRecord r;
        r.type = device_type_for_release(u.release, !u.serial.empty());
        r.id = (static_cast<DWORD>(u.vendor_id) << 16) | u.product_id;
        // Location: USB bus number in bits 8..15, device address in bits 0..7.
        r.loc_id = (static_cast<DWORD>(u.bus) << 8) | u.address;
        r.serial = u.serial;
        r.description = u.description;
        for (const auto& [number, device] : open_) {
            if (device->bus == u.bus && device->address == u.address && !device->lost) {
                r.flags |= FT_FLAGS_OPENED;
                r.handle = reinterpret_cast<FT_HANDLE>(number);
            }
        }
        return r;
    }

    // The open device behind `handle`, if it has not been lost.
    FT_STATUS usable(FT_HANDLE handle, OpenDevice*& device) {
        auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == open_.end()) return FT_INVALID_HANDLE;
        if (it->second->lost) return FT_IO_ERROR;
        device = it->second.get();
        return FT_OK;
    }

    // usable(), with every queued request finished first.
    FT_STATUS ready_for_request(FT_HANDLE handle, OpenDevice*& device) {
        if (FT_STATUS s = usable(handle, device); s != FT_OK) return s;
        return finish_queued(*device, nullptr);
    }

    // usable(), with room in the queue for one more request.
    FT_STATUS room_for_request(FT_HANDLE handle, OpenDevice*& device, bool bulk) {
        if (FT_STATUS s = usable(handle, device); s != FT_OK) return s;
        return make_room(*device, bulk);
    }

    // Waits for the oldest queued requests until one more (a bulk write when `bulk`) may go.
    FT_STATUS make_room(OpenDevice& device, bool bulk) {
        while (device.usb->requests_in_flight() >= tuning_.requests_in_flight ||
               (bulk && device.usb->writes_in_flight() >= tuning_.writes_in_flight)) {
            if (FT_STATUS s = finish_oldest(device, nullptr); s != FT_OK) return s;
        }
        return FT_OK;
    }

    // Waits for every queued request; `pins` gets the answer of the last pin read among them.
    FT_STATUS finish_queued(OpenDevice& device, UCHAR* pins) {
        while (device.usb->requests_in_flight() > 0) {
            if (FT_STATUS s = finish_oldest(device, pins); s != FT_OK) return s;
        }
        return FT_OK;
    }

    FT_STATUS finish_oldest(OpenDevice& device, UCHAR* pins) {
        return settle(device, device.usb->finish_oldest(pins), FT_IO_ERROR);
    }

    // The status for how a request ended; a failed USB transfer loses the device, and nothing
    // more reaches a lost device: what is still queued is cancelled.
    static FT_STATUS settle(OpenDevice& device, Transfer transfer, FT_STATUS refused,
                            FT_STATUS failed = FT_IO_ERROR) {
        switch (transfer) {
            case Transfer::Done:
                return FT_OK;
            case Transfer::Refused:
                return refused;
            case Transfer::Failed:
                break;
        }
        device.lost = true;
        device.usb->cancel_queued();
        return failed;
    }

    // A programmed FT232R EEPROM as read from an open device.
    struct Eeprom {
        OpenDevice* device = nullptr;
        ft232r::Image image{};
        ft232r::UserArea area;
    };

    // Reads the EEPROM of the device behind `handle` and locates its user area.
    FT_STATUS read_eeprom(FT_HANDLE handle, Eeprom& eeprom) {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = ready_for_request(handle, d); s != FT_OK) return s;
        if (!d->usb->is_ft232r()) return FT_NOT_SUPPORTED;
        if (FT_STATUS s = settle(*d, read_eeprom_image(*d->usb, eeprom.image),
                                 FT_EEPROM_READ_FAILED, FT_EEPROM_READ_FAILED);
            s != FT_OK)
            return s;
        const auto area = ft232r::find_user_area(eeprom.image);
        if (!area) return FT_EEPROM_NOT_PROGRAMMED;
        eeprom.device = d;
        eeprom.area = *area;
        return FT_OK;
    }

    std::unique_ptr<FtdiTransport> transport_;
    UsbBackendTuning tuning_;
    std::vector<UsbFtdiDevice> list_;
    std::map<std::uintptr_t, std::unique_ptr<OpenDevice>> open_;
    bool last_open_denied_ = false;
    // Handle numbers start well away from 0 and 1 (values the device link treats specially).
    std::uintptr_t next_handle_ = 0x4B000001;
};

}  // namespace

UsbBackendTuning usb_tuning_from_environment(const char* queue_value) {
    UsbBackendTuning tuning;
    // Mask changes and pin reads are control requests, latch writes bulk writes: USB keeps order
    // within one endpoint only, and a host controller may serve the two endpoints in another
    // order than they were submitted. Until the queued path has been proven on real units, it is
    // asked for (KORVEL_USB_QUEUE=1 or "on"); by default every request is waited for.
    tuning.queue_requests = queue_value != nullptr && (std::strcmp(queue_value, "1") == 0 ||
                                                       std::strcmp(queue_value, "on") == 0);
    return tuning;
}

std::unique_ptr<Backend> make_libftdi_backend() {
    return make_libftdi_backend(make_libftdi_transport(),
                                usb_tuning_from_environment(std::getenv("KORVEL_USB_QUEUE")));
}

std::unique_ptr<Backend> make_libftdi_backend(std::unique_ptr<FtdiTransport> transport,
                                              UsbBackendTuning tuning) {
    return std::make_unique<LibftdiBackend>(std::move(transport), tuning);
}

}  // namespace korvel::ftdi
