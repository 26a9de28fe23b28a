// Throughput of the whole driver stack on the simulated unit, in virtual time (pauses cost
// nothing): driver calls per second for expander writes and reads, and pin bytes per second for
// a full 4096-word pattern load.
#include <benchmark/benchmark.h>

#include <cstring>

#include "ds4520/ds4520.h"
#include "fpga/fpga_load.h"
#include "ftdi/backend_select.h"
#include "korvel/sim/usb.h"
#include "link/usb_link.h"
#include "mcp4728/mcp4728.h"
#include "support/fresh_process.h"

namespace {

using namespace korvel;

void open_fresh_unit(benchmark::State& state) {
    testing::fresh_process();
    if (init_usb() != 1) state.SkipWithError("the simulated unit did not open");
    sim::usb().board().clear_bus_log();
}

// Runs `operation` once per iteration and reports the driver calls it made.
template <typename Operation>
void run_counting_calls(benchmark::State& state, Operation operation) {
    open_fresh_unit(state);
    const std::uint64_t before = sim::usb().total_calls();
    for (auto _ : state) {
        operation();
        // Keep the decoded-bus log from growing without bound over millions of iterations.
        sim::usb().board().clear_bus_log();
    }
    const double calls = static_cast<double>(sim::usb().total_calls() - before);
    state.counters["calls_per_op"] = calls / static_cast<double>(state.iterations());
    state.counters["calls_per_s"] = benchmark::Counter(calls, benchmark::Counter::kIsRate);
}

void BM_DS4520_IO_write(benchmark::State& state) {
    int op = 0;
    run_counting_calls(state, [&] { DS4520_IO_write(2, 3, op ^= 1); });
}
BENCHMARK(BM_DS4520_IO_write);

void BM_DS4520_IO_read(benchmark::State& state) {
    run_counting_calls(state, [] { benchmark::DoNotOptimize(DS4520_IO_read(7)); });
}
BENCHMARK(BM_DS4520_IO_read);

void BM_dac_write_volatile(benchmark::State& state) {
    run_counting_calls(state, [] { dac_write(3, 1.0f, 1); });
}
BENCHMARK(BM_dac_write_volatile);

void BM_bit_load_FPGA_full(benchmark::State& state) {
    open_fresh_unit(state);
    for (int row = 0; row < kPatternRows; ++row) {
        for (int word = 0; word < kPatternWords; ++word) {
            pattern_buffer[row][word] = static_cast<std::uint8_t>(row * 31 + word);
        }
    }
    constexpr double kPinBytes = 2.0 + 544.0 * kPatternWords + 1.0;  // 2,228,227
    for (auto _ : state) bit_load_FPGA(0, kPatternWords);
    state.counters["pin_bytes_per_load"] = kPinBytes;
    state.counters["pin_bytes_per_s"] = benchmark::Counter(
        kPinBytes * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (sim::usb().board().fpga().pattern_bits.size() != 256u * kPatternWords) {
        state.SkipWithError("the receiver did not get the whole pattern");
    }
}
BENCHMARK(BM_bit_load_FPGA_full)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
