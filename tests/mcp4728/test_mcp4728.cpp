// The DAC driver against the simulated MCP4728s: bytes on the bus, codes in the chips, the
// stored-write pause, clamping and the read-back dump.
#include <algorithm>
#include <limits>
#include <string>

#include "base/clock.h"
#include "mcp4728/mcp4728.h"
#include "mcp4728/mcp4728_readback.h"
#include "service_output/service_output.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using testing::Transactions;

class Mcp4728 : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
};

TEST_F(Mcp4728, ScaledWritesSendCodesWithTheFixedConfigurationNibble) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        int channel;
        float volts;
        std::uint8_t mode;
        std::vector<int> bytes;
        int code;
    };
    const Case cases[] = {
        {2, 1.0f, 1, {0xC0, 0x44, 0x14, 0xD9}, 1241},
        {6, 0.5f, 0, {0xC2, 0x5C, 0x12, 0x6C}, 620},
        {3, 3.3f, 1, {0xC0, 0x46, 0x1F, 0xFF}, 4095},
        {0, 0.0f, 1, {0xC0, 0x40, 0x10, 0x00}, 0},
        {5, 1.65f, 7, {0xC2, 0x5A, 0x17, 0xFF}, 2047},
        // Outside 0..3.3 V (and NaN) the code is clamped before it can reach the upper nibble.
        {1, 5.0f, 1, {0xC0, 0x42, 0x1F, 0xFF}, 4095},
        {4, -0.2f, 1, {0xC2, 0x40, 0x10, 0x00}, 0},
        {7, kNaN, 1, {0xC2, 0x46, 0x10, 0x00}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.channel);
        forget_history();
        dac_write(c.channel, c.volts, c.mode);
        EXPECT_EQ(transactions(), Transactions{c.bytes});
        const auto& ch = board().dac(c.channel / 4).channels[c.channel % 4];
        EXPECT_EQ(ch.code, c.code);
        EXPECT_EQ(ch.eeprom_code, c.mode == 1 ? 0 : c.code);
        EXPECT_EQ(ch.vref + ch.power_down * 2 + ch.gain * 8, 8);
        EXPECT_DOUBLE_EQ(clock().paused_total(), c.mode == 1 ? 0.0 : 0.05);
    }
    forget_history();
    mcp4728_dac_write(1, 2, 0xFFFFu, 1);
    EXPECT_EQ(transactions(), (Transactions{{0xC2, 0x44, 0x1F, 0xFF}}));
}

TEST_F(Mcp4728, NothingReachesTheBusForUnknownChannelsOrAnAbsentUnit) {
    for (int bad : {-1, 8, 1000}) dac_write(bad, 1.0f, 0);
    EXPECT_EQ(usb().total_calls(), 0u);
    board().detach();
    dac_write(2, 1.0f, 0);
    EXPECT_TRUE(board().bus_log().empty());
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(Mcp4728, ReadBackAndDump) {
    mcp4728_dac_read(1);
    ASSERT_EQ(transactions().size(), 1u);
    EXPECT_EQ(transactions()[0].size(), 25u);
    EXPECT_EQ(transactions()[0][0], 0xC3);
    EXPECT_EQ(acks(), [] {
        std::vector<bool> a(25, true);
        a.back() = false;
        return a;
    }());

    dac_write(5, 1.0f, 0);
    ::testing::internal::CaptureStdout();
    mcp4728_dac_dump();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 17);
    EXPECT_EQ(out.rfind("DAC R: 0-", 0), 0u);
    EXPECT_EQ(out.substr(out.size() - 2), "\n\n");
    const auto r5 = out.find("DAC R: 5-"), e5 = out.find("DAC E: 5-");
    ASSERT_LT(r5, e5);
    // Channel B of the second DAC: register and EEPROM copy both hold 1241 (0x4D9).
    EXPECT_EQ(out.substr(r5 + 14, 3), " D9");
    EXPECT_EQ(out.substr(e5 + 14, 3), " D9");
}

TEST_F(Mcp4728, AStoredWriteWithoutItsPauseLosesTheNextWriteToThatDac) {
    auto& ch = board().dac(1).channels;
    {
        platform::VirtualClock deaf;  // pauses that never reach the unit
        platform::set_clock(&deaf);
        dac_write(6, 0.5f, 0);  // stored: code 620
        dac_write(6, 1.0f, 0);  // while the chip still programs its EEPROM: ignored
        dac_write(7, 1.0f, 1);  // a volatile write to the same chip as well
        dac_write(3, 1.0f, 1);  // the other DAC takes it
        platform::set_clock(&clock());
    }
    EXPECT_EQ(ch[2].code, 620);
    EXPECT_EQ(ch[2].eeprom_code, 620);
    EXPECT_EQ(ch[3].code, 0);
    EXPECT_EQ(board().dac(0).channels[3].code, 1241);
    std::uint8_t bytes[kMcp4728ReadbackSize];
    mcp4728_dac_read_into(1, bytes);
    EXPECT_EQ(bytes[0] & 0x80, 0);  // RDY/BSY low
    // With the driver's pause the chip is ready for the next stored write.
    dac_write(6, 1.0f, 0);
    dac_write(6, 1.5f, 0);
    EXPECT_EQ(ch[2].eeprom_code, 1861);
    mcp4728_dac_read_into(1, bytes);
    EXPECT_EQ(bytes[0] & 0x80, 0x80);
}

std::string printed;

TEST_F(Mcp4728, ARampStoresThirtyFourValuesUpToFullScaleAndPrintsThemThroughTheSink) {
    set_service_output([](std::string_view text) { printed.append(text); });
    printed.clear();
    dac_ramp(7, true);
    set_service_output(nullptr);
    const Transactions writes = transactions();
    ASSERT_EQ(writes.size(), 34u);
    // Stored writes (command 0x58 | channel D) of codes 0, 124, 248, ... 3971, 4095.
    EXPECT_EQ(writes.front(), (std::vector<int>{0xC2, 0x5E, 0x10, 0x00}));
    EXPECT_EQ(writes[1], (std::vector<int>{0xC2, 0x5E, 0x10, 0x7C}));
    EXPECT_EQ(writes.back(), (std::vector<int>{0xC2, 0x5E, 0x1F, 0xFF}));
    EXPECT_EQ(board().dac(1).channels[3].eeprom_code, 4095);
    // 50 ms after each stored write, then 1 ms.
    EXPECT_EQ(clock().pause_count(), 68u);
    EXPECT_NEAR(clock().paused_total(), 34 * 0.051, 1e-9);
    EXPECT_EQ(printed.rfind("0.000000 \n0.100000 \n", 0), 0u);
    EXPECT_EQ(printed.substr(printed.size() - 10), "3.299999 \n");
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 34);

    forget_history();
    dac_ramp(7, false);
    EXPECT_EQ(transactions().size(), 34u);
    EXPECT_EQ(printed.size(), 34u * 10u);
}

}  // namespace
}  // namespace korvel
