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

    bool open(const std::string& path, std::uint64_t now_us, std::uint8_t levels);
    bool is_open() const { return file_ != nullptr; }
    void change(std::uint64_t now_us, std::uint8_t levels);
    // Writes the last pending levels and a final timestamp (at least `now_us`), then closes.
    void close(std::uint64_t now_us = 0);

  private:
    void flush_pending();

    std::FILE* file_ = nullptr;
    std::uint64_t pending_time_ = 0;
    std::uint8_t pending_ = 0;
    std::uint8_t written_ = 0;
    std::uint64_t last_time_ = 0;
    bool initial_ = false;
};

}  // namespace korvel::sim
