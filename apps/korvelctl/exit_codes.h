// Exit statuses of korvelctl, as sysexits.h names them.
#pragma once

namespace korvelctl {

constexpr int kExitOk = 0;
constexpr int kExitUsage = 64;        // EX_USAGE: bad arguments, nothing was sent
constexpr int kExitUnavailable = 69;  // EX_UNAVAILABLE: the unit cannot be opened, is in use by
                                      // another program, or was disconnected during the command
constexpr int kExitIoError = 74;      // EX_IOERR: the simulated unit's state or trace not written

}  // namespace korvelctl
