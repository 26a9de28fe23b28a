// FT232R EEPROM images built from the chip's documented layout, for the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "ftdi/eeprom/ft232r_eeprom.h"

namespace korvel::testing {

namespace ft = korvel::ftdi::ft232r;

// Appends a USB string descriptor at `at` and stores its pointer pair at header byte `pointer`.
inline std::size_t place_string(ft::Image& image, std::size_t at, std::size_t pointer,
                                const std::string& text) {
    const std::size_t length = 2 + 2 * text.size();
    image[pointer] = static_cast<std::uint8_t>(at | 0x80);
    image[pointer + 1] = static_cast<std::uint8_t>(length);
    image[at] = static_cast<std::uint8_t>(length);
    image[at + 1] = 0x03;
    for (std::size_t i = 0; i < text.size(); ++i) {
        image[at + 2 + 2 * i] = static_cast<std::uint8_t>(text[i]);
        image[at + 3 + 2 * i] = 0x00;
    }
    return at + length;
}

// The configuration header of an FT232R as FTDI ships it: vendor 0403, product 6001, release
// 0600, bus powered 90 mA, serial number enabled, CBUS0..4 TXLED, RXLED, TXDEN, PWREN, SLEEP.
inline void factory_header(ft::Image& image) {
    const std::vector<std::uint8_t> header = {0x00, 0x40, 0x03, 0x04, 0x01, 0x60, 0x00,
                                              0x06, 0xA0, 0x2D, 0x08, 0x00, 0x00, 0x00};
    std::copy(header.begin(), header.end(), image.begin());
    image[0x14] = 0x23;
    image[0x15] = 0x10;
    image[0x16] = 0x05;
}

// A programmed FT232R EEPROM: header, the three strings in their usual order from `first`,
// optionally the 4 bytes libftdi's image builder writes after the serial (02 03, PnP, 00),
// zeros up to the checksum.
inline ft::Image programmed_image(const std::string& manufacturer, const std::string& product,
                                  const std::string& serial, bool libftdi_trailer = false,
                                  std::size_t first = 0x18) {
    ft::Image image{};
    factory_header(image);
    std::size_t at = first;
    at = place_string(image, at, 0x0E, manufacturer);
    at = place_string(image, at, 0x10, product);
    at = place_string(image, at, 0x12, serial);
    if (libftdi_trailer && at + 4 <= ft::kChecksumOffset) {
        image[at] = 0x02;
        image[at + 1] = 0x03;
        image[at + 2] = 0x01;
    }
    ft::store_checksum(image);
    return image;
}

// The unit: "ZEVA", "ZEVA_KORVEL", "1042"; its user area (AN_121) is 0x44..0x79.
inline ft::Image korvel_image() {
    return programmed_image("ZEVA", "ZEVA_KORVEL", "1042");
}

}  // namespace korvel::testing
