// korvel-gpib's command line read into what to do, without doing any of it: no GPIB call, no
// library loaded, no environment read. run() acts on the result; the fuzz target
// fuzz/korvel_gpib_args.cpp feeds it any argument list.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "command_answer.h"
#include "gpib/sim/sim_bench.h"

namespace korvel_gpib {

enum class Command { Init, Dismiss, Idn, Write, Query };

struct Request {
    Command command = Command::Init;
    bool simulate = false;                       // --simulate
    std::vector<korvel::gpib::SimFault> faults;  // every --sim-fail, checked, in order
    std::string instrument;                      // write: siggen or scope; query: scope or errdet
    std::string text;                            // write, query: the words joined with blanks
};

using Answer = korvel::cli::Answer;

// `argv[0]` is the program name and is not read.
std::variant<Request, Answer> parse_command_line(int argc, const char* const* argv);

}  // namespace korvel_gpib
