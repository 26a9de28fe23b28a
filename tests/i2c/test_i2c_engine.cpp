// The bit-banged I2C engine against the simulated bus: bits on the wire, driver-call budgets,
// acknowledge handling and the busy-bus START.
#include <vector>

#include "i2c/i2c_engine.h"
#include "link/usb_link.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::BusEvent;
using sim::Call;
using testing::bus_acks;
using testing::bus_transactions;
using testing::kRestart;

constexpr int kExpander2Write = 0xA4;
constexpr int kExpander2Read = 0xA5;

class I2cEngine : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
    // Driver calls made by `step`.
    template <typename Step>
    std::uint64_t calls_of(Step step) {
        const std::uint64_t before = usb().total_calls();
        step();
        return usb().total_calls() - before;
    }
    static std::uint64_t pin_reads() { return usb().calls(Call::GetBitMode); }
};

TEST_F(I2cEngine, TransmitsMsbFirstAsTheBusDecodesIt) {
    // Sent to an address nobody answers, so no chip drives SDA afterwards. The decoder assembles
    // bits in wire order: 0xA5 must have crossed as 1,0,1,0,0,1,0,1.
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0x90);
    for (int byte : {0x1A5, 0x01, 0x80, 0x00, 0xFF}) tx_i2c_byte(usb_handle, byte);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(bus_transactions(),
              (std::vector<std::vector<int>>{{0x90, 0xA5, 0x01, 0x80, 0x00, 0xFF}}));
    const auto& log = board().bus_log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().kind, BusEvent::Kind::Start);
    EXPECT_EQ(log.back().kind, BusEvent::Kind::Stop);
    EXPECT_EQ(board().contention_count(), 0u);
}

TEST_F(I2cEngine, DriverCallBudgetsPerBusStep) {
    EXPECT_EQ(calls_of([] { issue_i2c_start(usb_handle); }), 6u);
    for (int byte : {0x00, 0xFF, 0xA5, 0x5A}) {
        EXPECT_EQ(calls_of([&] { tx_i2c_byte(usb_handle, byte); }), 52u) << byte;
    }
    EXPECT_EQ(calls_of([] { issue_i2c_stop(usb_handle); }), 4u);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Read);
    EXPECT_EQ(calls_of([] { rx_i2c_byte(usb_handle, 2); }), 32u + 7u);
    EXPECT_EQ(calls_of([] { rx_i2c_byte(usb_handle, 1); }), 32u + 6u);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(calls_of([] { wait_i2c_scl_high(usb_handle); }), 1u);
}

TEST_F(I2cEngine, StopReleasesBothLinesAndKeepsTheOtherDirectionBits) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Write);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(i2c_dir_image, 0x80);
    EXPECT_EQ(board().direction(), 0x80);
    EXPECT_EQ(board().pins() & 0x03, 0x03);
    EXPECT_EQ(board().contention_count(), 0u);
}

TEST_F(I2cEngine, NobodyAnsweringGoesUnnoticedAndReadsOnes) {
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0x91);  // no chip at 0x48
    EXPECT_EQ(rx_i2c_byte(usb_handle, 1), 0xFF);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(bus_acks(), (std::vector<bool>{false, false}));
}

TEST_F(I2cEngine, AckModeOneAnswersNackEveryOtherValueAck) {
    board().expander(2).sram = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Write);
    tx_i2c_byte(usb_handle, 0xFA);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Read);
    std::vector<int> got;
    for (int mode : {2, 0, 3, 255, 1}) got.push_back(rx_i2c_byte(usb_handle, mode));
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(got, (std::vector<int>{0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(bus_transactions(), (std::vector<std::vector<int>>{
                                      {0xA4, 0xFA, kRestart, 0xA5, 0x11, 0x22, 0x33, 0x44, 0x55}}));
    EXPECT_EQ(bus_acks(), (std::vector<bool>{true, true, true, true, true, true, true, false}));
    EXPECT_EQ(board().contention_count(), 0u);
}

TEST_F(I2cEngine, StartOnABusHeldLowWaitsTenMillisecondsThenProceeds) {
    // Leave expander 2 in the middle of a read, driving the 0 MSB of SRAM byte 0xFA onto SDA.
    board().expander(2).sram[0] = 0x00;
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Write);
    tx_i2c_byte(usb_handle, 0xFA);
    issue_i2c_stop(usb_handle);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kExpander2Read);
    forget_history();

    issue_i2c_start(usb_handle);
    EXPECT_EQ(pin_reads(), 3u);
    EXPECT_EQ(clock().pause_count(), 10u);
    EXPECT_DOUBLE_EQ(clock().paused_total(), 0.010);
    EXPECT_EQ(usb().total_calls(), 3u + 5u);
}

TEST_F(I2cEngine, IdleStartTakesNoPause) {
    issue_i2c_start(usb_handle);
    EXPECT_EQ(pin_reads(), 1u);
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(I2cEngine, InitTakesItsMaskFromTheSdaLevel) {
    issue_i2c_stop(usb_handle);  // both lines released: SDA reads high
    i2c_init(usb_handle);
    EXPECT_EQ(board().direction(), 0x02);
    i2c_init(usb_handle);  // now SDA is driven low
    EXPECT_EQ(board().direction(), 0x00);
    EXPECT_EQ(i2c_dir_image, 0x80);
}

}  // namespace
}  // namespace korvel
