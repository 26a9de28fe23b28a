#include "gpib/sim/sim_bench.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "base/clock.h"
#include "gpib/error_codes.h"

namespace korvel::gpib {
namespace {

constexpr int kBusIdle = CMPL | CIC;  // the board is controller in charge; the call completed

constexpr const char* kCallNames[] = {"ibdev", "ibclr", "ibonl", "ibwrt", "ibrd"};

// A descriptor that is not open is refused by the driver before anything else.
CallStatus not_open() {
    return {ERR, EDVR, 0};
}

bool valid_secondary(int sad) {
    return sad == 0 || (sad >= 0x60 && sad <= 0x7E);
}

// The written bytes as the log shows them: quoted, with control bytes escaped.
std::string quoted(const char* data, long count) {
    std::string s = "\"";
    for (long i = 0; i < count; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c == '\n') {
            s += "\\n";
        } else if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            s += "\\x";
            s += kHex[c >> 4];
            s += kHex[c & 0x0F];
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

}  // namespace

const char* call_name(GpibCall call) {
    return kCallNames[static_cast<int>(call)];
}

std::optional<GpibCall> parse_call_name(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kCallNames); ++i)
        if (name == kCallNames[i]) return static_cast<GpibCall>(i);
    return std::nullopt;
}

SimBench::SimBench() {
    for (int i = 0; i < kSimBenchInstruments; ++i) instruments_.emplace_back(sim_bench_profile(i));
}

void SimBench::inject(const SimFault& fault) {
    faults_.push_back(fault);
}

void SimBench::clear_faults() {
    faults_.clear();
}

SimInstrument* SimBench::instrument_at(int address) {
    for (SimInstrument& i : instruments_)
        if (i.profile().address == address) return &i;
    return nullptr;
}

bool SimBench::is_open(int ud) const {
    return find(ud) != nullptr;
}

const SimBench::Descriptor* SimBench::find(int ud) const {
    const auto it = open_.find(ud);
    return it != open_.end() ? &it->second : nullptr;
}

std::optional<int> SimBench::take_fault(GpibCall call, int address) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->call != call || (it->address && *it->address != address)) continue;
        const int error = it->error;
        if (it->times > 0 && --it->times == 0) faults_.erase(it);
        return error;
    }
    return std::nullopt;
}

CallStatus SimBench::failure(int error, int timeout_code) {
    if (error == EABO) {
        // A time-out: the call waited its whole time limit before giving up.
        Delay(timeout_seconds(timeout_code));
        return {ERR | TIMO | kBusIdle, EABO, 0};
    }
    // Driver and board failures never reach the bus.
    if (error == EDVR || error == ENEB) return {ERR, error, 0};
    return {ERR | kBusIdle, error, 0};
}

void SimBench::record(std::string line, const CallStatus& status) {
    if ((status.sta & ERR) != 0) {
        const ErrorCodeText* text = error_code_text(status.err);
        line += " ERR ";
        line += text != nullptr ? text->name : std::to_string(status.err);
    }
    log_.push_back(std::move(line));
}

int SimBench::dev(int board, int pad, int sad, int timeout, int eot, int eos, CallStatus& status) {
    const std::string call = "ibdev(" + std::to_string(board) + ", " + std::to_string(pad) + ", " +
                             std::to_string(sad) + ", " + std::to_string(timeout) + ", " +
                             std::to_string(eot) + ", " + std::to_string(eos) + ")";
    int ud = -1;
    if (auto fault = take_fault(GpibCall::Dev, pad)) {
        status = failure(*fault, timeout);
    } else if (board != 0) {
        status = {ERR, ENEB, 0};
    } else if (pad < 0 || pad > 30 || !valid_secondary(sad) || timeout < TNONE ||
               timeout > T1000s) {
        status = {ERR | kBusIdle, EARG, 0};
    } else {
        ud = kFirstDeviceDescriptor;
        while (open_.contains(ud)) ++ud;
        if (ud >= kMaxDescriptors) {
            status = {ERR, ETAB, 0};
            ud = -1;
        } else {
            open_[ud] = {pad, sad, timeout, eot, eos};
            status = {kBusIdle, 0, 0};
        }
    }
    record(call + " = " + std::to_string(ud), status);
    return ud;
}

const SimBench::Descriptor* SimBench::admit(int ud, GpibCall call, CallStatus& status) {
    const Descriptor* d = find(ud);
    if (d == nullptr) {
        status = not_open();
    } else if (auto fault = take_fault(call, d->pad)) {
        status = failure(*fault, d->timeout);
        d = nullptr;
    }
    return d;
}

CallStatus SimBench::clr(int ud) {
    CallStatus s{kBusIdle, 0, 0};
    if (const Descriptor* d = admit(ud, GpibCall::Clr, s)) {
        if (SimInstrument* instrument = instrument_at(d->pad))
            instrument->clear();
        else
            s = failure(ENOL, d->timeout);
    }
    record("ibclr(" + std::to_string(ud) + ")", s);
    return s;
}

CallStatus SimBench::onl(int ud, int online) {
    CallStatus s{kBusIdle, 0, 0};
    if (admit(ud, GpibCall::Onl, s) != nullptr && online == 0) open_.erase(ud);
    record("ibonl(" + std::to_string(ud) + ", " + std::to_string(online) + ")", s);
    return s;
}

CallStatus SimBench::wrt(int ud, const void* data, long count) {
    const char* bytes = static_cast<const char*>(data);
    CallStatus s{kBusIdle | TACS, 0, static_cast<int>(std::min<long>(count, 0x7FFFFFFF))};
    if (const Descriptor* d = admit(ud, GpibCall::Wrt, s)) {
        if (SimInstrument* instrument = instrument_at(d->pad))
            instrument->receive(std::string_view(bytes, static_cast<std::size_t>(count)));
        else
            s = failure(ENOL, d->timeout);
    }
    record("ibwrt(" + std::to_string(ud) + ", " + quoted(bytes, count) + ", " +
               std::to_string(count) + ")",
           s);
    return s;
}

CallStatus SimBench::rd(int ud, void* buffer, long count) {
    CallStatus s{kBusIdle | LACS, 0, 0};
    if (const Descriptor* d = admit(ud, GpibCall::Rd, s)) {
        SimInstrument* instrument = instrument_at(d->pad);
        if (instrument == nullptr || !instrument->has_output()) {
            // Nobody talks: the read waits for the time limit.
            s = failure(EABO, d->timeout);
        } else {
            bool ended = false;
            const std::string part = instrument->send(static_cast<std::size_t>(count), ended);
            if (!part.empty()) std::memcpy(buffer, part.data(), part.size());
            s.cnt = static_cast<int>(part.size());
            if (ended) s.sta |= END;
        }
    }
    record("ibrd(" + std::to_string(ud) + ", " + std::to_string(count) +
               ") = " + std::to_string(s.cnt),
           s);
    return s;
}

}  // namespace korvel::gpib
