#include "app/settings_format.h"

#include <locale.h>
#include <stdlib.h>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <system_error>

namespace korvel::app {
namespace {

// One line of the file: its key and the setting it holds. Exactly one of the three members is
// set; it decides how the value is printed and read.
struct Field {
    std::string_view key;
    std::uint8_t GeneratorSettings::*byte = nullptr;
    std::int32_t GeneratorSettings::*integer = nullptr;
    float GeneratorSettings::*real = nullptr;
};

using G = GeneratorSettings;
constexpr Field kFields[] = {
    {.key = "8010", .byte = &G::Setting8010},
    {.key = "Pattern", .byte = &G::Pattern},
    {.key = "Eye", .byte = &G::Eye},
    {.key = "Manual", .byte = &G::Manual},
    {.key = "DivideBy", .integer = &G::DivideBy},
    {.key = "DutyCycleControl", .real = &G::DutyCycleControl},
    {.key = "DataAmplitudeControl", .real = &G::DataAmplitudeControl},
    {.key = "SyncSkewControl", .real = &G::SyncSkewControl},
    {.key = "InternalPeakingControl", .real = &G::InternalPeakingControl},
    {.key = "ClockOutput1", .byte = &G::ClockOutput1},
    {.key = "DataSelect", .byte = &G::DataSelect},
    {.key = "Polarity", .integer = &G::Polarity},
};
static_assert(std::size(kFields) == 12);

// ---- writing ----------------------------------------------------------------------------------

void append_number(std::string& out, long long value) {
    char digits[24];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, end);
}

// "%f" of the float promoted to double: to_chars with a precision rounds exactly as printf does
// in the "C" locale, whatever locale the process runs in.
void append_fixed6(std::string& out, float value) {
    char digits[64];  // the largest float has 39 integer digits
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value),
                                         std::chars_format::fixed, 6);
    out.append(digits, end);
}

// ---- reading ----------------------------------------------------------------------------------

// The blanks "%s" and "%d" skip, as the "C" locale's isspace sees them.
bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A read position in the text that never passes its end.
class Cursor {
  public:
    explicit Cursor(std::string_view text) : text_(text) {}

    // Past the next line end (or to the end of the text).
    void skip_line() {
        const auto nl = text_.find('\n', pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
    }
    // The next whitespace-delimited word, however long, after any blanks and line ends, as
    // "%s" takes it; empty at the end of the text.
    std::string_view next_word() {
        while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
        const std::size_t begin = pos_;
        while (pos_ < text_.size() && !is_space(text_[pos_])) ++pos_;
        return text_.substr(begin, pos_ - begin);
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// A leading '+' as scanf allows it; from_chars takes only '-'. A second sign is not a number.
std::string_view without_plus(std::string_view s) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && (s.front() == '+' || s.front() == '-')) return {};
    }
    return s;
}

// "%d": a decimal 32-bit integer at the start of `s` (trailing text ignored).
bool read_int(std::string_view s, std::int32_t* value) {
    s = without_plus(s);
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *value);
    return ec == std::errc() && end != s.data();
}

// "%f": a finite float at the start of `s`, in any form strtof takes in the "C" locale
// (decimal, hexadecimal such as 0x1.6p+1, a number too small for a float as 0 or a denormal).
// NaN, infinities and numbers beyond a float are refused: no level or stored value may become
// one of them.
bool read_float(std::string_view s, float* value) {
    static const locale_t c_numbers = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    if (c_numbers == locale_t{}) return false;
    const std::string word(s);  // strtof wants the end marked
    char* end = nullptr;
    const float v = strtof_l(word.c_str(), &end, c_numbers);
    if (end == word.c_str() || !std::isfinite(v)) return false;
    *value = v;
    return true;
}

// Reads the number of `field` from `s` into `settings`; false leaves the setting as it was.
bool read_value(const Field& field, std::string_view s, GeneratorSettings& settings) {
    if (field.real != nullptr) return read_float(s, &(settings.*field.real));
    std::int32_t v = 0;
    if (!read_int(s, &v)) return false;
    if (field.byte != nullptr)
        settings.*field.byte = static_cast<std::uint8_t>(v & 0xFF);
    else
        settings.*field.integer = v;
    return true;
}

}  // namespace

std::string format_settings(const GeneratorSettings& s) {
    std::string out;
    out.reserve(320);
    out.append(kSettingsHeader).push_back('\n');
    for (const Field& f : kFields) {
        out.append(f.key).push_back(' ');
        if (f.byte != nullptr)
            append_number(out, s.*f.byte);
        else if (f.integer != nullptr)
            append_number(out, s.*f.integer);
        else
            append_fixed6(out, s.*f.real);
        out.push_back('\n');
    }
    out.push_back('\n');
    return out;
}

int parse_settings(std::string_view text, GeneratorSettings& s) {
    Cursor in(text);
    in.skip_line();  // the header
    int read = 0;
    for (const Field& f : kFields) {
        if (in.next_word().empty()) break;  // the word, never compared
        if (read_value(f, in.next_word(), s)) ++read;
    }
    return read;
}

bool has_settings_header(std::string_view text) {
    if (!text.starts_with(kSettingsHeader)) return false;
    for (const char c :
         text.substr(kSettingsHeader.size(), text.find('\n') - kSettingsHeader.size())) {
        if (!is_space(c)) return false;
    }
    return true;
}

}  // namespace korvel::app
