// The real-hardware backend's rules over a fake USB side: a chip that stops answering, queued
// writes that never overtake a request, how devices are opened, and the EEPROM user area on
// FT232R images built from the chip's documented layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/clock.h"
#include "fake_transport.h"
#include "ft232r_images.h"
#include "ftdi/device_state.h"
#include "ftdi/ftd2xx.h"

namespace korvel {
namespace {

using testing::fake_chip;
using testing::FakeBus;
using testing::use_fake_usb;
namespace ft = ftdi::ft232r;

class UsbBackend : public ::testing::Test {
  protected:
    void SetUp() override {
        auto unit = fake_chip("ZEVA_KORVEL", "1042", 5);
        unit.eeprom = testing::korvel_image();  // user area 0x44..0x79
        bus_ = use_fake_usb({fake_chip("USB Serial", "A100", 4), unit});
    }
    void TearDown() override { ftdi::select_backend(ftdi::BackendKind::Sim); }

    FT_HANDLE open(int index) {
        DWORD count = 0;
        EXPECT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
        FT_HANDLE h = nullptr;
        EXPECT_EQ(FT_Open(index, &h), FT_OK);
        return h;
    }
    static FT_STATUS write(FT_HANDLE h, std::size_t n, std::uint8_t first = 0) {
        std::vector<UCHAR> bytes(n);
        for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<UCHAR>(first + i);
        DWORD written = 0;
        return FT_Write(h, bytes.data(), static_cast<DWORD>(n), &written);
    }

    std::shared_ptr<FakeBus> bus_;
};

TEST_F(UsbBackend, AHungChipCostsOneRequestThenEveryCallFailsAtOnceUntilClosed) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(FT_SetBitMode(h, 0xFF, 1), FT_OK);
    EXPECT_FALSE(ftdi::handle_lost(h));

    bus_->chips[1].hang_at = 1;
    EXPECT_EQ(FT_SetBitMode(h, 0x03, 1), FT_IO_ERROR);
    EXPECT_TRUE(ftdi::handle_lost(h));
    const auto requests = bus_->requests;
    UCHAR pins = 0;
    DWORD size = 0;
    EXPECT_EQ(FT_GetBitMode(h, &pins), FT_IO_ERROR);
    EXPECT_EQ(write(h, 3), FT_IO_ERROR);
    EXPECT_EQ(FT_SetBaudRate(h, 921600), FT_IO_ERROR);
    EXPECT_EQ(FT_EE_UASize(h, &size), FT_IO_ERROR);
    EXPECT_EQ(FT_CyclePort(h), FT_IO_ERROR);
    EXPECT_EQ(bus_->requests, requests) << "nothing more may reach the chip";

    // The list no longer offers the lost handle; closing releases it and a new open works.
    FT_DEVICE_LIST_INFO_NODE nodes[2] = {};
    DWORD count = 2;
    ASSERT_EQ(FT_GetDeviceInfoList(nodes, &count), FT_OK);
    EXPECT_EQ(nodes[1].ftHandle, nullptr);
    EXPECT_EQ(FT_Close(h), FT_OK);
    EXPECT_FALSE(ftdi::handle_lost(h));
    EXPECT_EQ(FT_Close(h), FT_INVALID_HANDLE);
    bus_->chips[1].hung = false;
    const FT_HANDLE again = open(1);
    EXPECT_EQ(FT_GetBitMode(again, &pins), FT_OK);
    EXPECT_FALSE(ftdi::handle_lost(again));
}

TEST_F(UsbBackend, AQueuedWriteThatFailsLosesTheHandleAtTheNextRequest) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(write(h, 10), FT_OK);  // queued; the chip hangs before it goes out
    bus_->chips[1].hung = true;
    UCHAR pins = 0;
    EXPECT_EQ(FT_GetBitMode(h, &pins), FT_IO_ERROR);
    EXPECT_TRUE(ftdi::handle_lost(h));
    EXPECT_TRUE(bus_->logged("pins").empty());
}

