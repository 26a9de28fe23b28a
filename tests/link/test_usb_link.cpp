// Discovery, open, close and the buffered writer of the USB link, against the simulated unit.
#include <cstdlib>
#include <cstring>
#include <string>

#include "i2c/i2c_engine.h"
#include "link/usb_link.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using sim::Call;
using testing::UnitFixture;

using UsbDiscovery = UnitFixture;

TEST_F(UsbDiscovery, NoDeviceAttachedFindsNothingAndDoesNotCyclePort) {
    board().detach();
    EXPECT_EQ(usb_aliveQ(), 0);
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb().calls(Call::CyclePort), 0u);
    EXPECT_EQ(usb().calls(Call::Open), 0u);
}

TEST_F(UsbDiscovery, DescriptionsMatchWithoutCaseButOverTheWholeString) {
    for (const char* accepted : {"ZEVA_KORVEL", "zeva_korvel", "Zeva~Korvel", "ZEVA~KORVEL"}) {
        board().description = accepted;
        EXPECT_EQ(usb_aliveQ(), 1) << accepted;
    }
    for (const char* refused : {"ZEVA_KORVELX", "ZEVA_KORVEL ", "ZEVA_KORVE", "ZEVA-KORVEL", ""}) {
        board().description = refused;
        EXPECT_EQ(usb_aliveQ(), 0) << refused;
    }
}

TEST_F(UsbDiscovery, AlternateDescriptionSetsChipFlagOnlyThroughDiscovery) {
    board().description = "zeva~korvel";
    ASSERT_EQ(init_usb(), 1);
    EXPECT_EQ(std::getenv(kChipFlagVariable), nullptr);
    EXPECT_EQ(usb_aliveQ(), 1);
    ASSERT_NE(std::getenv(kChipFlagVariable), nullptr);
    EXPECT_STREQ(std::getenv(kChipFlagVariable), "1");
    // Never cleared, even when the primary unit replaces it.
    board().description = "ZEVA_KORVEL";
    EXPECT_EQ(usb_aliveQ(), 1);
    EXPECT_STREQ(std::getenv(kChipFlagVariable), "1");
}

TEST_F(UsbDiscovery, InitUsbOpensTheUnitInBitBangModeAndKeepsItsSerial) {
    board().serial = "2207";
    ASSERT_EQ(init_usb(), 1);
    EXPECT_TRUE(usb_handle_usable());
    EXPECT_STREQ(device_serial, "2207");
    EXPECT_EQ(usb().calls(Call::Open), 1u);
    EXPECT_EQ(usb().calls(Call::SetBaudRate), 1u);
    // Bit-bang with all outputs, then the I2C start-up mask.
    EXPECT_EQ(usb().calls(Call::SetBitMode), 2u);
    EXPECT_EQ(board().direction() & 0xFD, 0x00);
}

TEST_F(UsbDiscovery, NonMatchingDeviceIsOpenedAtIndexZeroWithSerialUnchanged) {
    board().description = "FT232R USB UART";
    std::strcpy(device_serial, "0815");
    EXPECT_EQ(usb_aliveQ(), 0);
    EXPECT_EQ(init_usb(), 1);
    EXPECT_STREQ(device_serial, "0815");
    EXPECT_EQ(usb().calls(Call::Open), 1u);
    EXPECT_GE(usb().calls(Call::SetBitMode), 1u);
}

TEST_F(UsbDiscovery, ListHandleOfOneRefusesTheOpenAndBlocksTheWriter) {
    usb().set_board_list_handle(1);
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb().calls(Call::Open), 0u);
    EXPECT_EQ(usb_handle, reinterpret_cast<FT_HANDLE>(1));
    usb_out_count = 5;
    usb_output(1);
    EXPECT_EQ(usb_out_count, 5);
    EXPECT_EQ(usb_input(), 0);
    EXPECT_EQ(usb().calls(Call::Write) + usb().calls(Call::GetBitMode), 0u);
}

