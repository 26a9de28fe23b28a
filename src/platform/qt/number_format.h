// How numbers of numeric controls are shown and how a slider's integer positions map onto a
// control's range. Pure functions, so the view's rounding rules can be tested without widgets.
#pragma once

#include <QString>

#include "resource/control_def.h"

namespace korvel::qtview {

// Digits after the decimal point: none for integer types; for float and double at least two, and
// enough to show the minimum, the initial value and an increment down to a thousandth exactly
// (at most six).
int decimals_for(const resource::ControlDef& def);

// The range a control's field accepts: its own, or the whole range of its data type.
void value_range(const resource::ControlDef& def, double* lo, double* hi);

// Text of a value in the control's own format (fixed or scientific notation).
QString format_number(const resource::ControlDef& def, double value);

// Compact text for the ends of a slider's scale ("44", "600", "0.5").
QString format_scale(double value);

// A slider over [lo, hi] in steps of `increment`: number of positions above the first, capped so
// that fine increments over a wide range still fit an int slider.
int slider_positions(double lo, double hi, double increment);
int slider_position_of(double value, double lo, double hi, int positions);
double slider_value_at(int position, double lo, double hi, int positions);

}  // namespace korvel::qtview
