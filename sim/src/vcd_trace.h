// Value Change Dump of the eight resolved pin levels, timescale 1 us, in virtual time. Several
// changes within one microsecond (the bytes of one multi-byte write) collapse into the level the
// pins have at the end of it, so each timestamp appears once and only real changes are written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace korvel::sim {

class VcdTrace {
  public:
    VcdTrace() = default;
    ~VcdTrace() { close(); }
    VcdTrace(const VcdTrace&) = delete;
    VcdTrace& operator=(const VcdTrace&) = delete;

    // False when the file cannot be made (see error()).
    bool open(const std::string& path, std::uint64_t now_us, std::uint8_t levels);
    bool is_open() const { return file_ != nullptr; }
    void change(std::uint64_t now_us, std::uint8_t levels);
    // Writes the last pending levels and a final timestamp (at least `now_us`), then closes.
    // False when any of the trace could not be written (a full disk, say).
    bool close(std::uint64_t now_us = 0);
    // Why the trace could not be made or written: the first failure.
    const std::string& error() const { return error_; }

  private:
    void flush_pending();
    // printf to the file; the first failure is kept and the rest of the trace is not attempted.
    void put(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void failed();

    std::FILE* file_ = nullptr;
    std::uint64_t pending_time_ = 0;
    std::uint8_t pending_ = 0;
    std::uint8_t written_ = 0;
    std::uint64_t last_time_ = 0;
    bool initial_ = false;
    std::string error_;
};

}  // namespace korvel::sim
