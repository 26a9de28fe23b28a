// The names saves write their new content under before renaming it into place, and the start-up
// sweep that removes the ones a killed process left behind.
//
// Every save of this program and of the simulated unit (settings, configurations, the unit's state
// file) writes a temporary file beside its target, then renames it over the target. A process
// killed between the two leaves the temporary file behind. Its name says whose it was,
// ".korvel-PID-N.tmp", so that a later start can tell the leftover of a dead process from the
// save that another running program is making in the same folder at that moment.
#pragma once

#include <string>

namespace korvel::base {

// A name this process has not used before, in `folder` ("" for the working folder, with or
// without a trailing '/'): ".korvel-<process id>-<n>.tmp".
std::string temporary_file_name(const std::string& folder);

// Removes the regular files of `folder` named as above whose process is no longer running, and
// those bearing this process's own id (a process that ended long ago had it): call it at start-up,
// before anything is saved. Any other name, and the files of every other running process, stay.
// Returns how many files were removed.
int remove_stale_temporary_files(const std::string& folder);

}  // namespace korvel::base
