// The libftdi backend queues mask changes, latch writes and unexamined pin reads instead of
// waiting for each. On the real USB stack (libftdi1 + libusb + the emulated FT232R):
//   - the unit gets exactly the requests, in exactly the order and with exactly the contents, of
//     the synchronous path (every request waited for), for each operation that matters;
//   - a fault in the middle of a queued sequence ends as it did: an unplug at any request of a
//     DAC write or a DS4520 write, a chip that stops answering, a request the chip stalls. No
//     crash, the handle lost without waiting out a timeout, nothing sent on the lost handle, and
//     the next supervision tick opens the unit again and it works.
#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <string>
#include <vector>

#include "app/state.h"
#include "base/clock.h"
#include "emulated_unit.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend.h"
#include "ftdi/ftd2xx.h"
#include "korvel.h"
#include "platform/model_query.h"

namespace korvel::testing {
namespace {

// A virtual process clock: the Delays of the setup and of the DS4520 settles cost no time, so
// the sweeps below stay short. A Delay still finishes the queue first. The USB timeouts stay
// real.
platform::VirtualClock& test_clock() {
    static platform::VirtualClock clock;
    return clock;
}

// The program after start-up with the emulated unit behind the libftdi backend (queued or
// synchronous), connected by the first supervision tick.
void start_program(bool queued, int timeout_ms = 1000) {
    ASSERT_TRUE(start_program_on_emulated_unit(test_clock(), queued, timeout_ms));
}

struct Operation {
    const char* name;
    void (*run)();
};

void PrintTo(const Operation& value, std::ostream* out) {
    *out << value.name;
}

const Operation kOperations[] = {
    // What the supervision does for a replugged unit: open it and send the whole setup.
    {"ReconnectSequence",
     [] {
         emulated_usb().unplug();
         supervision_tick();
         emulated_usb().plug_in();
         supervision_tick();
         EXPECT_EQ(app::last_unit_present, 1);
     }},
    {"Ds4520Write", [] { set_divide_ratio(37); }},
    {"VolatileDacWrite", [] { set_amplitude(2.2f); }},
    {"PatternLoad4096Words", [] { bit_load_FPGA(0, kPatternWords); }},
};

// The operation's requests as the unit got them, through to the handle's close.
std::vector<std::string> request_log(const Operation& op, bool queued) {
    fill_pattern_buffer();
    start_program(queued);
    emulated_usb().clear_request_log();
    op.run();
    EXPECT_TRUE(usb_handle_usable());
    usb_close();
    return emulated_usb().request_log();
}

// The emulated unit's tests, with the program's clock given back at the end.
class ProgramOnEmulatedUnit : public EmulatedUsbTest {
  protected:
    void TearDown() override {
        EmulatedUsbTest::TearDown();
        platform::set_clock(nullptr);
    }
};

class SameRequests : public ProgramOnEmulatedUnit,
                     public ::testing::WithParamInterface<Operation> {};

TEST_P(SameRequests, QueuedAsWhenEachIsWaitedFor) {
    const auto waited = request_log(GetParam(), false);
    const auto queued = request_log(GetParam(), true);
    ASSERT_GT(waited.size(), 5u);
    ASSERT_EQ(queued.size(), waited.size());
    for (std::size_t i = 0; i < waited.size(); ++i)
        ASSERT_EQ(queued[i], waited[i]) << "request " << i << " of " << waited.size();
}

INSTANTIATE_TEST_SUITE_P(Operations, SameRequests, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

class QueuedFaults : public ProgramOnEmulatedUnit {};

// How many requests `run` sends to a connected unit.
std::uint64_t requests_of(void (*run)()) {
    start_program(true);
    const auto before = emulated_usb().counts().requests;
    run();
    ftdi::backend().finish_queued();
    return emulated_usb().counts().requests - before;
}

// A request that waited for its timeout would cost this long. The sweep runs with it far above
// what hundreds of emulated requests take on a busy machine, so a wait for a timeout shows and
// the emulator's own speed does not.
constexpr int kSweepTimeoutMs = 10000;

// An unplug at the nth request of `run`, for every n: the handle is lost by the time the next
// tick's pin read has waited, without any request waiting for its timeout, nothing is tried on
// it after that, and after the replug the unit opens again (as the tick does it: close,
// init_usb; the tick itself is in the cases below) and answers. Every 16th time (and at the last
// request) the whole operation goes through again.
void sweep_unplug(void (*run)(), const char* name) {
    const std::uint64_t requests = requests_of(run);
    ASSERT_GT(requests, 100u) << name;
    start_program(true, kSweepTimeoutMs);
    for (std::uint64_t n = 1; n <= requests; ++n) {
        SCOPED_TRACE(std::string(name) + ": unplugged at request " + std::to_string(n));
        emulated_usb().unplug_at_request(n);
        const auto start = std::chrono::steady_clock::now();
        run();
        ASSERT_EQ(usb_input(), 0);  // the tick's pin read: nothing comes back
        EXPECT_TRUE(usb_link_lost());
        EXPECT_LT(seconds_since(start), kSweepTimeoutMs / 2000.0) << "a request timed out";
        const auto refused = emulated_usb().refused_requests();
        run();
        usb_input();
        EXPECT_EQ(emulated_usb().refused_requests(), refused) << "a request on a lost handle";
        EXPECT_EQ(usb_aliveQ(), 0);
        emulated_usb().plug_in();
        close();
        ASSERT_EQ(init_usb(), 1);
        if (n % 16 == 0 || n == requests) run();
        EXPECT_EQ(usb_input() & 0x03, 0x03);  // the bus idle
        ASSERT_FALSE(usb_link_lost());
    }
}

TEST_F(QueuedFaults, AnUnplugAtAnyRequestOfAVolatileDacWriteEndsAsBefore) {
    sweep_unplug([] { set_amplitude(2.2f); }, "DAC write");
}

TEST_F(QueuedFaults, AnUnplugAtAnyRequestOfADs4520WriteEndsAsBefore) {
    sweep_unplug([] { set_divide_ratio(37); }, "DS4520 write");
}

// A chip that stops answering at request n of a DAC write: the held request times out (0.2 s here),
// the handle is lost with nothing more sent, and the tick after the chip answers again reopens.
TEST_F(QueuedFaults, AChipThatStopsAnsweringInAQueuedSequenceIsGivenUpWithinATimeout) {
    for (std::uint64_t n : {1u, 40u, 150u}) {
        SCOPED_TRACE("hung at request " + std::to_string(n));
        start_program(true, 200);
        usb().hang_at_request(n);
        const auto start = std::chrono::steady_clock::now();
        set_amplitude(2.2f);
        usb_input();
        EXPECT_TRUE(usb_link_lost());
        EXPECT_LT(seconds_since(start), 1.5);
        const auto sent = usb().counts().requests;
        set_amplitude(1.1f);
        set_divide_ratio(12);
        usb_input();
        EXPECT_EQ(usb().counts().requests, sent) << "nothing more may be sent to a lost unit";
        usb().hang_at_request(0);
        supervision_tick();
        ASSERT_EQ(app::last_unit_present, 1);
        EXPECT_TRUE(usb_handle_usable());
        set_amplitude(2.2f);
        usb_input();
        EXPECT_FALSE(usb_link_lost());
    }
}

// A request the chip stalls in the middle of a queued sequence fails the next call that waits,
// which loses the handle as a stalled request always did.
TEST_F(QueuedFaults, AStalledRequestInAQueuedSequenceLosesTheHandleAndTheNextTickReopens) {
    for (std::uint64_t n : {1u, 2u, 30u, 100u, 200u}) {
        SCOPED_TRACE("stalled at request " + std::to_string(n));
        start_program(true);
        usb().stall_at_request(n);
        set_amplitude(2.2f);
        usb_input();
        EXPECT_TRUE(usb_link_lost());
        const auto sent = usb().counts().requests;
        set_amplitude(1.1f);
        EXPECT_EQ(usb().counts().requests, sent) << "nothing more may be sent to a lost unit";
        supervision_tick();
        ASSERT_EQ(app::last_unit_present, 1);
        set_amplitude(2.2f);
        usb_input();
        EXPECT_FALSE(usb_link_lost());
    }
}

}  // namespace
}  // namespace korvel::testing
