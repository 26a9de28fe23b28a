// What every backend must do when no device can be reached: the simulated unit unplugged, and
// libftdi on a machine without FTDI devices (or without USB access at all).
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "ftdi/backend_select.h"
#include "ftdi/ftd2xx.h"
#include "korvel/sim/usb.h"

namespace {

using korvel::ftdi::BackendKind;

class DriverWithoutDevices : public testing::TestWithParam<BackendKind> {
  protected:
    void SetUp() override {
        if (GetParam() == BackendKind::Sim) {
            korvel::ftdi::use_fresh_simulated_unit();
            korvel::sim::usb().board().detach();
        } else {
            korvel::ftdi::select_backend(BackendKind::Ftdi);
            DWORD count = 0;
            if (FT_CreateDeviceInfoList(&count) == FT_OK && count > 0)
                GTEST_SKIP() << count << " real FTDI device(s) attached";
        }
    }
    void TearDown() override { korvel::ftdi::use_fresh_simulated_unit(); }
};

FT_DEVICE_LIST_INFO_NODE sentinel_node() {
    FT_DEVICE_LIST_INFO_NODE node;
    std::memset(&node, 0xA5, sizeof node);
    return node;
}

bool is_sentinel(const FT_DEVICE_LIST_INFO_NODE& node) {
    const FT_DEVICE_LIST_INFO_NODE s = sentinel_node();
    return std::memcmp(&node, &s, sizeof node) == 0;
}

TEST_P(DriverWithoutDevices, ListIsEmptyAndSuccessful) {
    DWORD count = 99;
    EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    EXPECT_EQ(count, 0u);

    std::array<FT_DEVICE_LIST_INFO_NODE, 10> list;
    list.fill(sentinel_node());
    count = static_cast<DWORD>(list.size());
    EXPECT_EQ(FT_GetDeviceInfoList(list.data(), &count), FT_OK);
    EXPECT_EQ(count, 0u);
    for (const auto& node : list) EXPECT_TRUE(is_sentinel(node));

    char serial[16] = "unchanged";
    EXPECT_NE(
        FT_GetDeviceInfoDetail(0, nullptr, nullptr, nullptr, nullptr, serial, nullptr, nullptr),
        FT_OK);
    EXPECT_STREQ(serial, "unchanged");
}

TEST_P(DriverWithoutDevices, OpenFailsAndLeavesTheHandleAlone) {
    FT_HANDLE marker = reinterpret_cast<FT_HANDLE>(std::uintptr_t{0x5EED});
    for (int index : {0, 1, 9, -1}) {
        FT_HANDLE h = marker;
        EXPECT_NE(FT_Open(index, &h), FT_OK) << "index " << index;
        EXPECT_EQ(h, marker);
    }
    EXPECT_NE(FT_Open(0, nullptr), FT_OK);
}

TEST_P(DriverWithoutDevices, EveryCallOnABadHandleFailsAndTouchesNothing) {
    int local = 0;
    const std::array<FT_HANDLE, 4> bad = {nullptr, reinterpret_cast<FT_HANDLE>(std::uintptr_t{1}),
                                          reinterpret_cast<FT_HANDLE>(std::uintptr_t{0xDEADBEEF}),
                                          &local};
    for (FT_HANDLE h : bad) {
        SCOPED_TRACE(testing::Message() << "handle " << h);
        EXPECT_NE(FT_SetBaudRate(h, 921600), FT_OK);
        EXPECT_NE(FT_SetBitMode(h, 0xFF, FT_BITMODE_ASYNC_BITBANG), FT_OK);
        UCHAR pins = 0x77;
        EXPECT_NE(FT_GetBitMode(h, &pins), FT_OK);
        EXPECT_EQ(pins, 0x77);
        const UCHAR bytes[3] = {1, 2, 3};
        DWORD written = 55;
        EXPECT_NE(FT_Write(h, bytes, 3, &written), FT_OK);
        EXPECT_EQ(written, 0u);
        EXPECT_NE(FT_CyclePort(h), FT_OK);
        DWORD size = 1234;
        EXPECT_NE(FT_EE_UASize(h, &size), FT_OK);
        EXPECT_EQ(size, 1234u);
        std::array<UCHAR, 8> area;
        area.fill(0x3C);
        DWORD read = 66;
        EXPECT_NE(FT_EE_UARead(h, area.data(), 8, &read), FT_OK);
        EXPECT_EQ(read, 0u);
        for (UCHAR b : area) EXPECT_EQ(b, 0x3C);
        EXPECT_NE(FT_EE_UAWrite(h, area.data(), 8), FT_OK);
        EXPECT_NE(FT_Close(h), FT_OK);
    }
    EXPECT_EQ(local, 0);
}

TEST_P(DriverWithoutDevices, MissingOutputPointersAreRefused) {
    EXPECT_NE(FT_CreateDeviceInfoList(nullptr), FT_OK);
    EXPECT_NE(FT_GetDeviceInfoList(nullptr, nullptr), FT_OK);
    DWORD capacity = 10;
    EXPECT_NE(FT_GetDeviceInfoList(nullptr, &capacity), FT_OK);
    EXPECT_EQ(capacity, 10u);
    // A zero capacity needs no array and still reports the count.
    DWORD none = 0;
    EXPECT_EQ(FT_GetDeviceInfoList(nullptr, &none), FT_OK);
    EXPECT_EQ(none, 0u);
}

std::string kind_name(const testing::TestParamInfo<BackendKind>& info) {
    return info.param == BackendKind::Sim ? "SimulatedUnitUnplugged" : "Libftdi";
}

INSTANTIATE_TEST_SUITE_P(BothBackends, DriverWithoutDevices,
                         testing::Values(BackendKind::Sim, BackendKind::Ftdi), kind_name);

}  // namespace
