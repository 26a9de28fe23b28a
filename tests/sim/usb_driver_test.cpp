// The driver side: device list, handles that die, bit-bang pins, user area, counters, virtual time
// and planned faults.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "korvel/sim/usb.h"

namespace korvel::sim {
namespace {

class UsbDriverTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_usb(); }
    Usb& u() { return usb(); }
    Handle open_board(std::uint32_t index = 0) {
        Handle h = 0;
        EXPECT_EQ(u().open(index, h), kOk);
        return h;
    }
    std::uint32_t count() {
        std::uint32_t n = 99;
        EXPECT_EQ(u().create_device_info_list(n), kOk);
        return n;
    }
    std::uint8_t bit_mode(Handle h, Status expect = kOk) {
        std::uint8_t pins = 0;
        EXPECT_EQ(u().get_bit_mode(h, pins), expect);
        return pins;
    }
    Status write(Handle h, std::uint8_t byte) {
        std::uint32_t written = 0;
        return u().write(h, &byte, 1, written);
    }
};

TEST_F(UsbDriverTest, ListShowsBoardAndOtherDevicesWithinCapacity) {
    u().add_other_device("USB Serial", "A100");
    u().add_other_device("Other", "A200");
    u().set_board_position(1);
    u().set_board_list_handle(1);
    std::uint32_t n = 0;
    std::vector<ListEntry> list;
    ASSERT_EQ(u().get_device_info_list(list, 2, n), kOk);
    EXPECT_EQ(n, 3u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].description, "USB Serial");
    EXPECT_EQ(list[1].description, "ZEVA_KORVEL");
    EXPECT_EQ(list[1].serial, "1042");
    EXPECT_EQ(list[1].handle, 1u);  // the override while closed
    const Handle h = open_board(1);
    ListEntry detail;
    EXPECT_EQ(u().get_device_info_detail(1, detail), kOk);
    EXPECT_EQ(detail.handle, h);
    EXPECT_EQ(detail.flags & 1u, 1u);
    EXPECT_EQ(u().get_device_info_detail(3, detail), kDeviceNotFound);

    u().board().detach();
    EXPECT_EQ(count(), 2u);
    u().clear_other_devices();
    EXPECT_EQ(count(), 0u);
}

TEST_F(UsbDriverTest, ClosedUnknownAndDeadHandlesFailWithoutEffect) {
    Handle h = open_board();
    Handle other = 0;
    EXPECT_EQ(u().open(0, other), kDeviceNotOpened);  // already open
    EXPECT_EQ(u().open(7, other), kDeviceNotFound);
    ASSERT_EQ(u().close(h), kOk);
    EXPECT_EQ(write(h, 0x55), kInvalidHandle);
    EXPECT_EQ(u().close(h), kInvalidHandle);
    bit_mode(12345, kInvalidHandle);

    h = open_board();
    ASSERT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);
    u().board().detach();
    u().board().attach();
    EXPECT_NE(write(h, 0x55), kOk);  // the handle died with the unplug
    EXPECT_NE(u().set_bit_mode(h, 0xFF, 1), kOk);
    EXPECT_EQ(u().board().pins(), kIdlePinLevels);
    h = open_board();  // and the next open works
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);

    EXPECT_EQ(u().cycle_port(h), kOk);  // re-enumeration drops the handle, not the unit's power
    bit_mode(h, kIoError);
    EXPECT_TRUE(u().board().attached());
}

TEST_F(UsbDriverTest, WriteAppliesBytesInTurnAndOtherDevicesKeepTheirOwnPins) {
    const Handle h = open_board();
    ASSERT_EQ(u().set_bit_mode(h, 0xFC, 1), kOk);
    const std::uint8_t bytes[] = {0x10, 0x14, 0x10, 0x14};
    std::uint32_t written = 0;
    ASSERT_EQ(u().write(h, bytes, 4, written), kOk);
    EXPECT_EQ(written, 4u);
    EXPECT_EQ(bit_mode(h), 0x14 | 0x03);
    EXPECT_EQ(u().write(h, nullptr, 3, written), kInvalidParameter);
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 2), kInvalidParameter);

    u().add_other_device("USB Serial", "A100");
    const Handle o = open_board(1);
    ASSERT_EQ(u().set_bit_mode(o, 0x0F, 1), kOk);
    ASSERT_EQ(write(o, 0x05), kOk);
    EXPECT_EQ(bit_mode(o), 0xF5);
    EXPECT_EQ(bit_mode(h), 0x14 | 0x03);
}

TEST_F(UsbDriverTest, UserAreaReadsAndWritesFromItsStart) {
    const Handle h = open_board();
    std::uint32_t size = 0;
    ASSERT_EQ(u().ee_ua_size(h, size), kOk);
    EXPECT_EQ(size, 54u);  // (48 - ("ZEVA" 4 + "ZEVA_KORVEL" 11 + "10" 2 + "1042" 4)) x 2
    std::vector<std::uint8_t> rec(30, 0xA5), back(100, 0);
    ASSERT_EQ(u().ee_ua_write(h, rec.data(), 30), kOk);
    std::uint32_t read = 0;
    ASSERT_EQ(u().ee_ua_read(h, back.data(), 100, read), kOk);
    EXPECT_EQ(read, 54u);
    EXPECT_EQ(back[29], 0xA5);
    EXPECT_EQ(back[30], 0x00);
    std::vector<std::uint8_t> big(55, 1);
    EXPECT_EQ(u().ee_ua_write(h, big.data(), static_cast<std::uint32_t>(big.size())),
              kInvalidParameter);
    EXPECT_EQ(u().board().user_area()[30], 0x00);
}

