#include "ftdi/eeprom/ft232r_eeprom.h"

#include <algorithm>

namespace korvel::ftdi::ft232r {
namespace {

constexpr std::uint8_t kStringDescriptorType = 0x03;
constexpr std::size_t kDescriptorHeaderBytes = 2;
// Header positions of the (offset, length) pairs: manufacturer, description, serial number.
constexpr std::array<std::size_t, 3> kStringPointers = {0x0E, 0x10, 0x12};
constexpr std::size_t kSerialString = 2;

// One string descriptor's place in the EEPROM; length 0 means the string is absent.
struct StringPlace {
    std::size_t offset = 0;
    std::size_t length = 0;  // bLength: bytes including the 2-byte header

    std::size_t end() const { return offset + length; }
    std::size_t characters() const {
        return length == 0 ? 0 : (length - kDescriptorHeaderBytes) / 2;
    }
};

// The string descriptor whose pointer pair sits at `at`, or nullopt when the pair does not
// describe a descriptor that lies wholly inside the string region.
std::optional<StringPlace> string_at(const Image& image, std::size_t at) {
    StringPlace place{image[at] & (kEepromBytes - 1), image[at + 1]};
    if (place.length == 0) return StringPlace{};
    if (place.length < kDescriptorHeaderBytes || place.length % 2 != 0) return std::nullopt;
    if (place.offset < kHeaderBytes || place.end() > kChecksumOffset) return std::nullopt;
    if (image[place.offset] != place.length || image[place.offset + 1] != kStringDescriptorType)
        return std::nullopt;
    return place;
}

}  // namespace

std::uint16_t word_at(const Image& image, std::size_t word) {
    if (word >= kEepromWords) return 0;
    return static_cast<std::uint16_t>(image[2 * word] | (image[2 * word + 1] << 8));
}

std::uint16_t compute_checksum(const Image& image) {
    std::uint16_t sum = 0xAAAA;
    for (std::size_t w = 0; w < kEepromWords - 1; ++w) {
        sum ^= word_at(image, w);
        sum = static_cast<std::uint16_t>((sum << 1) | (sum >> 15));
    }
    return sum;
}

bool checksum_valid(const Image& image) {
    return word_at(image, kEepromWords - 1) == compute_checksum(image);
}

void store_checksum(Image& image) {
    const std::uint16_t sum = compute_checksum(image);
    image[kChecksumOffset] = static_cast<std::uint8_t>(sum & 0xFF);
    image[kChecksumOffset + 1] = static_cast<std::uint8_t>(sum >> 8);
}

std::size_t user_area_size(std::size_t manufacturer, std::size_t description, std::size_t serial) {
    const std::size_t manufacturer_id = std::min(serial, kManufacturerIdCharacters);
    const std::size_t used = manufacturer + description + manufacturer_id + serial;
    return used >= kStringCharacterWords ? 0 : (kStringCharacterWords - used) * 2;
}

std::optional<UserArea> find_user_area(const Image& image) {
    if (!checksum_valid(image)) return std::nullopt;
    std::array<StringPlace, kStringPointers.size()> strings;
    for (std::size_t i = 0; i < strings.size(); ++i) {
        const auto place = string_at(image, kStringPointers[i]);
        if (!place) return std::nullopt;
        strings[i] = *place;
    }

    // After the serial number; an image without one has its area after its last string.
    std::size_t start = strings[kSerialString].end();
    if (strings[kSerialString].length == 0) {
        start = kHeaderBytes;
        for (const auto& s : strings) start = std::max(start, s.end());
    }
    UserArea area;
    area.offset = start;
    area.size = std::min(
        user_area_size(strings[0].characters(), strings[1].characters(), strings[2].characters()),
        kChecksumOffset - start);
    // Strings stored out of their usual order could sit where the area lies; writing the area
    // would then destroy them.
    for (const auto& s : strings) {
        if (s.length != 0 && s.offset < area.offset + area.size && s.end() > area.offset)
            return std::nullopt;
    }
    return area;
}

std::optional<std::vector<std::uint8_t>> read_user_area(const Image& image, std::size_t length) {
    const auto area = find_user_area(image);
    if (!area || length > area->size) return std::nullopt;
    const auto first = image.begin() + static_cast<std::ptrdiff_t>(area->offset);
    return std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(length));
}

std::optional<Image> write_user_area(const Image& image, std::span<const std::uint8_t> data) {
    const auto area = find_user_area(image);
    if (!area || data.size() > area->size) return std::nullopt;
    Image result = image;
    std::copy(data.begin(), data.end(), result.begin() + static_cast<std::ptrdiff_t>(area->offset));
    store_checksum(result);
    return result;
}

std::vector<std::size_t> changed_words(const Image& before, const Image& after) {
    std::vector<std::size_t> words;
    for (std::size_t w = 0; w < kEepromWords; ++w)
        if (word_at(before, w) != word_at(after, w)) words.push_back(w);
    return words;
}

}  // namespace korvel::ftdi::ft232r
