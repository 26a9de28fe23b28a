// One remote client's conversation: its lines run in turn against the command table, with its
// own error queue and the SCPI path that joins the units of one line ("SOUR:PATT PRBS7;AMPL 300"
// sets the amplitude under SOURce).
//
// Each line runs to its end, or up to its first error: the error is queued and the rest of the
// line is skipped, so a query after a fault gets no reply. The replies of a line's queries go
// back as one line, separated by ';'.
//
// Each session keeps its own IEEE 488.2 status (error queue, event status, status byte, the
// OPERation and QUEStionable groups) and receives the program's unanswerable message boxes
// (device_messages.h) for as long as it lives. While a message box or file dialog waits for the
// operator, queries answer but commands that would change the unit or the windows are refused
// with -221 naming the box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "scpi/status_registers.h"

namespace korvel::remote {

class Session {
  public:
    // A session on the program's main window (app::main_panel).
    Session();
    // A session whose commands operate the main window whose panel handle `main_panel` holds. The
    // handle is read as each command runs: the program loads its panels (again) while clients
    // stay connected.
    explicit Session(const int& main_panel);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one line (without its terminator); returns the reply line ending in "\n", or "" when
    // the line held no query that ran.
    std::string run_line(std::string_view line);
    // A line too long to take was thrown away.
    void line_discarded();

    scpi::ErrorQueue& errors() { return status_.errors(); }
    scpi::StatusRegisters& status() { return status_; }

  private:
    const int* main_panel_;
    scpi::StatusRegisters status_;
};

}  // namespace korvel::remote
