// What each wire of the KORVEL board means: which expander pin carries which setting, the
// unit's pattern-select codes, the DAC channels of the two analog levels and the DAC's scale.
//
// The one place these facts live; the front-panel callbacks, the exported functions and
// korvelctl all read them from here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvel::unit {

// ---- DS4520 expanders (chip selector = address bits; address byte 0xA0 | chip << 1) ----------

// Expander 2: IO0-IO7 the sync (trigger) output divide-ratio byte; IO8 the FPGA state-machine
// reset ("InitStateMachine"), pulsed high to reset, low in normal running.
constexpr int kDividerChip = 2;
constexpr int kFpgaResetChip = 2;
constexpr int kFpgaResetPin = 8;
// Expander 3: IO0 clock output 1 (active-low enable: 0 = on); IO1 error-injection enable (the
// FPGA XORs its error mask into the data while it is 1; data inversion uses the same pin).
constexpr int kSwitchChip = 3;
constexpr int kClockOutput1Pin = 0;
constexpr int kErrorInjectionPin = 1;
// Expander 7: IO0-IO3 pattern-select code, IO4-IO5 and IO6-IO7 the two 2-bit phase fields of
// two on-board chips, IO8 calibration mode (low in normal running).
constexpr int kPatternChip = 7;
constexpr int kCalibrationModePin = 8;
constexpr int kPatternCodeMask = 0x0F;
constexpr int kPhaseMphMask = 0x30;  // IO4-IO5
constexpr int kPhaseMphShift = 4;
constexpr int kPhaseAphMask = 0xC0;  // IO6-IO7
constexpr int kPhaseAphShift = 6;
// Bank 0 written as a whole (IO0-IO7).
constexpr int kWholeBank0 = 0xFF;
// The expanders on the bus, in the order the service dump visits them.
constexpr std::array<int, 3> kExpanderChips = {2, 3, 7};

// Divide-ratio bytes of the three trigger modes; a manual ratio n (1..255) is n itself and 256
// is 0x00. The SET button of the main panel sends the fallback byte.
constexpr std::uint8_t kDividePrbs7Pattern = 0xFE;
constexpr std::uint8_t kDivideEyeDiagram = 0xFC;
constexpr std::uint8_t kDivideFallback = 0x7F;
constexpr int kManualRatioMax = 256;

// ---- pattern-select codes, in the order the front panel lists them ---------------------------

struct PatternCode {
    std::string_view name;
    int code;
};
constexpr std::array<PatternCode, 12> kPatternCodes{{
    {"PRBS6", 12},
    {"PRBS7", 1},
    {"PRBS9", 2},
    {"PRBS11", 3},
    {"PRBS15", 4},
    {"PRBS17", 5},
    {"PRBS20", 6},
    {"PRBS23", 7},
    {"PRBS29", 8},
    {"PRBS31", 9},
    {"Clock", 10},
    {"Custom Data", 11},
}};
constexpr int kCustomDataCode = 11;

constexpr std::optional<std::string_view> pattern_name(int code) {
    for (const auto& p : kPatternCodes)
        if (p.code == code) return p.name;
    return std::nullopt;
}

// ---- MCP4728 DACs ------------------------------------------------------------------------------

// Logical channels 0..7 over the two DACs (0..3 = DAC 0 outputs A..D, 4..7 = DAC 1).
constexpr int kDutyCycleChannel = 2;  // DAC 0 output C
constexpr int kAmplitudeChannel = 3;  // DAC 0 output D
constexpr std::uint8_t kVolatileWrite = 1;
constexpr std::uint8_t kStoredWrite = 0;  // input register and the DAC's EEPROM
// Code = volts / 3.3 * 4096, truncated: the DACs use their 3.3 V supply as reference.
constexpr double kDacFullScaleVolts = 3.3;
constexpr double kDacCodeSpan = 4096.0;

// What the two levels may be set to, in DAC volts, through the exported setters.
constexpr double kDutyCycleMinVolts = 1.8, kDutyCycleMaxVolts = 3.3;
constexpr double kAmplitudeMinVolts = 1.8, kAmplitudeMaxVolts = 2.7;

}  // namespace korvel::unit
