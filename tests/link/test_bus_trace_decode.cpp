// sigrok's I2C decoder, independent of ours, reads the simulated trace of an expander read and a
// DAC write and must find the same framing, addresses (7-bit) and bytes.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "mcp4728/mcp4728.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using BusTraceDecode = testing::UnitFixture;

TEST_F(BusTraceDecode, SigrokFindsTheDriverTransactions) {
    if (std::system("sigrok-cli --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no sigrok-cli";
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("korvel-trace-" + std::to_string(getpid()) + ".vcd"))
                                 .string();
    open_unit();
    board().expander(7).control = 0x10B;
    ASSERT_TRUE(usb().open_trace(path));
    DS4520_IO_read(7);
    dac_write(2, 1.0f, 1);
    usb().close_trace();

    std::string decoded;
    const std::string command = "sigrok-cli -I vcd -i '" + path +
                                "' -P i2c:scl=scl:sda=sda -A i2c=start:repeat-start:stop:"
                                "address-read:address-write:data-read:data-write 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr) decoded += line;
        pclose(pipe);
    }
    std::filesystem::remove(path);
    EXPECT_EQ(decoded,
              "i2c-1: Start\ni2c-1: Write\ni2c-1: Address write: 57\ni2c-1: Data write: F8\n"
              "i2c-1: Start repeat\ni2c-1: Read\ni2c-1: Address read: 57\ni2c-1: Data read: 0B\n"
              "i2c-1: Data read: 01\ni2c-1: Stop\n"
              "i2c-1: Start\ni2c-1: Write\ni2c-1: Address write: 60\ni2c-1: Data write: 44\n"
              "i2c-1: Data write: 14\ni2c-1: Data write: D9\ni2c-1: Stop\n");
}

}  // namespace
}  // namespace korvel
