// Serial loads of the FPGA's memories. Every bit is two pin bytes (data with the clock low, then
// the clock raised) and every byte or word one more closing byte with the clock low; the bytes go
// through the link's 1024-byte buffer, so a pattern load costs one USB write per 1024 bit edges.
#include "fpga/fpga_load.h"

#include <algorithm>
#include <cstring>

#include "link/usb_link.h"

namespace korvel {

PatternColumns pattern_buffer = {};

void reset_fpga() {
    std::memset(pattern_buffer, 0, sizeof pattern_buffer);
}

namespace {

constexpr std::uint32_t kLinkPins =
    kPinFpgaClock | kPinFpgaData | kPinSelectErrorMemory | kPinSelectPatternMemory;

void set_pins(std::uint32_t pins, bool high) {
    if (high) {
        fpga_pin_image |= pins;
    } else {
        fpga_pin_image &= ~pins;
    }
}

void emit() {
    usb_output(0);
}
void emit_and_write_out() {
    usb_output(1);
}

// Data on D4 with the clock low, then the clock raised with the same data.
void send_bit(bool one) {
    set_pins(kPinFpgaData, one);
    set_pins(kPinFpgaClock, false);
    emit();
    set_pins(kPinFpgaClock, true);
    emit();
}

void close_cell() {
    set_pins(kPinFpgaClock, false);
    emit();
}

// 8 bits, least significant first: 17 pin bytes.
void send_byte(std::uint8_t byte) {
    for (int bit = 0; bit < 8; ++bit) send_bit(((byte >> bit) & 1) != 0);
    close_cell();
}

// 32 bits, most significant first: 65 pin bytes.
void send_word(std::uint32_t word) {
    for (int bit = 31; bit >= 0; --bit) send_bit(((word >> bit) & 1) != 0);
    close_cell();
}

// All pins outputs, both memories deselected with the clock low, then `select` pulled low.
void begin_load(std::uint32_t select) {
    if (usb_handle_usable()) FT_SetBitMode(usb_handle, 0xFF, FT_BITMODE_ASYNC_BITBANG);
    fpga_pin_image &= kLinkPins;
    set_pins(kPinFpgaClock, false);
    set_pins(kPinSelectErrorMemory | kPinSelectPatternMemory, true);
    emit();
    set_pins(select, false);
    emit_and_write_out();
}

void (*g_load_listener)(bool) = nullptr;

// A load from start to end, as the listener is told of it.
class LoadNotice {
  public:
    LoadNotice() { tell(true); }
    ~LoadNotice() { tell(false); }
    LoadNotice(const LoadNotice&) = delete;
    LoadNotice& operator=(const LoadNotice&) = delete;

  private:
    static void tell(bool loading) {
        if (g_load_listener != nullptr) g_load_listener(loading);
    }
};

void end_load(std::uint32_t select) {
    set_pins(select, true);
    set_pins(kPinFpgaClock, false);
    emit_and_write_out();
}

}  // namespace

void bit_load_FPGA(int /*ignored*/, int words) {
    // Never past the buffer's 4096 columns.
    words = std::clamp(words, 0, kPatternWords);
    const LoadNotice notice;
    begin_load(kPinSelectPatternMemory);
    for (int word = 0; word < words; ++word) {
        for (int row = 0; row < kPatternRows; ++row) send_byte(pattern_buffer[row][word]);
    }
    end_load(kPinSelectPatternMemory);
}

void bit_load_FPGA_ErrInj(int /*ignored1*/, int /*ignored2*/, std::uint32_t period,
                          std::uint32_t width) {
    const LoadNotice notice;
    begin_load(kPinSelectErrorMemory);
    for (int row = kPatternRows - 1; row >= 0; --row) send_byte(pattern_buffer[row][0]);
    send_word(period);
    send_word(width);
    end_load(kPinSelectErrorMemory);
}

void set_load_listener(void (*listener)(bool loading)) {
    g_load_listener = listener;
}

}  // namespace korvel
