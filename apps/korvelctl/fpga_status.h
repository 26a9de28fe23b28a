// What the simulated unit's FPGA memories hold, for korvelctl status. The real unit's memories
// cannot be read back over its link, so this is known only on the simulated unit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace korvelctl {

struct FpgaMemories {
    std::uint64_t pattern_words = 0;  // complete 256-bit words of the last pattern load
    bool mask_loaded = false;         // the error memory has received a whole mask
    int mask_ones = 0;
    // Period and width as given (the memory holds each less one; 4294967296 is the
    // all-ones word that inverted data uses).
    std::uint64_t period = 0;
    std::uint64_t width = 0;
};

// The simulated unit's memories, or nothing when the real unit is in use.
std::optional<FpgaMemories> simulated_fpga_memories();

nlohmann::json fpga_json(const FpgaMemories& memories);
std::string fpga_text(const FpgaMemories& memories);

}  // namespace korvelctl
