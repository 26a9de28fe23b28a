// The FT232R's configuration EEPROM and its user area, as pure arithmetic on EEPROM images.
//
// The FT232R holds 128 bytes (64 little-endian words) of configuration EEPROM:
//   0x00..0x17  configuration header. Three (offset, length) byte pairs describe the USB string
//               descriptors: manufacturer at 0x0E/0x0F, product description at 0x10/0x11, serial
//               number at 0x12/0x13. Offsets are stored with bit 7 set (0x98 means byte 0x18);
//               lengths are the descriptors' bLength, in bytes, including their 2-byte header
//               (bLength, bDescriptorType 0x03), characters UTF-16LE.
//   0x18..      the string descriptors, one after another: manufacturer, description, serial
//               number (FTDI's tools and libftdi place them so).
//   ...0x7D     free words, part of which is the user area (below).
//   0x7E..0x7F  checksum word over words 0..62: start with 0xAAAA, for each word XOR it in and
//               rotate the 16-bit sum left by one.
//
// The user area is where FTDI's application note AN_121 ("Accessing the EEPROM User Area of FTDI
// Devices") puts it for the FT232R, which is where the vendor driver's FT_EE_UARead/UAWrite read
// and write it, so a record another program wrote through that driver is found here:
//   start = the byte after the last byte of the serial-number string descriptor;
//   size  = (48 - (Manufacturer + Description + ManufacturerId + SerialNumber)) x 2 bytes.
// The string lengths are counted in characters (UTF-16 code units, the descriptor's bLength
// less its 2-byte header, halved): 64 words less the 12 header words, the 3 descriptor headers
// and the checksum leave 48 words for the characters. ManufacturerId is the serial-number
// prefix of FTDI's tools: the first two characters of the serial number. The FT232R stores no
// separate ManufacturerId, so the driver can only take it from the serial; a serial without a
// two-letter prefix (a decimal "1042") still has two first characters, and a serial shorter than
// two characters has as many as it has. Counting them makes the area smaller, never larger
// than the words actually free, so nothing outside it is ever written.
//
// Only a programmed image (strings that lie inside the EEPROM after the header, a valid
// checksum, and no string inside the area) has a user area: a blank or corrupt EEPROM makes the
// chip ignore its contents, and writing a fresh checksum over it would make the chip trust
// whatever happens to be there.
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
// Characters the three strings (and ManufacturerId) may have together.
constexpr std::size_t kStringCharacterWords = 48;
// Characters of the serial number that count as ManufacturerId.
constexpr std::size_t kManufacturerIdCharacters = 2;

using Image = std::array<std::uint8_t, kEepromBytes>;

std::uint16_t word_at(const Image& image, std::size_t word);
// FTDI's checksum over words 0..62.
std::uint16_t compute_checksum(const Image& image);
bool checksum_valid(const Image& image);
// Stores compute_checksum() in the last word.
void store_checksum(Image& image);

// AN_121's user-area size in bytes for strings of the given lengths in characters; 0 when the
// strings take all 48 words.
std::size_t user_area_size(std::size_t manufacturer, std::size_t description, std::size_t serial);

struct UserArea {
    std::size_t offset = 0;  // byte offset in the EEPROM
    std::size_t size = 0;    // bytes, never past the checksum word
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
