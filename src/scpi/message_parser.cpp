#include "scpi/message_parser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <string>

namespace korvel::scpi {
namespace {

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_name_char(char c) {
    return is_letter(c) || is_digit(c) || c == '_';
}
bool is_white(char c) {
    return c == ' ' || c == '\t';
}
// Bytes no SCPI line may carry outside a string.
bool is_invalid(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && c != '\t') || u >= 0x7F;
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// A well-formed number too large or too small for a double, as the infinity or zero of its sign:
// which of the two follows from its decimal exponent, counted from the text (no locale involved).
double beyond_double(std::string_view text) {
    const bool negative = text[0] == '-';
    std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    long magnitude = 0;  // decimal exponent of the leading digit, plus one
    bool significant = false;
    for (; i < text.size() && is_digit(text[i]); ++i)
        if (significant || text[i] != '0') significant = true, ++magnitude;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && is_digit(text[i]) && !significant; ++i)
            if (text[i] != '0')
                significant = true;
            else
                --magnitude;
        while (i < text.size() && is_digit(text[i])) ++i;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool down = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        long exponent = 0;
        for (; i < text.size(); ++i) exponent = std::min(exponent * 10 + (text[i] - '0'), 100000L);
        magnitude += down ? -exponent : exponent;
    }
    const double size = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -size : size;
}

class Parser {
  public:
    explicit Parser(std::string_view line) : s_(line) {}

    Message run() {
        Message m;
        // Control characters make the whole line suspect (binary junk): nothing of it runs.
        for (char c : s_) {
            const auto u = static_cast<unsigned char>(c);
            if ((u < 0x20 && c != '\t') || u == 0x7F) {
                m.error = Error{kInvalidCharacter, "control character in the line"};
                return m;
            }
        }
        while (true) {
            skip_white();
            if (at_end()) break;
            if (peek() == ';') {
                ++i_;
                continue;
            }
            MessageUnit unit;
            if (auto e = unit_(&unit)) {
                m.error = std::move(e);
                break;
            }
            m.units.push_back(std::move(unit));
            skip_white();
            if (at_end()) break;
            if (peek() != ';') {
                m.error = fault("expected ';' or the end of the line");
                break;
            }
            ++i_;
        }
        return m;
    }

  private:
    bool at_end() const { return i_ >= s_.size(); }
    char peek() const { return s_[i_]; }
    void skip_white() {
        while (!at_end() && is_white(peek())) ++i_;
    }
    // A fault at the present position: -101 for a byte that is never valid, else -102.
    Error fault(std::string what) const {
        if (!at_end() && is_invalid(peek()))
            return Error{
                kInvalidCharacter,
                "byte " + std::to_string(static_cast<unsigned char>(peek())) + " outside a string"};
        return Error{kSyntaxError, std::move(what)};
    }

    std::optional<Error> name(std::string* out) {
        if (at_end() || !is_letter(peek())) return fault("expected a command name");
        while (!at_end() && is_name_char(peek())) *out += upper(s_[i_++]);
        return std::nullopt;
    }

    std::optional<Error> unit_(MessageUnit* unit) {
        Header& h = unit->header;
        if (peek() == '*') {
            ++i_;
            h.common = true;
            h.nodes.emplace_back();
            if (auto e = name(&h.nodes.back())) return e;
        } else {
            if (peek() == ':') {
                h.rooted = true;
                ++i_;
            }
            while (true) {
                h.nodes.emplace_back();
                if (auto e = name(&h.nodes.back())) return e;
                if (at_end() || peek() != ':') break;
                ++i_;
            }
        }
        if (!at_end() && peek() == '?') {
            h.query = true;
            ++i_;
        }
        if (at_end() || peek() == ';') return std::nullopt;
        if (!is_white(peek())) return fault("unexpected character after the header");
        skip_white();
        if (at_end() || peek() == ';') return std::nullopt;
        while (true) {
            unit->parameters.emplace_back();
            if (auto e = parameter(&unit->parameters.back())) return e;
            skip_white();
            if (at_end() || peek() == ';') return std::nullopt;
            if (peek() != ',') return fault("expected ',' between parameters");
            ++i_;
            skip_white();
        }
    }

