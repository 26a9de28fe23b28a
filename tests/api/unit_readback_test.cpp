// Reading the DACs back over the bus: the 24 bytes of each, decoded per channel.
#include "api/dac_readback.h"
#include "korvel.h"
#include "mcp4728/mcp4728.h"
#include "simulated_unit_fixture.h"

namespace {

using korvel::api::decode_dac_bytes;
using korvel::api::read_dac_bytes;
using UnitReadback = SimulatedUnitTest;

TEST_F(UnitReadback, DacReadbackMatchesBothDacsRegistersAndEepromCopies) {
    const auto calls_before = korvel::sim::usb().total_calls();
    for (auto b : read_dac_bytes(0)) EXPECT_EQ(b, 0xFF);  // no open link: nothing sent
    EXPECT_EQ(korvel::sim::usb().total_calls(), calls_before);

    ASSERT_EQ(usb_init(), 1);
    korvel::dac_write(2, 2.5f, 1);  // DAC 0 C, volatile
    korvel::dac_write(6, 0.5f, 0);  // DAC 1 C, stored
    for (int selector : {0, 1}) {
        const auto channels = decode_dac_bytes(read_dac_bytes(selector));
        for (int ch = 0; ch < 4; ++ch) {
            SCOPED_TRACE(testing::Message() << selector << "/" << ch);
            const auto& chip = board().dac(selector).channels[ch];
            EXPECT_EQ(channels[ch].input.code, chip.code);
            EXPECT_EQ(channels[ch].input.gain, chip.gain);
            EXPECT_EQ(channels[ch].input.vref, chip.vref);
            EXPECT_EQ(channels[ch].input.power_down, chip.power_down);
            EXPECT_EQ(channels[ch].eeprom.code, chip.eeprom_code);
        }
    }
    EXPECT_EQ(decode_dac_bytes(read_dac_bytes(1))[2].eeprom.code, 620);
}

}  // namespace
