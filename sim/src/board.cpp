#include <stdexcept>

#include "board_impl.h"

namespace korvel::sim {

Board::Impl::Impl() : user_area(kUserAreaCapacity, 0x00) {}

bool Board::Impl::chips_pull_sda() const {
    for (const auto& c : expanders)
        if (c.pulls_sda_low()) return true;
    for (const auto& c : dacs)
        if (c.pulls_sda_low()) return true;
    return false;
}

void Board::Impl::scl_edge(bool high, bool sda) {
    if (high) {
        for (auto& c : expanders) c.scl_rise(sda);
        for (auto& c : dacs) c.scl_rise(sda);
        monitor.scl_rise(sda);
    } else {
        for (auto& c : expanders) c.scl_fall();
        for (auto& c : dacs) c.scl_fall();
        monitor.scl_fall();
    }
    sda_pulled = chips_pull_sda();
}

void Board::Impl::sda_edge(bool high, bool scl) {
    if (!scl) return;  // data may change freely while the clock is low
    if (high) {
        for (auto& c : expanders) c.stop();
        for (auto& c : dacs) c.stop();
        monitor.stop();
    } else {
        for (auto& c : expanders) c.start();
        for (auto& c : dacs) c.start();
        monitor.start();
    }
    sda_pulled = chips_pull_sda();
}

// Brings SDA to the wired-AND of the host's side and the chips'. A chip changes its drive only
// after an SCL edge, with SCL low, so one more pass always settles it.
void Board::Impl::settle_sda(std::uint8_t host_sda, bool scl) {
    for (int pass = 0; pass < 4; ++pass) {
        const std::uint8_t sda = sda_pulled ? 0 : host_sda;
        if (sda == (levels & kSda)) return;
        levels = static_cast<std::uint8_t>((levels & ~kSda) | sda);
        sda_edge(sda != 0, scl);
    }
}

void Board::Impl::drive(std::uint8_t dir, std::uint8_t latch) {
    // What the host side alone makes of each pin: its latch where it drives, the idle level where
    // the pin is an input.
    const std::uint8_t host = static_cast<std::uint8_t>((latch & dir) | (kIdlePinLevels & ~dir));
    const std::uint8_t before = levels;
    std::uint8_t target = host;
    if (sda_pulled) target &= static_cast<std::uint8_t>(~kSda);
    // The common case of a long FPGA load: no chip on the line and nothing new on the pins.
    if (target == before && !sda_pulled && !sda_contention) return;

    if (target != before) {
        const std::uint8_t changed = target ^ before;
        if (changed & (kScl | kSda)) {
            const std::uint8_t host_sda = host & kSda;
            const bool scl_rises = (changed & kScl) && (target & kScl);
            const bool scl_falls = (changed & kScl) && !(target & kScl);
            // Keep the non-I2C pins as they will be, then run the bus edges in the order that
            // the hardware's set-up and hold times give: data before a rising clock, data after
            // a falling one.
            levels =
                static_cast<std::uint8_t>((target & ~(kScl | kSda)) | (before & (kScl | kSda)));
            if (scl_falls) {
                levels &= static_cast<std::uint8_t>(~kScl);
                scl_edge(false, (levels & kSda) != 0);
                settle_sda(host_sda, false);
            } else if (scl_rises) {
                settle_sda(host_sda, false);
                levels |= kScl;
                scl_edge(true, (levels & kSda) != 0);
                settle_sda(host_sda, true);
            } else {
                settle_sda(host_sda, (levels & kScl) != 0);
            }
        } else {
            levels = target;
        }
        if (changed & FpgaReceiver::kWatched) fpga.pins_changed(before, levels);
    }

    // Contention: the host drives a line high that a chip pulls low.
    const bool sda_fight = (dir & latch & kSda) && sda_pulled;
    if (sda_fight && !sda_contention) ++contentions;
    sda_contention = sda_fight;

    if (levels != before && pin_listener) pin_listener(levels);
}

void Board::Impl::power_on() {
    for (auto& c : expanders) c.power_on();
    for (auto& c : dacs) c.power_on();
    fpga.clear();
    monitor.reset();
    sda_pulled = false;
}

Board::Board() : impl_(std::make_shared<Impl>()) {}
Board::~Board() = default;

void Board::attach() {
    if (attached_) return;
    attached_ = true;
    power_changed();
}

void Board::detach() {
    if (!attached_) return;
    attached_ = false;
    ++impl_->power_cycles;
    power_changed();
}

// Either way the chips start over from their EEPROM copies (on a detach: what they will hold when
// the unit comes back) and the FTDI chip's pins are inputs again.
void Board::power_changed() {
    impl_->power_on();
    direction_ = 0;
    latch_ = 0;
    impl_->drive(direction_, latch_);
    if (impl_->power_listener) impl_->power_listener(attached_);
}

void Board::set_direction(std::uint8_t mask) {
    direction_ = mask;
    impl_->drive(direction_, latch_);
}

void Board::write_latch(std::uint8_t value) {
    latch_ = value;
    impl_->drive(direction_, latch_);
}

std::uint8_t Board::pins() const {
    return impl_->levels;
}

Ds4520& Board::expander(int chip) {
    switch (chip) {
        case 2:
            return impl_->expanders[0].registers();
        case 3:
            return impl_->expanders[1].registers();
        case 7:
            return impl_->expanders[2].registers();
        default:
            throw std::out_of_range("the unit has DS4520 expanders at chips 2, 3 and 7 only");
    }
}

Mcp4728& Board::dac(int selector) {
    if (selector != 0 && selector != 1)
        throw std::out_of_range("the unit has MCP4728 DACs at selectors 0 and 1 only");
    return impl_->dacs[static_cast<std::size_t>(selector)].registers();
}

FpgaMemories& Board::fpga() {
    return impl_->fpga.memories();
}

std::vector<std::uint8_t>& Board::user_area() {
    impl_->user_area.resize(kUserAreaCapacity, 0x00);  // keep the size whatever a caller did
    return impl_->user_area;
}

std::size_t Board::user_area_size() const {
    return sim::user_area_size(manufacturer, description, serial);
}

const std::vector<BusEvent>& Board::bus_log() const {
    return impl_->monitor.log();
}
void Board::clear_bus_log() {
    impl_->monitor.clear();
}
std::uint64_t Board::contention_count() const {
    return impl_->contentions;
}

void Board::set_pin_listener(std::function<void(std::uint8_t)> listener) {
    impl_->pin_listener = std::move(listener);
}
void Board::set_power_listener(std::function<void(bool)> listener) {
    impl_->power_listener = std::move(listener);
}
void Board::set_clock(std::function<std::uint64_t()> now_us) {
    impl_->clock.now_us = std::move(now_us);
}
std::uint64_t Board::power_cycles() const {
    return impl_->power_cycles;
}

}  // namespace korvel::sim
