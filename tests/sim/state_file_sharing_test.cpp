// Programs that share the simulated unit through its state file: one at a time has it open, each
// finds what the one before saved, and none writes back a unit it only looked at. Two Usb
// objects stand for two programs (the lock is per open file, so they exclude each other as two
// processes do).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <nlohmann/json.hpp>

#include "korvel/sim/usb.h"
#include "state_dir_fixture.h"
#include "state_startup.h"

namespace korvel::sim {
namespace {

using StateFileSharing = testing::StateDirTest;

struct stat stat_of(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

TEST_F(StateFileSharing, OneProgramAtATimeAndEachFindsTheLastSave) {
    Usb a, b;  // both started before either opened the unit
    start_from_state_file(a, path_, stderr);
    start_from_state_file(b, path_, stderr);

    Handle ha = 0, hb = 0;
    ASSERT_EQ(a.open(0, ha), kOk);
    a.board().dac(0).channels[2].code = 111;
    EXPECT_EQ(b.open(0, hb), kDeviceNotOpened);  // busy, as a real unit open elsewhere
    ListEntry entry;
    ASSERT_EQ(b.get_device_info_detail(0, entry), kOk);
    EXPECT_EQ(entry.flags & 1, 1u);  // the driver shows it opened
    ASSERT_EQ(a.close(ha), kOk);

    ASSERT_EQ(b.get_device_info_detail(0, entry), kOk);
    EXPECT_EQ(entry.flags & 1, 0u);
    ASSERT_EQ(b.open(0, hb), kOk);
    EXPECT_EQ(b.board().dac(0).channels[2].code, 111);  // read again at open
    b.board().dac(0).channels[3].code = 222;
    ASSERT_EQ(b.close(hb), kOk);

    // a still knows the unit as it left it, and finds b's change when it opens again.
    ASSERT_EQ(a.open(0, ha), kOk);
    EXPECT_EQ(a.board().dac(0).channels[3].code, 222);
    EXPECT_EQ(a.board().dac(0).channels[2].code, 111);
}

TEST_F(StateFileSharing, LookingAtTheUnitWritesNothingBack) {
    {
        Usb first;
        start_from_state_file(first, path_, stderr);
        Handle h = 0;
        ASSERT_EQ(first.open(0, h), kOk);
    }
    const struct stat before = stat_of(path_);
    {
        Usb looker;
        start_from_state_file(looker, path_, stderr);
        std::uint32_t count = 0;
        looker.create_device_info_list(count);
        Handle h = 0;
        ASSERT_EQ(looker.open(0, h), kOk);
        std::uint8_t pins = 0;
        looker.set_bit_mode(h, 0xFF, 1);
        looker.get_bit_mode(h, pins);
        ASSERT_EQ(looker.close(h), kOk);
        EXPECT_TRUE(looker.finish_files());
    }
    const struct stat after = stat_of(path_);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

// A program that changed the unit while it was closed does not write over a save another program
// made meanwhile.
TEST_F(StateFileSharing, NoSaveOverAnotherProgramsNewerOne) {
    Usb a, b;
    start_from_state_file(a, path_, stderr);
    start_from_state_file(b, path_, stderr);
    Handle h = 0;
    ASSERT_EQ(b.open(0, h), kOk);
    b.board().serial = "2001";
    ASSERT_EQ(b.close(h), kOk);

    a.board().serial = "3001";
    std::string error;
    EXPECT_FALSE(a.finish_files(&error));
    EXPECT_NE(error.find("another program"), std::string::npos) << error;
    EXPECT_EQ(nlohmann::json::parse(slurp(path_))["serial"], "2001");
}

// A save that fails (the file size limit stands in for a full disk) is told to the program.
TEST_F(StateFileSharing, AFailedSaveIsReported) {
    Usb a;
    start_from_state_file(a, path_, stderr);
    Handle h = 0;
    ASSERT_EQ(a.open(0, h), kOk);
    a.board().fpga().pattern_bits.assign(100000, '1');

    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 50000;
    ::setrlimit(RLIMIT_FSIZE, &small);
    a.close(h);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_EQ(nlohmann::json::parse(slurp(path_))["fpga"]["pattern_bits"], "");
    std::string error;
    EXPECT_FALSE(a.finish_files(&error));
    EXPECT_NE(error.find("state not saved: cannot write"), std::string::npos) << error;
    EXPECT_TRUE(a.finish_files());  // told once
}

}  // namespace
}  // namespace korvel::sim
