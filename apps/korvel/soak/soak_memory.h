// The process's resident memory, as the kernel reports it (VmRSS in /proc/self/status).
#pragma once

namespace korvel::soak {

// Kibibytes resident now, or -1 where the kernel does not say.
long resident_kib();

}  // namespace korvel::soak
