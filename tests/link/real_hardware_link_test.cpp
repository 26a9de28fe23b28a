// The device link on the real-hardware backend over a fake USB side: a chip that hangs in the
// middle of a bus transaction, a unit this user may not open, which devices get opened, and a
// full pattern load with its writes queued.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "ds4520/ds4520.h"
#include "fake_transport.h"
#include "fpga/fpga_load.h"
#include "link/i2c_engine.h"
#include "link/usb_access.h"
#include "link/usb_link.h"
#include "base/clock.h"
#include "support/fresh_process.h"

namespace korvel {
namespace {

using testing::fake_chip;
using testing::FakeBus;
using testing::use_fake_usb;

class RealHardwareLink : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::fresh_process();
        platform::set_clock(&clock_);  // the expander's 20 ms pauses cost nothing
    }
    void TearDown() override {
        close();
        testing::fresh_process();
        platform::set_clock(nullptr);
    }
    void plug(std::vector<testing::FakeChip> chips, ftdi::UsbBackendTuning tuning = {}) {
        bus_ = use_fake_usb(std::move(chips), tuning);
    }
    static testing::FakeChip unit() { return fake_chip("ZEVA_KORVEL", "1042", 9); }
    static testing::FakeChip adapter() { return fake_chip("USB Serial", "A100", 3); }

    platform::VirtualClock clock_;
    std::shared_ptr<FakeBus> bus_;
};

TEST_F(RealHardwareLink, AChipThatHangsMidTransactionCostsOneRequestAndIsReopenedAfterClose) {
    plug({unit()});
    ASSERT_EQ(init_usb(), 1);
    EXPECT_FALSE(usb_link_lost());

    bus_->chips[0].hang_at = 40;  // inside the first register write
    const auto before = bus_->requests;
    DS4520_IOX_wr_multibit(7, 0xFF, 4);  // three register writes, some 900 driver calls
    EXPECT_EQ(bus_->requests - before, 40u);
    EXPECT_TRUE(usb_link_lost());
    EXPECT_EQ(usb_aliveQ(), 1);  // still listed: presence alone does not show the hang
    EXPECT_EQ(usb_input(), 0);
    EXPECT_EQ(bus_->requests - before, 40u);

    // What the supervision does about it: close, open anew.
    bus_->chips[0].hung = false;
    close();
    EXPECT_FALSE(usb_link_lost());
    ASSERT_EQ(init_usb(), 1);
    EXPECT_FALSE(usb_link_lost());
    EXPECT_EQ(usb_input(), 0xEB);
}

TEST_F(RealHardwareLink, AUnitThisUserMayNotOpenGetsTheUdevHintOnceOnStderr) {
    auto locked = unit();
    locked.open_outcome = ftdi::OpenOutcome::NoPermission;
    plug({adapter(), locked});
    EXPECT_EQ(usb_permission_hint(), "");

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(init_usb(), 0);  // the supervision retries every second
    const std::string printed = ::testing::internal::GetCapturedStderr();
    const std::string hint = usb_permission_hint();
    EXPECT_NE(hint.find("no permission to open it"), std::string::npos) << hint;
    EXPECT_NE(hint.find(kUdevRuleName), std::string::npos) << hint;
    EXPECT_EQ(printed, hint + "\n");  // once

    EXPECT_EQ(usb_aliveQ(), 1);
    EXPECT_EQ(usb_permission_hint(), hint);  // still attached, still refused
    bus_->chips.erase(bus_->chips.begin() + 1);
    EXPECT_EQ(usb_aliveQ(), 0);
    EXPECT_EQ(usb_permission_hint(), "");  // unplugged: nothing to explain

    bus_->chips.push_back(unit());
    ASSERT_EQ(usb_aliveQ(), 1);
    EXPECT_EQ(init_usb(), 1);
    EXPECT_EQ(usb_permission_hint(), "");
}

TEST_F(RealHardwareLink, OnlyTheUnitIsOpenedAndTheIndexZeroFallbackGivesItsPortBack) {
    plug({adapter(), unit()});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(usb_aliveQ(), 1);
    EXPECT_TRUE(bus_->opened.empty()) << "discovery must not open any device";
    ASSERT_EQ(init_usb(), 1);
    EXPECT_EQ(bus_->opened, std::vector<int>{1});

    // No unit: the fallback opens index 0, and only that, with the serial driver given back at
    // close. A refused open of that other device is no reason for the udev hint.
    close();
    bus_->chips.pop_back();
    bus_->chips[0].open_outcome = ftdi::OpenOutcome::NoPermission;
    bus_->opened.clear();
    EXPECT_EQ(init_usb(), 0);
    EXPECT_EQ(usb_permission_hint(), "");
    bus_->chips[0].open_outcome = ftdi::OpenOutcome::Opened;
    EXPECT_EQ(init_usb(), 1);
    EXPECT_EQ(bus_->opened, (std::vector<int>{0, 0}));
    EXPECT_TRUE(bus_->open_options.back().reattach_kernel_driver);
    EXPECT_EQ(bus_->open_options.back().timeout_ms, 1000);
}

