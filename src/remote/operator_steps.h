// What remote commands do to the panels, step by step as an operator would: typing a value into a
// control, choosing a ring item, pressing a button, opening a window through its opener. Every
// step goes through the platform's operator input, so the callbacks see exactly the events a
// hand on the panel gives, and a dimmed control refuses the step as it refuses the operator.
#pragma once

#include <string>
#include <string_view>

#include "scpi/parameters.h"

namespace korvel::remote {

// A value typed into a control: a slide gets the value change and then the commit (the two events
// the window gives when a value is typed into the slide's field), other controls the commit.
// A refused step (dimmed control) gives -221, any other refusal -200.
scpi::Fault type_value(int panel, int control, double value);
// The ring item at list position `index`, chosen.
scpi::Fault choose_item(int panel, int control, int index);
// A command button pressed.
scpi::Fault press(int panel, int control);

// The range a numeric control takes now (its limits may change at run time: "Exp Amp" raises the
// amplitude's maximum), its resource default, and the command's name for the error detail.
scpi::NumberRange control_range(int panel, int control, std::string_view name);
// The same from the resource, for a control of a window that is not open.
scpi::NumberRange resource_range(int panel_id, int control, std::string_view name);
// Whether the control holds whole numbers only.
bool whole_numbers(int panel, int control);

// The control's value; `fallback` when the panel is not loaded.
double control_value(int panel, int control, double fallback = 0.0);
std::string control_text(int panel, int control);

// Opens More Features through the "Features" menu of `main_panel` when it is closed; true when it
// is open.
bool open_more_features(int main_panel);
// Opens Error Injection Setup through "Err Inj Load" on More Features when it is closed (the
// button does nothing while the unit is absent); true when it is open.
bool open_error_injection_setup(int main_panel);

// The main panel's connection status shows the unit connected.
bool unit_connected(int main_panel);

}  // namespace korvel::remote
