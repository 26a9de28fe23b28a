// The FT232R's configuration EEPROM and its user area, as pure arithmetic on EEPROM images.
//
// The FT232R holds 128 bytes (64 little-endian words) of configuration EEPROM:
//   0x00..0x17  configuration header. Three (offset, length) byte pairs describe the USB string
//               descriptors: manufacturer at 0x0E/0x0F, product description at 0x10/0x11, serial
//               number at 0x12/0x13. Offsets are stored with bit 7 set (0x98 means byte 0x18);
//               lengths are the descriptors' bLength, in bytes, including their 2-byte header
//               (bLength, bDescriptorType 0x03), characters UTF-16LE.
//   0x18..      the string descriptors, one after another (FT_PROG and libftdi place them so).
//               FTDI's tools follow the serial number with a short trailer (02 03 followed by
//               the PnP byte), which we treat as reserved: 4 bytes after the end of the last
//               string.
//   ...0x7D     the user area: the free bytes between the end of that trailer and the checksum.
//   0x7E..0x7F  checksum word over words 0..62: start with 0xAAAA, for each word XOR it in and
//               rotate the 16-bit sum left by one.
//
// Only a programmed image (strings that lie inside the EEPROM after the header, and a valid
// checksum) has a user area: a blank or corrupt EEPROM makes the chip ignore its contents, and
// writing a fresh checksum over it would make the chip trust whatever happens to be there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvel::ftdi::ft232r {

constexpr std::size_t kEepromBytes = 128;
constexpr std::size_t kEepromWords = kEepromBytes / 2;
constexpr std::size_t kHeaderBytes = 0x18;
constexpr std::size_t kChecksumOffset = kEepromBytes - 2;
// Bytes after the last string descriptor that FTDI's tools use for their trailer.
constexpr std::size_t kStringTrailerBytes = 4;

using Image = std::array<std::uint8_t, kEepromBytes>;

std::uint16_t word_at(const Image& image, std::size_t word);
// FTDI's checksum over words 0..62.
std::uint16_t compute_checksum(const Image& image);
bool checksum_valid(const Image& image);
// Stores compute_checksum() in the last word.
void store_checksum(Image& image);

struct UserArea {
    std::size_t offset = 0;  // byte offset in the EEPROM, always even
    std::size_t size = 0;    // bytes, up to the checksum word
};

// Where the user area lies; nullopt when the image is not a programmed FT232R EEPROM.
std::optional<UserArea> find_user_area(const Image& image);

// The first `length` bytes of the user area; nullopt when there is no user area or `length`
// exceeds it.
std::optional<std::vector<std::uint8_t>> read_user_area(const Image& image, std::size_t length);

// The image after writing `data` at the start of the user area: every byte outside the first
// data.size() bytes of the user area unchanged, except the checksum, which is recomputed.
// nullopt when there is no user area or `data` is longer than it.
std::optional<Image> write_user_area(const Image& image, std::span<const std::uint8_t> data);

// The indices of the words that differ between two images, ascending.
std::vector<std::size_t> changed_words(const Image& before, const Image& after);

}  // namespace korvel::ftdi::ft232r
