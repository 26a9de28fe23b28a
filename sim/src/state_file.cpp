#include "state_file.h"

#include <algorithm>
#include <optional>

#include "fpga_receiver.h"

namespace korvel::sim {

using nlohmann::json;

namespace {

constexpr int kExpanderChips[3] = {2, 3, 7};

// The FT232R's USB strings are plain printable ASCII that must fit its EEPROM beside each other
// (strings_fit_eeprom); the driver's record keeps at most 15 serial and 63 description
// characters.
constexpr std::size_t kMaxSerial = 15;
constexpr std::size_t kMaxDescription = 63;
constexpr std::size_t kMaskBits = 256;

std::string hex(const std::uint8_t* data, std::size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        s.push_back(digits[data[i] >> 4]);
        s.push_back(digits[data[i] & 15]);
    }
    return s;
}

bool unhex(const std::string& s, std::uint8_t* out, std::size_t n) {
    if (s.size() != 2 * n) return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const int hi = nibble(s[2 * i]), lo = nibble(s[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
    }
    return true;
}

// Reads the problems into `why` and stops at the first one.
struct Reader {
    std::string why;
    static std::string name(const std::string& where, const char* key) {
        return where.empty() ? std::string(key) : where + "." + key;
    }
    bool ok() const { return why.empty(); }

    template <typename T>
    void number(const json& obj, const char* key, std::uint64_t max, T& out,
                const std::string& where) {
        if (!ok() || !obj.contains(key)) return;
        const json& v = obj[key];
        if (!v.is_number_unsigned() && !(v.is_number_integer() && v.get<std::int64_t>() >= 0)) {
            why = name(where, key) + " must be a non-negative integer";
            return;
        }
        const auto n = v.get<std::uint64_t>();
        if (n > max) {
            why = name(where, key) + " must be at most " + std::to_string(max);
            return;
        }
        out = static_cast<T>(n);
    }
    void text(const json& obj, const char* key, std::string& out, const std::string& where) {
        if (!ok() || !obj.contains(key)) return;
        if (!obj[key].is_string()) {
            why = name(where, key) + " must be a string";
            return;
        }
        out = obj[key].get<std::string>();
    }
    // Text the FT232R's EEPROM can hold: printable ASCII, at most `max` characters.
    void eeprom_text(const json& obj, const char* key, std::string& out, std::size_t max) {
        std::string s = out;
        text(obj, key, s, "");
        if (!ok()) return;
        const bool printable =
            std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
        if (s.size() > max || !printable) {
            why = std::string(key) + " must be at most " + std::to_string(max) +
                  " printable ASCII characters";
            return;
        }
        out = std::move(s);
    }
    void bits(const json& obj, const char* key, std::string& out, std::size_t max,
              const std::string& where) {
        std::string s = out;
        text(obj, key, s, where);
        if (!ok()) return;
        if (s.size() > max || s.find_first_not_of("01") != std::string::npos) {
            why = name(where, key) + " must be a string of at most " + std::to_string(max) +
                  " characters '0' and '1'";
            return;
        }
        out = std::move(s);
    }
    // `n` bytes as 2n hex digits. With `shorter_ok`, fewer digits fill only the first bytes
    // (files from before the EEPROM user area grew to its full size).
    void bytes(const json& obj, const char* key, std::uint8_t* out, std::size_t n,
               const std::string& where, bool shorter_ok = false) {
        if (!ok() || !obj.contains(key)) return;
        const std::size_t digits = obj[key].is_string() ? obj[key].get<std::string>().size() : 0;
        const std::size_t m = shorter_ok && digits < 2 * n && digits % 2 == 0 ? digits / 2 : n;
        if (!obj[key].is_string() || !unhex(obj[key].get<std::string>(), out, m))
            why = name(where, key) + " must be " + (shorter_ok ? "at most " : "") +
                  std::to_string(2 * n) + " hex digits";
    }
    const json* object(const json& obj, const char* key, const std::string& where) {
        if (!ok() || !obj.contains(key)) return nullptr;
        if (!obj[key].is_object()) {
            why = name(where, key) + " must be an object";
            return nullptr;
        }
        return &obj[key];
    }
};

}  // namespace

json board_to_json(Board& board) {
    json doc;
    doc["attached"] = board.attached();
    doc["description"] = board.description;
    doc["serial"] = board.serial;
    const auto& ua = board.user_area();
    doc["user_area"] = hex(ua.data(), ua.size());
    json expanders = json::object();
    for (int chip : kExpanderChips) {
        const Ds4520& x = board.expander(chip);
        expanders[std::to_string(chip)] = {
            {"pullup", x.pullup},
            {"control", x.control},
            {"pins", x.pins()},
            {"config", x.config},
            {"sram", hex(x.sram.data(), x.sram.size())},
            {"eeprom_pullup", x.eeprom_pullup},
            {"eeprom_control", x.eeprom_control},
            {"user_eeprom", hex(x.user_eeprom.data(), x.user_eeprom.size())},
        };
    }
    doc["expanders"] = expanders;
    json dacs = json::object();
    for (int sel = 0; sel < 2; ++sel) {
        json channels = json::array();
        for (const auto& ch : board.dac(sel).channels) {
            channels.push_back({{"code", ch.code},
                                {"vref", ch.vref},
                                {"gain", ch.gain},
                                {"power_down", ch.power_down},
                                {"eeprom_code", ch.eeprom_code},
                                {"eeprom_vref", ch.eeprom_vref},
                                {"eeprom_gain", ch.eeprom_gain},
                                {"eeprom_power_down", ch.eeprom_power_down}});
        }
        dacs[std::to_string(sel)] = channels;
    }
    doc["dacs"] = dacs;
    const FpgaMemories& f = board.fpga();
    doc["fpga"] = {{"pattern_bits", f.pattern_bits},
                   {"error_mask_bits", f.error_mask_bits},
                   {"error_period", f.error_period},
                   {"error_width", f.error_width}};
    return doc;
}

bool board_from_json(const json& doc, Board& board, std::string* error) {
    Reader r;
    if (!doc.is_object()) r.why = "the document must be a JSON object";

    // Everything is read into copies first, so a bad value changes nothing.
    std::optional<bool> attached;
    if (r.ok() && doc.contains("attached")) {
        if (doc["attached"].is_boolean())
            attached = doc["attached"].get<bool>();
        else
            r.why = "attached must be true or false";
    }
    std::string description = board.description, serial = board.serial;
    r.eeprom_text(doc, "serial", serial, kMaxSerial);
    r.eeprom_text(doc, "description", description, kMaxDescription);
    if (r.ok() && !strings_fit_eeprom(board.manufacturer, description, serial))
        r.why = "description and serial do not fit the FT232R's EEPROM beside the manufacturer \"" +
                board.manufacturer + "\"";
    std::vector<std::uint8_t> ua = board.user_area();
    r.bytes(doc, "user_area", ua.data(), ua.size(), "", true);

    Ds4520 expanders[3] = {board.expander(2), board.expander(3), board.expander(7)};
    if (const json* xs = r.object(doc, "expanders", "")) {
        for (int i = 0; i < 3 && r.ok(); ++i) {
            const std::string key = std::to_string(kExpanderChips[i]);
            const json* x = r.object(*xs, key.c_str(), "expanders");
            if (!x) continue;
            const std::string where = "expanders." + key;
            Ds4520& e = expanders[i];
            r.number(*x, "pullup", 0x1FF, e.pullup, where);
            r.number(*x, "control", 0x1FF, e.control, where);
            r.number(*x, "config", 0xFF, e.config, where);
            r.bytes(*x, "sram", e.sram.data(), e.sram.size(), where);
            // Older files have no EEPROM copies: the chip then powers up as it is now.
            e.eeprom_pullup = e.pullup;
            e.eeprom_control = e.control;
            r.number(*x, "eeprom_pullup", 0x1FF, e.eeprom_pullup, where);
            r.number(*x, "eeprom_control", 0x1FF, e.eeprom_control, where);
            r.bytes(*x, "user_eeprom", e.user_eeprom.data(), e.user_eeprom.size(), where);
            // "pins" follows from the registers; it is written for the reader and not read back.
        }
    }

    Mcp4728 dacs[2] = {board.dac(0), board.dac(1)};
    if (const json* ds = r.object(doc, "dacs", "")) {
        for (int sel = 0; sel < 2 && r.ok(); ++sel) {
            const std::string key = std::to_string(sel);
            if (!ds->contains(key)) continue;
            const json& chans = (*ds)[key];
            if (!chans.is_array() || chans.size() != 4) {
                r.why = "dacs." + key + " must be an array of four channels";
                break;
            }
            for (int c = 0; c < 4 && r.ok(); ++c) {
                const std::string where = "dacs." + key + "[" + std::to_string(c) + "]";
                if (!chans[c].is_object()) {
                    r.why = where + " must be an object";
                    break;
                }
                Mcp4728Channel& ch = dacs[sel].channels[c];
                r.number(chans[c], "code", 4095, ch.code, where);
                r.number(chans[c], "vref", 1, ch.vref, where);
                r.number(chans[c], "gain", 1, ch.gain, where);
                r.number(chans[c], "power_down", 3, ch.power_down, where);
                r.number(chans[c], "eeprom_code", 4095, ch.eeprom_code, where);
                r.number(chans[c], "eeprom_vref", 1, ch.eeprom_vref, where);
                r.number(chans[c], "eeprom_gain", 1, ch.eeprom_gain, where);
                r.number(chans[c], "eeprom_power_down", 3, ch.eeprom_power_down, where);
            }
        }
    }

    FpgaMemories fpga = board.fpga();
    if (const json* f = r.object(doc, "fpga", "")) {
        r.bits(*f, "pattern_bits", fpga.pattern_bits, FpgaReceiver::kPatternMemoryBits, "fpga");
        r.bits(*f, "error_mask_bits", fpga.error_mask_bits, kMaskBits, "fpga");
        r.number(*f, "error_period", 0xFFFFFFFFu, fpga.error_period, "fpga");
        r.number(*f, "error_width", 0xFFFFFFFFu, fpga.error_width, "fpga");
        // The FPGA clocks the period and width words in after the whole mask.
        if (r.ok() && (fpga.error_period != 0 || fpga.error_width != 0) &&
            fpga.error_mask_bits.size() < kMaskBits)
            r.why = "fpga.error_period and fpga.error_width follow all " +
                    std::to_string(kMaskBits) + " error_mask_bits and must be 0 before them";
    }

    if (!r.ok()) {
        if (error) *error = r.why;
        return false;
    }
    if (attached && *attached != board.attached()) {
        if (*attached)
            board.attach();
        else
            board.detach();
    }
    board.description = description;
    board.serial = serial;
    board.user_area() = ua;
    board.expander(2) = expanders[0];
    board.expander(3) = expanders[1];
    board.expander(7) = expanders[2];
    board.dac(0) = dacs[0];
    board.dac(1) = dacs[1];
    board.fpga() = fpga;
    return true;
}

bool parse_state_text(const std::string& text, json& doc) {
    // The parser takes a NUL byte for the end of its input and would ignore what follows it.
    if (text.find('\0') != std::string::npos) return false;
    doc = json::parse(text, nullptr, false);
    return !doc.is_discarded();
}

}  // namespace korvel::sim
