// The real-hardware backend's rules hold on both USB sides it meets: our fake transfer layer,
// and real libftdi1 + libusb on the emulated FT232R. Each case runs on both.
#include <gtest/gtest.h>

#include <ostream>

#include <memory>
#include <string>
#include <vector>

#include "emulated_unit.h"
#include "fake_transport.h"
#include "ft232r_images.h"
#include "ftdi/device_state.h"
#include "ftdi/ftd2xx.h"

namespace korvel::testing {
namespace {

// One USB side with the unit alone on it (device 0).
struct Side {
    const char* name;
    void (*install)(int timeout_ms);
    void (*hang_at)(std::uint64_t nth);  // 0: answer again
    void (*unplug)();
    std::uint64_t (*requests)();
};

std::shared_ptr<FakeBus>& fake_bus() {
    static std::shared_ptr<FakeBus> bus;
    return bus;
}

const Side kSides[] = {
    {"FakeTransferLayer",
     [](int timeout_ms) {
         auto unit = fake_chip("ZEVA_KORVEL", "1042", 5);
         unit.eeprom = korvel_image();
         ftdi::UsbBackendTuning tuning;
         tuning.open.timeout_ms = timeout_ms;
         fake_bus() = use_fake_usb({unit}, tuning);
     },
     [](std::uint64_t nth) {
         fake_bus()->chips[0].hang_at = nth;
         fake_bus()->chips[0].hung = false;
     },
     [] { fake_bus()->chips.clear(); }, [] { return fake_bus()->requests; }},
    {"EmulatedFt232r", [](int timeout_ms) { use_emulated_unit(timeout_ms); },
     [](std::uint64_t nth) { emulated_usb().hang_at_request(nth); },
     [] { emulated_usb().unplug(); }, [] { return emulated_usb().counts().requests; }},
};

void PrintTo(const Side& value, std::ostream* out) {
    *out << value.name;
}

class BackendContract : public EmulatedUsbTest, public ::testing::WithParamInterface<Side> {
  protected:
    void SetUp() override {
        EmulatedUsbTest::SetUp();
        if (IsSkipped()) return;
        GetParam().install(100);
    }
    static FT_HANDLE open_unit() {
        DWORD count = 0;
        EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_Open(0, &h), FT_OK);
        return h;
    }
};

TEST_P(BackendContract, ListingShowsTheUnitAndSendsNothing) {
    DWORD count = 0;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    ASSERT_GE(count, 1u);
    FT_DEVICE_LIST_INFO_NODE node{};
    count = 1;
    ASSERT_EQ(FT_GetDeviceInfoList(&node, &count), FT_OK);
    EXPECT_STREQ(node.Description, "ZEVA_KORVEL");
    EXPECT_STREQ(node.SerialNumber, "1042");
    EXPECT_EQ(node.Type, 5u);  // FT232R
    EXPECT_EQ(node.ID, 0x04036001u);
    EXPECT_EQ(GetParam().requests(), 0u);
}

TEST_P(BackendContract, WithoutDevicesTheListIsEmptyAndOpenLeavesTheHandleAlone) {
    GetParam().unplug();
    DWORD count = 99;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    EXPECT_EQ(count, 0u);
    FT_HANDLE h = reinterpret_cast<FT_HANDLE>(std::uintptr_t{0x5EED});
    EXPECT_EQ(FT_Open(0, &h), FT_DEVICE_NOT_FOUND);
    EXPECT_EQ(h, reinterpret_cast<FT_HANDLE>(std::uintptr_t{0x5EED}));
}

// A mask change is queued: it returns at once (FT_OK, or FT_IO_ERROR where the USB side refuses
// it at once). The pin read after it waits, and finds the chip gone.
TEST_P(BackendContract, AHungChipIsGivenUpAtTheFirstWaitThenEveryCallFailsAtOnceUntilClosed) {
    const FT_HANDLE h = open_unit();
    ASSERT_EQ(FT_SetBitMode(h, 0xFF, 1), FT_OK);
    GetParam().hang_at(1);
    const FT_STATUS queued = FT_SetBitMode(h, 0x03, 1);
    EXPECT_TRUE(queued == FT_OK || queued == FT_IO_ERROR) << queued;
    UCHAR pins = 0;
    EXPECT_EQ(FT_GetBitMode(h, &pins), FT_IO_ERROR);
    EXPECT_TRUE(ftdi::handle_lost(h));
    const auto requests = GetParam().requests();
    DWORD size = 0, written = 0;
    const UCHAR bytes[3] = {1, 2, 3};
    EXPECT_EQ(FT_GetBitMode(h, &pins), FT_IO_ERROR);
    EXPECT_EQ(FT_Write(h, const_cast<UCHAR*>(bytes), 3, &written), FT_IO_ERROR);
    EXPECT_EQ(FT_SetBaudRate(h, 921600), FT_IO_ERROR);
    EXPECT_EQ(FT_EE_UASize(h, &size), FT_IO_ERROR);
    EXPECT_EQ(FT_CyclePort(h), FT_IO_ERROR);
    EXPECT_EQ(FT_SetBitMode(h, 0x01, 1), FT_IO_ERROR);
    EXPECT_EQ(FT_QueuePinRead(h), FT_IO_ERROR);
    EXPECT_EQ(GetParam().requests(), requests) << "nothing more may reach the chip";

    EXPECT_EQ(FT_Close(h), FT_OK);
    GetParam().hang_at(0);
    const FT_HANDLE again = open_unit();
    EXPECT_EQ(FT_GetBitMode(again, &pins), FT_OK);
    EXPECT_FALSE(ftdi::handle_lost(again));
    FT_Close(again);
}

TEST_P(BackendContract, TheUserAreaReadsBackWhatWasWritten) {
    const FT_HANDLE h = open_unit();
    DWORD size = 0, read = 0;
    ASSERT_EQ(FT_EE_UASize(h, &size), FT_OK);
    ASSERT_EQ(size, 54u);  // AN_121 for "ZEVA", "ZEVA_KORVEL", "1042"
    std::vector<UCHAR> record(size), back(size);
    for (std::size_t i = 0; i < size; ++i) record[i] = static_cast<UCHAR>(0xC0 ^ i);
    ASSERT_EQ(FT_EE_UAWrite(h, record.data(), size), FT_OK);
    ASSERT_EQ(FT_EE_UARead(h, back.data(), size, &read), FT_OK);
    EXPECT_EQ(back, record);
    FT_Close(h);
}

TEST_P(BackendContract, AnInterruptedUserAreaWriteLeavesAnEepromTheChipRejects) {
    const FT_HANDLE h = open_unit();
    GetParam().hang_at(64 + 2 + 5);  // image read, latency read and set, 4 words, then hung
    const std::vector<UCHAR> record(30, 0x5A);
    EXPECT_EQ(FT_EE_UAWrite(h, record.data(), 30), FT_EEPROM_WRITE_FAILED);
    EXPECT_TRUE(ftdi::handle_lost(h));
    FT_Close(h);
    GetParam().hang_at(0);
    const FT_HANDLE again = open_unit();
    DWORD size = 0;
    EXPECT_EQ(FT_EE_UASize(again, &size), FT_EEPROM_NOT_PROGRAMMED);
    FT_Close(again);
}

INSTANTIATE_TEST_SUITE_P(Sides, BackendContract, ::testing::ValuesIn(kSides),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvel::testing
