// Discovery, open and close of the unit's FTDI chip, and the handle bookkeeping.
#include "link/usb_link.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ftdi/device_state.h"
#include "link/i2c_engine.h"
#include "link/usb_access.h"

namespace korvel {

FT_HANDLE usb_handle = nullptr;
FT_DEVICE_LIST_INFO_NODE device_info_list[kDeviceListSize] = {};
char device_serial[16] = {};

namespace {

constexpr DWORD kBaudRate = 921600;

// A discovery found the alternate description (see alternate_variant_noted()).
bool g_alternate_noted = false;

// The handle this program opened and has not closed yet, or null. usb_handle may be overwritten
// from a device record (and so differ from it); only this one may be given back to the driver.
FT_HANDLE g_opened_handle = nullptr;

// The description field is 64 characters and need not be terminated by the driver.
bool description_is(const FT_DEVICE_LIST_INFO_NODE& record, const char* wanted) {
    char text[sizeof record.Description + 1];
    std::memcpy(text, record.Description, sizeof record.Description);
    text[sizeof record.Description] = '\0';
    return strcasecmp(text, wanted) == 0;
}

// Builds and reads the driver's device list. Returns the number of records that may be walked
// (never more than the list holds), or 0; `read_failed` tells a failed read from an empty list.
int refresh_device_list(bool& read_failed) {
    read_failed = false;
    DWORD count = 0;
    if (FT_CreateDeviceInfoList(&count) != FT_OK || count == 0) return 0;
    count = kDeviceListSize;
    if (FT_GetDeviceInfoList(device_info_list, &count) != FT_OK || count == 0) {
        read_failed = true;
        return 0;
    }
    return static_cast<int>(std::min<DWORD>(count, kDeviceListSize));
}

int find_unit(int records) {
    for (int i = 0; i < records; ++i) {
        if (is_unit(device_info_list[i])) return i;
    }
    return -1;
}

void release_opened_handle() {
    if (g_opened_handle == nullptr) return;
    FT_Close(g_opened_handle);
    g_opened_handle = nullptr;
}

}  // namespace

bool is_unit(const FT_DEVICE_LIST_INFO_NODE& record) {
    return description_is(record, kPrimaryDescription) ||
           description_is(record, kAlternateDescription);
}

bool usb_handle_usable() {
    return g_opened_handle != nullptr && usb_handle == g_opened_handle &&
           usb_handle != kUnusableHandle && !ftdi::handle_lost(usb_handle);
}

bool usb_link_lost() {
    return g_opened_handle != nullptr && ftdi::handle_lost(g_opened_handle);
}

int usb_aliveQ() {
    bool read_failed = false;
    const int records = refresh_device_list(read_failed);
    const int index = find_unit(records);
    if (index < 0) {
        clear_permission_problem();
        return 0;
    }
    if (description_is(device_info_list[index], kAlternateDescription)) {
        // The unit with the alternate description takes the divide ratio differently; the link
        // remembers it for the divider code and publishes it for the rest of the process.
        g_alternate_noted = true;
        setenv(kChipFlagVariable, "1", 1);
    }
    return 1;
}

bool note_unit_variant() {
    usb_aliveQ();
    return g_alternate_noted;
}

bool alternate_variant_noted() {
    return g_alternate_noted;
}

int init_usb() {
    bool read_failed = false;
    const int records = refresh_device_list(read_failed);
    if (records == 0) {
        if (read_failed && usb_handle_usable()) FT_CyclePort(usb_handle);
        return 0;
    }

    int index = find_unit(records);
    if (index >= 0) {
        usb_handle = device_info_list[index].ftHandle;
        char serial[16] = {};
        FT_GetDeviceInfoDetail(static_cast<DWORD>(index), nullptr, nullptr, nullptr, nullptr,
                               serial, nullptr, nullptr);
        serial[sizeof serial - 1] = '\0';
        std::memcpy(device_serial, serial, sizeof device_serial);
    } else {
        index = 0;
    }
    if (usb_handle == kUnusableHandle) return 0;

    // A device still open from before (a reconnect without close, or a unit that vanished) is
    // released first, so the driver can open it afresh and no handle is leaked.
    release_opened_handle();
    FT_HANDLE opened = nullptr;
    if (FT_Open(index, &opened) != FT_OK || opened == nullptr) {
        if (is_unit(device_info_list[index]) && ftdi::last_open_denied()) note_permission_denied();
        return 0;
    }
    clear_permission_problem();
    usb_handle = opened;
    g_opened_handle = opened;

    if (FT_SetBaudRate(usb_handle, kBaudRate) != FT_OK) return 0;
    if (FT_SetBitMode(usb_handle, 0xFF, FT_BITMODE_ASYNC_BITBANG) != FT_OK) return 0;
    i2c_init(usb_handle);
    // The unit can go away while the I2C lines are set idle: its handle is then lost, and the
    // unit is not set up.
    return usb_handle_usable() ? 1 : 0;
}

void close() {
    release_opened_handle();
}

void reset_link() {
    usb_handle = nullptr;
    g_opened_handle = nullptr;
    g_alternate_noted = false;
    std::memset(device_info_list, 0, sizeof device_info_list);
    std::memset(device_serial, 0, sizeof device_serial);
    fpga_pin_image = 0;
    usb_out_count = 0;
    i2c_dir_image = kI2cDirAtStart;
    reset_permission_problem();
}

int usb_input() {
    if (!usb_handle_usable()) return 0;
    UCHAR pins = 0;
    if (FT_GetBitMode(usb_handle, &pins) != FT_OK) return 0;
    return pins;
}

}  // namespace korvel
