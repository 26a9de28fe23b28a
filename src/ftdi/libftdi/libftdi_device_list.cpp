#include "ftdi/libftdi/libftdi_device_list.h"

#include <ftdi.h>
#include <libusb.h>

#include <array>
#include <memory>

namespace korvel::ftdi {
namespace {

// The vendor driver's device type numbers.
constexpr std::uint32_t kTypeBm = 0, kTypeAm = 1, kTypeUnknown = 3, kType2232C = 4, kType232R = 5,
                        kType2232H = 6, kType4232H = 7, kType232H = 8, kTypeXSeries = 9;

// ftdi_usb_find_all with vendor and product 0 looks for FTDI's own product ids (0x6001 FT232R/
// FT232B, 0x6010, 0x6011, 0x6014, 0x6015) under vendor 0x0403.
constexpr int kAnyFtdiVendor = 0;
constexpr int kAnyFtdiProduct = 0;

struct ListDeleter {
    void operator()(ftdi_device_list* list) const { ftdi_list_free2(list); }
};

// Calls `visit` with each FTDI device libftdi finds through `context`, until it returns true.
template <typename Visit>
void for_each_ftdi_device(ftdi_context* context, Visit visit) {
    ftdi_device_list* raw = nullptr;
    const int n = ftdi_usb_find_all(context, &raw, kAnyFtdiVendor, kAnyFtdiProduct);
    std::unique_ptr<ftdi_device_list, ListDeleter> list(raw);
    for (ftdi_device_list* item = list.get(); n > 0 && item != nullptr; item = item->next)
        if (visit(item->dev)) return;
}

std::string read_strings(ftdi_context* context, libusb_device* device, std::string& serial) {
    std::array<char, 128> manufacturer{}, description{}, serial_text{};
    // Fails with -4 when the device cannot be opened (typically: no permission); the strings
    // read before a failure are still good, the others stay empty.
    ftdi_usb_get_strings(context, device, manufacturer.data(), manufacturer.size(),
                         description.data(), description.size(), serial_text.data(),
                         serial_text.size());
    description.back() = '\0';
    serial_text.back() = '\0';
    serial = serial_text.data();
    return description.data();
}

}  // namespace

std::uint32_t device_type_for_release(std::uint16_t release, bool has_serial_string) {
    switch (release) {
        case 0x200:
            return has_serial_string ? kTypeAm : kTypeBm;
        case 0x400:
            return kTypeBm;
        case 0x500:
            return kType2232C;
        case 0x600:
            return kType232R;
        case 0x700:
            return kType2232H;
        case 0x800:
            return kType4232H;
        case 0x900:
            return kType232H;
        case 0x1000:
            return kTypeXSeries;
        default:
            return kTypeUnknown;
    }
}

std::vector<UsbFtdiDevice> find_ftdi_devices() {
    std::vector<UsbFtdiDevice> found;
    ftdi_context* context = ftdi_new();  // nullptr when libusb cannot start
    if (context == nullptr) return found;
    for_each_ftdi_device(context, [&](libusb_device* device) {
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) != 0) return false;
        UsbFtdiDevice d;
        d.bus = libusb_get_bus_number(device);
        d.address = libusb_get_device_address(device);
        d.vendor_id = descriptor.idVendor;
        d.product_id = descriptor.idProduct;
        d.release = descriptor.bcdDevice;
        d.description = read_strings(context, device, d.serial);
        found.push_back(std::move(d));
        return false;
    });
    ftdi_free(context);
    return found;
}

bool open_ftdi_device(ftdi_context* context, std::uint8_t bus, std::uint8_t address) {
    bool opened = false;
    for_each_ftdi_device(context, [&](libusb_device* device) {
        if (libusb_get_bus_number(device) != bus || libusb_get_device_address(device) != address)
            return false;
        opened = ftdi_usb_open_dev(context, device) == 0;
        return true;
    });
    return opened;
}

void close_ftdi_device(ftdi_context* context) {
    if (context == nullptr) return;
    ftdi_usb_close(context);
    ftdi_free(context);
}

}  // namespace korvel::ftdi
