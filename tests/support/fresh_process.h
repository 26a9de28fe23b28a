// Every test and benchmark starts from the process as a new one finds it, through this one call:
// each layer's own reset, bottom up, and a fresh simulated unit behind the driver.
#pragma once

namespace korvel::testing {

enum class UnitBehindDriver {
    FreshSimulated,  // a fresh simulated unit, attached, on the virtual clock
    AsPlaced,        // whatever backend the caller has just put in place (the emulated USB)
};

// No unit variant noted (ZEVA_CHIP_FLAG unset), an empty user interface, the unit, the link and
// its I2C engine, the DS4520 driver, the FPGA pattern buffer, the program's state and no service
// output sink.
void fresh_process(UnitBehindDriver unit = UnitBehindDriver::FreshSimulated);

}  // namespace korvel::testing
