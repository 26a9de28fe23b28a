// The unit EEPROM record as bytes: field offsets and widths, truncations, little-endian words,
// the blank (never programmed) area, and that the codec leaves the rest of the user area alone.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "app/eeprom_record.h"

namespace {

using namespace korvel::app;
using Bytes = std::array<std::uint8_t, EEPROM_RECORD_SIZE>;

EepromMirror every_field_distinct() {
    EepromMirror m{};
    m.data_select = 4;
    m.clock_output_1 = 1;
    m.amplitude_mv = 449.99f;
    m.duty_cycle = 50.0f;
    m.pattern_box = 0;
    m.eye_diagram_box = 1;
    m.manual_ctrl_box = 1;
    m.divide_ratio = 200;
    m.error_injection_on = 1;
    m.inverted_data = 1;
    m.gp_0 = 1, m.gp_1 = 0, m.gp_2 = 1, m.gp_3 = 0;
    m.scramble_mode = 2;
    m.print_cal_results = 1;
    m.gp_8 = 0, m.gp_9 = 1;
    m.phase_mph = 3, m.phase_aph = 2;
    m.poll_values = 1, m.io_dump = 0, m.dac_dump = 1, m.dac_sweep = 0;
    m.expanded_amplitude = 1;
    m.use_freq = 1;
    m.frequency_scanned = 26000;
    return m;
}

Bytes encoded(const EepromMirror& m) {
    Bytes b{};
    encode_record(m, b);
    return b;
}

bool same(const EepromMirror& a, const EepromMirror& b) {
    return encoded(a) == encoded(b) && a.divide_ratio == b.divide_ratio;
}

TEST(EepromRecord, EveryFieldAtItsOffset) {
    const Bytes expected = {
        4,    1,                 // pattern select, clock output 1
        0xC1, 0x01,              // 449.99 mV -> 449
        0x88, 0x13,              // 50.00 % -> 5000
        0,    1,                 // PRBS7 box, eye-diagram box
        1,    200,  1, 1,        // manual, ratio, error injection, polarity
        1,    0,    1, 0,        // GP_0..GP_3
        2,    1,    0, 1,        // scramble, print, GP_8, GP_9
        3,    2,                 // MPH, APH
        1,    0,    1, 0, 1, 1,  // poll, IO dump, DAC dump, sweep, Exp Amp, freq table
        0x90, 0x65,              // f 26000, low byte first
    };
    EXPECT_EQ(encoded(every_field_distinct()), expected);
}

TEST(EepromRecord, ValuesAreTruncatedTowardZeroAndCutToTheirWidth) {
    EepromMirror m{};
    m.duty_cycle = 50.07f;  // 50.0699997 x 100 = 5006.99997
    m.divide_ratio = 256;
    m.data_select = 0x1FF;
    m.frequency_scanned = 0x12345;
    m.amplitude_mv = 1124.9f;
    const Bytes b = encoded(m);
    EXPECT_EQ(b[4] | b[5] << 8, 5006);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[28] | b[29] << 8, 0x2345);
    EXPECT_EQ(b[2] | b[3] << 8, 1124);

    // Values no integer holds do not reach the conversion.
    m.amplitude_mv = std::numeric_limits<float>::quiet_NaN();
    m.duty_cycle = std::numeric_limits<float>::infinity();
    const Bytes odd = encoded(m);
    EXPECT_EQ(odd[2] | odd[3] | odd[4] | odd[5], 0);
}

TEST(EepromRecord, ARecordReadsBackAsWrittenAndRatio256ComesBackFromItsZeroByte) {
    EepromMirror m = every_field_distinct();
    m.divide_ratio = 256;
    m.duty_cycle = 55.25f;
    m.amplitude_mv = 600.0f;
    const EepromMirror back = decode_record(encoded(m));
    EXPECT_TRUE(same(back, m));
    EXPECT_EQ(back.divide_ratio, 256);
    EXPECT_EQ(back.duty_cycle, 55.25f);
    EXPECT_EQ(back.amplitude_mv, 600.0f);
    EXPECT_EQ(back.frequency_scanned, 26000);
}

TEST(EepromRecord, ABlankAreaDecodesToTheLargestValues) {
    Bytes blank;
    blank.fill(0xFF);
    const EepromMirror m = decode_record(blank);
    EXPECT_EQ(m.data_select, 255);
    EXPECT_EQ(m.inverted_data, 255);
    EXPECT_EQ(m.divide_ratio, 255);
    EXPECT_EQ(m.amplitude_mv, 65535.0f);
    EXPECT_EQ(m.duty_cycle, 655.35f);
    EXPECT_EQ(m.frequency_scanned, 65535);
}

TEST(EepromRecord, TheMirrorFunctionsTouchOnlyTheFirstThirtyBytes) {
    std::array<std::uint8_t, 46> area;
    area.fill(0xA5);
    eeprom_mirror = every_field_distinct();
    convertVariables2Bytes(area.data());
    EXPECT_EQ(area[29], 0x65);
    for (std::size_t i = EEPROM_RECORD_SIZE; i < area.size(); ++i) EXPECT_EQ(area[i], 0xA5);

    area[9] = 0;
    area[11] = 7;
    reset_eeprom_record();
    convertBytes2Variables(area.data());
    EXPECT_EQ(eeprom_mirror.scramble_mode, 2);
    EXPECT_EQ(record_polarity, 7);
    EXPECT_EQ(record_divide_ratio, 256);
    reset_eeprom_record();
}

TEST(EepromRecord, TheUserAreaMustHoldTheRecord) {
    EXPECT_FALSE(user_area_holds_record(0));
    EXPECT_FALSE(user_area_holds_record(29));
    EXPECT_TRUE(user_area_holds_record(30));
    EXPECT_TRUE(user_area_holds_record(46));
    EXPECT_FALSE(user_area_holds_record(0xFFFFFFFF));
}

}  // namespace
