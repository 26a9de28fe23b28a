// The pin trace is a Value Change Dump that an independent I2C decoder (sigrok-cli) reads.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include <unistd.h>

#include "i2c_master.h"

namespace korvel::sim {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class VcdTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_usb();
        path_ =
            fs::temp_directory_path() /
            ("korvel_sim_trace_" + std::to_string(::getpid()) + "_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".vcd");
    }
    void TearDown() override {
        reset_usb();
        fs::remove(path_);
    }
    fs::path path_;
};

TEST_F(VcdTraceTest, OnlyChangesAreWrittenInVirtualTime) {
    Handle h = 0;
    ASSERT_EQ(usb().open(0, h), kOk);
    ASSERT_TRUE(usb().open_trace(path_.string()));
    usb().set_bit_mode(h, 0xFF, 1);  // t=0: all pins low, folded into the initial values
    const std::uint8_t bytes[] = {0x04, 0x00, 0x40};
    std::uint32_t written = 0;
    usb().write(h, bytes, 3, written);  // t=1: only the net change (D6) is written
    std::uint8_t pins = 0;
    usb().get_bit_mode(h, pins);  // t=2: no change, nothing written
    usb().pause(0.5);
    usb().set_bit_mode(h, 0x00, 1);  // t=500003: every pin back to its idle level
    usb().close_trace();
    const std::string vcd = slurp(path_);
    EXPECT_NE(vcd.find("$timescale 1 us $end"), std::string::npos);
    const char* wires[] = {"! scl",       "\" sda",         "# fpga_clk",     "$ d3",
                           "% fpga_data", "& fpga_sel_err", "' fpga_sel_pat", "( d7"};
    for (const char* wire : wires) EXPECT_NE(vcd.find(wire), std::string::npos) << wire;
    const std::string body = vcd.substr(vcd.find("$enddefinitions $end\n") + 21);
    EXPECT_EQ(body,
              "#0\n$dumpvars\n0!\n0\"\n0#\n0$\n0%\n0&\n0'\n0(\n$end\n"
              "#1\n1'\n#500003\n1!\n1\"\n1$\n1&\n1(\n#500004\n");
}

// A trace that cannot be written (here the device that is always full) is reported, not dropped.
TEST_F(VcdTraceTest, AWriteFailureIsReported) {
    ASSERT_TRUE(usb().open_trace("/dev/full"));  // stdio buffers: the failure shows when flushed
    Handle h = 0;
    ASSERT_EQ(usb().open(0, h), kOk);
    usb().set_bit_mode(h, 0xFF, 1);
    EXPECT_FALSE(usb().close_trace());
    std::string error;
    EXPECT_FALSE(usb().finish_files(&error));
    EXPECT_EQ(error, "cannot write the trace /dev/full: No space left on device");
}

TEST_F(VcdTraceTest, SigrokDecodesTheI2cTraffic) {
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    ASSERT_TRUE(usb().open_trace(path_.string()));
    {
        testing::I2cMaster m(usb());
        m.write(0xA6, {0xF0, 0x03});
        usb().pause(0.02);  // the expander's EEPROM write time
        m.read(0xA6, 1, 0xF0);
        m.write(0xC0, {0x44, 0x14, 0xD9});
    }
    usb().close_trace();

    const std::string cmd =
        "sigrok-cli -I vcd -i '" + path_.string() +
        "' -P i2c:scl=scl:sda=sda -A i2c=address-write:address-read:data-write:data-read 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string out;
    std::array<char, 512> buf{};
    while (fgets(buf.data(), buf.size(), pipe.get())) out += buf.data();

    // Addresses are shown as 7-bit values, data bytes as they crossed.
    const std::string expected[] = {"Address write: 53", "Data write: F0", "Data write: 03",
                                    "Address read: 53",  "Data read: 03",  "Address write: 60",
                                    "Data write: 44",    "Data write: 14", "Data write: D9"};
    std::size_t pos = 0;
    for (const auto& e : expected) {
        const auto found = out.find(e, pos);
        ASSERT_NE(found, std::string::npos) << "missing '" << e << "' in:\n" << out;
        pos = found + e.size();
    }
}

}  // namespace
}  // namespace korvel::sim
