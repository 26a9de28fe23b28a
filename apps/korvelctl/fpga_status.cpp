#include "fpga_status.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"

namespace korvelctl {

std::optional<FpgaMemories> simulated_fpga_memories() {
    if (korvel::ftdi::selected_backend() != korvel::ftdi::BackendKind::Sim) return std::nullopt;
    const korvel::sim::FpgaMemories& m = korvel::sim::usb().board().fpga();
    FpgaMemories out;
    out.pattern_words = m.pattern_bits.size() / 256;
    out.mask_loaded = m.error_mask_bits.size() == 256;
    if (out.mask_loaded) {
        out.mask_ones =
            static_cast<int>(std::count(m.error_mask_bits.begin(), m.error_mask_bits.end(), '1'));
        out.period = std::uint64_t{m.error_period} + 1;
        out.width = std::uint64_t{m.error_width} + 1;
    }
    return out;
}

nlohmann::json fpga_json(const FpgaMemories& memories) {
    nlohmann::json j;
    j["pattern_words"] = memories.pattern_words;
    if (memories.mask_loaded)
        j["error_mask"] = {{"errors_per_256", memories.mask_ones},
                           {"period", memories.period},
                           {"width", memories.width}};
    else
        j["error_mask"] = nullptr;
    return j;
}

std::string fpga_text(const FpgaMemories& memories) {
    std::string out = "FPGA pattern memory: " + std::to_string(memories.pattern_words) +
                      (memories.pattern_words == 1 ? " word\n" : " words\n");
    out += "FPGA error mask:     ";
    if (memories.mask_loaded)
        out += std::to_string(memories.mask_ones) + " errors in 256 bits, period " +
               std::to_string(memories.period) + ", width " + std::to_string(memories.width) + "\n";
    else
        out += "none loaded\n";
    return out;
}

}  // namespace korvelctl
