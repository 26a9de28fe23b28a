// The remote file folder: the one folder whose files remote clients may read and write, as an
// instrument's mass memory (--remote-files, the working directory by default). A path in a
// command is taken relative to it. An absolute path, a ".." component, or a path that leads out
// of it through a symbolic link is refused with -257 before anything is opened or written, so a
// client on the network can neither replace the program's own files nor read others.
//
// A store resolves its target first and writes the resolved file; a local user who swaps a
// folder for a symbolic link in the moment between the two could still redirect it. Reads have
// no such gap: the file is opened first and then checked for where it really is.
#pragma once

#include <string>

#include "scpi/parameters.h"

namespace korvel::remote {

// Makes `folder` the remote file folder; "" is the working directory, looked up at each use.
// False, with the reason in `error`, when `folder` is not an existing folder.
bool set_file_root(const std::string& folder, std::string* error);
// The folder as an absolute path without symbolic links ("" when it no longer exists).
std::string file_root();

// Opens the file `path` names in the folder for reading (non-blocking, so that a FIFO does not
// wait for a writer; the caller checks its kind). -257 outside the folder, -256 when nothing is
// there, -250 when it cannot be opened (a symbolic link loop, no permission, ...).
scpi::Fault open_in_root(const std::string& path, int* fd);
// The file a store to `path` writes, as an absolute path inside the folder (a symbolic link
// followed). -257 outside the folder, -250 when the folder it would be in does not exist.
scpi::Fault store_target(const std::string& path, std::string* target);
// The absolute path `path` stands for, for showing it (not resolved: it may not exist).
std::string path_in_root(const std::string& path);

}  // namespace korvel::remote
