#include "ftdi/libftdi/ft232r_eeprom_io.h"

#include <set>

namespace korvel::ftdi {
namespace {

// FTDI's programming tool sets this latency timer value while it writes an FT232R's EEPROM.
constexpr UCHAR kEepromWriteLatency = 0x77;

}  // namespace

Transfer read_eeprom_image(OpenFtdiDevice& device, ft232r::Image& image) {
    for (std::size_t w = 0; w < ft232r::kEepromWords; ++w) {
        std::uint16_t value = 0;
        if (Transfer t = device.read_eeprom_word(w, value); t != Transfer::Done) return t;
        image[2 * w] = static_cast<std::uint8_t>(value & 0xFF);
        image[2 * w + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    return Transfer::Done;
}

Transfer write_eeprom_words(OpenFtdiDevice& device, const ft232r::Image& image,
                            const std::vector<std::size_t>& words) {
    std::set<std::size_t> to_write;
    for (std::size_t w : words) {
        if (w >= ft232r::kEepromWords) return Transfer::Refused;
        to_write.insert(w & ~std::size_t{1});
        to_write.insert(w | 1);
    }
    if (to_write.empty()) return Transfer::Done;

    UCHAR latency = 0;
    if (Transfer t = device.get_latency_timer(latency); t != Transfer::Done) return t;
    if (Transfer t = device.set_latency_timer(kEepromWriteLatency); t == Transfer::Failed) return t;
    for (std::size_t w : to_write) {
        if (Transfer t = device.write_eeprom_word(w, ft232r::word_at(image, w));
            t != Transfer::Done)
            return t;
    }
    if (Transfer t = device.set_latency_timer(latency); t == Transfer::Failed) return t;

    for (std::size_t w : to_write) {
        std::uint16_t value = 0;
        if (Transfer t = device.read_eeprom_word(w, value); t != Transfer::Done) return t;
        if (value != ft232r::word_at(image, w)) return Transfer::Refused;
    }
    return Transfer::Done;
}

}  // namespace korvel::ftdi
