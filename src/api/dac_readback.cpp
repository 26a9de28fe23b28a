#include "api/dac_readback.h"

#include <algorithm>
#include <iterator>

#include "link/usb_link.h"
#include "mcp4728/mcp4728_readback.h"

namespace korvel::api {

namespace {

static_assert(kMcp4728ReadbackSize == std::tuple_size_v<DacReadbackBytes>);

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
    std::uint8_t raw[kMcp4728ReadbackSize];
    mcp4728_dac_read_into(selector, raw);
    std::copy(std::begin(raw), std::end(raw), bytes.begin());
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
