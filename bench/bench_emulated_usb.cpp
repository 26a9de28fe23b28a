// What the operator's control changes cost on the USB bus, through the real USB stack: libftdi1
// and libusb talking to the emulated FT232R (umockdev, tests/usb_emulator/) whose pins drive the
// simulated unit. Every operation runs on the synchronous path (queued:0, every request waited
// for, the program's default) and on the queued one (queued:1, KORVEL_USB_QUEUE=1):
//   - a slide event: one volatile DAC write;
//   - a DS4520 write (the divide ratio), with its two 20 ms register settles;
//   - a replug as the supervision sees it: unplug, tick, plug in, tick (open and whole setup);
//   - a 4096-word pattern load.
// Counters per operation: `requests` and `round_trips` as the emulator counted them, `wall_ms`
// (also the benchmark's time), `pauses_ms`, the part of it the program spent in its own Delays
// (they really sleep here, as on a unit), and `bus_ms`, what the counts cost on the bus alone
// (round_trips * L + the other requests * S + the pauses). The emulator's own work per request
// (umockdev hands every ioctl to another thread) is far above a real host's; where it nears L
// the bus runs dry between requests and the round trips count higher than on a unit.
//
// The bus timing is that of a full-speed unit unless given otherwise: a request completes at
// max(submitted + L, previous completion + S) with L = 1000 us and S = 20 us:
//   build/bench/bench_emulated_usb [--latency-us L] [--service-us S] [--benchmark_...]
// The program loads umockdev's preload itself (it runs itself again with it).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "app/state.h"
#include "base/clock.h"
#include "emulated_unit.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend.h"
#include "korvel.h"
#include "platform/model_query.h"

namespace {

using namespace korvel;
namespace emulated = korvel::testing;

// The wall clock, which counts the pauses the program takes on it.
class PauseCountingClock final : public platform::Clock {
  public:
    double now() const override { return real_.now(); }
    void sleep(double seconds) override {
        if (seconds > 0) paused_ += seconds;
        real_.sleep(seconds);
    }
    double paused() const { return paused_; }

