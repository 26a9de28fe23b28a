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

TEST_F(VcdTraceTest, HeaderNamesTheEightWiresAndOnlyChangesFollow) {
    ASSERT_TRUE(usb().open_trace(path_.string()));
    {
        testing::I2cMaster m(usb());
        usb().pause(0.001);
        m.lines(0);  // no change: nothing written
    }
    usb().close_trace();
    const std::string vcd = slurp(path_);
    EXPECT_NE(vcd.find("$timescale 1 us $end"), std::string::npos);
    for (const char* wire : {" scl ", " sda ", " fpga_clk ", " d3 ", " fpga_data ",
                             " fpga_sel_err ", " fpga_sel_pat ", " d7 "})
        EXPECT_NE(vcd.find(wire), std::string::npos) << wire;
    // Timestamps strictly increase.
    std::istringstream lines(vcd);
    std::string line;
    long long last = -1;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '#') continue;
        const long long t = std::stoll(line.substr(1));
        EXPECT_GT(t, last);
        last = t;
    }
    EXPECT_GE(last, 1000);
}

TEST_F(VcdTraceTest, SigrokDecodesTheI2cTraffic) {
    if (std::system("command -v sigrok-cli > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "sigrok-cli is not installed";
    ASSERT_TRUE(usb().open_trace(path_.string()));
    {
        testing::I2cMaster m(usb());
        m.write(0xA6, {0xF0, 0x03});
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
