// Resident memory while the windows follow setting changes: a remote client switches error
// injection on and resets the instrument, over and over (ERR:STAT 1;*RST), which repaints the
// pattern list in pink and white and the trigger boxes on every cycle, under Qt's offscreen
// platform. rss_growth_kib is what the process grew over the measured cycles, after a short
// warm-up; it should stay well under 2 MiB for 100,000 cycles.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <fstream>
#include <string>

#include "app/supervision.h"
#include "front_panel_setup.h"
#include "platform/qt/qt_platform.h"
#include "remote/session.h"

namespace {

using namespace korvel;

long resident_kib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void BM_error_injection_and_reset_rss(benchmark::State& state) {
    qtview::QtPlatform qt;
    bench::fresh_front_panel();
    DisplayPanel(app::main_panel);
    app::CBTimer(app::main_panel, PANELMAIN_TIMER, EVENT_TIMER_TICK, nullptr, 0, 0);
    remote::Session session;
    const auto cycle = [&] {
        session.run_line("ERR:STAT 1;*RST");
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < 100; ++i) cycle();
    const long before = resident_kib();
    for (auto _ : state) cycle();
    state.counters["rss_growth_kib"] = static_cast<double>(resident_kib() - before);
}
BENCHMARK(BM_error_injection_and_reset_rss)->Iterations(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
