#include "ftdi/ft232r_eeprom.h"

#include <algorithm>

namespace korvel::ftdi::ft232r {
namespace {

constexpr std::uint8_t kStringDescriptorType = 0x03;
// Header positions of the (offset, length) pairs of the three string descriptors.
constexpr std::array<std::size_t, 3> kStringPointers = {0x0E, 0x10, 0x12};

// The end (one past the last byte) of the string descriptor whose pointer pair sits at `at`, or
// nullopt when the pair does not describe a descriptor that lies wholly inside the string region.
// A length of 0 means the string is absent and ends nowhere (returns kHeaderBytes).
std::optional<std::size_t> string_end(const Image& image, std::size_t at) {
    const std::size_t offset = image[at] & (kEepromBytes - 1);
    const std::size_t length = image[at + 1];
    if (length == 0) return kHeaderBytes;
    if (length < 2 || length % 2 != 0) return std::nullopt;
    if (offset < kHeaderBytes || offset + length > kChecksumOffset) return std::nullopt;
    if (image[offset] != length || image[offset + 1] != kStringDescriptorType) return std::nullopt;
    return offset + length;
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

std::optional<UserArea> find_user_area(const Image& image) {
    if (!checksum_valid(image)) return std::nullopt;
    std::size_t strings_end = kHeaderBytes;
    for (std::size_t at : kStringPointers) {
        const auto end = string_end(image, at);
        if (!end) return std::nullopt;
        strings_end = std::max(strings_end, *end);
    }
    std::size_t start = strings_end + kStringTrailerBytes;
    start += start % 2;
    UserArea area;
    area.offset = std::min(start, kChecksumOffset);
    area.size = kChecksumOffset - area.offset;
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
