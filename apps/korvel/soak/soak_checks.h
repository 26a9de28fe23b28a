// What must hold after every action of the soak.
//
// The unit matches the controls: once the program holds the unit open and a supervision tick has
// passed since it was plugged in, the expanders' pins and the DAC codes are what the main panel
// (and the settings set behind More Features) shows: the trigger mode's divide-ratio byte, clock
// output 1, the pattern code, the two levels, the FPGA reset and calibration lines low. The
// Debug panel's raw controls may take a field over on purpose; such a field is excused until the
// program sets it from the main controls again.
//
// The error-injection pin is not compared: data inversion and the error-injection switch share
// it, and whichever was applied last decides it.
#pragma once

#include <string>
#include <vector>

namespace korvel::soak {

struct Excusals {
    bool divide_byte = false;      // the main panel's SET button sent its fallback byte
    bool reset_pin = false;        // "InitStateMachine" toggled on the Debug panel
    bool pattern_code = false;     // pattern bits toggled on the Debug panel
    bool calibration_pin = false;  // "Calibration Mode" toggled on the Debug panel
    bool duty_level = false;       // the duty cycle taken from the Debug panel's frequency table
};

// The differences between the unit and the controls, one line each; empty when they agree.
std::vector<std::string> unit_differences(const Excusals& excused);

// Faults of the program's dealings with the driver and its files, one line each: a closed or
// never-given handle passed to the driver, a settings file (settings.cfg in the working
// directory) that is there but does not read as twelve settings.
std::vector<std::string> program_faults();

}  // namespace korvel::soak
