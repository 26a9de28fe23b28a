// The buffered pin-byte writer of the FPGA link: pin bytes are collected and written 1024 at a
// time, so a pattern load costs one USB write per 1024 bit edges instead of one per edge.
#include <algorithm>

#include "link/usb_link.h"

namespace korvel {

std::uint32_t fpga_pin_image = 0;
std::uint8_t usb_out_buffer[kUsbOutBufferSize] = {};
int usb_out_count = 0;

namespace {

// Bytes written while the handle is closed are lost, as they would be with no unit attached.
void write_out() {
    const int count = std::clamp(usb_out_count, 0, kUsbOutBufferSize);
    if (count > 0 && usb_handle_usable()) {
        DWORD written = 0;
        FT_Write(usb_handle, usb_out_buffer, static_cast<DWORD>(count), &written);
    }
    usb_out_count = 0;
}

}  // namespace

void usb_output(int flush) {
    if (usb_handle == kUnusableHandle) return;
    if (usb_out_count < 0) usb_out_count = 0;
    if (usb_out_count >= kUsbOutBufferSize) write_out();
    usb_out_buffer[usb_out_count++] = static_cast<std::uint8_t>(fpga_pin_image & 0xFF);
    if (flush != 0 || usb_out_count >= kUsbOutBufferSize) write_out();
}

}  // namespace korvel
