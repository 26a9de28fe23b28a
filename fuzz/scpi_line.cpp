// SCPI command text as remote clients send it: whatever bytes arrive, the line framer keeps its
// memory bounded and cuts the same lines however the bytes are split into reads; the parser never
// reads out of bounds, gives only well-formed headers and finite-or-infinite numbers, and what it
// read prints back to text that parses to the same units; parameter conversion and error replies
// stay defined for every parameter, suffixes included, and the status registers keep to their
// widths whatever numbers they are given.
//
// Needs only the files of src/scpi; by hand:
//   clang++-14 -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc fuzz/scpi_line.cpp \
//     src/scpi/*.cpp -o fuzz_scpi_line
//   ./fuzz_scpi_line -dict=fuzz/dict/scpi_line.dict NEW_CORPUS fuzz/corpus/scpi_line
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chunks.h"
#include "scpi/line_framer.h"
#include "scpi/message_parser.h"
#include "scpi/mnemonic.h"
#include "scpi/parameters.h"
#include "scpi/status_registers.h"

namespace {

using namespace korvel::scpi;

void check(bool ok) {
    if (!ok) std::abort();
}

// The lines (and "\x01" for each overlong one) the framer cuts from `data`, fed in `feed`-sized
// reads the way the server feeds it.
template <class Feed>
std::vector<std::string> frame(std::span<const std::uint8_t> data, Feed feed) {
    LineFramer framer;
    std::vector<std::string> out;
    std::string line;
    auto drain = [&] {
        for (LineFramer::Next n; (n = framer.next(&line)) != LineFramer::Next::None;) {
            if (n == LineFramer::Next::Line) {
                check(line.size() <= LineFramer::kMaxLine);
                out.push_back(line);
            } else {
                out.emplace_back("\x01");
            }
        }
        check(framer.pending() <= LineFramer::kMaxLine + 1 + LineFramer::kMaxChunk);
    };
    feed(data, [&](std::span<const std::uint8_t> chunk) {
        for (std::size_t at = 0; at < chunk.size(); at += LineFramer::kMaxChunk) {
            const std::size_t n = std::min(LineFramer::kMaxChunk, chunk.size() - at);
            framer.feed(std::string_view(reinterpret_cast<const char*>(chunk.data() + at), n));
            drain();
        }
    });
    return out;
}

bool is_name(const std::string& s) {
    if (s.empty() || !(s[0] >= 'A' && s[0] <= 'Z')) return false;
    for (char c : s)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    return true;
}

// The units printed back as program text.
std::string print(const std::vector<MessageUnit>& units) {
    std::string text;
    for (const MessageUnit& u : units) {
        if (!text.empty()) text += ';';
        text += u.header.common ? "*" : u.header.rooted ? ":" : "";
        for (std::size_t i = 0; i < u.header.nodes.size(); ++i)
            text += (i > 0 ? ":" : "") + u.header.nodes[i];
        if (u.header.query) text += '?';
        for (std::size_t i = 0; i < u.parameters.size(); ++i) {
            const Parameter& p = u.parameters[i];
            text += i == 0 ? " " : ",";
            if (p.kind != Parameter::Kind::String) {
                text += p.text;
                if (!p.suffix.empty()) text += " " + p.suffix;
                continue;
            }
            text += '"';
            for (char c : p.text) text += c == '"' ? std::string("\"\"") : std::string(1, c);
            text += '"';
        }
    }
    return text;
}

bool same(const std::vector<MessageUnit>& a, const std::vector<MessageUnit>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Header &x = a[i].header, &y = b[i].header;
        if (x.common != y.common || x.rooted != y.rooted || x.query != y.query ||
            x.nodes != y.nodes || a[i].parameters.size() != b[i].parameters.size())
            return false;
        for (std::size_t j = 0; j < a[i].parameters.size(); ++j) {
            const Parameter &p = a[i].parameters[j], &q = b[i].parameters[j];
            if (p.kind != q.kind || p.text != q.text || p.suffix != q.suffix) return false;
            if (p.kind == Parameter::Kind::Number && p.number != q.number) return false;
        }
    }
    return true;
}

void check_parameter(const Parameter& p) {
    static constexpr std::array<std::string_view, 3> kWords = {"PATTern", "EYE", "MANual"};
    static constexpr std::array<Unit, 3> kUnits = {{{"V", 1000.0}, {"MV", 1.0}, {"UV", 0.001}}};
    const NumberRange range{1, 256, 1, true, "TRIGger:DIVide"};
    double value = -1;
    if (!read_number(p, range, &value))
        check(value >= 1 && value <= 256 && value == std::trunc(value) && p.suffix.empty());
    const NumberRange amplitude{0, 600, 450, false, "SOURce:AMPLitude", kUnits};
    if (!read_number(p, amplitude, &value)) check(value >= 0 && value <= 600);
    bool on = false;
    std::size_t index = 99;
    if (!read_choice(p, kWords, &index)) check(index < kWords.size());
    for (const Fault& f : {read_boolean(p, &on), read_limit(p, range, &value)}) {
        if (!f) continue;
        const std::string reply = error_reply(*f);
        std::size_t quotes = 0;
        for (char c : reply) quotes += c == '"';
        check(quotes % 2 == 0 && reply.front() == '-');
    }
    if (p.kind == Parameter::Kind::Number) {
        check(!std::isnan(p.number));
        if (std::fabs(p.number) < 1e18) {
            const auto bits = static_cast<unsigned>(static_cast<long long>(p.number));
            StatusRegisters status;
            status.set_event_enable(bits);
            status.set_request_enable(bits);
            status.questionable.set_enable(bits);
            status.questionable.set_negative_filter(bits);
            status.set_conditions(bits, ~bits);
            status.report(Error{static_cast<int>(bits % 1000) - 500, {}});
            check(status.status_byte(true) <= kByteMask && status.take_event_status() <= kByteMask);
            check(status.questionable.condition() <= RegisterGroup::kMask);
            const std::string reply = error_reply(status.errors().pop());
            check(reply.find('\n') == std::string::npos);
        }
        (void)format_number(p.number, false);
        (void)format_number(p.number, true);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto lines = frame(bytes, [](auto all, auto take) { take(all); });
    check(lines == frame(bytes, [](auto all, auto take) { korvel::fuzz::in_chunks(all, take); }));

    for (const std::string& line : lines) {
        const Message m = parse_message(line);
        for (const MessageUnit& u : m.units) {
            check(!u.header.nodes.empty());
            check(!u.header.common || u.header.nodes.size() == 1);
            for (const std::string& node : u.header.nodes) check(is_name(node));
            (void)header_matches("[SOURce:]AMPLitude", u.header.nodes);
            (void)header_matches("SYSTem:ERRor[:NEXT]", u.header.nodes);
            for (const Parameter& p : u.parameters) check_parameter(p);
        }
        if (m.error) (void)error_reply(*m.error);
        // What was read prints back to text that reads the same, without a fault.
        const Message again = parse_message(print(m.units));
        check(!again.error && same(m.units, again.units));
    }
    return 0;
}
