// The operator's side of the soak: one random action at a time on whatever the program shows.
//
// Every control of every open window is a candidate (pressing buttons, ticking boxes, typing
// numbers in and beyond their ranges, dragging slides, choosing ring items, typing text and
// calibration marks), and so are the menu items, F9, the mouse wheel on the slides, the
// calibration window and the USB cable. Left out on purpose: the exits (the soak ends with
// File > Exit itself) and the Debug panel's "DAC_Sweep" box, whose sweep keeps the program busy
// for half an hour of unit time.
#pragma once

#include <string>

#include "soak/soak_checks.h"
#include "soak/soak_random.h"

namespace korvel::soak {

struct ActionResult {
    std::string description;
    bool cable_changed = false;  // the unit was plugged in or out
};

// Performs one action; notes in `excused` the unit fields it hands to the Debug panel's raw
// controls and those it gives back to the main controls.
ActionResult perform_random_action(SoakRandom& random, Excusals& excused);

}  // namespace korvel::soak
