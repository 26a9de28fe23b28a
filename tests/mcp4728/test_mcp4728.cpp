// The DAC driver against the simulated MCP4728s: bytes on the bus, codes in the chips, the
// stored-write pause, clamping and the read-back dump.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using testing::bus_transactions;
using Transactions = std::vector<std::vector<int>>;

class Mcp4728 : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
    static const sim::Mcp4728Channel& channel(int selector, int c) {
        return board().dac(selector).channels[c];
    }
};

struct DacCase {
    int channel;
    float volts;
    std::uint8_t mode;
    std::vector<int> bytes;
    int code;
    double pause;
};

TEST_F(Mcp4728, ScaledWritesSendTheExpectedBytes) {
    const DacCase cases[] = {
        {2, 1.0f, 1, {0xC0, 0x44, 0x14, 0xD9}, 1241, 0.0},
        {6, 0.5f, 0, {0xC2, 0x5C, 0x12, 0x6C}, 620, 0.05},
        {3, 3.3f, 1, {0xC0, 0x46, 0x1F, 0xFF}, 4095, 0.0},
        {0, 0.0f, 1, {0xC0, 0x40, 0x10, 0x00}, 0, 0.0},
        {5, 1.65f, 7, {0xC2, 0x5A, 0x17, 0xFF}, 2047, 0.05},
        // Out of range: clamped before the code can reach the upper nibble.
        {1, 5.0f, 1, {0xC0, 0x42, 0x1F, 0xFF}, 4095, 0.0},
        {4, -0.2f, 1, {0xC2, 0x40, 0x10, 0x00}, 0, 0.0},
        {7, std::numeric_limits<float>::quiet_NaN(), 1, {0xC2, 0x46, 0x10, 0x00}, 0, 0.0},
        {7, std::numeric_limits<float>::infinity(), 1, {0xC2, 0x46, 0x1F, 0xFF}, 4095, 0.0},
    };
    for (const DacCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "channel " << c.channel << " volts " << c.volts);
        forget_history();
        dac_write(c.channel, c.volts, c.mode);
        EXPECT_EQ(bus_transactions(), Transactions{c.bytes});
        const auto& ch =
            channel(dac_channel_map[c.channel].selector, dac_channel_map[c.channel].dac_channel);
        EXPECT_EQ(ch.code, c.code);
        EXPECT_EQ(ch.vref, 0);
        EXPECT_EQ(ch.power_down, 0);
        EXPECT_EQ(ch.gain, 1);
        EXPECT_DOUBLE_EQ(clock().paused_total(), c.pause);
        if (c.mode != 1) {
            EXPECT_EQ(ch.eeprom_code, c.code);
        }
    }
}

TEST_F(Mcp4728, VolatileWriteLeavesTheEepromCopy) {
    dac_write(3, 2.0f, 0);
    dac_write(3, 1.0f, 1);
    EXPECT_EQ(channel(0, 3).code, 1241);
    EXPECT_EQ(channel(0, 3).eeprom_code, 2482);
}

TEST_F(Mcp4728, NothingReachesTheBusForAbsentUnitsOrUnknownChannels) {
    for (int bad : {-1, 8, 1000}) dac_write(bad, 1.0f, 0);
    EXPECT_EQ(usb().total_calls(), 0u);
    EXPECT_EQ(clock().pause_count(), 0u);
    board().detach();
    dac_write(2, 1.0f, 0);
    EXPECT_TRUE(board().bus_log().empty());
}

TEST_F(Mcp4728, DirectWriteClampsWideCodes) {
    mcp4728_dac_write(1, 2, 0xFFFFu, 1);
    EXPECT_EQ(bus_transactions(), (Transactions{{0xC2, 0x44, 0x1F, 0xFF}}));
    EXPECT_EQ(channel(1, 2).gain, 1);
}

TEST_F(Mcp4728, ReadBackTakes24BytesAndDumpPrintsSixteenLines) {
    mcp4728_dac_read(1);
    const Transactions read = bus_transactions();
    ASSERT_EQ(read.size(), 1u);
    ASSERT_EQ(read[0].size(), 25u);
    EXPECT_EQ(read[0][0], 0xC3);
    std::vector<bool> acks = testing::bus_acks();
    EXPECT_EQ(std::count(acks.begin(), acks.end(), false), 1);
    EXPECT_FALSE(acks.back());

    dac_write(5, 1.0f, 0);
    ::testing::internal::CaptureStdout();
    mcp4728_dac_dump();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 17);
    EXPECT_EQ(out.substr(out.size() - 2), "\n\n");
    EXPECT_EQ(out.rfind("DAC R: 0-", 0), 0u);
    const auto r5 = out.find("DAC R: 5-");
    const auto e5 = out.find("DAC E: 5-");
    ASSERT_NE(r5, std::string::npos);
    ASSERT_LT(r5, e5);
    // Channel B of the second DAC: register and EEPROM copy both hold code 1241 (0x4D9).
    EXPECT_NE(out.substr(r5, 20).find(" D9"), std::string::npos) << out.substr(r5, 20);
    EXPECT_NE(out.substr(e5, 20).find(" D9"), std::string::npos) << out.substr(e5, 20);
}

}  // namespace
}  // namespace korvel
