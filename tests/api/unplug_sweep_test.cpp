// Each exported function with the unit unplugged before each of its driver calls: it returns
// what its callers are promised (usb_init 0, the others 1) without touching a stale handle, and
// once the unit is back a new usb_init and the same call leave the unit as asked.
#include <functional>
#include <string>

#include "../support/unplug_sweep.h"
#include "korvel.h"
#include "simulated_unit_fixture.h"

namespace {

class ExportedFunctionUnplug : public SimulatedUnitTest {
  protected:
    // Sweeps `call` on an opened unit; `on_unit` checks the unit after the call went through.
    korvel::testing::UnplugSweepResult sweep(const std::function<int()>& call,
                                             const std::function<void()>& on_unit) {
        int result = -1;
        korvel::testing::UnplugSweep s;
        s.prepare = [this] {
            SetUp();
            ASSERT_EQ(usb_init(), 1);
        };
        s.operation = [&] { result = call(); };
        s.check_failure = [&](std::uint64_t) { EXPECT_EQ(result, 1); };
        s.check_recovery = [&](std::uint64_t) {
            ASSERT_EQ(usb_init(), 1);
            EXPECT_EQ(call(), 1);
            on_unit();
        };
        return korvel::testing::run_unplug_sweep(s);
    }
};

TEST_F(ExportedFunctionUnplug, EverySetterAndCloseRecoverFromAnUnplugAtEveryCall) {
    const struct {
        const char* name;
        std::function<int()> call;
        std::function<void()> on_unit;
    } cases[] = {
        {"set_divide_ratio", [] { return set_divide_ratio(37); },
         [] { EXPECT_EQ(expander_byte(2), 37); }},
        {"ClockOutput1", [] { return ClockOutput1(1); },
         [] { EXPECT_EQ(board().expander(3).pins() & 0x01, 0); }},
        {"set_dutycycle", [] { return set_dutycycle(2.5f); }, [] { EXPECT_EQ(dac_code(2), 3103); }},
        {"set_amplitude", [] { return set_amplitude(2.0f); }, [] { EXPECT_EQ(dac_code(3), 2482); }},
        {"prbs_select", [] { return prbs_select(9); }, [] { EXPECT_EQ(expander_byte(7), 9); }},
        {"usb_close", [] { return usb_close(); },
         [] { EXPECT_EQ(korvel::sim::usb().invalid_handle_calls(), 0u); }},
    };
    std::uint64_t total = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = sweep(c.call, c.on_unit);
        EXPECT_EQ(result.cases, result.calls);
        RecordProperty(std::string(c.name) + "_cases", std::to_string(result.cases));
        total += result.cases;
    }
    RecordProperty("unplug_cases", std::to_string(total));
}

// usb_init itself: unplugged before any of its calls it reports 0; a second usb_init after the
// replug opens the unit.
TEST_F(ExportedFunctionUnplug, OpeningRecoversFromAnUnplugAtEveryCall) {
    int opened = -1;
    korvel::testing::UnplugSweep s;
    s.prepare = [this] { SetUp(); };
    s.operation = [&] { opened = usb_init(); };
    s.check_failure = [&](std::uint64_t) { EXPECT_EQ(opened, 0); };
    s.check_recovery = [&](std::uint64_t) {
        ASSERT_EQ(usb_init(), 1);
        EXPECT_EQ(prbs_select(3), 1);
        EXPECT_EQ(expander_byte(7), 3);
    };
    const auto result = korvel::testing::run_unplug_sweep(s);
    EXPECT_EQ(result.cases, result.calls);
}

}  // namespace
