// The driver side: device list, open and close, handles that die, bit-bang pins, user area,
// counters, virtual time and planned faults.
#include <gtest/gtest.h>

#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::sim {
namespace {

class UsbDriverTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_usb(); }
    Usb& u() { return usb(); }
    Handle open_board() {
        Handle h = 0;
        EXPECT_EQ(u().open(0, h), kOk);
        EXPECT_NE(h, 0u);
        return h;
    }
};

TEST_F(UsbDriverTest, ListShowsBoardAndOtherDevicesWithinCapacity) {
    u().add_other_device("USB Serial", "A100");
    u().add_other_device("Other", "A200");
    u().set_board_position(1);
    std::uint32_t n = 0;
    ASSERT_EQ(u().create_device_info_list(n), kOk);
    EXPECT_EQ(n, 3u);
    std::vector<ListEntry> list;
    ASSERT_EQ(u().get_device_info_list(list, 2, n), kOk);
    EXPECT_EQ(n, 3u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].description, "USB Serial");
    EXPECT_EQ(list[1].description, "ZEVA_KORVEL");
    EXPECT_EQ(list[1].serial, "1042");
    EXPECT_EQ(list[1].type, 5u);
    EXPECT_EQ(list[1].handle, 0u);

    ListEntry detail;
    EXPECT_EQ(u().get_device_info_detail(1, detail), kOk);
    EXPECT_EQ(detail.serial, "1042");
    EXPECT_EQ(u().get_device_info_detail(3, detail), kDeviceNotFound);

    u().board().detach();
    ASSERT_EQ(u().create_device_info_list(n), kOk);
    EXPECT_EQ(n, 2u);
    u().clear_other_devices();
    ASSERT_EQ(u().create_device_info_list(n), kOk);
    EXPECT_EQ(n, 0u);
}

TEST_F(UsbDriverTest, ListHandleFieldIsTheOpenHandleOrTheOverride) {
    u().set_board_list_handle(1);
    std::uint32_t n = 0;
    std::vector<ListEntry> list;
    u().get_device_info_list(list, 10, n);
    EXPECT_EQ(list.at(0).handle, 1u);
    const Handle h = open_board();
    u().get_device_info_list(list, 10, n);
    EXPECT_EQ(list.at(0).handle, h);
    EXPECT_EQ(list.at(0).flags & 1u, 1u);
}

TEST_F(UsbDriverTest, ClosedUnknownAndDeadHandlesFailWithoutEffect) {
    Handle h = open_board();
    Handle other = 0;
    EXPECT_EQ(u().open(0, other), kDeviceNotOpened);  // already open
    ASSERT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);
    EXPECT_EQ(u().close(h), kOk);
    std::uint8_t pins = 0;
    std::uint32_t written = 0;
    const std::uint8_t byte = 0x55;
    EXPECT_EQ(u().write(h, &byte, 1, written), kInvalidHandle);
    EXPECT_EQ(u().close(h), kInvalidHandle);
    EXPECT_EQ(u().get_bit_mode(12345, pins), kInvalidHandle);
    EXPECT_EQ(u().open(7, other), kDeviceNotFound);

    h = open_board();
    u().board().detach();
    u().board().attach();
    EXPECT_NE(u().write(h, &byte, 1, written), kOk);  // the handle died with the unplug
    EXPECT_NE(u().set_bit_mode(h, 0xFF, 1), kOk);
    EXPECT_EQ(u().board().pins(), kIdlePinLevels);
    h = open_board();  // and the next open works
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);
}

TEST_F(UsbDriverTest, WriteAppliesEveryByteInTurnAndBitModeReadsPins) {
    const Handle h = open_board();
    ASSERT_EQ(u().set_bit_mode(h, 0xFC, 1), kOk);
    const std::uint8_t bytes[] = {0x10, 0x14, 0x10, 0x14};
    std::uint32_t written = 0;
    ASSERT_EQ(u().write(h, bytes, 4, written), kOk);
    EXPECT_EQ(written, 4u);
    std::uint8_t pins = 0;
    ASSERT_EQ(u().get_bit_mode(h, pins), kOk);
    EXPECT_EQ(pins, 0x14 | 0x03);
    EXPECT_EQ(u().write(h, nullptr, 3, written), kInvalidParameter);
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 2), kInvalidParameter);
}

