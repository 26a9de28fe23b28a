#include "app/eeprom_record.h"

#include <cmath>
#include <limits>

#include "resource/main_uir.h"

namespace korvel::app {

namespace {

using M = EepromMirror;
using C = FieldCoding;
using P = RecordPanel;

constexpr RecordField byte_field(std::size_t offset, P panel, int control,
                                 std::int32_t M::*member) {
    return {offset, C::Byte, panel, control, member, nullptr};
}

constexpr RecordField kFields[] = {
    byte_field(0, P::Main, PANELMAIN_DATA_SELECT, &M::data_select),
    byte_field(1, P::Main, PANELMAIN_CLOCKOUT1_BUTTON, &M::clock_output_1),
    {2, C::Millivolts, P::Main, PANELMAIN_MUX_AMP, nullptr, &M::amplitude_mv},
    {4, C::Hundredths, P::Main, PANELMAIN_DUTY_CYCLE, nullptr, &M::duty_cycle},
    byte_field(6, P::Main, PANELMAIN_PATTERN_BOX, &M::pattern_box),
    byte_field(7, P::Main, PANELMAIN_EYE_DIAGRAM_BOX, &M::eye_diagram_box),
    byte_field(8, P::More, PANELMORE_MANUAL_CTRL_BOX, &M::manual_ctrl_box),
    byte_field(9, P::More, PANELMORE_DIVIDE_RATIO_CONTROL, &M::divide_ratio),
    byte_field(10, P::More, PANELMORE_ERROR_INJ_ON_BUTTON, &M::error_injection_on),
    byte_field(11, P::More, PANELMORE_INV_DATA_BUTTON, &M::inverted_data),
    byte_field(12, P::Debug, PANELDEBUG_GP_0, &M::gp_0),
    byte_field(13, P::Debug, PANELDEBUG_GP_1, &M::gp_1),
    byte_field(14, P::Debug, PANELDEBUG_GP_2, &M::gp_2),
    byte_field(15, P::Debug, PANELDEBUG_GP_3, &M::gp_3),
    byte_field(16, P::Debug, PANELDEBUG_SCRAMBLE_MODE, &M::scramble_mode),
    byte_field(17, P::Debug, PANELDEBUG_PRINT_CAL_RESULTS, &M::print_cal_results),
    byte_field(18, P::Debug, PANELDEBUG_GP_8, &M::gp_8),
    byte_field(19, P::Debug, PANELDEBUG_GP_9, &M::gp_9),
    byte_field(20, P::Debug, PANELDEBUG_RINGSLIDE_GP_MPH, &M::phase_mph),
    byte_field(21, P::Debug, PANELDEBUG_RINGSLIDE_GP_APH, &M::phase_aph),
    byte_field(22, P::Debug, PANELDEBUG_CHECKBOX_GP_IO, &M::poll_values),
    byte_field(23, P::Debug, PANELDEBUG_CHECKBOX_IO_Dump, &M::io_dump),
    byte_field(24, P::Debug, PANELDEBUG_CHECKBOX_DAC_Dump, &M::dac_dump),
    byte_field(25, P::Debug, PANELDEBUG_CHECKBOX_DAC_Sweep, &M::dac_sweep),
    byte_field(26, P::Debug, PANELDEBUG_EXPANDED_AMPLITUDE, &M::expanded_amplitude),
    byte_field(27, P::Debug, PANELDEBUG_USE_FREQ, &M::use_freq),
    {28, C::Word, P::Debug, PANELDEBUG_FREQUENCY_SCANNED, &M::frequency_scanned, nullptr},
};

constexpr bool fields_tile_the_record() {
    std::size_t next = 0;
    for (const auto& f : kFields) {
        if (f.offset != next) return false;
        next += f.coding == C::Byte ? 1 : 2;
    }
    return next == EEPROM_RECORD_SIZE;
}
static_assert(fields_tile_the_record());

constexpr std::size_t kPolarityOffset = 11;
constexpr std::int32_t kRatioStoredAsZero = 256;
// An FT232R's whole EEPROM is 128 bytes, the largest FTDI EEPROMs 4 KiB.
constexpr DWORD kLargestUserArea = 4096;

// Truncation toward zero as a 32-bit integer; values no integer holds (and NaN) give 0 rather
// than undefined behaviour. The controls' ranges keep real values far inside.
std::int32_t truncate(double v) {
    if (!(std::fabs(v) < static_cast<double>(std::numeric_limits<std::int32_t>::max()))) return 0;
    return static_cast<std::int32_t>(v);
}

std::int32_t stored_integer(const RecordField& f, const EepromMirror& m) {
    switch (f.coding) {
        case C::Millivolts:
            return truncate(m.*f.real);
        case C::Hundredths:
            return truncate(static_cast<double>(m.*f.real) * 100.0);
        default:
            return m.*f.integer;
    }
}

}  // namespace

std::span<const RecordField> record_fields() {
    return kFields;
}

void encode_record(const EepromMirror& values, std::span<std::uint8_t, EEPROM_RECORD_SIZE> bytes) {
    for (const auto& f : kFields) {
        const auto v = static_cast<std::uint32_t>(stored_integer(f, values));
        bytes[f.offset] = static_cast<std::uint8_t>(v & 0xFF);
        if (f.coding != C::Byte) bytes[f.offset + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
}

EepromMirror decode_record(std::span<const std::uint8_t, EEPROM_RECORD_SIZE> bytes) {
    EepromMirror m{};
    for (const auto& f : kFields) {
        const int low = bytes[f.offset];
        const int word = f.coding == C::Byte ? low : low | (bytes[f.offset + 1] << 8);
        switch (f.coding) {
            case C::Millivolts:
                m.*f.real = static_cast<float>(word);
                break;
            case C::Hundredths:
                m.*f.real = static_cast<float>(word / 100.0);
                break;
            default:
                m.*f.integer = word;
                break;
        }
    }
    if (m.divide_ratio == 0) m.divide_ratio = kRatioStoredAsZero;
    return m;
}

bool user_area_holds_record(DWORD size) {
    return size >= EEPROM_RECORD_SIZE && size <= kLargestUserArea;
}

EepromMirror eeprom_mirror{};
FT_STATUS ft_status = FT_OK;
std::int32_t record_polarity = 0;
std::int32_t record_divide_ratio = 0;

void reset_eeprom_record() {
    eeprom_mirror = EepromMirror{};
    ft_status = FT_OK;
    record_polarity = 0;
    record_divide_ratio = 0;
}

void convertVariables2Bytes(std::uint8_t* buffer) {
    encode_record(eeprom_mirror,
                  std::span<std::uint8_t, EEPROM_RECORD_SIZE>(buffer, EEPROM_RECORD_SIZE));
}

void convertBytes2Variables(const std::uint8_t* buffer) {
    const std::span<const std::uint8_t, EEPROM_RECORD_SIZE> bytes(buffer, EEPROM_RECORD_SIZE);
    eeprom_mirror = decode_record(bytes);
    record_polarity = bytes[kPolarityOffset];
    record_divide_ratio = eeprom_mirror.divide_ratio;
}

}  // namespace korvel::app