TEST_F(UsbBackend, WritesStayQueuedUntilARequestOrCloseAndAreNeverOvertaken) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(FT_SetBitMode(h, 0xFF, 1), FT_OK);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(write(h, 1024, static_cast<std::uint8_t>(i)), FT_OK);
    EXPECT_EQ(bus_->max_writes_in_flight, 8u);
    EXPECT_EQ(bus_->logged("write").size(), 20u - 8u);  // the oldest went out to make room

    UCHAR pins = 0;
    ASSERT_EQ(FT_GetBitMode(h, &pins), FT_OK);  // waits for all 20 first
    ASSERT_EQ(write(h, 9000, 7), FT_OK);        // cut into 4096 + 4096 + 808
    ASSERT_EQ(FT_Close(h), FT_OK);              // finishes them before closing
    EXPECT_EQ(bus_->requests_overtaking_writes, 0u);

    std::vector<std::string> expected = {"bitmode ff 1"};
    expected.insert(expected.end(), 20, "write 1024");
    expected.push_back("pins");
    expected.insert(expected.end(), {"write 4096", "write 4096", "write 808", "close"});
    EXPECT_EQ(std::vector<std::string>(bus_->log.end() - expected.size(), bus_->log.end()),
              expected);
    ASSERT_EQ(bus_->written.size(), 20u * 1024 + 9000);
    EXPECT_EQ(bus_->written[5 * 1024], 5);  // write 5, first byte
    EXPECT_EQ(bus_->written[20 * 1024 + 8999], static_cast<std::uint8_t>(7 + 8999));
}

TEST_F(UsbBackend, ListingOpensNothingAndOpensUseShortTimeoutsAndGiveTheSerialDriverBack) {
    DWORD count = 0;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    FT_DEVICE_LIST_INFO_NODE nodes[2] = {};
    ASSERT_EQ(FT_GetDeviceInfoList(nodes, &count), FT_OK);
    EXPECT_STREQ(nodes[1].Description, "ZEVA_KORVEL");
    EXPECT_TRUE(bus_->opened.empty());

    open(1);
    ASSERT_EQ(bus_->opened, std::vector<int>{1});
    EXPECT_EQ(bus_->open_options[0].timeout_ms, 1000);
    EXPECT_TRUE(bus_->open_options[0].reattach_kernel_driver);
}

TEST_F(UsbBackend, APermissionRefusalIsToldApartFromOtherFailures) {
    bus_->chips[1].open_outcome = ftdi::OpenOutcome::NoPermission;
    bus_->chips[0].open_outcome = ftdi::OpenOutcome::Failed;
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    FT_HANDLE h = nullptr;
    EXPECT_EQ(FT_Open(1, &h), FT_DEVICE_NOT_OPENED);
    EXPECT_TRUE(ftdi::last_open_denied());
    EXPECT_EQ(FT_Open(0, &h), FT_DEVICE_NOT_OPENED);
    EXPECT_FALSE(ftdi::last_open_denied());
    EXPECT_EQ(h, nullptr);
}

