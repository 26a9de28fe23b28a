// The FT_* operations against the simulated unit: what crosses the simulated cable.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "base/clock.h"
#include "ftdi/backend_select.h"
#include "ftdi/device_state.h"
#include "ftdi/ftd2xx.h"
#include "korvel/sim/usb.h"

namespace {

class SimDriver : public testing::Test {
  protected:
    void SetUp() override { korvel::ftdi::use_fresh_simulated_unit(); }

    FT_HANDLE open_board() {
        DWORD count = 0;
        EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_Open(0, &h), FT_OK);
        EXPECT_NE(h, nullptr);
        return h;
    }
};

TEST_F(SimDriver, ListsTheAttachedBoard) {
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    ASSERT_EQ(count, 1u);
    std::array<FT_DEVICE_LIST_INFO_NODE, 10> list{};
    count = 10;
    ASSERT_EQ(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(list[0].Description, "ZEVA_KORVEL");
    EXPECT_STREQ(list[0].SerialNumber, "1042");
    EXPECT_EQ(list[0].Type, FT_DEVICE_232R);
    EXPECT_EQ(list[0].ftHandle, nullptr);

    char serial[16] = {};
    char description[64] = {};
    DWORD type = 0;
    ASSERT_EQ(
        FT_GetDeviceInfoDetail(0, nullptr, &type, nullptr, nullptr, serial, description, nullptr),
        FT_OK);
    EXPECT_STREQ(serial, "1042");
    EXPECT_STREQ(description, "ZEVA_KORVEL");
    EXPECT_EQ(type, FT_DEVICE_232R);
}

TEST_F(SimDriver, ListNeverWritesPastItsCapacityAndTruncatesTexts) {
    const std::string long_description(100, 'D');
    const std::string long_serial(40, '7');
    for (int i = 0; i < 12; ++i) korvel::sim::usb().add_other_device(long_description, long_serial);
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    ASSERT_EQ(count, 13u);

    std::array<FT_DEVICE_LIST_INFO_NODE, 12> list;
    std::memset(list.data(), 0xA5, sizeof list);
    count = 10;
    ASSERT_EQ(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    EXPECT_EQ(count, 13u);  // the number of devices, more than was written
    for (std::size_t i = 10; i < list.size(); ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&list[i]);
        for (std::size_t b = 0; b < sizeof list[i]; ++b) ASSERT_EQ(bytes[b], 0xA5) << i;
    }
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(list[i].Description[63], '\0');
        EXPECT_EQ(list[i].SerialNumber[15], '\0');
    }
    EXPECT_EQ(std::string(list[1].Description), std::string(63, 'D'));
    EXPECT_EQ(std::string(list[1].SerialNumber), std::string(15, '7'));
}

