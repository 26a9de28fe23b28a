#include "ftdi/libftdi/sysfs_usb_devices.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>

namespace korvel::ftdi {
namespace {

constexpr std::uint16_t kFtdiVendor = 0x0403;
// The product ids libftdi's ftdi_usb_find_all looks for when asked for any FTDI device.
constexpr std::array<std::uint16_t, 5> kFtdiProducts = {0x6001, 0x6010, 0x6011, 0x6014, 0x6015};
// A USB string descriptor holds at most 126 characters; anything longer is not a string file.
constexpr std::size_t kMaxAttributeBytes = 512;

// The attribute file's text without its trailing newline; nullopt when it cannot be read.
std::optional<std::string> read_attribute(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxAttributeBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.pop_back();
    return text;
}

template <typename Number>
std::optional<Number> read_number(const std::filesystem::path& file, int base) {
    const auto text = read_attribute(file);
    if (!text || text->empty()) return std::nullopt;
    unsigned long value = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value, base);
    if (error != std::errc() || stop != end || value > std::numeric_limits<Number>::max())
        return std::nullopt;
    return static_cast<Number>(value);
}

// UTF-8 text as ASCII: each multi-byte sequence (and any stray byte above 0x7F) becomes one '?'.
std::string as_ascii(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            continue;
        }
        out.push_back('?');
        while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
    }
    return out;
}

std::string read_string(const std::filesystem::path& file) {
    return as_ascii(read_attribute(file).value_or(""));
}

std::optional<UsbFtdiDevice> ftdi_device_at(const std::filesystem::path& dir) {
    const auto vendor = read_number<std::uint16_t>(dir / "idVendor", 16);
    const auto product = read_number<std::uint16_t>(dir / "idProduct", 16);
    if (!vendor || !product || *vendor != kFtdiVendor) return std::nullopt;
    if (std::find(kFtdiProducts.begin(), kFtdiProducts.end(), *product) == kFtdiProducts.end())
        return std::nullopt;
    const auto bus = read_number<std::uint8_t>(dir / "busnum", 10);
    const auto address = read_number<std::uint8_t>(dir / "devnum", 10);
    if (!bus || !address) return std::nullopt;
    UsbFtdiDevice d;
    d.bus = *bus;
    d.address = *address;
    d.vendor_id = *vendor;
    d.product_id = *product;
    d.release = read_number<std::uint16_t>(dir / "bcdDevice", 16).value_or(0);
    d.description = read_string(dir / "product");
    d.serial = read_string(dir / "serial");
    return d;
}

}  // namespace

std::optional<std::vector<UsbFtdiDevice>> find_ftdi_devices_in_sysfs(
    const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) return std::nullopt;
    std::vector<UsbFtdiDevice> found;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        // Interfaces ("1-2:1.0") sit beside their devices ("1-2"); only devices have idVendor.
        if (entry.path().filename().string().find(':') != std::string::npos) continue;
        if (auto device = ftdi_device_at(entry.path())) found.push_back(std::move(*device));
    }
    std::sort(found.begin(), found.end(), [](const UsbFtdiDevice& a, const UsbFtdiDevice& b) {
        return a.bus != b.bus ? a.bus < b.bus : a.address < b.address;
    });
    return found;
}

}  // namespace korvel::ftdi
