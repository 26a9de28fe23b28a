// One simulated bench instrument: what it answers to the command strings it is sent.
//
// Each understands a small common command set, as bench instruments do:
//   *IDN?            its identity, "maker,model,serial,firmware"
//   *RST             its setting back to the power-on value
//   *CLS             its error queue emptied
//   HEADER value     its one setting (the header is the instrument's own: FREQ, TIMEBASE, ...)
//   HEADER?          the setting read back
//   DATA?            a fixed record of exactly 1000 bytes: an IEEE 488.2 definite-length block
//                    "#3994" with 994 sample bytes, then the line feed
//   SYST:ERR?        the oldest queued error, or 0,"No error"
// Headers are matched in any letter case; several commands may be joined with ';'. A command it
// does not know queues -113,"Undefined header". Every reply ends with a line feed. A query's reply
// waits in the output queue until it is read; a new query replaces an unread reply.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace korvel::gpib {

struct SimInstrumentProfile {
    const char* name;            // "Samp", "SigGen", "Scope", "ErrorDetector"
    int address;                 // primary GPIB address
    const char* identity;        // the *IDN? reply without its line feed
    const char* setting_header;  // e.g. "FREQ"
    const char* initial_value;   // the setting at power-on and after *RST
};

class SimInstrument {
  public:
    explicit SimInstrument(const SimInstrumentProfile& profile);

    const SimInstrumentProfile& profile() const { return profile_; }
    const std::string& setting() const { return setting_; }

    // A message the controller wrote (EOI ends it; a trailing line feed is ignored).
    void receive(std::string_view message);
    bool has_output() const { return !output_.empty(); }
    // Takes at most `max` bytes of the waiting reply; `ended` says whether the last byte of the
    // reply went with them (the instrument asserts EOI with it).
    std::string send(std::size_t max, bool& ended);
    // Selected device clear: the waiting reply is dropped.
    void clear();

    static constexpr std::size_t kDataReplySize = 1000;

  private:
    void execute(std::string_view command);

    SimInstrumentProfile profile_;
    std::string setting_;
    std::string output_;
    std::deque<std::string> errors_;
};

// The four instruments of the bench: Samp at 8, SigGen at 19, Scope at 9, ErrorDetector at 5.
const SimInstrumentProfile& sim_bench_profile(int index);
constexpr int kSimBenchInstruments = 4;

}  // namespace korvel::gpib
