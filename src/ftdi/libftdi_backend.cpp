// Real hardware through libftdi1.
//
// Handles: every FT_Open makes an OpenDevice owned by this backend, registered under a fresh
// number that is never reused; the FT_HANDLE is that number, not an address. A handle that is
// not in the registry (null, garbage, closed, or from another backend) is refused with
// FT_INVALID_HANDLE and never dereferenced.
//
// Baud rate: the vendor driver's FT_SetBaudRate(b) programs the chip's baud-rate divisor for b
// (3 MHz / b) in every mode; in bit-bang mode the chip then clocks pin bytes out at a fixed
// multiple of that rate. libftdi's ftdi_set_baudrate(b) instead programs the divisor for 4 * b
// whenever bit-bang mode is enabled. We divide by 4 (rounded) in that case, so FT_SetBaudRate(b)
// programs the same divisor as the vendor driver whether it comes before FT_SetBitMode (as in
// the device link's start-up, where libftdi applies no factor) or after it: 921600 always gives
// the divisor 3.25.
//
// Port cycle: libftdi has no such call. We ask libusb for a USB port reset of the device
// (libusb_reset_device): the hub resets the port and the host re-addresses and reconfigures the
// device. It is not a power cycle: the chip stays powered, comes back in its power-up state
// (bit-bang mode off, default baud rate) and, if its descriptors are unchanged, the handle stays
// open and usable after a new FT_SetBitMode. If the device comes back as a different device
// (libusb reports it not found) the handle is dead: every later call on it fails with
// FT_IO_ERROR until FT_Close releases it.
#include "ftdi/libftdi_backend.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>

#include "ftdi/ft232r_eeprom.h"
#include "ftdi/libftdi_baud.h"
#include "ftdi/libftdi_device_list.h"
#include "ftdi/libftdi_eeprom_io.h"

namespace korvel::ftdi {
namespace {

constexpr DWORD kMaxBaud = 3000000;  // the FT232R's highest rate

struct OpenDevice {
    ftdi_context* context = nullptr;
    std::uint8_t bus = 0;
    std::uint8_t address = 0;
    bool gone = false;  // lost after a port cycle

    OpenDevice() = default;
    OpenDevice(const OpenDevice&) = delete;
    OpenDevice& operator=(const OpenDevice&) = delete;
    ~OpenDevice() { close_ftdi_device(context); }
};

class LibftdiBackend final : public Backend {
  public:
    FT_STATUS create_device_info_list(DWORD& count) override {
        list_ = find_ftdi_devices();
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
        if (list_.empty()) list_ = find_ftdi_devices();
        if (index >= list_.size()) return FT_DEVICE_NOT_FOUND;
        auto device = std::make_unique<OpenDevice>();
        device->bus = list_[index].bus;
        device->address = list_[index].address;
        device->context = open_ftdi_device(device->bus, device->address);
        if (device->context == nullptr) return FT_DEVICE_NOT_OPENED;
        const std::uintptr_t number = next_handle_++;
        open_.emplace(number, std::move(device));
        handle = reinterpret_cast<FT_HANDLE>(number);
        return FT_OK;
    }

    FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD baud) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        if (baud == 0 || baud > kMaxBaud) return FT_INVALID_BAUD_RATE;
        const DWORD rate = libftdi_baud_argument(baud, d->context->bitbang_enabled != 0);
        const int r = ftdi_set_baudrate(d->context, static_cast<int>(rate));
        if (r == -1) return FT_INVALID_BAUD_RATE;
        return r == 0 ? FT_OK : FT_IO_ERROR;
    }

    FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        // The vendor driver's mode numbers are libftdi's (1 = BITMODE_BITBANG, 0 = reset, ...).
        return ftdi_set_bitmode(d->context, mask, mode) == 0 ? FT_OK : FT_IO_ERROR;
    }

    FT_STATUS get_bit_mode(FT_HANDLE handle, UCHAR& pins) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        unsigned char value = 0;
        if (ftdi_read_pins(d->context, &value) != 0) return FT_IO_ERROR;
        pins = value;
        return FT_OK;
    }

    FT_STATUS write(FT_HANDLE handle, const UCHAR* data, DWORD count, DWORD& written) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        written = 0;
        while (written < count) {
            const DWORD chunk = std::min<DWORD>(count - written, 1u << 20);
            const int r = ftdi_write_data(d->context, data + written, static_cast<int>(chunk));
            if (r < 0) return FT_IO_ERROR;
            written += static_cast<DWORD>(r);
            if (r == 0) return FT_IO_ERROR;
        }
        return FT_OK;
    }

    FT_STATUS close(FT_HANDLE handle) override {
        auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == open_.end()) return FT_INVALID_HANDLE;
        open_.erase(it);
        return FT_OK;
    }

    FT_STATUS cycle_port(FT_HANDLE handle) override {
        OpenDevice* d = nullptr;
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        const int r = libusb_reset_device(d->context->usb_dev);
        if (r == 0) {
            d->context->bitbang_enabled = 0;  // the reset put the chip back to its power-up mode
            return FT_OK;
        }
        if (r == LIBUSB_ERROR_NOT_FOUND || r == LIBUSB_ERROR_NO_DEVICE) d->gone = true;
        return FT_IO_ERROR;
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
        if (!write_eeprom_words(eeprom.device->context, *updated,
                                ft232r::changed_words(eeprom.image, *updated)))
            return FT_EEPROM_WRITE_FAILED;
        return FT_OK;
    }

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
            if (device->bus == u.bus && device->address == u.address && !device->gone) {
                r.flags |= FT_FLAGS_OPENED;
                r.handle = reinterpret_cast<FT_HANDLE>(number);
            }
        }
        return r;
    }

    // The open, still present device behind `handle`.
    FT_STATUS usable(FT_HANDLE handle, OpenDevice*& device) {
        auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == open_.end()) return FT_INVALID_HANDLE;
        if (it->second->gone) return FT_IO_ERROR;
        device = it->second.get();
        return FT_OK;
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
        if (FT_STATUS s = usable(handle, d); s != FT_OK) return s;
        if (d->context->type != TYPE_R) return FT_NOT_SUPPORTED;
        if (!read_eeprom_image(d->context, eeprom.image)) return FT_EEPROM_READ_FAILED;
        const auto area = ft232r::find_user_area(eeprom.image);
        if (!area) return FT_EEPROM_NOT_PROGRAMMED;
        eeprom.device = d;
        eeprom.area = *area;
        return FT_OK;
    }

    std::vector<UsbFtdiDevice> list_;
    std::map<std::uintptr_t, std::unique_ptr<OpenDevice>> open_;
    // Handle numbers start well away from 0 and 1 (values the device link treats specially).
    std::uintptr_t next_handle_ = 0x4B000001;
};

}  // namespace

std::unique_ptr<Backend> make_libftdi_backend() {
    return std::make_unique<LibftdiBackend>();
}

}  // namespace korvel::ftdi
