// The shape of a remote command: its header as the command table spells it and the functions
// behind its command and query forms.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "scpi/error_queue.h"
#include "scpi/message.h"
#include "scpi/parameters.h"
#include "scpi/status_registers.h"

namespace korvel::remote {

// What a handler gets: its parameters, the reply a query writes, the session's error queue and
// status registers (for the commands that read or clear them), and the main window's panel the
// session operates (the session's context: handlers reach the program's windows through it).
struct CommandCall {
    std::span<const scpi::Parameter> parameters;
    std::string reply;
    scpi::ErrorQueue& errors;
    scpi::StatusRegisters& status;
    bool message_available = false;  // an earlier query of the line has a reply waiting
    int main_panel;
};

// Returns the error to queue, if any. A handler that fails changes nothing on the panels.
using CommandHandler = scpi::Fault (*)(CommandCall& call);

// What a command may do while a message box or file dialog waits for the operator (the program
// is then in the middle of whatever opened it): queries read, commands that would change the unit
// or the windows are refused.
enum class WhileBoxOpen {
    QueryOnly,  // the query answers, the command form is refused
    Both,       // both forms touch only the session (its status registers)
    Neither,    // even the query drives the unit
};

struct CommandDef {
    std::string_view header;  // "[SOURce:]AMPLitude", or a common command "*IDN"
    CommandHandler set;       // nullptr: the header has no command form
    CommandHandler query;     // nullptr: the header has no query form
    WhileBoxOpen while_box = WhileBoxOpen::QueryOnly;
};

}  // namespace korvel::remote