TEST_F(UsbDriverTest, UserAreaSizeFollowsTheDevicesStrings) {
    u().add_other_device("USB Serial", "A100");  // "FTDI" 4 + 10 + 2 + 4 characters
    const Handle board = open_board(0);
    const Handle other = open_board(1);
    auto size_of = [&](Handle h) {
        std::uint32_t size = 0;
        EXPECT_EQ(u().ee_ua_size(h, size), kOk);
        return size;
    };
    EXPECT_EQ(size_of(other), 56u);
    u().board().serial = "7";  // one character: ManufacturerId has one
    EXPECT_EQ(size_of(board), 62u);
    u().board().serial = "";
    EXPECT_EQ(size_of(board), 66u);
    u().board().serial = "0123456789012345678901234567890123";  // strings fill the 48 words
    EXPECT_EQ(size_of(board), 0u);
    std::uint8_t byte = 1;
    std::uint32_t read = 9;
    EXPECT_EQ(u().ee_ua_write(board, &byte, 1), kInvalidParameter);
    EXPECT_EQ(u().ee_ua_read(board, &byte, 1, read), kOk);
    EXPECT_EQ(read, 0u);
}

TEST_F(UsbDriverTest, StateFilesWithTheOlderShorterUserAreaStillLoad) {
    const std::string path = ::testing::TempDir() + "korvel_short_user_area.json";
    std::ofstream(path) << R"({"user_area": ")" << std::string(46 * 2, 'a') << R"("})";
    {
        Usb a;
        ASSERT_TRUE(a.load_state(path));
        EXPECT_EQ(a.board().user_area()[45], 0xAA);
        EXPECT_EQ(a.board().user_area()[46], 0x00);
        EXPECT_EQ(a.board().user_area().size(), kUserAreaCapacity);
    }  // saves the full area back

    std::ofstream(path) << R"({"user_area": ")" << std::string(97 * 2, 'a') << R"("})";
    {
        Usb b;
        std::string error;
        EXPECT_FALSE(b.load_state(path, &error));
        EXPECT_NE(error.find("at most 192 hex digits"), std::string::npos) << error;
    }
    std::remove(path.c_str());
}

TEST_F(UsbDriverTest, PinCallsTakeOneMicrosecondAndPausesTheirLength) {
    const Handle h = open_board();
    const auto t0 = u().now_us();
    u().set_bit_mode(h, 0xFF, 1);
    bit_mode(h);
    std::vector<std::uint8_t> many(1024, 0x60);
    std::uint32_t written = 0;
    u().write(h, many.data(), 1024, written);
    u().pause(0.02);
    u().pause(-1);
    EXPECT_EQ(u().now_us() - t0, 20003u);
    EXPECT_EQ(u().calls(Call::Write), 1u);
    EXPECT_EQ(u().total_calls(), 4u);
    u().reset_counters();
    EXPECT_EQ(u().total_calls(), 0u);
}

TEST_F(UsbDriverTest, PlannedFailureHitsTheNthCallOfItsKindOnly) {
    const Handle h = open_board();
    u().set_bit_mode(h, 0xFF, 1);
    u().fail_call(Call::Write, 2, kIoError);
    EXPECT_EQ(write(h, 0x10), kOk);
    bit_mode(h);
    EXPECT_EQ(write(h, 0x14), kIoError);
    EXPECT_EQ(u().board().pins(), 0x10);  // no effect
    EXPECT_EQ(write(h, 0x14), kOk);
    EXPECT_EQ(u().board().pins(), 0x14);
}

TEST_F(UsbDriverTest, DetachBeforeTheNthCallOfAnyKind) {
    const Handle h = open_board();
    u().detach_before_call(3);
    EXPECT_EQ(u().set_bit_mode(h, 0xFF, 1), kOk);
    bit_mode(h);
    EXPECT_TRUE(u().board().attached());
    bit_mode(h, kIoError);
    EXPECT_FALSE(u().board().attached());
    EXPECT_EQ(count(), 0u);

    // The first answer tells the program the unit is gone; naming the handle again is counted,
    // closing it is not.
    EXPECT_EQ(u().lost_handle_calls(), 0u);
    EXPECT_EQ(write(h, 0x10), kIoError);
    bit_mode(h, kIoError);
    EXPECT_EQ(u().lost_handle_calls(), 2u);
    EXPECT_EQ(u().close(h), kIoError);
    EXPECT_EQ(u().lost_handle_calls(), 2u);
    u().reset_counters();
    EXPECT_EQ(u().lost_handle_calls(), 0u);
}

}  // namespace
}  // namespace korvel::sim