TEST_F(SimDriver, BitBangWriteDrivesThePinsInOrder) {
    FT_HANDLE h = open_board();
    ASSERT_EQ(FT_SetBaudRate(h, 921600), FT_OK);
    ASSERT_EQ(FT_SetBitMode(h, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_OK);
    EXPECT_EQ(korvel::sim::usb().board().direction(), 0xFF);

    const UCHAR bytes[] = {0x00, 0x40, 0x14};
    DWORD written = 0;
    ASSERT_EQ(FT_Write(h, bytes, sizeof bytes, &written), FT_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(korvel::sim::usb().board().latch(), 0x14);  // the last byte stays on the pins
    UCHAR pins = 0;
    ASSERT_EQ(FT_GetBitMode(h, &pins), FT_OK);
    EXPECT_EQ(pins, 0x14);
    EXPECT_EQ(korvel::sim::usb().calls(korvel::sim::Call::Write), 1u);
    EXPECT_EQ(FT_Close(h), FT_OK);
}

TEST_F(SimDriver, AClosedHandleIsRefusedAndReachesNoPin) {
    FT_HANDLE h = open_board();
    ASSERT_EQ(FT_SetBitMode(h, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_OK);
    const UCHAR first = 0x10;
    ASSERT_EQ(FT_Write(h, &first, 1, nullptr), FT_OK);
    ASSERT_EQ(FT_Close(h), FT_OK);

    const UCHAR later = 0x04;
    DWORD written = 9;
    EXPECT_NE(FT_Write(h, &later, 1, &written), FT_OK);
    EXPECT_EQ(written, 0u);
    EXPECT_NE(FT_SetBitMode(h, 0x00, FT_BITMODE_ASYNC_BITBANG), FT_OK);
    UCHAR pins = 0xEE;
    EXPECT_NE(FT_GetBitMode(h, &pins), FT_OK);
    EXPECT_EQ(pins, 0xEE);
    EXPECT_NE(FT_Close(h), FT_OK);
    EXPECT_EQ(korvel::sim::usb().board().latch(), 0x10);
    EXPECT_EQ(korvel::sim::usb().board().direction(), 0xFF);
}

TEST_F(SimDriver, DriverFailuresComeThroughWithTheirStatus) {
    FT_HANDLE h = open_board();
    korvel::sim::usb().fail_call(korvel::sim::Call::Write, 1, korvel::sim::kInvalidArgs);
    const UCHAR byte = 0x01;
    EXPECT_EQ(FT_Write(h, &byte, 1, nullptr), FT_INVALID_ARGS);
    EXPECT_EQ(FT_Write(h, &byte, 1, nullptr), FT_OK);
    EXPECT_FALSE(korvel::ftdi::handle_lost(h));
}

TEST_F(SimDriver, AHandleWhoseDeviceIsGoneIsLostUntilClosed) {
    FT_HANDLE h = open_board();
    korvel::sim::usb().fail_call(korvel::sim::Call::Write, 1, korvel::sim::kIoError);
    const UCHAR byte = 0x01;
    EXPECT_EQ(FT_Write(h, &byte, 1, nullptr), FT_IO_ERROR);
    EXPECT_TRUE(korvel::ftdi::handle_lost(h));
    FT_Close(h);
    EXPECT_FALSE(korvel::ftdi::handle_lost(h));
}

TEST_F(SimDriver, UserAreaRoundTrip) {
    FT_HANDLE h = open_board();
    DWORD size = 0;
    ASSERT_EQ(FT_EE_UASize(h, &size), FT_OK);
    ASSERT_GE(size, 30u);
    std::vector<UCHAR> record(30);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<UCHAR>(i + 100);
    ASSERT_EQ(FT_EE_UAWrite(h, record.data(), 30), FT_OK);
    std::vector<UCHAR> back(size, 0);
    DWORD read = 0;
    ASSERT_EQ(FT_EE_UARead(h, back.data(), size, &read), FT_OK);
    EXPECT_EQ(read, size);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), back.begin()));
    std::vector<UCHAR> too_long(size + 1, 0);
    EXPECT_NE(FT_EE_UAWrite(h, too_long.data(), size + 1), FT_OK);
}

TEST_F(SimDriver, PausesAreVirtualAndReachTheUnitsClock) {
    auto& clock = korvel::ftdi::sim_clock();
    EXPECT_EQ(&korvel::platform::clock(), &clock);
    const auto unit_before = korvel::sim::usb().now_us();
    Delay(0.02);
    Delay(0.5);
    EXPECT_DOUBLE_EQ(clock.now(), 0.52);
    EXPECT_EQ(clock.pause_count(), 2u);
    EXPECT_EQ(korvel::sim::usb().now_us() - unit_before, 520000u);

    // A fresh unit starts the clock again from zero.
    korvel::ftdi::use_fresh_simulated_unit();
    EXPECT_EQ(korvel::ftdi::sim_clock().now(), 0.0);
    EXPECT_EQ(korvel::ftdi::sim_clock().pause_count(), 0u);
}

TEST_F(SimDriver, ChoosingRealHardwarePutsTheRealClockBack) {
    korvel::ftdi::select_backend(korvel::ftdi::BackendKind::Ftdi);
    EXPECT_EQ(korvel::ftdi::selected_backend(), korvel::ftdi::BackendKind::Ftdi);
    EXPECT_NE(&korvel::platform::clock(), &korvel::ftdi::sim_clock());
    korvel::ftdi::select_backend(korvel::ftdi::BackendKind::Sim);
    EXPECT_EQ(&korvel::platform::clock(), &korvel::ftdi::sim_clock());
}

TEST_F(SimDriver, AFreshUnitForgetsTheOldHandles) {
    FT_HANDLE h = open_board();
    korvel::ftdi::use_fresh_simulated_unit();
    const UCHAR byte = 0x04;
    EXPECT_NE(FT_Write(h, &byte, 1, nullptr), FT_OK);
}

}  // namespace
