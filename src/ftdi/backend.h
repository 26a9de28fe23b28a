// What stands behind the FT_* operations: one implementation per process.
//
// The FT_* free functions check their pointer arguments and convert records; a backend only
// answers the calls. Every backend must refuse a handle it did not hand out, or one it has
// closed, with FT_INVALID_HANDLE, and must never dereference such a handle.
#pragma once

#include <string>
#include <vector>

#include "ftdi/ftd2xx.h"

namespace korvel::ftdi {

// One device-list entry in the backend's own terms; the FT_* layer copies it into the fixed
// FT_DEVICE_LIST_INFO_NODE layout (truncating the texts to their fields).
struct DeviceRecord {
    DWORD flags = 0;
    DWORD type = 0;
    DWORD id = 0;
    DWORD loc_id = 0;
    std::string serial;
    std::string description;
    FT_HANDLE handle = nullptr;
};

class Backend {
  public:
    virtual ~Backend() = default;

    virtual FT_STATUS create_device_info_list(DWORD& count) = 0;
    // Appends at most `capacity` records to `out`; `count` gets the number of devices.
    virtual FT_STATUS get_device_info_list(std::vector<DeviceRecord>& out, DWORD capacity,
                                           DWORD& count) = 0;
    virtual FT_STATUS get_device_info_detail(DWORD index, DeviceRecord& out) = 0;
    virtual FT_STATUS open(DWORD index, FT_HANDLE& handle) = 0;
    virtual FT_STATUS set_baud_rate(FT_HANDLE handle, DWORD baud) = 0;
    virtual FT_STATUS set_bit_mode(FT_HANDLE handle, UCHAR mask, UCHAR mode) = 0;
    virtual FT_STATUS get_bit_mode(FT_HANDLE handle, UCHAR& pins) = 0;
    // A pin read whose answer the caller will not examine (FT_QueuePinRead). A backend that
    // queues requests sends it without waiting; by default it is get_bit_mode.
    virtual FT_STATUS read_pins_unexamined(FT_HANDLE handle) {
        UCHAR pins = 0;
        return get_bit_mode(handle, pins);
    }
    virtual FT_STATUS write(FT_HANDLE handle, const UCHAR* data, DWORD count, DWORD& written) = 0;
    virtual FT_STATUS close(FT_HANDLE handle) = 0;
    virtual FT_STATUS cycle_port(FT_HANDLE handle) = 0;
    virtual FT_STATUS ee_ua_size(FT_HANDLE handle, DWORD& size) = 0;
    virtual FT_STATUS ee_ua_read(FT_HANDLE handle, UCHAR* buffer, DWORD length, DWORD& read) = 0;
    virtual FT_STATUS ee_ua_write(FT_HANDLE handle, const UCHAR* buffer, DWORD length) = 0;

    // Waits until every request queued on any open handle has completed (a failure loses its
    // handle, as a failed request always does). The process clock calls it before it moves on
    // a Delay. A backend that queues nothing has nothing to do.
    virtual void finish_queued() {}

    // True when `handle` is open but its device was given up after a USB request failed (it
    // timed out, or the device went away): every call on it fails at once until it is closed.
    virtual bool handle_lost(FT_HANDLE handle) const = 0;
    // True when the latest open failed because this user may not open the device.
    virtual bool last_open_denied() const = 0;
};

}  // namespace korvel::ftdi
