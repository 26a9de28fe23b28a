// What the front panel costs the unit: driver calls, virtual pause time and host CPU time of one
// reconnect sequence (the whole setup re-sent to a replugged unit, and to a unit connected for
// the first time) and of one slide event
// (a level dragged on the main panel), on the simulated unit. On real hardware every driver call
// is one USB transaction, so calls_per_op sets the time a real unit takes.
#include <benchmark/benchmark.h>

#include "app/state.h"
#include "app/supervision.h"
#include "front_panel_setup.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "platform/model_query.h"
#include "platform/operator_input.h"
#include "platform/user_interface.h"
#include "resource/main_uir.h"

namespace {

using namespace korvel;

using bench::fresh_front_panel;

void tick() {
    app::CBTimer(app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
}

struct Cost {
    std::uint64_t calls = 0;
    double paused = 0.0;
};

void report(benchmark::State& state, const Cost& cost) {
    const auto n = static_cast<double>(state.iterations());
    state.counters["calls_per_op"] = static_cast<double>(cost.calls) / n;
    state.counters["virtual_pause_ms_per_op"] = cost.paused * 1000.0 / n;
}

void BM_reconnect_sequence(benchmark::State& state) {
    fresh_front_panel();
    tick();
    Cost cost;
    for (auto _ : state) {
        state.PauseTiming();
        sim::usb().board().detach();
        tick();
        sim::usb().board().attach();
        sim::usb().board().clear_bus_log();
        const std::uint64_t calls = sim::usb().total_calls();
        const double paused = ftdi::sim_clock().paused_total();
        state.ResumeTiming();

        tick();  // the reconnect

        state.PauseTiming();
        cost.calls += sim::usb().total_calls() - calls;
        cost.paused += ftdi::sim_clock().paused_total() - paused;
        if (app::last_unit_present != 1) state.SkipWithError("the unit was not reconnected");
        state.ResumeTiming();
    }
    report(state, cost);
}
BENCHMARK(BM_reconnect_sequence)->Unit(benchmark::kMillisecond);

// The first connection of a unit whose expanders hold none of the setup yet: every verified
// write writes.
void BM_first_connect(benchmark::State& state) {
    Cost cost;
    for (auto _ : state) {
        state.PauseTiming();
        fresh_front_panel();
        const std::uint64_t calls = sim::usb().total_calls();
        const double paused = ftdi::sim_clock().paused_total();
        state.ResumeTiming();

        tick();

        state.PauseTiming();
        cost.calls += sim::usb().total_calls() - calls;
        cost.paused += ftdi::sim_clock().paused_total() - paused;
        state.ResumeTiming();
    }
    report(state, cost);
}
BENCHMARK(BM_first_connect)->Unit(benchmark::kMillisecond);

void BM_slide_event(benchmark::State& state) {
    fresh_front_panel();
    tick();
    const std::uint64_t calls = sim::usb().total_calls();
    const double paused = ftdi::sim_clock().paused_total();
    double percent = 50.0;
    for (auto _ : state) {
        percent = percent >= 55.0 ? 45.0 : percent + 0.01;
        platform::operate_ctrl(app::main_panel, PANELMAIN_DUTY_CYCLE, percent, EVENT_VAL_CHANGED);
        sim::usb().board().clear_bus_log();
    }
    report(state, {sim::usb().total_calls() - calls, ftdi::sim_clock().paused_total() - paused});
}
BENCHMARK(BM_slide_event)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
