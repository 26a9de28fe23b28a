// Which backend answers the GPIB calls.
//
// The choice is made once, at the first call, from KORVEL_GPIB_BACKEND: "linux-gpib" (the
// default, real instruments through libgpib.so.0) or "sim" (the simulated bench). Tools and tests
// may choose before that, or switch later, with select_backend().
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvel::gpib {

class Backend;
class SimBench;

enum class BackendKind { LinuxGpib, Sim };

// "linux-gpib" or "sim" (exactly); anything else has no kind.
std::optional<BackendKind> parse_backend_name(std::string_view name);
// The kind KORVEL_GPIB_BACKEND names; LinuxGpib when it is unset, and for an unknown value (which
// gets one line on the console).
BackendKind backend_kind_from_environment();

// Makes `kind` the process's backend from now on; what the previous one had open is forgotten.
// Choosing LinuxGpib loads the library; when that fails, one line saying so goes to the console
// (console.h), and every call fails with EDVR. Choosing Sim starts a fresh bench.
void select_backend(BackendKind kind);
// The same with a library other than libgpib.so.0 (a path, or another name).
void select_linux_gpib(const std::string& library);
// Any other backend, for tests.
void select_backend(std::unique_ptr<Backend> backend);

// The backend behind the calls (chosen on first use).
Backend& backend();
// The simulated bench when it is the backend, else nullptr.
SimBench* sim_bench();

}  // namespace korvel::gpib
