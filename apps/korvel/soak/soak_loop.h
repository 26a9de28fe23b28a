// The program's event loop during a soak. Virtual time runs from one event to the next: the
// timers' ticks (the supervision every second, the Debug panel's polling) and, between them, the
// operator's random actions a few tenths of a second apart. After every tick and every action
// the invariants (soak_checks.h) are checked; the first broken one stops the loop. When the time
// is up the loop leaves through File > Exit, which saves settings.cfg.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "soak/soak_checks.h"
#include "soak/soak_host.h"
#include "soak/soak_log.h"
#include "soak/soak_random.h"

namespace korvel::soak {

class SoakLoop {
  public:
    SoakLoop(double seconds, SoakRandom& random, SoakLog& log, SoakHost& host)
        : seconds_(seconds), random_(random), log_(log), host_(host) {}

    void run();

    // Empty while every invariant held.
    const std::string& failure() const { return failure_; }
    std::uint64_t actions() const { return actions_; }
    std::uint64_t ticks() const { return ticks_; }
    std::uint64_t checks() const { return checks_; }
    std::uint64_t cable_changes() const { return cable_changes_; }
    long rss_start_kib() const { return rss_start_; }
    long rss_end_kib() const { return rss_end_; }
    // Actions by where they went: the window's resource name (PANELMAIN, ...) for controls, else
    // their kind ("menu", "unit", "key", "wheel", ...).
    const std::map<std::string, std::uint64_t>& actions_by_kind() const { return by_kind_; }
    // Resident memory at each tenth of the run (the first at the start, the last at the end).
    const std::vector<long>& rss_tenths_kib() const { return rss_tenths_; }

  private:
    void watch_supervision();
    // reconnect_possible: the unit was not held when the tick began.
    void after_supervision_tick(bool reconnect_possible);
    void act();
    void check(const std::string& after);

    double seconds_;
    SoakRandom& random_;
    SoakLog& log_;
    SoakHost& host_;
    Excusals excused_;
    // The program holds the unit open and has had a supervision tick since it was plugged in.
    bool synced_ = false;
    std::string failure_;
    std::uint64_t actions_ = 0, ticks_ = 0, checks_ = 0, cable_changes_ = 0;
    long rss_start_ = -1, rss_end_ = -1;
    std::vector<long> rss_tenths_;
    std::map<std::string, std::uint64_t> by_kind_;
};

}  // namespace korvel::soak
