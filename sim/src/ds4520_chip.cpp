#include "ds4520_chip.h"

namespace korvel::sim {

namespace {
constexpr std::uint8_t kUserEepromEnd = 0x40;
constexpr std::uint8_t kSramFirst = 0xFA;
constexpr std::uint8_t kSee = 0x01;  // configuration bit 0: 1 = do not write the EEPROM copies

void set_bank(std::uint16_t& value, bool bank1, std::uint8_t byte) {
    if (bank1)
        value = static_cast<std::uint16_t>((value & 0x0FF) | ((byte & 0x01) << 8));
    else
        value = static_cast<std::uint16_t>((value & 0x100) | byte);
}

std::uint8_t bank(std::uint16_t value, bool bank1) {
    return static_cast<std::uint8_t>(bank1 ? (value >> 8) & 0x01 : value & 0xFF);
}
}  // namespace

// A released pin reads high (the unit's inputs on these lines hold them up even with the chip's
// own pull-up off); a pin whose output transistor is on reads low.
std::uint16_t Ds4520::pins() const {
    return control & 0x1FF;
}

void Ds4520Chip::power_on() {
    regs_.pullup = regs_.eeprom_pullup & 0x1FF;
    regs_.control = regs_.eeprom_control & 0x1FF;
    regs_.config = 0;
    regs_.sram.fill(0);
    pointer_ = 0;
    expect_pointer_ = false;
    write_cycle_.cancel();
    eeprom_written_ = false;
    reset_interface();
}

std::uint8_t Ds4520Chip::read_register(std::uint8_t address) const {
    if (address < kUserEepromEnd) return regs_.user_eeprom[address];
    if (address >= kSramFirst) return regs_.sram[address - kSramFirst];
    switch (address) {
        case 0xF0:
        case 0xF1:
            return bank(regs_.pullup, address == 0xF1);
        case 0xF2:
        case 0xF3:
            return bank(regs_.control, address == 0xF3);
        case 0xF4:
            return regs_.config;
        case 0xF8:
        case 0xF9:
            return bank(regs_.pins(), address == 0xF9);
        default:
            return 0x00;  // reserved
    }
}

void Ds4520Chip::write_register(std::uint8_t address, std::uint8_t value) {
    if (address < kUserEepromEnd) {
        regs_.user_eeprom[address] = value;
        eeprom_written_ = true;
        return;
    }
    if (address >= kSramFirst) {
        regs_.sram[address - kSramFirst] = value;
        return;
    }
    const bool through = (regs_.config & kSee) == 0;
    switch (address) {
        case 0xF0:
        case 0xF1:
            set_bank(regs_.pullup, address == 0xF1, value);
            if (through) set_bank(regs_.eeprom_pullup, address == 0xF1, value);
            eeprom_written_ |= through;
            break;
        case 0xF2:
        case 0xF3:
            set_bank(regs_.control, address == 0xF3, value);
            if (through) set_bank(regs_.eeprom_control, address == 0xF3, value);
            eeprom_written_ |= through;
            break;
        case 0xF4:
            regs_.config = value;
            break;
        default:
            break;  // status and reserved registers ignore writes
    }
}

bool Ds4520Chip::claims(std::uint8_t address7, bool read) {
    // While it programs its EEPROM the chip does not even acknowledge its own address.
    if (address7 != address7_ || write_cycle_.busy()) return false;
    expect_pointer_ = !read;
    return true;
}

bool Ds4520Chip::receive(std::uint8_t byte) {
    if (expect_pointer_) {
        pointer_ = byte;
        expect_pointer_ = false;
    } else {
        write_register(pointer_, byte);
        // A multi-byte write into the user EEPROM stays within its 8-byte page and wraps to the
        // page's start; everywhere else the pointer simply moves on.
        if (pointer_ < kUserEepromEnd)
            pointer_ = static_cast<std::uint8_t>((pointer_ & ~7) | ((pointer_ + 1) & 7));
        else
            ++pointer_;
    }
    return true;
}

// The EEPROM write time begins at the STOP of the transaction that wrote the cells.
void Ds4520Chip::stopped() {
    if (!eeprom_written_) return;
    eeprom_written_ = false;
    write_cycle_.start();
}

std::uint8_t Ds4520Chip::transmit() {
    const std::uint8_t value = read_register(pointer_);
    ++pointer_;
    return value;
}

}  // namespace korvel::sim
