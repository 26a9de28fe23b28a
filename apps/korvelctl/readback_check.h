// What `korvelctl set` must find on the unit after applying its settings. The library's setters
// report success whatever happens on the cable, so the command reads the expander pins and DAC
// codes back instead of trusting them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "api/unit_status.h"
#include "settings_parser.h"

namespace korvelctl {

// The first setting the unit does not hold (the last one of each kind counts, as it was applied
// last), in words, or nothing when it holds them all.
std::optional<std::string> readback_mismatch(const std::vector<Setting>& settings,
                                             const korvel::api::UnitStatus& unit);

}  // namespace korvelctl
