// Discovery, open, close and the buffered writer of the USB link, against the simulated unit.
#include <cstring>
#include <string>

#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::Call;
using UsbLink = testing::UnitFixture;

TEST_F(UsbLink, DiscoveryMatchesEitherDescriptionWithoutCaseOverTheWholeString) {
    for (const char* name : {"ZEVA_KORVEL", "zeva_korvel", "ZEVA~KORVEL"}) {
        board().description = name;
        EXPECT_EQ(usb_aliveQ(), 1) << name;
    }
    for (const char* name : {"ZEVA_KORVELX", "ZEVA_KORVE", "ZEVA-KORVEL", ""}) {
        board().description = name;
        EXPECT_EQ(usb_aliveQ(), 0) << name;
    }
    board().detach();
    EXPECT_EQ(usb_aliveQ(), 0);
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb().calls(Call::CyclePort) + usb().calls(Call::Open), 0u);
}

TEST_F(UsbLink, OnlyDiscoverySetsTheChipFlagAndNothingClearsIt) {
    board().description = "zeva~korvel";
    ASSERT_EQ(init_usb(), 1);
    EXPECT_EQ(std::getenv(kChipFlagVariable), nullptr);
    EXPECT_EQ(usb_aliveQ(), 1);
    board().description = "ZEVA_KORVEL";
    EXPECT_EQ(usb_aliveQ(), 1);
    EXPECT_STREQ(std::getenv(kChipFlagVariable), "1");
}

// The divider code asks the link, not the environment, which another part of the process (or a
// parent that exported the variable) may change at any time.
TEST_F(UsbLink, TheNotedVariantIsTheLinksOwnWhateverTheEnvironmentSays) {
    setenv(kChipFlagVariable, "1", 1);
    board().description = "ZEVA_KORVEL";
    EXPECT_FALSE(note_unit_variant());
    board().description = "ZEVA~KORVEL";
    EXPECT_EQ(usb_aliveQ(), 1);
    unsetenv(kChipFlagVariable);
    EXPECT_TRUE(alternate_variant_noted());
}

TEST_F(UsbLink, InitOpensTheUnitOrElseDeviceZeroKeepingTheOldSerial) {
    board().serial = "2207";
    ASSERT_EQ(init_usb(), 1);
    EXPECT_STREQ(device_serial, "2207");
    EXPECT_EQ(usb().calls(Call::SetBaudRate), 1u);
    EXPECT_EQ(usb().calls(Call::SetBitMode), 2u);  // all outputs, then the I2C start-up mask
    EXPECT_EQ(init_usb(), 1);                      // reopening releases the old handle first
    EXPECT_EQ(usb().calls(Call::Close), 1u);
    usb().fail_call(Call::GetDeviceInfoList, 1);  // a failed list read cycles the open port
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb().calls(Call::CyclePort), 1u);

    board().description = "FT232R USB UART";
    board().serial = "9999";
    EXPECT_EQ(init_usb(), 1);
    EXPECT_STREQ(device_serial, "2207");
    EXPECT_TRUE(usb_handle_usable());
}

TEST_F(UsbLink, NeverMoreThanTenRecordsAreReadOrWalked) {
    for (int i = 0; i < 14; ++i) usb().add_other_device("FT232R USB UART", "X" + std::to_string(i));
    usb().set_board_position(9);
    EXPECT_EQ(usb_aliveQ(), 1);
    usb().set_board_position(10);
    EXPECT_EQ(usb_aliveQ(), 0);
    EXPECT_STREQ(device_info_list[kDeviceListSize - 1].SerialNumber, "X9");
}

TEST_F(UsbLink, ClosedOrUnusableHandleNeverReachesTheDriver) {
    open_unit();
    close();
    close();
    EXPECT_EQ(usb_input(), 0);
    usb_output(1);
    issue_i2c_start(usb_handle);
    EXPECT_EQ(rx_i2c_byte(usb_handle, 1), 0xFF);
    EXPECT_EQ(usb().total_calls(), 1u);  // the one FT_Close
    EXPECT_EQ(init_usb(), 1);
    EXPECT_EQ(usb_input(), board().pins());

    close();
    usb().set_board_list_handle(1);  // a list handle of 1 marks the device unusable
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb_handle, reinterpret_cast<FT_HANDLE>(1));
    usb_out_count = 5;
    usb_output(1);
    EXPECT_EQ(usb_out_count, 5);
}

TEST_F(UsbLink, AUnitUnpluggedAndBackBetweenCallsLeavesItsHandleLostUntilReopened) {
    open_unit();
    EXPECT_FALSE(usb_link_lost());
    board().detach();
    board().attach();
    EXPECT_EQ(usb_aliveQ(), 1);  // listed again, but the handle belongs to the old device
    EXPECT_EQ(usb_input(), 0);
    EXPECT_TRUE(usb_link_lost());
    EXPECT_EQ(init_usb(), 1);
    EXPECT_FALSE(usb_link_lost());
    EXPECT_EQ(usb_input(), board().pins());
}

// The unit vanishing while the freshly opened link sets the I2C lines idle is a failed open: the
// caller must not take the unit as set up (the supervision would report it connected).
TEST_F(UsbLink, AUnitGoneWhileItsLinesAreSetIdleIsNotReportedOpen) {
    usb().reset_counters();
    ASSERT_EQ(init_usb(), 1);
    const std::uint64_t calls = usb().total_calls();
    close();
    usb().reset_counters();
    usb().detach_before_call(calls);  // the last one: the I2C engine's idle-line setting
    EXPECT_EQ(init_usb(), 0);
    EXPECT_FALSE(usb_handle_usable());
    board().attach();
    EXPECT_EQ(init_usb(), 1);
    EXPECT_EQ(usb().invalid_handle_calls(), 0u);
}

// Bytes are seen where they land: the FPGA receiver clocks in a bit per rising edge of D2 while
// D6 is low. Byte 0 deselects; then clock low and high alternate.
TEST_F(UsbLink, WriterFlushesAtTheFull1024BytesOrWhenAsked) {
    open_unit();
    FT_SetBitMode(usb_handle, 0xFF, 1);
    auto emit = [](int n, int flush) {
        fpga_pin_image = n == 0 ? 0x60 : (n % 2 == 1 ? 0x30 : 0x34);
        usb_output(flush);
    };
    for (int n = 0; n < 1023; ++n) emit(n, 0);
    EXPECT_EQ(usb().calls(Call::Write), 0u);
    emit(1023, 0);
    EXPECT_EQ(usb().calls(Call::Write), 1u);
    EXPECT_EQ(board().fpga().pattern_bits.size(), 511u);

    for (int n = 0; n < 9; ++n) emit(n, 0);
    emit(9, 1);
    EXPECT_EQ(usb().calls(Call::Write), 2u);
    EXPECT_EQ(usb_out_count, 0);
    EXPECT_EQ(board().fpga().pattern_bits.size(), 4u);  // all ten bytes arrived
}

}  // namespace
}  // namespace korvel
