// SCPI's long and short forms. A form is written as the command tables spell it, "AMPLitude":
// the upper-case letters are the short form ("AMPL"), the whole word the long form
// ("AMPLITUDE"); a program may send either, in any case, but nothing in between.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvel::scpi {

std::string short_form(std::string_view form);

// Whether `word` (already upper case) is the short or the long form of `form`.
bool mnemonic_matches(std::string_view form, std::string_view word);

// Whether the nodes of a header (upper case) name the command spelled `pattern`, for example
// "[SOURce:]AMPLitude" or "OUTPut:CLOCk1". A node in brackets may be left out. A node ending in
// digits takes that numeric suffix, and also no suffix at all (SCPI's default suffix 1 when the
// digits are 1); a node without digits takes none.
bool header_matches(std::string_view pattern, std::span<const std::string> nodes);

}  // namespace korvel::scpi
