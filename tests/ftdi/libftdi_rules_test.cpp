// The libftdi backend's translations that need no device: baud-rate argument and device types.
#include <gtest/gtest.h>

#include "ftdi/ftd2xx.h"
#include "ftdi/libftdi/libftdi_baud.h"
#include "ftdi/libftdi/libftdi_device_list.h"

namespace {

using korvel::ftdi::libftdi_baud_argument;

TEST(LibftdiBaud, BitBangRatesAreQuarteredSoTheDivisorMatchesTheVendorDriver) {
    EXPECT_EQ(libftdi_baud_argument(921600, true), 230400u);
    EXPECT_EQ(libftdi_baud_argument(921600, false), 921600u);  // before FT_SetBitMode
    EXPECT_EQ(libftdi_baud_argument(9600, true), 2400u);
    EXPECT_EQ(libftdi_baud_argument(3000000, true), 750000u);
    // Rounded to the nearest quarter, never down to an invalid 0.
    EXPECT_EQ(libftdi_baud_argument(9602, true), 2401u);
    EXPECT_EQ(libftdi_baud_argument(1, true), 1u);
}

TEST(LibftdiDeviceTypes, ReleaseNumbersMapToTheVendorTypes) {
    using korvel::ftdi::device_type_for_release;
    EXPECT_EQ(device_type_for_release(0x600, true), FT_DEVICE_232R);
    EXPECT_EQ(device_type_for_release(0x400, true), 0u);   // FT232B/BM
    EXPECT_EQ(device_type_for_release(0x200, false), 0u);  // BM reporting 0x200 without serial
    EXPECT_EQ(device_type_for_release(0x200, true), 1u);   // AM
    EXPECT_EQ(device_type_for_release(0x700, true), 6u);   // FT2232H
    EXPECT_EQ(device_type_for_release(0x1000, true), 9u);  // X series
    EXPECT_EQ(device_type_for_release(0x1234, true), 3u);  // unknown
}

}  // namespace
