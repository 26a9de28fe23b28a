// The rate to hand libftdi so that the chip gets the baud-rate divisor the vendor driver would
// program for FT_SetBaudRate(baud).
//
// libftdi's ftdi_set_baudrate multiplies its argument by 4 while a bit-bang mode is enabled; the
// vendor driver never does. So in bit-bang mode we pass a quarter of the rate (rounded, at least
// 1), and the divisor comes out the same: FT_SetBaudRate(921600) means 921600 either way.
#pragma once

#include <algorithm>
#include <cstdint>

namespace korvel::ftdi {

constexpr int kLibftdiBitBangRateFactor = 4;

constexpr std::uint32_t libftdi_baud_argument(std::uint32_t baud, bool bitbang_enabled) {
    if (!bitbang_enabled) return baud;
    return std::max<std::uint32_t>(
        1, (baud + kLibftdiBitBangRateFactor / 2) / kLibftdiBitBangRateFactor);
}

}  // namespace korvel::ftdi
