// THE table of remote commands: every header the server understands and the handlers behind it.
#pragma once

#include <span>
#include <string>

#include "remote/command.h"
#include "scpi/message.h"

namespace korvel::remote {

std::span<const CommandDef> command_table();

// The command a header names, given the nodes it stands for once the path of the message's
// earlier units is put in front (common commands by their name alone); nullptr when none does.
const CommandDef* find_command(bool common, std::span<const std::string> nodes);

}  // namespace korvel::remote
