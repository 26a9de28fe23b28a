#include "unit_fixture.h"

#include <cstdlib>

#include "ds4520/ds4520.h"
#include "ftdi/backend_select.h"
#include "i2c/i2c_engine.h"
#include "link/usb_link.h"

namespace korvel::testing {

void UnitFixture::SetUp() {
    ftdi::use_fresh_simulated_unit();
    usb_link_reset();
    i2c_dir_image = 0x80;
    last_input_pin = 0xFF;
    unsetenv(kChipFlagVariable);
}

void UnitFixture::open_unit() {
    ASSERT_EQ(init_usb(), 1);
    forget_history();
}

void UnitFixture::forget_history() {
    usb().reset_counters();
    board().clear_bus_log();
    clock().reset_counters();
}

platform::VirtualClock& UnitFixture::clock() {
    return ftdi::sim_clock();
}

std::vector<std::vector<int>> bus_transactions() {
    using Kind = sim::BusEvent::Kind;
    std::vector<std::vector<int>> out;
    bool open = false;
    for (const sim::BusEvent& e : sim::usb().board().bus_log()) {
        if (e.kind == Kind::Start || (e.kind == Kind::RepeatedStart && !open)) {
            out.emplace_back();
            open = true;
        } else if (e.kind == Kind::RepeatedStart) {
            out.back().push_back(kRestart);
        } else if (e.kind == Kind::Stop) {
            open = false;
        } else if (open) {
            out.back().push_back(e.value);
        }
    }
    return out;
}

std::vector<bool> bus_acks() {
    std::vector<bool> acks;
    for (const sim::BusEvent& e : sim::usb().board().bus_log()) {
        if (e.kind == sim::BusEvent::Kind::Byte) acks.push_back(e.acked);
    }
    return acks;
}

}  // namespace korvel::testing