TEST_F(UsbDiscovery, NeverMoreThanTenRecordsAreReadOrWalked) {
    for (int i = 0; i < 14; ++i) usb().add_other_device("FT232R USB UART", "X" + std::to_string(i));
    usb().set_board_position(9);  // the tenth record: still seen
    EXPECT_EQ(usb_aliveQ(), 1);
    usb().set_board_position(10);  // beyond the list the program keeps
    EXPECT_EQ(usb_aliveQ(), 0);
    std::strcpy(device_serial, "0815");
    EXPECT_EQ(init_usb(), 1);  // falls back to index 0, a stranger
    EXPECT_STREQ(device_serial, "0815");
    EXPECT_STREQ(device_info_list[kDeviceListSize - 1].SerialNumber, "X9");
}

using UsbHandle = UnitFixture;

TEST_F(UsbHandle, ClosedHandleIsNeverPassedToTheDriverAgain) {
    open_unit();
    close();
    EXPECT_EQ(usb().calls(Call::Close), 1u);
    EXPECT_FALSE(usb_handle_usable());
    close();
    EXPECT_EQ(usb_input(), 0);
    usb_output(1);
    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, 0xA4);
    EXPECT_EQ(rx_i2c_byte(usb_handle, 1), 0xFF);
    issue_i2c_stop(usb_handle);
    EXPECT_EQ(usb().total_calls(), 1u);  // the one FT_Close
    EXPECT_EQ(clock().pause_count(), 0u);
    // A new open works and the handle is usable again.
    EXPECT_EQ(init_usb(), 1);
    EXPECT_TRUE(usb_handle_usable());
}

TEST_F(UsbHandle, ReopenWithoutCloseReleasesTheOldHandleFirst) {
    open_unit();
    EXPECT_EQ(init_usb(), 1);
    EXPECT_EQ(usb().calls(Call::Close), 1u);
    EXPECT_EQ(usb().calls(Call::Open), 1u);
    EXPECT_TRUE(usb_handle_usable());
}

TEST_F(UsbHandle, UsbInputReadsThePinLevels) {
    open_unit();
    EXPECT_EQ(usb_input(), board().pins());
    usb().fail_call(Call::GetBitMode, 1);
    EXPECT_EQ(usb_input(), 0);
}

// The writer's bytes are observed where they land: the FPGA receiver clocks in one bit per rising
// edge of D2 while D6 is low.
class UsbWriter : public UnitFixture {
  protected:
    void SetUp() override {
        UnitFixture::SetUp();
        open_unit();
        FT_SetBitMode(usb_handle, 0xFF, 1);
    }
    // Pin byte n of a stream that starts deselected and then clocks ones into the pattern memory.
    static void emit(int n, int flush) {
        fpga_pin_image = n == 0 ? 0x60 : (n % 2 == 1 ? 0x30 : 0x34);
        usb_output(flush);
    }
    static std::size_t bits_received() { return board().fpga().pattern_bits.size(); }
};

TEST_F(UsbWriter, BufferOf1024IsWrittenOnceWhenFull) {
    for (int n = 0; n < 1023; ++n) emit(n, 0);
    EXPECT_EQ(usb().calls(Call::Write), 0u);
    EXPECT_EQ(usb_out_count, 1023);
    emit(1023, 0);
    EXPECT_EQ(usb().calls(Call::Write), 1u);
    EXPECT_EQ(usb_out_count, 0);
    EXPECT_EQ(bits_received(), 511u);  // rising edges at bytes 2, 4, ... 1022
}

TEST_F(UsbWriter, FlushWritesTheWaitingBytesAndTheNewOne) {
    for (int n = 0; n < 9; ++n) emit(n, 0);
    emit(9, 1);
    EXPECT_EQ(usb().calls(Call::Write), 1u);
    EXPECT_EQ(usb_out_count, 0);
    EXPECT_EQ(bits_received(), 4u);  // rising edges at bytes 2, 4, 6, 8: all ten bytes arrived
    EXPECT_EQ(board().latch(), 0x30);
}

}  // namespace
}  // namespace korvel
