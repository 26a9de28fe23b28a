// What the driver knows about a device beyond the FT_* statuses, for the device link to report.
#pragma once

#include "ftdi/ftd2xx.h"

namespace korvel::ftdi {

// True when `handle` is open but its device was given up after a USB request failed (it timed
// out, or the device went away): every call on it fails at once until FT_Close.
bool handle_lost(FT_HANDLE handle);

// True when the latest FT_Open failed because this user may not open the device (on Linux: no
// udev rule gives the user access to its device node).
bool last_open_denied();

}  // namespace korvel::ftdi
