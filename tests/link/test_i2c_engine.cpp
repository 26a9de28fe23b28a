// The bit-banged I2C engine against the simulated bus: bits on the wire, driver-call budgets,
// acknowledges and the busy-bus START.
#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::Call;
using testing::kRestart;
using testing::Transactions;

class I2cEngine : public testing::UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
    }
    template <typename Step>
    static std::uint64_t calls_of(Step step) {
        const std::uint64_t before = usb().total_calls();
        step();
        return usb().total_calls() - before;
    }
};

TEST_F(I2cEngine, BytesCrossMsbFirstAndNobodyAnsweringGoesUnnoticed) {
    // 0x90 addresses nobody; the decoder assembles bits in wire order, so 0xA5 crossed as
    // 1,0,1,0,0,1,0,1. Reading with nobody driving SDA gives 0xFF.
    issue_i2c_start(usb_handle);
    for (int byte : {0x90, 0x1A5, 0x01, 0x80}) tx_i2c_byte(usb_handle, byte);
    EXPECT_EQ(rx_i2c_byte(usb_handle, 1), 0xFF);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(transactions(), (Transactions{{0x90, 0xA5, 0x01, 0x80, 0xFF}}));
    EXPECT_EQ(acks(), std::vector<bool>(5, false));
    EXPECT_EQ(i2c_dir_image, 0x80);  // STOP releases both lines and keeps bits 2..7
    EXPECT_EQ(board().pins() & 0x03, 0x03);
}

TEST_F(I2cEngine, DriverCallBudgets) {
    EXPECT_EQ(calls_of([] { issue_i2c_start(usb_handle); }), 6u);
    for (int byte : {0x00, 0xFF, 0xA5})
        EXPECT_EQ(calls_of([&] { tx_i2c_byte(usb_handle, byte); }), 52u);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA5);  // expander 2, read
    EXPECT_EQ(calls_of([] { rx_i2c_byte(usb_handle, 2); }), 32u + 7u);
    EXPECT_EQ(calls_of([] { rx_i2c_byte(usb_handle, 1); }), 32u + 6u);
    EXPECT_EQ(calls_of([] { issue_i2c_stop(usb_handle); }), 4u);
    EXPECT_EQ(calls_of([] { wait_i2c_scl_high(usb_handle); }), 1u);
    EXPECT_EQ(clock().pause_count(), 0u);
}

TEST_F(I2cEngine, AckModeOneAnswersNackEveryOtherValueAck) {
    board().expander(2).sram = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA4);
    tx_i2c_byte(usb_handle, 0xFA);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA5);
    for (int mode : {2, 0, 3, 255, 1}) rx_i2c_byte(usb_handle, mode);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(transactions(),
              (Transactions{{0xA4, 0xFA, kRestart, 0xA5, 0x11, 0x22, 0x33, 0x44, 0x55}}));
    EXPECT_EQ(acks(), (std::vector<bool>{true, true, true, true, true, true, true, false}));
    EXPECT_EQ(board().contention_count(), 0u);
}

TEST_F(I2cEngine, StartOnABusHeldLowReadsThreeTimesAndWaitsTenMilliseconds) {
    // Leave expander 2 mid-read, driving the 0 MSB of SRAM byte 0xFA onto SDA.
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA4);
    tx_i2c_byte(usb_handle, 0xFA);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA5);
    forget_history();
    EXPECT_EQ(calls_of([] { issue_i2c_start(usb_handle); }), 3u + 5u);
    EXPECT_EQ(usb().calls(Call::GetBitMode), 3u);
    EXPECT_EQ(clock().pause_count(), 10u);
    EXPECT_DOUBLE_EQ(clock().paused_total(), 0.010);
}

TEST_F(I2cEngine, InitTakesItsMaskFromTheSdaLevel) {
    issue_i2c_stop(usb_handle);  // SDA released: reads high
    i2c_init(usb_handle);
    EXPECT_EQ(board().direction(), 0x02);
    i2c_init(usb_handle);  // SDA now driven low
    EXPECT_EQ(board().direction(), 0x00);
    EXPECT_EQ(i2c_dir_image, 0x80);
}

}  // namespace
}  // namespace korvel
