// The soak as CI runs it, shortened: a few hundred seconds of virtual time with a fixed seed, the
// whole program against the simulated unit, every invariant checked after every action.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "soak/soak_run.h"

namespace {

std::string run_and_capture(const korvel::soak::SoakOptions& options, int* rc) {
    std::FILE* out = std::tmpfile();
    *rc = korvel::soak::run_soak(options, out);
    std::rewind(out);
    std::string text;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, out) != nullptr) text += buffer;
    std::fclose(out);
    return text;
}

TEST(Soak, AFewMinutesOfRandomOperationKeepEveryInvariant) {
    int rc = -1;
    const std::string report = run_and_capture({300.0, 20261208}, &rc);
    EXPECT_EQ(rc, 0) << report;
    EXPECT_NE(report.find("seed 20261208 (replay with --soak-seed 20261208)"), std::string::npos);
    EXPECT_NE(report.find("resident memory"), std::string::npos);
    EXPECT_NE(report.find("soak: clean"), std::string::npos) << report;
    // Supervision ran once a second, and the operator did plenty in between.
    unsigned long long actions = 0, ticks = 0;
    const auto at = report.find("soak: ");
    ASSERT_EQ(std::sscanf(report.c_str() + report.find("soak: ", at + 1),
                          "soak: %llu actions, %llu", &actions, &ticks),
              2)
        << report;
    EXPECT_GE(ticks, 298u);
    EXPECT_LE(ticks, 300u);
    EXPECT_GT(actions, 150u);
}

// Seeds whose operator sets a Debug panel pin (479 calibration mode, 587 the FPGA reset) after
// the start-up tick took up the unit and before the first timer tick: no reconnect comes between,
// so the pin stays as the operator set it.
TEST(Soak, DebugPinsSetBeforeTheFirstTimerTickStayTheOperators) {
    for (const std::uint64_t seed : {479u, 587u}) {
        int rc = -1;
        const std::string report = run_and_capture({20.0, seed}, &rc);
        EXPECT_EQ(rc, 0) << report;
    }
}

}  // namespace
