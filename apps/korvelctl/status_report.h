// `korvelctl status` output: the unit's settings in words, or as JSON.
#pragma once

#include <optional>
#include <string>

#include "api/unit_status.h"
#include "fpga_status.h"

namespace korvelctl {

// `fpga`, known on the simulated unit only, adds what its FPGA memories hold.
std::string status_text(const korvel::api::UnitReadback& readback,
                        const std::optional<FpgaMemories>& fpga = std::nullopt);
std::string status_json(const korvel::api::UnitReadback& readback,
                        const std::optional<FpgaMemories>& fpga = std::nullopt);

}  // namespace korvelctl
