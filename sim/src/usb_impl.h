// The simulated FTDI side: every FTDI chip on the cable (the board's and any others), their open
// handles, the call counters, virtual time, planned faults and the files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "fault_plan.h"
#include "file_io.h"
#include "korvel/sim/usb.h"
#include "state_lock.h"
#include "vcd_trace.h"

namespace korvel::sim {

// The manufacturer string of the other FTDI devices (FTDI's own, as they come from the factory).
constexpr const char* kOtherManufacturer = "FTDI";

// One FT232R as the driver sees it. For the board the pins live in Board.
struct FtdiPort {
    std::uint64_t id = 0;  // stable identity for handles
    std::string description, serial;
    std::uint32_t loc_id = 0;
    // The open handle, 0 when closed. Losing the chip (unplug, re-enumeration) sets it to 0 too;
    // handles are never reused, so one opened before that never matches again.
    Handle handle = 0;
    std::uint8_t mode = 0;                  // 0 = reset (no bit-bang), 1 = asynchronous bit-bang
    std::uint8_t direction = 0, latch = 0;  // other devices only
    std::vector<std::uint8_t> user_area;    // other devices only
};

struct Usb::Impl {
    Impl();

    enum class Target { Unknown, Dead, Board, Other };
    struct Resolved {
        Target target = Target::Unknown;
        FtdiPort* port = nullptr;
    };
    Resolved resolve(Handle handle);
    // Counts the call and applies planned faults; false (with `status`) when the call must stop.
    bool enter(Call kind, Status& status);
    // As enter, and finds the handle's device: kInvalidHandle for a closed or unknown handle,
    // kIoError for one whose device has gone since it was opened.
    bool enter(Call kind, Handle handle, Resolved& device, Status& status);
    // Makes the pins in `mask` outputs, the rest inputs (the board's pins live in Board).
    void set_direction(FtdiPort& port, std::uint8_t mask);
    // The EEPROM user area of a device, and how much of it the driver reaches.
    std::vector<std::uint8_t>& user_area_of(FtdiPort& port);
    std::size_t user_area_size_of(const FtdiPort& port) const;
    // The devices in list order.
    std::vector<FtdiPort*> listed();
    void on_power(bool attached);

    // --- the state file (usb_files.cpp) ---
    std::string board_text();
    // Reads a state file's text into the board; false (with `error`) changes nothing.
    bool load_text(const std::string& text, const std::string& path, std::string* error);
    // Takes the state file for opening the board, reading it again when another program saved it
    // since. False when another program holds it (`busy`) or it cannot be used (told).
    bool take_state(bool& busy);
    // The board's handle is gone: saves the board if it changed, then lets the file go.
    void release_state();
    // Writes the board to the state file (only when it changed since it was last read or
    // written, with `only_if_changed`); false (with `error`) when none is set or it fails.
    bool save(std::string* error, bool only_if_changed);
    // As save if changed, for the automatic saves: a failure is told.
    void save_quietly();
    // Tells a failure to keep a file on stderr and keeps the first one for finish_files.
    void note_file_error(const std::string& message);
    bool board_held_elsewhere() const;

    Board board;
    FtdiPort board_port;
    std::vector<FtdiPort> others;
    std::size_t board_position = 0;
    std::uintptr_t board_list_handle = 0;
    std::uint64_t next_port_id = 1;

    std::unordered_map<Handle, std::uint64_t> handles;  // handle -> the FtdiPort id it opened
    Handle next_handle = 0x4b0000;

    std::uint64_t now_us = 0;
    std::array<std::uint64_t, kCallKinds> counts{};
    std::uint64_t invalid_handle_calls = 0;
    // Handles already told once that their device is gone, and the calls that named one again.
    std::unordered_set<Handle> told_gone;
    std::uint64_t lost_handle_calls = 0;
    FaultPlan faults;
    std::uint8_t pins_read_high = 0;  // force_pins_read_high

    std::string state_path;
    std::string state_refusal;  // why the state file cannot be used; the board cannot be opened
    // The state file as this program last read or wrote it (none: it did neither, or there was no
    // file), and the board as it was then. Another program's save changes the one, a change of
    // the board the other.
    std::optional<FileIdentity> synced_file;
    std::string synced_text;
    StateLock state_lock;    // held while the board is open
    std::string file_error;  // the first failure to keep a file since finish_files
    bool loading = false;
    VcdTrace trace;
    std::string trace_path;
};

}  // namespace korvel::sim
