#include "korvel/sim/unit.h"

namespace korvel::sim {

// The FT232R keeps its configuration in a 128-byte internal EEPROM (64 words):
//   0x00..0x17  configuration words (ids, power, chip options, pin inversion, CBUS functions and
//               the pointers to the three strings): 24 bytes; the strings start at 0x18.
//   manufacturer "ZEVA" as a USB string descriptor: 2 + 2 x 4 characters  = 10 bytes
//   description "ZEVA_KORVEL" (or "ZEVA~KORVEL"):  2 + 2 x 11 characters = 24 bytes
//   serial number, room for the usual 8 characters: 2 + 2 x 8 characters  = 18 bytes
//   the short trailer FTDI's tools write after the last string:               4 bytes
//   checksum in the last word (0x7E..0x7F):                                   2 bytes
// What is left between that trailer and the checksum is the user area:
//   128 - 24 - 10 - 24 - 18 - 4 - 2 = 46 bytes.
const std::size_t kUserAreaSize = 128 - 24 - 10 - 24 - 18 - 4 - 2;

}  // namespace korvel::sim
