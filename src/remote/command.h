// The shape of a remote command: its header as the command table spells it and the functions
// behind its command and query forms.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "scpi/error_queue.h"
#include "scpi/message.h"
#include "scpi/parameters.h"

namespace korvel::remote {

// What a handler gets: its parameters, the reply a query writes, and the session's error queue
// (for the commands that read or clear it).
struct CommandCall {
    std::span<const scpi::Parameter> parameters;
    std::string reply;
    scpi::ErrorQueue& errors;
};

// Returns the error to queue, if any. A handler that fails changes nothing on the panels.
using CommandHandler = scpi::Fault (*)(CommandCall& call);

struct CommandDef {
    std::string_view header;  // "[SOURce:]AMPLitude", or a common command "*IDN"
    CommandHandler set;       // nullptr: the header has no command form
    CommandHandler query;     // nullptr: the header has no query form
};

}  // namespace korvel::remote
