// The two ways the Error Injection Setup panel places n errors in the 256-bit mask (column 0 of
// the pattern columns): one burst, or spread at random.
#pragma once

#include "fpga/pattern_memory.h"

namespace korvel::app {

// Clears the mask (column 0) and sets its first `errors` positions in file order (position k is
// bit 7 - k % 8 of row k / 8): one burst.
void set_error_burst(PatternColumns& columns, int errors);

// Spreads the mask's ones at random: for i from 0 to 253, exchanges mask index i with index
// j = trunc(Random(i, 255.999)), where index k is bit k % 8 of row k / 8. The number of ones
// never changes.
void spread_errors(PatternColumns& columns);

}  // namespace korvel::app
