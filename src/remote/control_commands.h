// The common shapes of commands that set or read one control: a number, or a switch.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "remote/command.h"

namespace korvel::remote {

// One number (or MINimum|MAXimum|DEFault), checked against the range the control takes now and
// typed into it: out of range is -222 and nothing changes. `units` are the suffixes it takes.
scpi::Fault set_control_number(CommandCall& call, int panel, int control, std::string_view name,
                               std::span<const scpi::Unit> units = {});
// The control's value; "? MIN" / "? MAX" give its limits.
scpi::Fault query_control_number(CommandCall& call, int panel, int control, std::string_view name);

// ON|OFF|1|0 put into a switch (toggle button or check box) and committed.
scpi::Fault set_control_switch(CommandCall& call, int panel, int control);
// "1" or "0".
void reply_switch(CommandCall& call, bool on);

// The one parameter of a file command: a quoted path that fits a buffer of `buffer` bytes with its
// terminator (-257 for an empty or longer one, rather than loading a file cut to another name).
scpi::Fault read_path(const CommandCall& call, std::size_t buffer, std::string* path);

// A command form that takes no parameters (-108 otherwise).
scpi::Fault no_parameters(const CommandCall& call);

}  // namespace korvel::remote
