// The text of the settings file ("settings.cfg") and of the named configuration files: a header
// line, then the twelve values of the generator settings set, one "key value" line each, in the
// set's order, then an empty line.
//
//   ZEVA_KORVELConfigData
//   8010 0
//   Pattern 1
//   ...
//   DutyCycleControl 2.800000
//   ...
//   Polarity 0
//   (empty line)
//
// Pure text <-> values; no files, no panels. Both directions ignore the process's locale, so a
// desktop set to a decimal comma neither writes "2,800000" nor misreads "2.800000".
#pragma once

#include <string>
#include <string_view>

#include "app/state.h"

namespace korvel::app {

inline constexpr std::string_view kSettingsHeader = "ZEVA_KORVELConfigData";

// The file's text for `s`, byte for byte as the program has always written it: integers as
// "%d" (byte-wide values unsigned, 0..255), floats as "%f" (six decimals), "\n" line ends.
std::string format_settings(const GeneratorSettings& s);

// Reads `text` into `s` by position, as "%s %d" and "%s %f" read it. The first line is the header
// and is not compared with anything; then come twelve pairs of a whitespace-delimited word and a
// number, in file order, wherever the line ends fall (one pair a line, several on one line, or
// all on one). The word is not compared with the key either (files with other words in the
// right order restore; the right keys in another order put values into the wrong settings).
// Byte-wide settings keep the low 8 bits of the integer read (257 gives 1). A float may be
// written in any form "%f" reads: "0x1.6p+1" is 2.75, "1e-50" is 0.
//
// The number is read from the start of the word after the key (anything after it in that word is
// ignored). A setting whose number is unreadable, beyond a 32-bit integer, or not a finite float
// keeps its previous value and uses up that word; a missing number makes the next key the
// number, so that the settings after it keep their values rather than take their neighbours'.
// Words of any length are passed over whole; "\r\n" line ends read like "\n"; missing pairs at
// the end keep their settings as they were.
// Returns how many of the twelve settings were read from the text.
int parse_settings(std::string_view text, GeneratorSettings& s);

// The text's first line is the header (blanks and a '\r' after it allowed): what tells a
// configuration file from any other text file.
bool has_settings_header(std::string_view text);

}  // namespace korvel::app
