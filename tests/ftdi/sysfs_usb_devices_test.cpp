// Discovery from a sysfs tree laid out as Linux lays out /sys/bus/usb/devices: devices with their
// attribute files, interfaces beside them, hubs and other vendors' devices among them.
#include "ftdi/libftdi/sysfs_usb_devices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace korvel::ftdi {
namespace {

namespace fs = std::filesystem;

class SysfsDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::path(::testing::TempDir()) /
                ("korvel_sysfs_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    // One entry with the given attribute files (the kernel ends each value with a newline).
    void add(const std::string& name, const std::map<std::string, std::string>& attributes) {
        fs::create_directories(root_ / name);
        for (const auto& [file, value] : attributes) std::ofstream(root_ / name / file) << value;
    }
    void add_ftdi(const std::string& name, const std::string& bus, const std::string& address,
                  const std::string& product, const std::string& serial) {
        add(name, {{"idVendor", "0403\n"},
                   {"idProduct", "6001\n"},
                   {"bcdDevice", "0600\n"},
                   {"busnum", bus + "\n"},
                   {"devnum", address + "\n"},
                   {"product", product + "\n"},
                   {"serial", serial + "\n"}});
    }

    fs::path root_;
};

TEST_F(SysfsDiscovery, FindsFtdiDevicesWithTheirStringsInBusAndAddressOrder) {
    add_ftdi("3-1.4", "3", "7", "ZEVA_KORVEL", "1042");
    add_ftdi("1-2", "1", "12", "FT232R USB UART", "A600dOgq");
    add_ftdi("1-1", "1", "9", "USB Serial", "A100");
    add("1-2:1.0", {{"bInterfaceClass", "ff\n"}});  // an interface of 1-2
    add("usb1", {{"idVendor", "1d6b\n"},
                 {"idProduct", "0002\n"},
                 {"busnum", "1\n"},
                 {"devnum", "1\n"},
                 {"product", "xHCI Host Controller\n"}});
    add("1-3", {{"idVendor", "0403\n"},
                {"idProduct", "6015\n"},
                {"busnum", "1\n"},
                {"devnum", "20\n"}});  // an FT-X with no strings at all
    add("1-4", {{"idVendor", "0403\n"},
                {"idProduct", "1234\n"},
                {"busnum", "1\n"},
                {"devnum", "21\n"},
                {"product", "not one of FTDI's own ids\n"}});

    const auto found = find_ftdi_devices_in_sysfs(root_);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 4u);
    EXPECT_EQ((*found)[0].description, "USB Serial");
    EXPECT_EQ((*found)[0].address, 9);
    EXPECT_EQ((*found)[1].description, "FT232R USB UART");
    EXPECT_EQ((*found)[1].serial, "A600dOgq");
    EXPECT_EQ((*found)[1].release, 0x0600);
    EXPECT_EQ((*found)[2].product_id, 0x6015);
    EXPECT_EQ((*found)[2].description, "");
    EXPECT_EQ((*found)[2].serial, "");
    EXPECT_EQ((*found)[3].bus, 3);
    EXPECT_EQ((*found)[3].address, 7);
    EXPECT_EQ((*found)[3].description, "ZEVA_KORVEL");
    EXPECT_EQ((*found)[3].vendor_id, 0x0403);
}

TEST_F(SysfsDiscovery, OddFilesAreSkippedOrReadSafely) {
    add_ftdi("1-1", "1", "300", "bus address out of range", "x");  // devnum above 255
    add_ftdi("1-2", "one", "2", "bus not a number", "x");
    add("1-3", {{"idVendor", "0403\n"}, {"idProduct", "6001\n"}, {"busnum", "1\n"}});  // no devnum
    add_ftdi("1-5", "1", "5", "Caf\xC3\xA9 \xE2\x82\xAC x\x80!", std::string(2000, 'S'));

    const auto found = find_ftdi_devices_in_sysfs(root_);
    ASSERT_TRUE(found);
    ASSERT_EQ(found->size(), 1u);
    EXPECT_EQ((*found)[0].description, "Caf? ? x?!");  // as libusb's ASCII reading shows it
    EXPECT_EQ((*found)[0].serial.size(), 512u);        // bounded read
}

TEST_F(SysfsDiscovery, NoSysfsMeansAskLibusbInstead) {
    EXPECT_FALSE(find_ftdi_devices_in_sysfs(root_ / "missing"));
    std::ofstream(root_ / "a-file") << "x";
    EXPECT_FALSE(find_ftdi_devices_in_sysfs(root_ / "a-file"));
    const auto empty = find_ftdi_devices_in_sysfs(root_);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

}  // namespace
}  // namespace korvel::ftdi