  private:
    platform::RealClock real_;
    double paused_ = 0.0;
};

PauseCountingClock& bench_clock() {
    static PauseCountingClock clock;
    return clock;
}

// The bus timing the emulator was made with.
usbemu::TimingModel usb_timing() {
    return {emulated::microseconds_from("KORVEL_USB_LATENCY_US"),
            emulated::microseconds_from("KORVEL_USB_SERVICE_US")};
}

bool start_program(bool queued) {
    return emulated::start_program_on_emulated_unit(bench_clock(), queued);
}

void stop_program() {
    emulated::leave_emulated_unit();
    platform::set_clock(nullptr);
}

// Runs `operation` (given the iteration's number) once per iteration, each one finished on the
// wire before the next, and reports what it cost.
template <typename Operation>
void measure(benchmark::State& state, Operation operation) {
    const bool queued = state.range(0) != 0;
    state.SetLabel(queued ? "queued" : "synchronous");
    if (!usbemu::preload_active()) {
        state.SkipWithError("umockdev's preload is not loaded (scripts/install-deps.sh)");
        return;
    }
    if (!start_program(queued)) {
        state.SkipWithError("the emulated unit did not connect");
        stop_program();
        return;
    }
    auto& usb = emulated::emulated_usb();
    const usbemu::TrafficCounts before = usb.counts();
    const double paused_before = bench_clock().paused();
    const double start = bench_clock().now();
    int n = 0;
    for (auto _ : state) {
        operation(n++);
        ftdi::backend().finish_queued();
    }
    const double wall = bench_clock().now() - start;
    const usbemu::TrafficCounts after = usb.counts();
    if (!usb_handle_usable() || usb_link_lost())
        state.SkipWithError("the unit was lost during the operation");
    stop_program();

    const auto per_op = [&](double total) {
        return benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    };
    const auto requests = static_cast<double>(after.requests - before.requests);
    const auto round_trips = static_cast<double>(after.round_trips - before.round_trips);
    const double paused_ms = (bench_clock().paused() - paused_before) * 1e3;
    // The same counts on a host whose own cost per request is nothing next to the bus's: every
    // round trip costs L, every request riding along S, and the pauses their time.
    const usbemu::TimingModel bus = usb_timing();
    const double bus_us = round_trips * static_cast<double>(bus.latency_us) +
                          (requests - round_trips) * static_cast<double>(bus.service_us);
    state.counters["requests"] = per_op(requests);
    state.counters["round_trips"] = per_op(round_trips);
    state.counters["wall_ms"] = per_op(wall * 1e3);
    state.counters["pauses_ms"] = per_op(paused_ms);
    state.counters["bus_ms"] = per_op(bus_us / 1e3 + paused_ms);
}

void BM_slide_event(benchmark::State& state) {
    measure(state, [](int n) { set_amplitude(n % 2 == 0 ? 2.2f : 1.1f); });
}

void BM_ds4520_write(benchmark::State& state) {
    measure(state, [](int n) { set_divide_ratio(n % 2 == 0 ? 37 : 12); });
}

void BM_reconnect(benchmark::State& state) {
    measure(state, [&state](int) {
        emulated::emulated_usb().unplug();
        emulated::supervision_tick();
        emulated::emulated_usb().plug_in();
        emulated::supervision_tick();
        if (app::last_unit_present != 1) state.SkipWithError("the replugged unit was not opened");
    });
}

void BM_pattern_load_4096_words(benchmark::State& state) {
    emulated::fill_pattern_buffer();
    measure(state, [](int) { bit_load_FPGA(0, kPatternWords); });
}

#define KORVEL_USB_BENCHMARK(function)                                           \
    BENCHMARK(function)->ArgName("queued")->Arg(0)->Arg(1)->UseRealTime()->Unit( \
        benchmark::kMillisecond)

KORVEL_USB_BENCHMARK(BM_slide_event);
KORVEL_USB_BENCHMARK(BM_ds4520_write);
KORVEL_USB_BENCHMARK(BM_reconnect);
KORVEL_USB_BENCHMARK(BM_pattern_load_4096_words);

constexpr const char* kTimingOptions[] = {"--latency-us", "--service-us"};
constexpr const char* kTimingVariables[] = {"KORVEL_USB_LATENCY_US", "KORVEL_USB_SERVICE_US"};

// Takes --latency-us and --service-us out of the command line into the emulator's variables
// (1000 and 20 when not given); false with a message on a bad value.
bool take_timing_options(std::vector<char*>& args) {
    std::string values[] = {"1000", "20"};
    for (std::size_t i = 1; i < args.size();) {
        std::size_t option = 0;
        while (option < 2 && std::strcmp(args[i], kTimingOptions[option]) != 0) ++option;
        if (option == 2) {
            ++i;
            continue;
        }
        const std::string_view value = i + 1 < args.size() ? args[i + 1] : "";
        std::uint64_t us = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), us);
        if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
            us > 10'000'000) {
            std::fprintf(stderr, "bench_emulated_usb: %s wants 0..10000000 microseconds\n",
                         kTimingOptions[option]);
            return false;
        }
        values[option] = std::string(value);
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    for (std::size_t v = 0; v < 2; ++v) setenv(kTimingVariables[v], values[v].c_str(), 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--benchmark_list_tests", 22) == 0;
    if (!listing) korvel::usbemu::reexec_with_preload(argv);

    std::vector<char*> args(argv, argv + argc);
    if (!take_timing_options(args)) return 2;
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;
    benchmark::AddCustomContext("bus", std::string("L=") + std::getenv(kTimingVariables[0]) +
                                           " us, S=" + std::getenv(kTimingVariables[1]) + " us");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
