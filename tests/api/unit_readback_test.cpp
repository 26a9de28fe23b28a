// Reading the unit back over the bus: the DACs' 24 bytes and what the pins and codes mean.
#include "api/dac_readback.h"
#include "api/pattern_codes.h"
#include "api/unit_status.h"
#include "korvel.h"
#include "mcp4728/mcp4728.h"
#include "simulated_unit_fixture.h"

namespace {

using korvel::api::decode_dac_bytes;
using korvel::api::read_dac_bytes;
using UnitReadback = SimulatedUnitTest;

TEST_F(UnitReadback, DacReadbackMatchesBothDacsRegistersAndEepromCopies) {
    ASSERT_EQ(usb_init(), 1);
    korvel::dac_write(2, 2.5f, 1);  // DAC 0 C, volatile
    korvel::dac_write(6, 0.5f, 0);  // DAC 1 C, stored
    for (int selector : {0, 1}) {
        SCOPED_TRACE(selector);
        const auto channels = decode_dac_bytes(read_dac_bytes(selector));
        for (int ch = 0; ch < 4; ++ch) {
            const auto& chip = board().dac(selector).channels[ch];
            EXPECT_EQ(channels[ch].input.code, chip.code);
            EXPECT_EQ(channels[ch].input.gain, chip.gain);
            EXPECT_EQ(channels[ch].input.vref, chip.vref);
            EXPECT_EQ(channels[ch].input.power_down, chip.power_down);
            EXPECT_EQ(channels[ch].eeprom.code, chip.eeprom_code);
        }
    }
    EXPECT_EQ(decode_dac_bytes(read_dac_bytes(0))[2].input.code, 3103);
    EXPECT_EQ(decode_dac_bytes(read_dac_bytes(1))[2].eeprom.code, 620);
}

TEST_F(UnitReadback, DacReadWithoutAnOpenLinkSendsNothingAndReadsAllOnes) {
    const auto calls_before = korvel::sim::usb().total_calls();
    const auto bytes = read_dac_bytes(0);
    for (auto b : bytes) EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(korvel::sim::usb().total_calls(), calls_before);
}

TEST_F(UnitReadback, StatusReadsBackWhatTheExportedFunctionsSet) {
    ASSERT_EQ(usb_init(), 1);
    prbs_select(4);
    set_divide_ratio(256);
    ClockOutput1(1);
    set_dutycycle(2.5f);
    set_amplitude(2.2f);
    const auto s = korvel::api::interpret(korvel::api::read_unit());
    usb_close();

    EXPECT_EQ(s.pattern_code, 4);
    EXPECT_EQ(s.pattern_name, "PRBS15");
    EXPECT_EQ(s.divide_byte, 0x00);
    EXPECT_EQ(s.divide_ratio, 256);
    EXPECT_TRUE(s.clock_output1_on);
    EXPECT_EQ(s.duty_code, 3103);
    EXPECT_EQ(s.amplitude_code, 2730);
    EXPECT_NEAR(s.duty_volts, 2.5, 3.3 / 4096);
    EXPECT_NEAR(s.amplitude_volts, 2.2, 3.3 / 4096);
}

TEST(PatternCodes, NamesAndCodesRoundTripIgnoringCase) {
    for (const auto& p : korvel::api::pattern_codes()) {
        EXPECT_EQ(korvel::api::pattern_code(p.name), p.code);
        EXPECT_EQ(korvel::api::pattern_name(p.code), p.name);
    }
    EXPECT_EQ(korvel::api::pattern_code("prbs31"), 9);
    EXPECT_EQ(korvel::api::pattern_code("PRBS8"), std::nullopt);
    EXPECT_EQ(korvel::api::pattern_name(0), std::nullopt);
    EXPECT_EQ(korvel::api::pattern_name(15), std::nullopt);
}

}  // namespace