    std::optional<Error> parameter(Parameter* p) {
        if (at_end()) return fault("missing parameter after ','");
        const char c = peek();
        if (c == '"' || c == '\'') return string(p);
        if (is_digit(c) || c == '+' || c == '-' || c == '.') return number(p);
        if (c == '#') return non_decimal(p);
        if (is_letter(c)) {
            p->kind = Parameter::Kind::Mnemonic;
            while (!at_end() && is_name_char(peek())) p->text += upper(s_[i_++]);
            return ended("after a word");
        }
        return fault("not a parameter");
    }

    // A parameter ends at white space, ',' or ';' or the end of the line.
    std::optional<Error> ended(const char* where) {
        if (at_end() || is_white(peek()) || peek() == ',' || peek() == ';') return std::nullopt;
        return fault(std::string("unexpected character ") + where);
    }

    std::optional<Error> string(Parameter* p) {
        p->kind = Parameter::Kind::String;
        const char quote = s_[i_++];
        while (true) {
            if (at_end()) return Error{kSyntaxError, "string without its closing quote"};
            const char c = s_[i_++];
            if (c != quote) {
                p->text += c;
                continue;
            }
            if (!at_end() && peek() == quote) {  // a doubled quote stands for one
                p->text += quote;
                ++i_;
                continue;
            }
            return ended("after a string");
        }
    }

    std::optional<Error> number(Parameter* p) {
        p->kind = Parameter::Kind::Number;
        const std::size_t begin = i_;
        if (peek() == '+' || peek() == '-') ++i_;
        std::size_t digits = 0;
        while (!at_end() && is_digit(peek())) ++i_, ++digits;
        if (!at_end() && peek() == '.') {
            ++i_;
            while (!at_end() && is_digit(peek())) ++i_, ++digits;
        }
        if (digits == 0) return fault("malformed number");
        if (!at_end() && (peek() == 'e' || peek() == 'E')) {
            ++i_;
            if (!at_end() && (peek() == '+' || peek() == '-')) ++i_;
            std::size_t exponent_digits = 0;
            while (!at_end() && is_digit(peek())) ++i_, ++exponent_digits;
            if (exponent_digits == 0) return fault("malformed exponent");
        }
        p->text.assign(s_.substr(begin, i_ - begin));
        // from_chars takes no leading '+'; the text is well formed by now.
        const char* first = p->text.data() + (p->text[0] == '+' ? 1 : 0);
        const char* last = p->text.data() + p->text.size();
        const auto [end, ec] = std::from_chars(first, last, p->number);
        if (ec == std::errc::result_out_of_range) {
            p->number = beyond_double(p->text);
        } else if (ec != std::errc() || end != last) {
            return fault("malformed number");
        }
        // A unit may follow, with white space before it or not.
        const std::size_t before_white = i_;
        skip_white();
        if (!at_end() && is_letter(peek())) {
            while (!at_end() && is_letter(peek())) p->suffix += upper(s_[i_++]);
        } else {
            i_ = before_white;
        }
        return ended("after a number");
    }

    // #H1F, #Q17, #B11111: a whole number in base 16, 8 or 2.
    std::optional<Error> non_decimal(Parameter* p) {
        p->kind = Parameter::Kind::Number;
        const std::size_t begin = i_++;
        const char letter = at_end() ? '\0' : upper(peek());
        const int base = letter == 'H' ? 16 : letter == 'Q' ? 8 : letter == 'B' ? 2 : 0;
        if (base == 0) return fault("expected #H, #Q or #B");
        ++i_;
        std::size_t digits = 0;
        for (; !at_end(); ++i_, ++digits) {
            const char c = upper(peek());
            const int d = is_digit(c) ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : base;
            if (d >= base) break;
            p->number = p->number * base + d;  // grows to infinity, never wraps
        }
        if (digits == 0) return fault(std::string("no digits after #") + letter);
        p->text.assign(s_.substr(begin, i_ - begin));
        return ended("after a number");
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

Message parse_message(std::string_view line) {
    return Parser(line).run();
}

}  // namespace korvel::scpi
