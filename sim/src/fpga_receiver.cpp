#include "fpga_receiver.h"

namespace korvel::sim {

namespace {
constexpr std::uint32_t kMaskBits = 256;
}

void FpgaReceiver::clear() {
    mem_ = FpgaMemories{};
    pattern_new_ = false;
    error_new_ = false;
    error_bits_ = 0;
}

void FpgaReceiver::pins_changed(std::uint8_t before, std::uint8_t after) {
    const std::uint8_t fell = before & ~after;
    if (fell & kSelectPattern) pattern_new_ = true;
    if (fell & kSelectError) error_new_ = true;

    if (!((after & ~before) & kClock)) return;
    const bool bit = (after & kData) != 0;
    if (!(after & kSelectPattern)) {
        if (pattern_new_) {
            mem_.pattern_bits.clear();
            pattern_new_ = false;
        }
        if (mem_.pattern_bits.size() < kPatternMemoryBits)
            mem_.pattern_bits.push_back(bit ? '1' : '0');
    }
    if (!(after & kSelectError)) {
        if (error_new_) {
            mem_.error_mask_bits.clear();
            mem_.error_period = 0;
            mem_.error_width = 0;
            error_bits_ = 0;
            error_new_ = false;
        }
        if (error_bits_ < kMaskBits) {
            mem_.error_mask_bits.push_back(bit ? '1' : '0');
        } else if (error_bits_ < kMaskBits + 32) {
            mem_.error_period = (mem_.error_period << 1) | (bit ? 1u : 0u);
        } else if (error_bits_ < kMaskBits + 64) {
            mem_.error_width = (mem_.error_width << 1) | (bit ? 1u : 0u);
        }
        if (error_bits_ < kMaskBits + 64) ++error_bits_;
    }
}

}  // namespace korvel::sim
