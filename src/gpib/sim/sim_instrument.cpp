#include "gpib/sim/sim_instrument.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace korvel::gpib {
namespace {

constexpr std::size_t kErrorQueueDepth = 10;

constexpr std::array<SimInstrumentProfile, kSimBenchInstruments> kBench = {{
    {"Samp", 8, "KORVEL-SIM,SAMP,SIM00008,1.0", "DELAY", "0"},
    {"SigGen", 19, "KORVEL-SIM,SIGGEN,SIM00019,1.0", "FREQ", "1.000000E+09"},
    {"Scope", 9, "KORVEL-SIM,SCOPE,SIM00009,1.0", "TIMEBASE", "1.0E-09"},
    {"ErrorDetector", 5, "KORVEL-SIM,ERRDET,SIM00005,1.0", "THRESHOLD", "0.000"},
}};

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool same_header(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// "#3994", 994 sample bytes (a slow ramp of printable codes), line feed: 1000 bytes in all.
std::string data_record() {
    std::string r = "#3994";
    for (int i = 0; i < 994; ++i) r.push_back(static_cast<char>('0' + (i / 10) % 10));
    r.push_back('\n');
    return r;
}

}  // namespace

const SimInstrumentProfile& sim_bench_profile(int index) {
    return kBench.at(static_cast<std::size_t>(index));
}

SimInstrument::SimInstrument(const SimInstrumentProfile& profile)
    : profile_(profile), setting_(profile.initial_value) {}

void SimInstrument::receive(std::string_view message) {
    while (!message.empty()) {
        const std::size_t end = message.find(';');
        execute(trim(message.substr(0, end)));
        if (end == std::string_view::npos) break;
        message.remove_prefix(end + 1);
    }
}

void SimInstrument::execute(std::string_view command) {
    if (command.empty()) return;
    const std::size_t space = command.find_first_of(" \t");
    const std::string_view header = command.substr(0, space);
    const std::string_view argument =
        space == std::string_view::npos ? std::string_view() : trim(command.substr(space));
    const std::string_view setting = profile_.setting_header;
    const bool query = header.ends_with('?');
    const std::string_view name = query ? header.substr(0, header.size() - 1) : header;

    if (query && same_header(name, "*IDN")) {
        output_ = std::string(profile_.identity) + "\n";
    } else if (query && same_header(name, "DATA")) {
        output_ = data_record();
    } else if (query && same_header(name, "SYST:ERR")) {
        output_ = errors_.empty() ? std::string("0,\"No error\"") : errors_.front();
        output_ += "\n";
        if (!errors_.empty()) errors_.pop_front();
    } else if (query && same_header(name, setting)) {
        output_ = setting_ + "\n";
    } else if (!query && same_header(name, "*RST")) {
        setting_ = profile_.initial_value;
    } else if (!query && same_header(name, "*CLS")) {
        errors_.clear();
    } else if (!query && same_header(name, setting) && !argument.empty()) {
        setting_ = std::string(argument);
    } else if (errors_.size() < kErrorQueueDepth) {
        errors_.push_back("-113,\"Undefined header\"");
    }
}

std::string SimInstrument::send(std::size_t max, bool& ended) {
    const std::size_t n = std::min(max, output_.size());
    std::string part = output_.substr(0, n);
    output_.erase(0, n);
    ended = n > 0 && output_.empty();
    return part;
}

void SimInstrument::clear() {
    output_.clear();
}

}  // namespace korvel::gpib
