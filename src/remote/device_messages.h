// Messages the program would have shown in a message box where no one can answer one (no screen
// to show it on), handed to the remote clients instead: each goes into the error queue of every
// session open at the time as the device-specific error +100,"<title>: <text>", and the last 16
// also into the queue of each session that opens later, so the "Restore Error" of a first start
// reaches a client that connects after it.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "scpi/status_registers.h"

namespace korvel::remote {

class DeviceMessages {
  public:
    static constexpr std::size_t kKept = 16;

    void post(const std::string& title_and_text);
    // A session opens (it is given the kept messages) or closes.
    void attach(scpi::StatusRegisters* status);
    void detach(scpi::StatusRegisters* status);
    // Forgets the kept messages.
    void clear() { kept_.clear(); }
    // Runs `f` on the status registers of every open session.
    template <typename F>
    void for_each_open(F f) {
        for (scpi::StatusRegisters* status : open_) f(*status);
    }

  private:
    std::deque<std::string> kept_;
    std::vector<scpi::StatusRegisters*> open_;
};

// The program's one board, which every Session attaches to.
DeviceMessages& device_messages();

}  // namespace korvel::remote
