// Word access to an FT232R's configuration EEPROM through an open device.
#pragma once

#include <cstddef>
#include <vector>

#include "ftdi/eeprom/ft232r_eeprom.h"
#include "ftdi/libftdi/ftdi_transport.h"

namespace korvel::ftdi {

// Reads all 64 words. Failed on any USB failure.
Transfer read_eeprom_image(OpenFtdiDevice& device, ft232r::Image& image);

// Writes the given words of `image` (ascending word indices) and reads them back. The FT232R's
// internal EEPROM is programmed in 32-bit units, so each word is written together with the
// other word of its pair (unchanged words get their present value back). The checksum is the
// last word, so an interrupted write leaves an image the chip rejects rather than a half-new
// one it trusts. Failed on a USB failure; Refused when a word index is out of range or the chip
// did not keep what was written.
Transfer write_eeprom_words(OpenFtdiDevice& device, const ft232r::Image& image,
                            const std::vector<std::size_t>& words);

}  // namespace korvel::ftdi