TEST_F(UsbBackend, UserAreaIsFoundAfterTheSerialAndWrittenWordPairByWordPair) {
    // A record the vendor driver wrote: at the start of the AN_121 area, 0x44.
    ft::Image& eeprom = bus_->chips[1].eeprom;
    for (std::size_t i = 0; i < 54; ++i) eeprom[0x44 + i] = static_cast<std::uint8_t>(0xA0 + i);
    ft::store_checksum(eeprom);

    const FT_HANDLE h = open(1);
    DWORD size = 0, read = 0;
    ASSERT_EQ(FT_EE_UASize(h, &size), FT_OK);
    EXPECT_EQ(size, 54u);
    std::vector<UCHAR> record(size);
    ASSERT_EQ(FT_EE_UARead(h, record.data(), size, &read), FT_OK);
    EXPECT_EQ(read, 54u);
    EXPECT_EQ(record[0], 0xA0);
    EXPECT_EQ(record[53], 0xA0 + 53);

    std::fill(record.begin(), record.begin() + 30, 0x11);
    bus_->log.clear();
    ASSERT_EQ(FT_EE_UAWrite(h, record.data(), size), FT_OK);
    EXPECT_TRUE(ft::checksum_valid(eeprom));
    EXPECT_EQ(eeprom[0x43], 0x00);  // the serial's last byte
    EXPECT_EQ(eeprom[0x44], 0x11);
    EXPECT_EQ(eeprom[0x44 + 29], 0x11);
    EXPECT_EQ(eeprom[0x44 + 30], 0xA0 + 30);
    // Words 34..48 hold the 30 new bytes; with the checksum (63) and their pair partners the
    // chip is sent 34..49 and 62..63, under FTDI's programming latency, then read back.
    std::vector<std::string> writes = bus_->logged("eeprom-write");
    ASSERT_EQ(writes.size(), 18u);
    EXPECT_EQ(writes.front().substr(0, 16), "eeprom-write 34 ");
    EXPECT_EQ(writes.back().substr(0, 16), "eeprom-write 63 ");
    EXPECT_EQ(bus_->logged("latency"),
              (std::vector<std::string>{"latency?", "latency 119", "latency 16"}));
}

TEST_F(UsbBackend, AnInterruptedUserAreaWriteLeavesAnEepromTheChipRejects) {
    const FT_HANDLE h = open(1);
    bus_->chips[1].hang_at = 64 + 2 + 5;  // image read, latency read and set, 4 words, then hung
    const std::vector<UCHAR> record(30, 0x5A);
    EXPECT_EQ(FT_EE_UAWrite(h, record.data(), 30), FT_EEPROM_WRITE_FAILED);
    EXPECT_TRUE(ftdi::handle_lost(h));
    EXPECT_FALSE(ft::checksum_valid(bus_->chips[1].eeprom));  // the checksum goes last

    FT_Close(h);
    bus_->chips[1].hung = false;
    const FT_HANDLE again = open(1);
    DWORD size = 0;
    EXPECT_EQ(FT_EE_UASize(again, &size), FT_EEPROM_NOT_PROGRAMMED);
}

TEST_F(UsbBackend, UserAreaOnlyOnProgrammedFt232rChips) {
    bus_->chips[0].ft232r = false;
    DWORD size = 0;
    EXPECT_EQ(FT_EE_UASize(open(0), &size), FT_NOT_SUPPORTED);
    bus_->chips[1].eeprom.fill(0xFF);  // blank
    EXPECT_EQ(FT_EE_UASize(open(1), &size), FT_EEPROM_NOT_PROGRAMMED);
}

// ---- Queued requests: mask changes, writes and unexamined pin reads return at once ----

TEST_F(UsbBackend, MaskChangesWritesAndUnexaminedReadsAreQueuedUntilACallWaits) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(FT_SetBitMode(h, 0x81, 1), FT_OK);
    ASSERT_EQ(write(h, 1, 0x02), FT_OK);
    ASSERT_EQ(FT_QueuePinRead(h), FT_OK);
    ASSERT_EQ(FT_SetBitMode(h, 0x83, 1), FT_OK);
    EXPECT_TRUE(bus_->log.empty()) << "nothing waited for yet";
    EXPECT_EQ(bus_->max_requests_in_flight, 4u);
    UCHAR pins = 0;
    ASSERT_EQ(FT_GetBitMode(h, &pins), FT_OK);  // goes last and waits for everything
    EXPECT_EQ(pins, 0xEB);
    EXPECT_EQ(bus_->log, (std::vector<std::string>{"bitmode 81 1", "write 1", "pins",
                                                   "bitmode 83 1", "pins"}));
    EXPECT_EQ(bus_->requests_overtaking_writes, 0u);
}

