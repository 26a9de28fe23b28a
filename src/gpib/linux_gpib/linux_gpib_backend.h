// The backend for real instruments: the Linux GPIB driver's user library, libgpib.so.0, which
// offers the same calls and status words. It is not a Debian package, so the program does not
// link against it: it is loaded when this backend is chosen. When it cannot be loaded, every call
// fails the way a missing driver does: ERR with EDVR (ibdev returns -1).
#pragma once

#include <memory>
#include <string>

#include "gpib/backend.h"

namespace korvel::gpib {

constexpr const char* kLinuxGpibLibrary = "libgpib.so.0";

class LinuxGpibBackend final : public Backend {
  public:
    // Loads `library` (a file name searched the usual way, or a path).
    explicit LinuxGpibBackend(const std::string& library = kLinuxGpibLibrary);
    ~LinuxGpibBackend() override;
    LinuxGpibBackend(const LinuxGpibBackend&) = delete;
    LinuxGpibBackend& operator=(const LinuxGpibBackend&) = delete;

    bool loaded() const { return api_ != nullptr; }
    // Why the library could not be used ("" when it is loaded): one line for the operator.
    const std::string& load_problem() const { return problem_; }

    int dev(int board, int pad, int sad, int timeout, int eot, int eos,
            CallStatus& status) override;
    CallStatus clr(int ud) override;
    CallStatus onl(int ud, int online) override;
    CallStatus wrt(int ud, const void* data, long count) override;
    CallStatus rd(int ud, void* buffer, long count) override;

  private:
    struct Api;
    CallStatus status_after() const;

    void* handle_ = nullptr;
    std::unique_ptr<Api> api_;
    std::string problem_;
};

}  // namespace korvel::gpib
