// The common commands (*IDN?, *RST, *OPC?, *CLS) and the SYSTem subsystem.
#pragma once

#include <string>

#include "remote/command.h"

namespace korvel::remote {

// What *IDN? reports, and DNS-SD's TXT records with it: the serial is the one `main_panel`
// shows while the unit is connected (only characters that cannot break a comma-separated field),
// "0" otherwise; the firmware field is the program's version ("1.4.0").
struct Identity {
    std::string manufacturer;
    std::string model;
    std::string serial;
    std::string firmware;
};
Identity identity(int main_panel);

scpi::Fault identify(CommandCall& call);            // *IDN?  MORLIDEX,KORVEL,<serial or 0>,1.4.0
scpi::Fault reset(CommandCall& call);               // *RST
scpi::Fault operation_complete(CommandCall& call);  // *OPC?  1 once nothing is pending
scpi::Fault clear_status(CommandCall& call);        // *CLS   event registers and error queue
scpi::Fault next_error(CommandCall& call);          // SYSTem:ERRor[:NEXT]?
scpi::Fault query_connected(CommandCall& call);     // SYSTem:CONNected?  1 or 0

// What *RST does: the main panel's setup controls and the values More Features shows go back to
// the resource's defaults, and are sent to the unit the way a reconnect sends the panel's setup;
// clock output 1 and the data polarity, which a reconnect leaves alone, are sent as well, so the
// unit ends up matching the panels. With the unit absent the panels are reset all the same and
// the next reconnect sends them.
void reset_to_defaults(int main_panel);

}  // namespace korvel::remote
