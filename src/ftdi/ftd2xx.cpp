// The FT_* operations: argument checks and record layout here, the work in the chosen backend.
#include "ftdi/ftd2xx.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ftdi/backend.h"
#include "ftdi/backend_select.h"

using korvel::ftdi::backend;
using korvel::ftdi::DeviceRecord;

namespace {

// Copies at most size-1 characters, NUL-terminates and clears the rest of the field.
void copy_text(char* field, std::size_t size, const std::string& text) {
    if (field == nullptr || size == 0) return;
    const std::size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

void fill_node(FT_DEVICE_LIST_INFO_NODE& node, const DeviceRecord& r) {
    node.Flags = r.flags;
    node.Type = r.type;
    node.ID = r.id;
    node.LocId = r.loc_id;
    copy_text(node.SerialNumber, sizeof node.SerialNumber, r.serial);
    copy_text(node.Description, sizeof node.Description, r.description);
    node.ftHandle = r.handle;
}

}  // namespace

FT_STATUS FT_CreateDeviceInfoList(DWORD* count) {
    if (count == nullptr) return FT_INVALID_PARAMETER;
    DWORD n = 0;
    const FT_STATUS status = backend().create_device_info_list(n);
    if (status == FT_OK) *count = n;
    return status;
}

FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* count) {
    if (count == nullptr) return FT_INVALID_PARAMETER;
    const DWORD capacity = *count;
    if (list == nullptr && capacity > 0) return FT_INVALID_PARAMETER;
    std::vector<DeviceRecord> records;
    DWORD n = 0;
    const FT_STATUS status = backend().get_device_info_list(records, capacity, n);
    if (status != FT_OK) return status;
    for (std::size_t i = 0; i < records.size() && i < capacity; ++i) fill_node(list[i], records[i]);
    *count = n;
    return FT_OK;
}

FT_STATUS FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* loc_id,
                                 char* serial, char* description, FT_HANDLE* handle) {
    DeviceRecord r;
    const FT_STATUS status = backend().get_device_info_detail(index, r);
    if (status != FT_OK) return status;
    if (flags != nullptr) *flags = r.flags;
    if (type != nullptr) *type = r.type;
    if (id != nullptr) *id = r.id;
    if (loc_id != nullptr) *loc_id = r.loc_id;
    copy_text(serial, sizeof FT_DEVICE_LIST_INFO_NODE::SerialNumber, r.serial);
    copy_text(description, sizeof FT_DEVICE_LIST_INFO_NODE::Description, r.description);
    if (handle != nullptr) *handle = r.handle;
    return FT_OK;
}

FT_STATUS FT_Open(int index, FT_HANDLE* handle) {
    if (handle == nullptr) return FT_INVALID_PARAMETER;
    if (index < 0) return FT_DEVICE_NOT_FOUND;
    FT_HANDLE h = nullptr;
    const FT_STATUS status = backend().open(static_cast<DWORD>(index), h);
    if (status == FT_OK) *handle = h;
    return status;
}

FT_STATUS FT_SetBaudRate(FT_HANDLE handle, DWORD baud) {
    return backend().set_baud_rate(handle, baud);
}

FT_STATUS FT_SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) {
    return backend().set_bit_mode(handle, mask, mode);
}

FT_STATUS FT_GetBitMode(FT_HANDLE handle, UCHAR* pins) {
    if (pins == nullptr) return FT_INVALID_PARAMETER;
    UCHAR value = 0;
    const FT_STATUS status = backend().get_bit_mode(handle, value);
    if (status == FT_OK) *pins = value;
    return status;
}

FT_STATUS FT_QueuePinRead(FT_HANDLE handle) {
    return backend().read_pins_unexamined(handle);
}

FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, DWORD count, DWORD* written) {
    if (buffer == nullptr && count > 0) return FT_INVALID_PARAMETER;
    DWORD n = 0;
    const FT_STATUS status = backend().write(handle, static_cast<const UCHAR*>(buffer), count, n);
    if (written != nullptr) *written = n;
    return status;
}

FT_STATUS FT_Close(FT_HANDLE handle) {
    return backend().close(handle);
}

FT_STATUS FT_CyclePort(FT_HANDLE handle) {
    return backend().cycle_port(handle);
}

FT_STATUS FT_EE_UASize(FT_HANDLE handle, DWORD* size) {
    if (size == nullptr) return FT_INVALID_PARAMETER;
    DWORD n = 0;
    const FT_STATUS status = backend().ee_ua_size(handle, n);
    if (status == FT_OK) *size = n;
    return status;
}

FT_STATUS FT_EE_UARead(FT_HANDLE handle, UCHAR* buffer, DWORD length, DWORD* read) {
    if (buffer == nullptr && length > 0) return FT_INVALID_PARAMETER;
    DWORD n = 0;
    const FT_STATUS status = backend().ee_ua_read(handle, buffer, length, n);
    if (read != nullptr) *read = n;
    return status;
}

FT_STATUS FT_EE_UAWrite(FT_HANDLE handle, const UCHAR* buffer, DWORD length) {
    if (buffer == nullptr && length > 0) return FT_INVALID_PARAMETER;
    return backend().ee_ua_write(handle, buffer, length);
}
