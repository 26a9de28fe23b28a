// An independent decoder (sigrok's I2C protocol decoder) reads the simulated bus trace of a few
// driver transactions and must find the same addresses and bytes.
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ds4520/ds4520.h"
#include "mcp4728/mcp4728.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

std::string run(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 512> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe) != nullptr) out += chunk.data();
    pclose(pipe);
    return out;
}

using BusTraceDecode = testing::UnitFixture;

TEST_F(BusTraceDecode, SigrokFindsTheDriverTransactions) {
    if (std::system("sigrok-cli --version > /dev/null 2>&1") != 0) {
        GTEST_SKIP() << "sigrok-cli is not installed";
    }
    const auto path = std::filesystem::temp_directory_path() /
                      ("korvel-drivers-trace-" + std::to_string(getpid()) + ".vcd");
    open_unit();
    board().expander(7).control = 0x10B;
    ASSERT_TRUE(usb().open_trace(path.string()));
    DS4520_IO_read(7);
    dac_write(2, 1.0f, 1);
    usb().close_trace();

    const std::string decoded =
        run("sigrok-cli -i '" + path.string() +
            "' -I vcd -P i2c:scl=scl:sda=sda -A i2c=start:repeat-start:stop:address-read:"
            "address-write:data-read:data-write 2>&1");
    std::filesystem::remove(path);
    // The decoder prints 7-bit addresses.
    const std::string expected =
        "i2c-1: Start\n"
        "i2c-1: Write\n"
        "i2c-1: Address write: 57\n"
        "i2c-1: Data write: F8\n"
        "i2c-1: Start repeat\n"
        "i2c-1: Read\n"
        "i2c-1: Address read: 57\n"
        "i2c-1: Data read: 0B\n"
        "i2c-1: Data read: 01\n"
        "i2c-1: Stop\n"
        "i2c-1: Start\n"
        "i2c-1: Write\n"
        "i2c-1: Address write: 60\n"
        "i2c-1: Data write: 44\n"
        "i2c-1: Data write: 14\n"
        "i2c-1: Data write: D9\n"
        "i2c-1: Stop\n";
    EXPECT_EQ(decoded, expected);
}

}  // namespace
}  // namespace korvel
