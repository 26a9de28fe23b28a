// Word access to an FT232R's configuration EEPROM through an open libftdi context.
#pragma once

#include <cstddef>
#include <vector>

#include "ftdi/ft232r_eeprom.h"

struct ftdi_context;

namespace korvel::ftdi {

// Reads all 64 words. False on any USB failure.
bool read_eeprom_image(ftdi_context* context, ft232r::Image& image);

// Writes the given words of `image` (ascending word indices) and reads them back. The FT232R's
// internal EEPROM is programmed in 32-bit units, so each word is written together with the
// other word of its pair (unchanged words get their present value back). The checksum is the
// last word, so an interrupted write leaves an image the chip rejects rather than a half-new
// one it trusts. False on any USB failure or a read-back mismatch.
bool write_eeprom_words(ftdi_context* context, const ft232r::Image& image,
                        const std::vector<std::size_t>& words);

}  // namespace korvel::ftdi
