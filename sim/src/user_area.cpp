#include <algorithm>

#include "korvel/sim/unit.h"

namespace korvel::sim {

// The FT232R keeps its configuration in a 128-byte internal EEPROM (64 words):
//   0x00..0x17  configuration words (ids, power, chip options, pin inversion, CBUS functions and
//               the pointers to the three strings): 12 words; the strings start at 0x18.
//   the manufacturer, description and serial number as USB string descriptors: one header word
//               each, then one word per character;
//   the user area;
//   0x7E..0x7F  the checksum word.
// That leaves 64 - 12 - 3 - 1 = 48 words for the characters and the user area. FTDI's note
// AN_121 gives the user area's size as (48 - (Manufacturer + Description + ManufacturerId +
// SerialNumber)) x 2 bytes, in characters, ManufacturerId being the serial number's two-character
// prefix (the first two characters, or fewer for a shorter serial), and puts it right after the
// serial number. The unit ("ZEVA", "ZEVA_KORVEL", "1042") has (48 - (4 + 11 + 2 + 4)) x 2 = 54.
const std::size_t kUserAreaCapacity = 48 * 2;

namespace {

constexpr std::size_t kWords = 48;

std::size_t words_used(const std::string& manufacturer, const std::string& description,
                       const std::string& serial) {
    constexpr std::size_t kManufacturerId = 2;
    return manufacturer.size() + description.size() + std::min(serial.size(), kManufacturerId) +
           serial.size();
}

}  // namespace

std::size_t user_area_size(const std::string& manufacturer, const std::string& description,
                           const std::string& serial) {
    const std::size_t used = words_used(manufacturer, description, serial);
    return used >= kWords ? 0 : (kWords - used) * 2;
}

bool strings_fit_eeprom(const std::string& manufacturer, const std::string& description,
                        const std::string& serial) {
    return words_used(manufacturer, description, serial) <= kWords;
}

}  // namespace korvel::sim
