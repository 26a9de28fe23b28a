#include "link/i2c_pins.h"

#include "link/i2c_engine.h"
#include "link/usb_link.h"

namespace korvel::i2c_pins {
namespace {

// Only the link's open handle is ever given to the driver.
bool may_use(FT_HANDLE handle) {
    return handle == usb_handle && usb_handle_usable();
}

}  // namespace

void set_mask(FT_HANDLE handle, std::uint8_t mask) {
    if (may_use(handle)) FT_SetBitMode(handle, mask, FT_BITMODE_ASYNC_BITBANG);
}

void mask_change(FT_HANDLE handle, std::uint8_t lines) {
    i2c_dir_image = static_cast<std::uint8_t>((i2c_dir_image & ~0x03) | (lines & 0x03));
    set_mask(handle, i2c_dir_image);
}

void latch_write(FT_HANDLE handle, std::uint8_t latch) {
    if (!may_use(handle)) return;
    DWORD written = 0;
    FT_Write(handle, &latch, 1, &written);
}

std::uint8_t pin_read(FT_HANDLE handle) {
    UCHAR pins = 0xFF;
    if (!may_use(handle) || FT_GetBitMode(handle, &pins) != FT_OK) return 0xFF;
    return pins;
}

void unexamined_pin_read(FT_HANDLE handle) {
    if (may_use(handle)) FT_QueuePinRead(handle);
}

}  // namespace korvel::i2c_pins
