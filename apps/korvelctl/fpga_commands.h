// korvelctl load-pattern and load-mask: a custom test pattern or an error-injection mask from a
// text file into the unit's FPGA, through the same readers and serial loads as the window.
#pragma once

#include <ostream>
#include <string>

namespace korvelctl {

// Exit 0 when loaded, 64 when the file cannot be read or holds no complete 256-bit word (nothing
// sent), 69 when the unit cannot be opened or was disconnected during the load.
int run_load_pattern(const std::string& path, std::ostream& out, std::ostream& err);
// Exit 0 when loaded, 64 when the file cannot be read, does not begin with the period and width
// as decimal numbers, or has fewer than 256 mask bits (nothing sent), 69 without a unit or when
// it was disconnected during the load.
int run_load_mask(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace korvelctl