// Loads all 4096 pattern words over a fresh fake unit with the given queue depth.
std::shared_ptr<FakeBus> load_pattern(std::size_t writes_in_flight) {
    for (int row = 0; row < kPatternRows; ++row)
        for (int word = 0; word < kPatternWords; ++word)
            pattern_buffer[row][word] = static_cast<std::uint8_t>(row * 37 + word * 11 + 1);
    reset_link();
    ftdi::UsbBackendTuning tuning;
    tuning.writes_in_flight = writes_in_flight;
    auto bus = use_fake_usb({fake_chip("ZEVA_KORVEL", "1042", 9)}, tuning);
    EXPECT_EQ(init_usb(), 1);
    bit_load_FPGA(0, kPatternWords);
    DS4520_IO_read(7);  // the next bus transaction after the load
    close();
    return bus;
}

TEST_F(RealHardwareLink, APatternLoadKeepsEightWritesInFlightAndTheChipSeesTheSameSequence) {
    const auto queued = load_pattern(8);
    const auto one_at_a_time = load_pattern(1);
    EXPECT_EQ(queued->max_writes_in_flight, 8u);
    EXPECT_EQ(one_at_a_time->max_writes_in_flight, 1u);
    EXPECT_EQ(queued->requests_overtaking_writes, 0u);
    EXPECT_EQ(queued->log, one_at_a_time->log);
    EXPECT_EQ(queued->written, one_at_a_time->written);

    // The load's writes, from its "all pins outputs" to the next bus transaction: the 2 pin
    // bytes that select the memory, 4096 x 32 x 17 pin bytes in 2176 full buffers, the deselect.
    const auto& log = queued->log;
    const auto start = std::find(log.rbegin(), log.rend(), "bitmode ff 1").base();
    const auto end = std::find_if(start, log.end(),
                                  [](const std::string& e) { return e.rfind("bitmode", 0) == 0; });
    std::vector<std::string> load(start, end);
    ASSERT_EQ(load.size(), 2178u);
    EXPECT_EQ(load.front(), "write 2");
    EXPECT_EQ(std::count(load.begin(), load.end(), "write 1024"), 2176);
    EXPECT_EQ(load.back(), "write 1");
}

TEST(UdevHint, NamesTheInstallLineOrWhyTheInstalledRuleDoesNotHelp) {
    const std::string install =
        permission_hint_text(std::nullopt, "/src/packaging/udev/60-korvel.rules");
    EXPECT_NE(install.find("sudo install -m 644 /src/packaging/udev/60-korvel.rules "
                           "/etc/udev/rules.d/60-korvel.rules && sudo udevadm control "
                           "--reload-rules"),
              std::string::npos)
        << install;
    EXPECT_NE(install.find("unplug and replug"), std::string::npos);

    const std::string installed =
        permission_hint_text(std::filesystem::path("/usr/lib/udev/rules.d/60-korvel.rules"), "x");
    EXPECT_NE(installed.find("installed (/usr/lib/udev/rules.d/60-korvel.rules)"),
              std::string::npos);
    EXPECT_NE(installed.find("plugdev"), std::string::npos);
    EXPECT_EQ(installed.find("sudo install"), std::string::npos);
}

TEST(UdevHint, TheFirstFolderHoldingTheRuleIsTheOneUdevUses) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(::testing::TempDir()) / "korvel_udev_folders";
    fs::remove_all(root);
    const std::vector<fs::path> folders = {root / "etc", root / "usr-local", root / "usr"};
    for (const auto& f : folders) fs::create_directories(f);
    EXPECT_EQ(find_installed_rule(folders), std::nullopt);
    std::ofstream(folders[2] / kUdevRuleName) << "# rule\n";
    EXPECT_EQ(find_installed_rule(folders), folders[2] / kUdevRuleName);
    std::ofstream(folders[1] / kUdevRuleName) << "# rule\n";
    EXPECT_EQ(find_installed_rule(folders), folders[1] / kUdevRuleName);
    fs::remove_all(root);
}

}  // namespace
}  // namespace korvel
