// The emulated bus's timing model: completion times and what counts as a round trip.
#include <gtest/gtest.h>

#include <ostream>

#include <vector>

#include "bus_timing.h"

namespace korvel::usbemu {
namespace {

struct Step {
    char op;  // 's' submit at `at` (completes at `done`), 'h' held submit, 't' one taken back
    std::uint64_t at = 0, done = 0;
};

struct Case {
    const char* name;
    TimingModel model;
    std::vector<Step> steps;
    TrafficCounts expected;
};

const Case kCases[] = {
    {"QueuedRequestsRideOnTheFirstOnesRoundTrip",
     {1000, 20},
     {{'s', 100, 1100}, {'s', 110, 1120}, {'s', 120, 1140}, {'t'}, {'t'}, {'t'}, {'s', 2000, 3000}},
     {4, 2}},
    {"TheChipsServiceTimeSpacesCompletions",
     {10, 500},
     {{'s', 1000, 1010}, {'s', 1001, 1510}, {'t'}, {'t'}, {'s', 1600, 2010}},
     {3, 2}},
    {"ARequestAfterTheOthersCompletedStartsARoundTripThoughTheyAreNotReaped",
     {1000, 20},
     {{'s', 100, 1100}, {'s', 110, 1120}, {'s', 1120, 2120}, {'s', 5000, 6000}, {'s', 5010, 6020}},
     {5, 3}},
    {"AHeldRequestKeepsTheBusBusyWhateverTheTime",
     {1000, 20},
     {{'s', 100, 1100}, {'h'}, {'s', 3000, 4000}, {'t'}, {'t'}, {'t'}, {'s', 5000, 6000}},
     {4, 2}},
    {"AHeldRequestStaysOutstanding",
     {0, 0},
     {{'h'}, {'s', 50, 50}, {'t'}, {'s', 60, 60}, {'t'}, {'s', 70, 70}},
     {4, 1}},
};

void PrintTo(const Case& value, std::ostream* out) {
    *out << value.name;
}

class Timing : public testing::TestWithParam<Case> {};

TEST_P(Timing, CompletionsAndCounts) {
    BusTiming bus(GetParam().model);
    for (const Step& s : GetParam().steps) {
        if (s.op == 's') {
            EXPECT_EQ(bus.submit(s.at), s.done) << "submitted at " << s.at;
        }
        if (s.op == 'h') bus.submit_held();
        if (s.op == 't') bus.taken_back();
    }
    EXPECT_EQ(bus.counts().requests, GetParam().expected.requests);
    EXPECT_EQ(bus.counts().round_trips, GetParam().expected.round_trips);
}

INSTANTIATE_TEST_SUITE_P(Cases, Timing, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvel::usbemu
