// The --sim-fail option of korvel-gpib: CALL:ERRCODE[:INSTRUMENT], e.g. "ibwrt:2:scope" (no
// listener on the scope) or "ibrd:EABO" (every read times out).
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "gpib/sim/sim_bench.h"

namespace korvel_gpib {

// CALL is ibdev, ibclr, ibonl, ibwrt or ibrd; ERRCODE a number from 0 to 99 or a name from the
// standard list (ENOL, EABO, EDVR, ... in any letter case); INSTRUMENT samp, siggen, scope or
// errdet (without it every instrument is hit). Returns the fault (failing every matching call) or
// a message saying what is wrong.
std::variant<korvel::gpib::SimFault, std::string> parse_sim_fail(std::string_view option);

// The primary address of an instrument's short name, or -1.
int instrument_address(std::string_view name);

}  // namespace korvel_gpib
