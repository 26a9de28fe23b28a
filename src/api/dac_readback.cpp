#include "api/dac_readback.h"

#include "i2c/i2c_engine.h"
#include "link/usb_link.h"

namespace korvel::api {

namespace {

constexpr int kDacReadAddress = 0xC1;
constexpr int kAck = 2;
constexpr int kNack = 1;

DacRegister decode_register(const std::uint8_t* b) {
    DacRegister r;
    r.ready = (b[0] & 0x80) != 0;
    r.powered_on = (b[0] & 0x40) != 0;
    r.vref = (b[1] >> 7) & 0x01;
    r.power_down = (b[1] >> 5) & 0x03;
    r.gain = (b[1] >> 4) & 0x01;
    r.code = static_cast<std::uint16_t>(((b[1] & 0x0F) << 8) | b[2]);
    return r;
}

}  // namespace

DacReadbackBytes read_dac_bytes(int selector) {
    DacReadbackBytes bytes;
    bytes.fill(0xFF);
    if (!usb_handle_usable()) return bytes;

    issue_i2c_start(usb_handle);
    tx_i2c_byte(usb_handle, kDacReadAddress | ((selector & 0x07) << 1));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        bytes[i] = static_cast<std::uint8_t>(rx_i2c_byte(usb_handle, last ? kNack : kAck));
    }
    issue_i2c_stop(usb_handle);
    return bytes;
}

std::array<DacChannelReadback, 4> decode_dac_bytes(const DacReadbackBytes& bytes) {
    std::array<DacChannelReadback, 4> channels;
    for (std::size_t ch = 0; ch < channels.size(); ++ch) {
        channels[ch].input = decode_register(&bytes[ch * 6]);
        channels[ch].eeprom = decode_register(&bytes[ch * 6 + 3]);
    }
    return channels;
}

}  // namespace korvel::api
