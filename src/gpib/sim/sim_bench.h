// The simulated bench: one GPIB board (board 0) with the four instruments of sim_instrument.h on
// it, behind the same calls as the real driver, and faults injected per call so that every
// failure path can be shown.
//
// How it answers:
// - ibdev checks its arguments (board 0, address 0 to 30, secondary 0 or 0x60 to 0x7E, timeout
//   code 0 to 17) but not whether anything listens there, as the real driver does; descriptors
//   start at 16 (the numbers below belong to the boards themselves) and a freed one is used again.
// - A call on a descriptor that is not open (never opened, or taken offline) fails with EDVR.
// - ibclr and ibwrt to an address where no instrument listens fail with ENOL.
// - ibrd when the instrument has nothing to say waits out the descriptor's time limit and fails
//   with TIMO and EABO. The wait is a Delay on the process clock, so under a virtual clock it
//   costs nothing and can be asserted exactly. (With no time limit, TNONE, it fails at once
//   rather than hang.)
// - An injected fault makes matching calls fail with the given error code before they do
//   anything: EABO waits out the time limit first, like a real time-out. An ibdev fault returns -1.
//
// Every call is written to a log, one line each, e.g. `ibwrt(16, "*IDN?", 5)` or
// `ibrd(16, 1000) = 5 ERR EABO`, for tests that check call sequences.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gpib/backend.h"
#include "gpib/ni488.h"
#include "gpib/sim/sim_instrument.h"

namespace korvel::gpib {

enum class GpibCall { Dev, Clr, Onl, Wrt, Rd };

// "ibdev", "ibclr", "ibonl", "ibwrt", "ibrd".
const char* call_name(GpibCall call);
std::optional<GpibCall> parse_call_name(std::string_view name);

struct SimFault {
    GpibCall call = GpibCall::Wrt;
    int error = ENOL;
    // Only calls to this primary address; none means calls to any address.
    std::optional<int> address;
    // How many matching calls fail; negative: every one.
    int times = -1;
};

class SimBench final : public Backend {
  public:
    SimBench();

    int dev(int board, int pad, int sad, int timeout, int eot, int eos,
            CallStatus& status) override;
    CallStatus clr(int ud) override;
    CallStatus onl(int ud, int online) override;
    CallStatus wrt(int ud, const void* data, long count) override;
    CallStatus rd(int ud, void* buffer, long count) override;

    void inject(const SimFault& fault);
    void clear_faults();

    // The instrument at a primary address, or nullptr.
    SimInstrument* instrument_at(int address);
    bool is_open(int ud) const;

    const std::vector<std::string>& log() const { return log_; }
    void clear_log() { log_.clear(); }

    static constexpr int kFirstDeviceDescriptor = 16;
    static constexpr int kMaxDescriptors = 1024;

  private:
    struct Descriptor {
        int pad = 0;
        int sad = 0;
        int timeout = 0;
        int eot = 1;
        int eos = 0;
    };

    // The open descriptor a call may go on with, or nullptr with `status` saying why not: the
    // descriptor is not open, or an injected fault hits the call.
    const Descriptor* admit(int ud, GpibCall call, CallStatus& status);
    // The injected fault for this call, if one applies (and counts it).
    std::optional<int> take_fault(GpibCall call, int address);
    CallStatus failure(int error, int timeout_code);
    const Descriptor* find(int ud) const;
    void record(std::string line, const CallStatus& status);

    std::vector<SimInstrument> instruments_;
    std::map<int, Descriptor> open_;
    std::vector<SimFault> faults_;
    std::vector<std::string> log_;
};

}  // namespace korvel::gpib
