// The host side of the simulated USB: a D2XX-shaped driver over the simulated FTDI devices (the
// KORVEL board plus any number of other FTDI devices), with call counting, virtual time, fault
// injection, the state file and the bus trace.
//
// Statuses follow the vendor driver's numbering: 0 = success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "korvel/sim/unit.h"

namespace korvel::sim {

using Status = std::uint32_t;
constexpr Status kOk = 0;
constexpr Status kInvalidHandle = 1;
constexpr Status kDeviceNotFound = 2;
constexpr Status kDeviceNotOpened = 3;
constexpr Status kIoError = 4;
constexpr Status kInvalidParameter = 6;
constexpr Status kInvalidBaudRate = 7;
constexpr Status kEepromWriteFailed = 12;
constexpr Status kInvalidArgs = 16;

// The largest state file read: a full pattern memory (4096 x 256 bits, one character each) makes
// a file of about 1.1 MB.
constexpr std::size_t kMaxStateFileBytes = 2 * 1024 * 1024;

// Handles are opaque non-zero values, never reused. A closed or unknown handle gets kInvalidHandle;
// a handle whose device was unplugged or re-enumerated since it was opened gets kIoError (as the
// vendor driver reports a vanished device). Either way the call does nothing.
using Handle = std::uintptr_t;

struct ListEntry {
    std::uint32_t flags = 0, type = 5 /* FT232R */, id = 0x04036001, loc_id = 0;
    std::string serial, description;
    std::uintptr_t handle = 0;  // the list's handle field
};

enum class Call {
    CreateDeviceInfoList,
    GetDeviceInfoList,
    GetDeviceInfoDetail,
    Open,
    SetBaudRate,
    SetBitMode,
    GetBitMode,
    Write,
    Close,
    CyclePort,
    EeUaSize,
    EeUaRead,
    EeUaWrite,
};
constexpr int kCallKinds = 13;

class Usb {
  public:
    Usb();
    ~Usb();  // saves the state file if one is set and the board changed, closes the trace

    // --- driver calls ---
    Status create_device_info_list(std::uint32_t& count);
    // Fills at most `capacity` entries; `count` gets the number of devices.
    Status get_device_info_list(std::vector<ListEntry>& out, std::size_t capacity,
                                std::uint32_t& count);
    Status get_device_info_detail(std::uint32_t index, ListEntry& out);
    // The board's open takes its state file (see files below).
    Status open(std::uint32_t index, Handle& handle);
    Status set_baud_rate(Handle handle, std::uint32_t baud);
    Status set_bit_mode(Handle handle, std::uint8_t mask, std::uint8_t mode);
    Status get_bit_mode(Handle handle, std::uint8_t& pins);
    Status write(Handle handle, const std::uint8_t* data, std::uint32_t count,
                 std::uint32_t& written);
    Status close(Handle handle);
    Status cycle_port(Handle handle);
    Status ee_ua_size(Handle handle, std::uint32_t& size);
    Status ee_ua_read(Handle handle, std::uint8_t* buffer, std::uint32_t length,
                      std::uint32_t& read);
    Status ee_ua_write(Handle handle, const std::uint8_t* buffer, std::uint32_t length);

    // --- virtual time: each call that reaches the pins (set_bit_mode, get_bit_mode, write on an
    // open handle) takes 1 us, whatever the number of bytes written; a pause takes its length ---
    void pause(double seconds);
    std::uint64_t now_us() const;

    // --- counters ---
    std::uint64_t calls(Call kind) const;
    std::uint64_t total_calls() const;
    // Calls that named a handle the driver never gave out or had closed (a program fault: it
    // must never pass a closed handle again).
    std::uint64_t invalid_handle_calls() const;
    // Calls, other than the close, that named a handle after it had been answered kIoError for a
    // device that is gone: the program must give such a handle up at its first failure.
    std::uint64_t lost_handle_calls() const;
    void reset_counters();

    // --- fault injection ---
    // The nth call of `kind` from now (1 = the next one) fails with `status` and has no effect.
    void fail_call(Call kind, std::uint64_t nth, Status status = kIoError);
    // The board is unplugged just before the nth driver call from now (of any kind).
    void detach_before_call(std::uint64_t nth);
    // The board's pins in `mask` read high whatever their level (a broken input buffer on the
    // host side): the chips still see the wire as it is, so writes land but read-backs do not.
    void force_pins_read_high(std::uint8_t mask);
    void clear_faults();

    // --- the devices on the cable ---
    Board& board();
    // The list's handle field for the board while it is not open (normally 0).
    void set_board_list_handle(std::uintptr_t value);
    // Where the board sits in the device list among the other devices (default 0, first;
    // larger values put it after that many other devices).
    void set_board_position(std::size_t index);
    void add_other_device(std::string description, std::string serial);
    void clear_other_devices();

    // --- files ---
    // The state file keeps the board between programs. The program that has the board open holds
    // the file exclusively, as one program at a time can open a real unit: opening takes it
    // (reading it again when another program saved it since), closing, unplugging or re-enumerating
    // saves the board there if it changed and lets go. Another program's open meanwhile gets
    // kDeviceNotOpened and the list shows the board as opened.
    //
    // Loads the board from `path` now and keeps saving there. A file that is not a regular file,
    // larger than kMaxStateFileBytes or not a valid state is refused and changes nothing.
    bool load_state(const std::string& path, std::string* error = nullptr);
    // Saves now. While the board is closed the file is taken for the moment; that fails when
    // another program holds it or has changed it since this one read it.
    bool save_state(std::string* error = nullptr) const;
    void set_state_path(std::string path);
    // The board cannot be opened: its state file cannot be used, for `reason`.
    void refuse_state_file(std::string reason);
    // Starts a Value Change Dump of the eight pins (timescale 1 us).
    bool open_trace(const std::string& path);
    // False when the trace could not be written completely.
    bool close_trace();
    // Saves the board if it changed since it was last read or written, and closes the trace.
    // False, with the first reason, when something the unit was to keep did not reach its file
    // since the last call (a save, the state file at open, a trace write); each such failure is
    // also told on stderr when it happens.
    bool finish_files(std::string* error = nullptr);

    struct Impl;  // implementation detail of the sim library

  private:
    std::unique_ptr<Impl> impl_;
};

// The process's simulated USB. Made at first use; reads KORVEL_SIM_STATE and KORVEL_SIM_TRACE then.
Usb& usb();
// Replaces the process's simulated USB with a fresh one (default board, no files, counters 0).
// For tests.
void reset_usb();

}  // namespace korvel::sim
