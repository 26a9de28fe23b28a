// The program's own FTDI driver operations.
//
// These keep the calls, arguments and status convention of the vendor's D2XX driver that the rest
// of the program is written against (0 = success). Behind them sits one backend per process,
// chosen by KORVEL_BACKEND: "ftdi" (real hardware through libftdi1, the default) or "sim" (the
// simulated unit).
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using UCHAR = std::uint8_t;
using FT_HANDLE = void*;
using FT_STATUS = DWORD;

enum : FT_STATUS {
    FT_OK = 0,
    FT_INVALID_HANDLE = 1,
    FT_DEVICE_NOT_FOUND = 2,
    FT_DEVICE_NOT_OPENED = 3,
    FT_IO_ERROR = 4,
    FT_INSUFFICIENT_RESOURCES = 5,
    FT_INVALID_PARAMETER = 6,
    FT_INVALID_BAUD_RATE = 7,
    FT_DEVICE_NOT_OPENED_FOR_ERASE = 8,
    FT_DEVICE_NOT_OPENED_FOR_WRITE = 9,
    FT_FAILED_TO_WRITE_DEVICE = 10,
    FT_EEPROM_READ_FAILED = 11,
    FT_EEPROM_WRITE_FAILED = 12,
    FT_EEPROM_ERASE_FAILED = 13,
    FT_EEPROM_NOT_PRESENT = 14,
    FT_EEPROM_NOT_PROGRAMMED = 15,
    FT_INVALID_ARGS = 16,
    FT_NOT_SUPPORTED = 17,
    FT_OTHER_ERROR = 18,
};

// One record of the driver's device list.
struct FT_DEVICE_LIST_INFO_NODE {
    DWORD Flags;
    DWORD Type;
    DWORD ID;
    DWORD LocId;
    char SerialNumber[16];
    char Description[64];
    FT_HANDLE ftHandle;
};

// Flags bit 0: the device is open (in this or another process).
constexpr DWORD FT_FLAGS_OPENED = 1;
// Type of an FT232R (the unit's USB chip).
constexpr DWORD FT_DEVICE_232R = 5;
// Bit mode 1: asynchronous bit-bang.
constexpr UCHAR FT_BITMODE_ASYNC_BITBANG = 0x01;

// Builds the driver's device list; *count gets the number of attached FTDI devices.
FT_STATUS FT_CreateDeviceInfoList(DWORD* count);

// Copies the device list into `list`. On entry *count is the number of records `list` can hold
// (the driver never writes more); on return it is the number of devices in the list, which may be
// larger than what was written.
FT_STATUS FT_GetDeviceInfoList(FT_DEVICE_LIST_INFO_NODE* list, DWORD* count);

// The record of device `index`; any pointer may be null. `serial` takes 16 characters and
// `description` 64, both NUL-terminated.
FT_STATUS FT_GetDeviceInfoDetail(DWORD index, DWORD* flags, DWORD* type, DWORD* id, DWORD* loc_id,
                                 char* serial, char* description, FT_HANDLE* handle);

FT_STATUS FT_Open(int index, FT_HANDLE* handle);
FT_STATUS FT_SetBaudRate(FT_HANDLE handle, DWORD baud);
// `mask`: 1 = output. Mode 1 is asynchronous bit-bang; a new mask takes effect at once.
FT_STATUS FT_SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode);
// The present level of the eight data pins.
FT_STATUS FT_GetBitMode(FT_HANDLE handle, UCHAR* pins);
// Not in the vendor's driver: the request FT_GetBitMode makes, for a caller that will not look at
// the answer (the I2C engine reads the pins to hold a line for one more request). On real
// hardware it is queued like a mask change and the call returns at once; a failure shows at the
// next call that waits.
FT_STATUS FT_QueuePinRead(FT_HANDLE handle);
// In bit-bang mode each byte drives the output latch in turn, in order.
FT_STATUS FT_Write(FT_HANDLE handle, const void* buffer, DWORD count, DWORD* written);
FT_STATUS FT_Close(FT_HANDLE handle);
// Re-enumerates the device on the USB bus.
FT_STATUS FT_CyclePort(FT_HANDLE handle);

// The EEPROM user area: the free bytes of the chip's EEPROM after its strings.
FT_STATUS FT_EE_UASize(FT_HANDLE handle, DWORD* size);
// Reads from the start of the user area; fails when `length` exceeds its size.
FT_STATUS FT_EE_UARead(FT_HANDLE handle, UCHAR* buffer, DWORD length, DWORD* read);
// Writes from the start of the user area, leaving the rest of the EEPROM as it was and its
// checksum valid; fails when `length` exceeds its size.
FT_STATUS FT_EE_UAWrite(FT_HANDLE handle, const UCHAR* buffer, DWORD length);
