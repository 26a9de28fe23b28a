// What a command-line program of the KORVEL tools prints instead of running a command, and its
// exit status: the help text on standard output, or what is wrong on standard error. A program
// reads its command line into a request or one of these before it does anything.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <sstream>
#include <string>

namespace korvel::cli {

struct Answer {
    int status = 0;
    std::string out;
    std::string err;
};

// The answer CLI11 gives `app` for a help request (--help, or its status 0 in general).
inline Answer help_answer(const CLI::App& app, const CLI::Error& e) {
    std::ostringstream out, err;
    const int status = app.exit(e, out, err);
    return Answer{status, out.str(), err.str()};
}

// Prints `a` and returns its exit status.
inline int give(const Answer& a, std::ostream& out, std::ostream& err) {
    out << a.out;
    err << a.err;
    return a.status;
}

}  // namespace korvel::cli
