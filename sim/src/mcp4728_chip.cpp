#include "mcp4728_chip.h"

namespace korvel::sim {

namespace {
constexpr std::uint8_t kDeviceCode = 0x60;  // 1100 000 as a 7-bit address
constexpr std::uint8_t kReady = 0x80;       // RDY/BSY: 1 = no EEPROM write in progress
constexpr std::uint8_t kPowerOn = 0x40;     // POR: the chip is powered

std::uint8_t upper_byte(std::uint8_t vref, std::uint8_t power_down, std::uint8_t gain,
                        std::uint16_t code) {
    return static_cast<std::uint8_t>(((vref & 1) << 7) | ((power_down & 3) << 5) |
                                     ((gain & 1) << 4) | ((code >> 8) & 0x0F));
}
}  // namespace

void Mcp4728Chip::load_from_eeprom() {
    for (auto& ch : regs_.channels) {
        ch.code = ch.eeprom_code & 0x0FFF;
        ch.vref = ch.eeprom_vref & 1;
        ch.gain = ch.eeprom_gain & 1;
        ch.power_down = ch.eeprom_power_down & 3;
    }
}

void Mcp4728Chip::power_on() {
    load_from_eeprom();
    command_ = Command::None;
    write_cycle_.cancel();
    eeprom_written_ = false;
    ignoring_ = false;
    reset_interface();
}

std::array<std::uint8_t, 24> Mcp4728Chip::read_back() const {
    std::array<std::uint8_t, 24> out{};
    const std::uint8_t ready = write_cycle_.busy() ? 0 : kReady;
    for (int c = 0; c < 4; ++c) {
        const auto& ch = regs_.channels[c];
        const auto head = static_cast<std::uint8_t>(ready | kPowerOn | (c << 4) | address_bits_);
        std::uint8_t* p = &out[6 * c];
        p[0] = head;
        p[1] = upper_byte(ch.vref, ch.power_down, ch.gain, ch.code);
        p[2] = static_cast<std::uint8_t>(ch.code & 0xFF);
        p[3] = head;
        p[4] = upper_byte(ch.eeprom_vref, ch.eeprom_power_down, ch.eeprom_gain, ch.eeprom_code);
        p[5] = static_cast<std::uint8_t>(ch.eeprom_code & 0xFF);
    }
    return out;
}

bool Mcp4728Chip::claims(std::uint8_t address7, bool read) {
    command_ = Command::None;
    bytes_ = 0;
    ignoring_ = false;
    if (address7 == 0x00 && !read) {  // general call
        general_call_ = true;
        return true;
    }
    if (address7 != (kDeviceCode | address_bits_)) return false;
    general_call_ = false;
    if (read) {
        image_ = read_back();
        read_index_ = 0;
    }
    return true;
}

void Mcp4728Chip::store(int channel, bool eeprom) {
    auto& ch = regs_.channels[channel & 3];
    ch.vref = (upper_ >> 7) & 1;
    ch.power_down = (upper_ >> 5) & 3;
    ch.gain = (upper_ >> 4) & 1;
    // The code's upper nibble comes from upper_, set by the caller before the low byte.
    if (eeprom) {
        eeprom_written_ = true;
        ch.eeprom_code = ch.code;
        ch.eeprom_vref = ch.vref;
        ch.eeprom_gain = ch.gain;
        ch.eeprom_power_down = ch.power_down;
    }
}

void Mcp4728Chip::command_byte(std::uint8_t byte) {
    bytes_ = 0;
    channel_ = (byte >> 1) & 3;
    switch (byte >> 5) {
        case 0:
        case 1:
            // Fast write: the command byte already carries PD1 PD0 D11..D8 of channel A.
            command_ = Command::Fast;
            channel_ = 0;
            upper_ = byte;
            bytes_ = 1;
            return;
        case 2:
            switch ((byte >> 3) & 3) {
                case 0:
                    command_ = Command::Multi;
                    return;
                case 2:
                    command_ = Command::Sequential;
                    return;
                case 3:
                    command_ = Command::Single;
                    return;
                default:
                    command_ = Command::Ignored;
                    return;
            }
        case 4:  // reference selection, one bit per channel, A in bit 3
            for (int c = 0; c < 4; ++c) regs_.channels[c].vref = (byte >> (3 - c)) & 1;
            command_ = Command::None;
            return;
        case 6:  // gain selection
            for (int c = 0; c < 4; ++c) regs_.channels[c].gain = (byte >> (3 - c)) & 1;
            command_ = Command::None;
            return;
        case 5:  // power-down selection, A and B here, C and D in the next byte
            regs_.channels[0].power_down = (byte >> 2) & 3;
            regs_.channels[1].power_down = byte & 3;
            command_ = Command::PowerDown;
            return;
        default:  // address-bit programming needs the LDAC pin, which the unit does not drive
            command_ = Command::Ignored;
            return;
    }
}

bool Mcp4728Chip::receive(std::uint8_t byte) {
    // During an EEPROM write every new command, and every byte after it in the same transaction,
    // is acknowledged and ignored.
    if (write_cycle_.busy()) ignoring_ = true;
    if (ignoring_) return true;
    if (general_call_) {
        if (byte == 0x06) {  // general-call reset: reload from EEPROM
            // The interface stays in the transaction: the chip still acknowledges this byte.
            load_from_eeprom();
        } else if (byte == 0x09) {  // general-call wake-up: power-down bits cleared
            for (auto& ch : regs_.channels) ch.power_down = 0;
        }
        return true;
    }
    switch (command_) {
        case Command::None:
            command_byte(byte);
            return true;
        case Command::Fast:
            if (bytes_ == 0) {
                upper_ = byte;
                bytes_ = 1;
            } else {
                auto& ch = regs_.channels[channel_];
                ch.power_down = (upper_ >> 4) & 3;
                ch.code = static_cast<std::uint16_t>(((upper_ & 0x0F) << 8) | byte);
                channel_ = (channel_ + 1) & 3;
                bytes_ = 0;
            }
            return true;
        case Command::Multi:
        case Command::Single:
        case Command::Sequential:
            if (bytes_ == 0) {
                upper_ = byte;
                bytes_ = 1;
                return true;
            }
            regs_.channels[channel_].code =
                static_cast<std::uint16_t>(((upper_ & 0x0F) << 8) | byte);
            store(channel_, command_ != Command::Multi);
            if (command_ == Command::Sequential && channel_ < 3) {
                ++channel_;
                bytes_ = 0;
            } else if (command_ == Command::Sequential) {
                command_ = Command::Ignored;  // nothing follows channel D
            } else {
                command_ = Command::None;  // the next byte is a new command
            }
            return true;
        case Command::PowerDown:
            regs_.channels[2].power_down = (byte >> 6) & 3;
            regs_.channels[3].power_down = (byte >> 4) & 3;
            command_ = Command::None;
            return true;
        case Command::Ignored:
            return true;
    }
    return true;
}

std::uint8_t Mcp4728Chip::transmit() {
    const std::uint8_t value = image_[read_index_];
    read_index_ = (read_index_ + 1) % 24;
    return value;
}

// A single write's EEPROM cycle starts at its last byte's acknowledge; a sequential write's
// after channel D's, when the chip programs all the channels it took at once.
void Mcp4728Chip::acknowledged() {
    if (!eeprom_written_ || command_ == Command::Sequential) return;
    eeprom_written_ = false;
    write_cycle_.start();
}

void Mcp4728Chip::finish() {
    // A sequential write cut short before channel D still programs what it took.
    if (eeprom_written_) {
        eeprom_written_ = false;
        write_cycle_.start();
    }
    command_ = Command::None;
    general_call_ = false;
    ignoring_ = false;
}

}  // namespace korvel::sim