TEST_F(UsbBackend, AtMost64RequestsAreInFlight) {
    const FT_HANDLE h = open(1);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(FT_SetBitMode(h, static_cast<UCHAR>(i), 1), FT_OK);
    EXPECT_EQ(bus_->max_requests_in_flight, 64u);
    EXPECT_EQ(bus_->logged("bitmode").size(), 200u - 64u);  // the oldest went out to make room
    ASSERT_EQ(FT_Close(h), FT_OK);                          // finishes the rest
    EXPECT_EQ(bus_->logged("bitmode").size(), 200u);
    EXPECT_EQ(bus_->log.back(), "close");
}

TEST_F(UsbBackend, ADelayFinishesTheQueueBeforeTheClockMoves) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(FT_SetBitMode(h, 0x81, 1), FT_OK);
    ASSERT_EQ(FT_SetBitMode(h, 0x82, 1), FT_OK);
    Delay(0.0);  // no pause: nothing to wait for
    EXPECT_TRUE(bus_->log.empty());
    Delay(0.0005);
    EXPECT_EQ(bus_->log, (std::vector<std::string>{"bitmode 81 1", "bitmode 82 1"}));
}

TEST_F(UsbBackend, AQueuedRequestThatFailsIsReportedByTheNextCallThatWaits) {
    const FT_HANDLE h = open(1);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(FT_SetBitMode(h, 0x80, 1), FT_OK);
    bus_->chips[1].hung = true;  // after they were submitted: they time out
    EXPECT_FALSE(ftdi::handle_lost(h)) << "nobody waited yet";
    UCHAR pins = 0;
    EXPECT_EQ(FT_GetBitMode(h, &pins), FT_IO_ERROR);
    EXPECT_TRUE(ftdi::handle_lost(h));
    EXPECT_EQ(bus_->cancelled, 5u) << "the rest of the queue is given up";
    const auto requests = bus_->requests;
    EXPECT_EQ(FT_SetBitMode(h, 0x81, 1), FT_IO_ERROR);
    EXPECT_EQ(FT_QueuePinRead(h), FT_IO_ERROR);
    EXPECT_EQ(bus_->requests, requests);
    EXPECT_EQ(FT_Close(h), FT_OK);
}

TEST_F(UsbBackend, AFailureFoundByADelayLosesTheHandle) {
    const FT_HANDLE h = open(1);
    ASSERT_EQ(FT_SetBitMode(h, 0x80, 1), FT_OK);
    bus_->chips[1].hung = true;
    Delay(0.0005);
    EXPECT_TRUE(ftdi::handle_lost(h));
}

TEST(UsbBackendSynchronous, EveryMaskChangeAndPinReadIsWaitedFor) {
    ftdi::UsbBackendTuning tuning;
    tuning.queue_requests = false;
    auto bus = use_fake_usb({fake_chip("ZEVA_KORVEL", "1042", 5)}, tuning);
    DWORD count = 0;
    ASSERT_EQ(FT_CreateDeviceInfoList(&count), FT_OK);
    FT_HANDLE h = nullptr;
    ASSERT_EQ(FT_Open(0, &h), FT_OK);
    ASSERT_EQ(FT_SetBitMode(h, 0x81, 1), FT_OK);
    EXPECT_EQ(bus->log, std::vector<std::string>{"bitmode 81 1"});
    ASSERT_EQ(FT_QueuePinRead(h), FT_OK);
    EXPECT_EQ(bus->log.back(), "pins");
    EXPECT_EQ(bus->max_requests_in_flight, 0u);
    FT_Close(h);
    ftdi::select_backend(ftdi::BackendKind::Sim);
}

TEST(UsbBackendSynchronous, IsTheDefaultAndKorvelUsbQueueOnQueues) {
    EXPECT_FALSE(ftdi::usb_tuning_from_environment(nullptr).queue_requests);
    EXPECT_TRUE(ftdi::usb_tuning_from_environment("1").queue_requests);
    EXPECT_TRUE(ftdi::usb_tuning_from_environment("on").queue_requests);
    EXPECT_FALSE(ftdi::usb_tuning_from_environment("0").queue_requests);
}

}  // namespace
}  // namespace korvel
