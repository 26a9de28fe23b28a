// The hold a program has on the unit's state file while it has the unit open. A real unit can be
// open in one program at a time; the simulated one is shared between programs through its state
// file, so the program that opens it takes an exclusive lock (flock) on that file and keeps it
// until it has saved the unit again at close. Another program's open then fails as it would on a
// busy device, and no program writes back a unit that another one changed meanwhile.
//
// Every save renames a new file into place, so the lock is taken on the new file before it
// replaces the old one: whoever locks the file at the path after that finds the saved unit.
#pragma once

#include <string>

#include "file_io.h"

namespace korvel::sim {

class StateLock {
  public:
    StateLock() = default;
    ~StateLock() { release(); }
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

    enum class Outcome { Locked, Busy, Missing, Failed };
    // Locks the regular file `path` names (through links) without waiting. Busy when another
    // program (or another open of it in this one) holds it, Missing when there is no file,
    // Failed with `error` for anything else (a FIFO or device is refused without blocking).
    Outcome lock(const std::string& path, std::string* error);

    // Writes `text` as the file at `path` (through links) and holds the lock on the new file.
    // With `create_only` an existing file is never replaced: false with `existed` set.
    bool replace(const std::string& path, const std::string& text, bool create_only, bool* existed,
                 std::string* error);

    // Reads the file held since lock(), at most `max_bytes`.
    bool read(const std::string& path, std::size_t max_bytes, std::string& text,
              std::string* error) const;

    bool held() const { return fd_ >= 0; }
    FileIdentity identity() const;  // of the file held
    void release();

    // Whether some other holder has the file `path` names locked now.
    static bool held_elsewhere(const std::string& path);

  private:
    void hold(int fd);
    int fd_ = -1;
};

}  // namespace korvel::sim
