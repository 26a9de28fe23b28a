// The simulated KORVEL board as seen from its USB cable: the FTDI chip's eight data pins, the I2C
// bus with its expanders and DACs, and the FPGA's serial receiver.
//
// Nothing here knows the control program. The board sees only pin levels and reacts as the chips'
// data sheets say.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace korvel::sim {

// The FT232R's EEPROM user area (see user_area.cpp for the layout): the most bytes it can have
// (every device keeps this many), and how many of them the chip offers with the given USB
// strings (manufacturer, description, serial number).
extern const std::size_t kUserAreaCapacity;
std::size_t user_area_size(const std::string& manufacturer, const std::string& description,
                           const std::string& serial);
// Whether the three strings fit the EEPROM at all (the user area may then be empty).
bool strings_fit_eeprom(const std::string& manufacturer, const std::string& description,
                        const std::string& serial);

// Levels the eight FTDI pins read while nothing drives them (inputs, no chip pulling):
//   D0 SCL, D1 SDA  high: the I2C pull-up resistors on the unit;
//   D2 FPGA clock   low:  pull-down on the unit, so the clock idles low and never makes an edge;
//   D3              high: the FT232R's own weak pull-up (the pin is not connected on the unit);
//   D4 FPGA data    low:  pull-down on the unit;
//   D5, D6 selects  high: pull-ups on the unit keep both FPGA memories deselected while the I2C
//                         engine owns the pins (it makes D2..D6 inputs);
//   D7              high: the FT232R's own weak pull-up.
constexpr std::uint8_t kIdlePinLevels = 0xEB;

// DS4520 nine-bit I/O expander. Registers as the data sheet names them; bit n = pin n for the
// 9-bit values (bank 0 bits 0..7, bank 1 bit 0 as bit 8). A fresh chip has its pins released and
// its pull-ups off.
struct Ds4520 {
    std::uint16_t pullup = 0;            // pull-up enable, 1 = on (0xF0/0xF1)
    std::uint16_t control = 0x1FF;       // I/O control, 1 = released, 0 = pulled low (0xF2/0xF3)
    std::uint8_t config = 0;             // configuration register (0xF4); bit 0 = SEE
    std::array<std::uint8_t, 6> sram{};  // 0xFA..0xFF, volatile
    // Nonvolatile copies the chip powers up with. While SEE is 0, writes to 0xF0..0xF3 update
    // them too; with SEE 1 only the registers change.
    std::uint16_t eeprom_pullup = 0;
    std::uint16_t eeprom_control = 0x1FF;
    std::array<std::uint8_t, 64> user_eeprom{};  // 0x00..0x3F
    // Pin levels as the board sees them: 1 = released (high), 0 = pulled low.
    std::uint16_t pins() const;
};

// MCP4728 quad 12-bit DAC.
struct Mcp4728Channel {
    std::uint16_t code = 0;
    std::uint8_t vref = 0, gain = 0, power_down = 0;
    std::uint16_t eeprom_code = 0;
    std::uint8_t eeprom_vref = 0, eeprom_gain = 0, eeprom_power_down = 0;
};
struct Mcp4728 {
    std::array<Mcp4728Channel, 4> channels{};
};

// The FPGA's serial receiver: bits clocked in while a memory select is low, in arrival order.
struct FpgaMemories {
    std::string pattern_bits;        // '0'/'1', custom-pattern memory, last load
    std::string error_mask_bits;     // '0'/'1', first 256 bits of the last error-memory load
    std::uint32_t error_period = 0;  // the 32-bit word after the mask
    std::uint32_t error_width = 0;   // the 32-bit word after the period
};

// One decoded event on the I2C bus, for tests and the live view.
struct BusEvent {
    enum class Kind { Start, RepeatedStart, Stop, Byte } kind;
    std::uint8_t value = 0;  // Byte: the 8 bits as they crossed the wire, MSB first
    bool acked = false;      // Byte: SDA was low on the ninth clock
};

class Board {
  public:
    Board();
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    // --- identity and power ---
    std::string manufacturer = "ZEVA";
    std::string description = "ZEVA_KORVEL";
    std::string serial = "1042";
    bool attached() const { return attached_; }
    void attach();
    // Unplugging is a power cycle: FPGA memories are lost, chips come back from their EEPROM
    // copies when attached again.
    void detach();

    // --- the FTDI chip's pins (bit n = Dn) ---
    void set_direction(std::uint8_t mask);  // 1 = output
    void write_latch(std::uint8_t value);   // one byte of an FT_Write
    std::uint8_t direction() const { return direction_; }
    std::uint8_t latch() const { return latch_; }
    // Resolved level of all eight pins: wired-AND of the host and the chips on SCL/SDA with
    // pull-ups; driven level for the outputs, pulled-up or idle level for the inputs.
    std::uint8_t pins() const;

    // --- the chips ---
    Ds4520& expander(int chip);  // 2, 3, 7
    Mcp4728& dac(int selector);  // 0, 1
    FpgaMemories& fpga();
    // kUserAreaCapacity bytes; the driver reaches the first user_area_size() of them.
    std::vector<std::uint8_t>& user_area();
    std::size_t user_area_size() const;

    // --- observation ---
    const std::vector<BusEvent>& bus_log() const;
    void clear_bus_log();
    // Times the host drove SCL or SDA high while a chip pulled it low.
    std::uint64_t contention_count() const;

    // --- hooks for the USB side ---
    // Called with the resolved levels after every change of the eight pins (the bus trace).
    void set_pin_listener(std::function<void(std::uint8_t levels)> listener);
    // Called after every attach (true) and detach (false).
    void set_power_listener(std::function<void(bool attached)> listener);
    // The virtual time in microseconds, by which the chips time their EEPROM write cycles. Without
    // one the cycles take no time.
    void set_clock(std::function<std::uint64_t()> now_us);
    // Number of detaches so far: a handle opened before the last detach is dead.
    std::uint64_t power_cycles() const;

  private:
    void power_changed();  // after attached_ changed: chips, pins and the power listener

    bool attached_ = true;
    std::uint8_t direction_ = 0;
    std::uint8_t latch_ = 0;
    struct Impl;
    // Implementation detail owned by the sim library.
    std::shared_ptr<Impl> impl_;
};

}  // namespace korvel::sim
