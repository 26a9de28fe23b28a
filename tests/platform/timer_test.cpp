// Timer controls on virtual time.
#include <cmath>

#include "ui_fixture.h"

namespace korvel::platform::testing {
namespace {

using TimerTest = UiTest;

TEST_F(TimerTest, TicksArriveAtTheIntervalFromTheMomentOfLoading) {
    std::vector<double> at;
    register_callback("CBTimer", [&](int, int c, int e, void*, int, int) {
        EXPECT_EQ(c, PANELMAIN_TIMER);
        EXPECT_EQ(e, EVENT_TIMER_TICK);
        at.push_back(clock_.now());
        return 0;
    });
    clock_.advance(0.25);
    load(PANELMAIN);
    EXPECT_EQ(run_timers_for(3.5), 3);
    EXPECT_EQ(at, (std::vector<double>{1.25, 2.25, 3.25}));
    EXPECT_DOUBLE_EQ(clock_.now(), 3.75);
}

TEST_F(TimerTest, PausesInsideATickDoNotShiftTheSchedule) {
    int ticks = 0;
    register_callback("CBTimer", [&](int, int, int, void*, int, int) {
        ++ticks;
        Delay(0.3);  // the bus traffic of a reconnect
        return 0;
    });
    load(PANELMAIN);
    run_timers_for(10.0);
    EXPECT_EQ(ticks, 10);
    EXPECT_DOUBLE_EQ(next_timer_due(), 11.0);
}

TEST_F(TimerTest, SuspendedTimersDropTheirTicksUntilResumed) {
    int ticks = 0;
    register_callback("CBTimer", [&](int, int, int, void*, int, int) { return ++ticks, 0; });
    load(PANELMAIN);
    run_timers_for(2.0);
    SuspendTimerCallbacks();
    EXPECT_EQ(run_timers_for(5.0), 0);
    ResumeTimerCallbacks();
    run_timers_for(2.0);
    EXPECT_EQ(ticks, 4);
}

TEST_F(TimerTest, EachPanelsTimerTicksAndStopsWithItsPanel) {
    std::vector<int> order;
    register_callback("CBTimer",
                      [&](int, int, int, void*, int, int) { return order.push_back(1), 0; });
    register_callback("CBdebugTimer",
                      [&](int, int, int, void*, int, int) { return order.push_back(2), 0; });
    load(PANELMAIN);
    clock_.advance(0.5);
    const int debug = load(PANELDEBUG);
    run_timers_for(1.0);  // main at 1.0, debug at 1.5
    DiscardPanel(debug);
    run_timers_for(1.0);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1}));
}

TEST_F(TimerTest, DisablingATimerStopsItAndReenablingRestartsTheInterval) {
    int ticks = 0;
    register_callback("CBTimer", [&](int, int, int, void*, int, int) { return ++ticks, 0; });
    const int main = load(PANELMAIN);
    SetCtrlAttribute(main, PANELMAIN_TIMER, ATTR_ENABLED, 0);
    EXPECT_TRUE(std::isinf(next_timer_due()));
    run_timers_for(3.0);
    SetCtrlAttribute(main, PANELMAIN_TIMER, ATTR_ENABLED, 1);
    EXPECT_DOUBLE_EQ(next_timer_due(), 4.0);
    EXPECT_EQ(SetCtrlAttribute(main, PANELMAIN_TIMER, ATTR_INTERVAL, 0.0), UIEBadArgument);
    EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, TicksDoNotNestInsideACallback) {
    int depth_seen = 0;
    int nested = -1;
    register_callback("CBTimer", [&](int, int, int, void*, int, int) {
        depth_seen = std::max(depth_seen, dispatch_depth());
        Delay(5.0);  // a long transfer: further ticks fall due meanwhile
        nested = process_due_timers();
        run_timers_for(1.0);  // waiting inside a callback lets no tick in either
        return 0;
    });
    load(PANELMAIN);
    EXPECT_EQ(run_timers_for(1.0), 1);
    EXPECT_EQ(depth_seen, 1);
    EXPECT_EQ(nested, 0);
    EXPECT_DOUBLE_EQ(clock_.now(), 7.0);
}

}  // namespace
}  // namespace korvel::platform::testing
