// Starting the SCPI server for --remote / --remote-bind.
#pragma once

#include <memory>
#include <string>

#include "options.h"
#include "remote/qt/remote_server.h"

namespace korvel::gui {

// Listens as the options say; nullptr with the reason in `error` when the address is not one or
// the port cannot be had. Says on stderr where it listens.
std::unique_ptr<remote::RemoteServer> start_remote_control(const Options& options,
                                                           std::string* error);

}  // namespace korvel::gui
