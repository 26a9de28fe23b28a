// korvelctl's command line read into what to do, without doing any of it: no driver call, no file
// opened, no environment variable set. run() acts on the result; the fuzz target
// fuzz/korvelctl_args.cpp feeds it any argument list.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "command_answer.h"
#include "settings_parser.h"

namespace korvelctl {

enum class Command { Set, List, Status, LoadPattern, LoadMask };

struct Request {
    Command command = Command::Status;
    bool simulate = false;          // --simulate
    std::string sim_state;          // --sim-state FILE, empty when not given
    std::string trace;              // --trace FILE, empty when not given
    bool json = false;              // status --json
    std::vector<Setting> settings;  // set: checked, in the order given
    std::string file;               // load-pattern, load-mask
};

using Answer = korvel::cli::Answer;

// `argv[0]` is the program name and is not read.
std::variant<Request, Answer> parse_command_line(int argc, const char* const* argv);

}  // namespace korvelctl
