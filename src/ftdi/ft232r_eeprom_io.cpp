#include "ftdi/libftdi_eeprom_io.h"

#include <ftdi.h>
#include <libusb.h>

#include <set>

namespace korvel::ftdi {
namespace {

// Vendor request that writes one EEPROM word (value = the word, index = the word address).
// libftdi's ftdi_write_eeprom_location() refuses FT232R chips and addresses below 0x80, so the
// request is sent directly.
// Host to device, vendor request, to the device (LIBUSB_REQUEST_TYPE_VENDOR | ..._DEVICE | OUT).
constexpr std::uint8_t kVendorOut = 0x40;
constexpr std::uint8_t kWriteEepromRequest = 0x91;
// FTDI's programming tool sets this latency timer value while it writes an FT232R's EEPROM.
constexpr unsigned char kEepromWriteLatency = 0x77;

bool write_word(ftdi_context* context, std::size_t word, std::uint16_t value) {
    return libusb_control_transfer(context->usb_dev, kVendorOut, kWriteEepromRequest, value,
                                   static_cast<std::uint16_t>(word), nullptr, 0,
                                   static_cast<unsigned>(context->usb_write_timeout)) >= 0;
}

}  // namespace

bool read_eeprom_image(ftdi_context* context, ft232r::Image& image) {
    for (std::size_t w = 0; w < ft232r::kEepromWords; ++w) {
        unsigned short value = 0;
        if (ftdi_read_eeprom_location(context, static_cast<int>(w), &value) != 0) return false;
        image[2 * w] = static_cast<std::uint8_t>(value & 0xFF);
        image[2 * w + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    return true;
}

bool write_eeprom_words(ftdi_context* context, const ft232r::Image& image,
                        const std::vector<std::size_t>& words) {
    std::set<std::size_t> to_write;
    for (std::size_t w : words) {
        if (w >= ft232r::kEepromWords) return false;
        to_write.insert(w & ~std::size_t{1});
        to_write.insert(w | 1);
    }
    if (to_write.empty()) return true;

    unsigned char latency = 0;
    const bool restore_latency = ftdi_get_latency_timer(context, &latency) == 0;
    ftdi_set_latency_timer(context, kEepromWriteLatency);
    bool ok = true;
    for (std::size_t w : to_write) ok = ok && write_word(context, w, ft232r::word_at(image, w));
    if (restore_latency) ftdi_set_latency_timer(context, latency);
    if (!ok) return false;

    for (std::size_t w : to_write) {
        unsigned short value = 0;
        if (ftdi_read_eeprom_location(context, static_cast<int>(w), &value) != 0) return false;
        if (value != ft232r::word_at(image, w)) return false;
    }
    return true;
}

}  // namespace korvel::ftdi
