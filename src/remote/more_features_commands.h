// Commands on the sync output's trigger and on the More Features window: trigger mode and manual
// divide ratio, data polarity, error injection on/off.
//
// More Features is opened through its "Features" menu when a command needs one of its controls,
// and left open, as an operator would leave it: closing it would switch error injection off (the
// switch counts as off while the window is closed). While it is closed, the queries report what
// it shows when opened: the stored ratio and polarity, and error injection off.
#pragma once

#include "remote/command.h"

namespace korvel::remote {

scpi::Fault set_trigger_mode(CommandCall& call);  // TRIGger:MODE PATTern|EYE|MANual
scpi::Fault query_trigger_mode(CommandCall& call);
scpi::Fault set_divide_ratio(CommandCall& call);  // TRIGger:DIVide 1..256 (in MANual mode)
scpi::Fault query_divide_ratio(CommandCall& call);
scpi::Fault set_polarity(CommandCall& call);  // [SOURce:]POLarity NORMal|INVerted
scpi::Fault query_polarity(CommandCall& call);
scpi::Fault set_error_state(CommandCall& call);  // ERRor:STATe ON|OFF
scpi::Fault query_error_state(CommandCall& call);

}  // namespace korvel::remote
