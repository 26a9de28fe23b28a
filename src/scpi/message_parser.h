// Reads one line of SCPI (without its terminator) into message units.
//
// The grammar is the usual subset of IEEE 488.2 program messages:
//   line      = [unit] { ';' [unit] }
//   unit      = header [ '?' ] [ white { white } parameter { ',' parameter } ]
//   header    = '*' name | [':'] name { ':' name }        (name: a letter, then letters, digits,
//   '_') parameter = mnemonic | number | string                (white space around commas allowed)
//   number    = decimal [ [white] suffix ] | '#' (H|Q|B) digits-of-that-base
//   decimal   = [+|-] ( digits [ '.' digits ] | '.' digits ) [ (e|E) [+|-] digits ]
//   suffix    = letter { letter }                          ("300mV", "50 PCT")
//   string    = "..." or '...', the quote doubled inside
// Control characters (other than tab) are invalid anywhere, bytes above 0x7E outside strings:
// those give -101, any other misplaced character -102. Empty units are skipped.
#pragma once

#include <string_view>

#include "scpi/message.h"

namespace korvel::scpi {

Message parse_message(std::string_view line);

}  // namespace korvel::scpi
