// Bit-level I2C target: the part every chip on the bus shares. It follows START, STOP, the clock
// and the data line exactly as a real target's interface logic does, acknowledges its address by
// pulling SDA low during the ninth clock, and shifts read data out on the falling clock edges.
// What the bytes mean is left to the chip (the virtual hooks).
#pragma once

#include <cstdint>

namespace korvel::sim {

class I2cTarget {
  public:
    virtual ~I2cTarget() = default;

    // Line events, as seen on the resolved bus levels.
    void start();  // SDA fell while SCL was high (START or repeated START)
    void stop();   // SDA rose while SCL was high
    void scl_rise(bool sda);
    void scl_fall();

    // True while this chip pulls SDA low.
    bool pulls_sda_low() const { return sda_low_; }
    // Power loss: the interface forgets any transaction in progress.
    void reset_interface();

  protected:
    // The 7-bit address (and read bit) of a START's first byte; true to acknowledge it.
    virtual bool claims(std::uint8_t address7, bool read) = 0;
    // A byte written to this chip; true to acknowledge it.
    virtual bool receive(std::uint8_t byte) = 0;
    // The next byte to send in a read.
    virtual std::uint8_t transmit() = 0;
    // The transaction ended (STOP or a new START).
    virtual void finish() {}
    // A STOP ended a transaction this chip saw (after finish).
    virtual void stopped() {}
    // The clock pulse of this chip's acknowledge of a written byte just fell.
    virtual void acknowledged() {}

  private:
    enum class Phase { Idle, Address, Writing, Reading, Ignoring };
    void load_read_byte();

    Phase phase_ = Phase::Idle;
    int bit_ = 0;  // clocks completed in the current 9-clock frame
    std::uint8_t shift_ = 0;
    bool read_ = false;
    bool master_ack_ = false;
    bool sda_low_ = false;
    bool clock_high_ = false;  // a rising SCL edge was seen since START or the last fall
};

}  // namespace korvel::sim
