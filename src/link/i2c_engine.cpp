// Bit-banged I2C master. Each line change is one driver call made when it is due: a mask change
// (FT_SetBitMode with the direction image), a latch write (FT_Write of one byte) or a pin read
// (FT_GetBitMode, or FT_QueuePinRead where the answer is not examined: the read inside a data
// bit, and the acknowledge of a byte whose acknowledge nobody asks for). Nothing waits for a
// request but a pin read whose answer is used and a Delay, so on real hardware the requests
// between two of those travel together. The sequences keep the call counts the bus timing was
// designed around: 52 calls per transmitted byte, 32 + 7 (ACK) or 32 + 6 (NACK) per received byte,
// at least 6 per START and 4 per STOP.
#include "link/i2c_engine.h"

#include "link/i2c_pins.h"
#include "link/usb_link.h"
#include "base/clock.h"

namespace korvel {

std::uint8_t i2c_dir_image = kI2cDirAtStart;
const std::uint8_t i2c_out_image = 0x00;

namespace {

constexpr std::uint8_t kBothReleased = 0x00;
constexpr std::uint8_t kSclLow = 0x01;
constexpr std::uint8_t kSdaLow = 0x02;
constexpr std::uint8_t kBothLow = 0x03;
constexpr std::uint8_t kLatchSdaHigh = 0x02;
constexpr std::uint8_t kLatchSclHigh = 0x01;
constexpr int kIdlePasses = 10;
constexpr int kIdleReads = 3;
constexpr double kIdlePause = 0.001;

using i2c_pins::latch_write;
using i2c_pins::mask_change;
using i2c_pins::pin_read;
using i2c_pins::unexamined_pin_read;

// One clock pulse with SDA as given (SCL low before and after), the pin read keeping SCL high
// for one more driver call.
void clock_bit(FT_HANDLE handle, bool one) {
    const std::uint8_t latch = one ? (i2c_out_image | kLatchSdaHigh) : i2c_out_image;
    const std::uint8_t low = one ? kSclLow : kBothLow;
    const std::uint8_t high = one ? kBothReleased : kSdaLow;
    latch_write(handle, latch);
    mask_change(handle, low);
    mask_change(handle, high);
    unexamined_pin_read(handle);
    latch_write(handle, latch);
    mask_change(handle, low);
}

}  // namespace

int i2c_init(FT_HANDLE handle) {
    const std::uint8_t pins = pin_read(handle);
    i2c_pins::set_mask(handle, i2c_out_image | (pins & kPinSda));
    return 0;
}

void issue_i2c_start(FT_HANDLE handle) {
    mask_change(handle, kBothReleased);
    std::uint8_t pins = 0;
    for (int pass = 0; pass < kIdlePasses; ++pass) {
        if (pass < kIdleReads) pins = pin_read(handle);
        if ((pins & (kPinScl | kPinSda)) == (kPinScl | kPinSda)) break;
        Delay(kIdlePause);
    }
    latch_write(handle, i2c_out_image | kLatchSclHigh);
    mask_change(handle, kSdaLow);
    latch_write(handle, i2c_out_image);
    mask_change(handle, kBothLow);
}

void issue_i2c_stop(FT_HANDLE handle) {
    latch_write(handle, i2c_out_image);
    mask_change(handle, kBothLow);
    mask_change(handle, kSdaLow);
    mask_change(handle, kBothReleased);
}

namespace {

// The byte's eight bits and its acknowledge clock; the acknowledge is read (and waited for)
// only when `examine` is set.
bool send_byte(FT_HANDLE handle, int byte, bool examine) {
    for (int bit = 7; bit >= 0; --bit) clock_bit(handle, ((byte >> bit) & 1) != 0);
    // Acknowledge clock: SDA released for the addressed device, which pulls it low.
    mask_change(handle, kBothReleased);
    std::uint8_t pins = 0xFF;
    if (examine)
        pins = pin_read(handle);
    else
        unexamined_pin_read(handle);
    latch_write(handle, i2c_out_image | kLatchSdaHigh);
    mask_change(handle, kSclLow);
    return (pins & kPinSda) == 0;
}

}  // namespace

void tx_i2c_byte(FT_HANDLE handle, int byte) {
    send_byte(handle, byte, false);
}

bool tx_i2c_byte_acked(FT_HANDLE handle, int byte) {
    return send_byte(handle, byte, true);
}

int rx_i2c_byte(FT_HANDLE handle, int ack_mode) {
    int result = 0;
    for (int i = 0; i < 8; ++i) {
        mask_change(handle, kBothReleased);
        const std::uint8_t pins = pin_read(handle);
        result = (result << 1) | ((pins & kPinSda) != 0 ? 1 : 0);
        latch_write(handle, i2c_out_image | kLatchSdaHigh);
        mask_change(handle, kSclLow);
    }
    const bool nack = ack_mode == kI2cNack;
    clock_bit(handle, nack);
    if (!nack) mask_change(handle, kSclLow);  // release SDA again
    return result & 0xFF;
}

int wait_i2c_scl_high(FT_HANDLE handle) {
    return pin_read(handle);
}

}  // namespace korvel