TEST_F(UsbDriverTest, OtherDevicesOpenAndReadBackTheirOwnPins) {
    u().add_other_device("USB Serial", "A100");
    u().set_board_position(1);
    Handle h = 0;
    ASSERT_EQ(u().open(0, h), kOk);
    ASSERT_EQ(u().set_bit_mode(h, 0x0F, 1), kOk);
    const std::uint8_t b = 0x05;
    std::uint32_t written = 0;
    ASSERT_EQ(u().write(h, &b, 1, written), kOk);
    std::uint8_t pins = 0;
    ASSERT_EQ(u().get_bit_mode(h, pins), kOk);
    EXPECT_EQ(pins, 0xF5);
    EXPECT_EQ(u().board().pins(), kIdlePinLevels);  // the board saw nothing
}

TEST_F(UsbDriverTest, UserAreaReadsAndWritesFromItsStart) {
    EXPECT_GE(kUserAreaSize, 30u);
    const Handle h = open_board();
    std::uint32_t size = 0;
    ASSERT_EQ(u().ee_ua_size(h, size), kOk);
    EXPECT_EQ(size, kUserAreaSize);
    std::vector<std::uint8_t> rec(30, 0xA5);
    ASSERT_EQ(u().ee_ua_write(h, rec.data(), 30), kOk);
    std::vector<std::uint8_t> back(100, 0);
    std::uint32_t read = 0;
    ASSERT_EQ(u().ee_ua_read(h, back.data(), 100, read), kOk);
    EXPECT_EQ(read, kUserAreaSize);
    EXPECT_EQ(back[29], 0xA5);
    EXPECT_EQ(back[30], 0x00);
    std::vector<std::uint8_t> big(kUserAreaSize + 1, 1);
    EXPECT_EQ(u().ee_ua_write(h, big.data(), static_cast<std::uint32_t>(big.size())),
              kInvalidParameter);
    EXPECT_EQ(u().board().user_area()[30], 0x00);
}

TEST_F(UsbDriverTest, PinCallsTakeOneMicrosecondAndPausesTheirLength) {
    const Handle h = open_board();
    const auto t0 = u().now_us();
    u().set_bit_mode(h, 0xFF, 1);
    std::uint8_t pins = 0;
    u().get_bit_mode(h, pins);
    std::vector<std::uint8_t> many(1024, 0x60);
    std::uint32_t written = 0;
    u().write(h, many.data(), 1024, written);
    EXPECT_EQ(u().now_us() - t0, 3u);
    u().pause(0.02);
    EXPECT_EQ(u().now_us() - t0, 20003u);
    u().pause(-1);
    EXPECT_EQ(u().now_us() - t0, 20003u);
    EXPECT_EQ(u().calls(Call::Write), 1u);
    EXPECT_EQ(u().calls(Call::Open), 1u);
    EXPECT_EQ(u().total_calls(), 4u);
    u().reset_counters();
    EXPECT_EQ(u().total_calls(), 0u);
}

TEST_F(UsbDriverTest, PlannedFailureHitsTheNthCallOfItsKindOnly) {
    const Handle h = open_board();
    u().set_bit_mode(h, 0xFF, 1);
    u().fail_call(Call::Write, 2, kIoError);
    const std::uint8_t a = 0x10, b = 0x14;
    std::uint32_t written = 0;
    std::uint8_t pins = 0;
    EXPECT_EQ(u().write(h, &a, 1, written), kOk);
    EXPECT_EQ(u().get_bit_mode(h, pins), kOk);
    EXPECT_EQ(u().write(h, &b, 1, written), kIoError);
    EXPECT_EQ(u().board().pins(), 0x10);  // no effect
    EXPECT_EQ(u().write(h, &b, 1, written), kOk);
    EXPECT_EQ(u().board().pins(), 0x14);
}

TEST_F(UsbDriverTest, DetachBeforeTheNthCallOfAnyKind) {
    const Handle h = open_board();
    u().detach_before_call(3);
    std::uint8_t pins = 0;
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);
    EXPECT_EQ(u().get_bit_mode(h, pins), kOk);
    EXPECT_TRUE(u().board().attached());
    EXPECT_NE(u().get_bit_mode(h, pins), kOk);
    EXPECT_FALSE(u().board().attached());
    std::uint32_t n = 5;
    EXPECT_EQ(u().create_device_info_list(n), kOk);
    EXPECT_EQ(n, 0u);
}

TEST_F(UsbDriverTest, CyclePortDropsTheHandleButKeepsTheUnitPowered) {
    Handle h = open_board();
    u().board().expander(2).control = 0x0AA;
    EXPECT_EQ(u().cycle_port(h), kOk);
    std::uint8_t pins = 0;
    EXPECT_NE(u().get_bit_mode(h, pins), kOk);
    EXPECT_EQ(u().board().expander(2).control, 0x0AA);
    h = open_board();
}

}  // namespace
}  // namespace korvel::sim
