// The simulated bench behind the GPIB calls: the instruments' answers, the driver's checks,
// virtual time-outs and injected faults.
#include <cstdlib>
#include <string>

#include "gpib/sim/sim_instrument.h"
#include "gpib_fixture.h"

namespace korvel::gpib::testing {
namespace {

using SimBenchTest = GpibTest;

int open(int address, int timeout = T10s) {
    return ibdev(0, address, 0, timeout, 1, 0);
}

void send(int ud, const std::string& text) {
    ibwrt(ud, text.data(), static_cast<long>(text.size()));
}

std::string receive(int ud, long max = 1000) {
    std::string buffer(static_cast<std::size_t>(max), '\0');
    ibrd(ud, buffer.data(), max);
    buffer.resize(static_cast<std::size_t>(ibcnt));
    return buffer;
}

TEST_F(SimBenchTest, EachInstrumentAnswersItsIdentityAndItsSetting) {
    for (int i = 0; i < kSimBenchInstruments; ++i) {
        const SimInstrumentProfile& profile = sim_bench_profile(i);
        SCOPED_TRACE(profile.name);
        const int ud = open(profile.address);
        send(ud, "*IDN?\n");
        EXPECT_EQ(receive(ud), std::string(profile.identity) + "\n");
        EXPECT_EQ(ibsta, END | CMPL | CIC | LACS);
        const std::string header = profile.setting_header;
        send(ud, header + " 42");
        EXPECT_EQ(ibsta, CMPL | CIC | TACS);
        send(ud, header + "?");
        EXPECT_EQ(receive(ud), "42\n");
        send(ud, "*RST;" + header + "?");
        EXPECT_EQ(receive(ud), std::string(profile.initial_value) + "\n");
    }
    EXPECT_EQ(failed_call_count(), 0);
}

TEST_F(SimBenchTest, LongRepliesComeInPiecesAndOnlyTheLastEndsWithEoi) {
    const int ud = open(kScopeAddress);
    send(ud, "DATA?");
    EXPECT_EQ(receive(ud, 600).size(), 600u);
    EXPECT_EQ(ibsta & END, 0);
    EXPECT_EQ(receive(ud, 600).size(), 400u);
    EXPECT_NE(ibsta & END, 0);
    // Nothing left: the read waits out the 10 s limit.
    EXPECT_EQ(receive(ud), "");
    EXPECT_EQ(ibsta, ERR | TIMO | CMPL | CIC);
    EXPECT_EQ(iberr, EABO);
    EXPECT_DOUBLE_EQ(clock_.now(), 10.0);
}

TEST_F(SimBenchTest, DeviceClearDropsAWaitingReply) {
    const int ud = open(kSampAddress, T1s);
    send(ud, "*IDN?");
    ibclr(ud);
    EXPECT_EQ(ibsta & ERR, 0);
    EXPECT_EQ(receive(ud), "");
    EXPECT_EQ(iberr, EABO);
    EXPECT_DOUBLE_EQ(clock_.now(), 1.0);
}

TEST_F(SimBenchTest, UnknownCommandsQueueAnError) {
    const int ud = open(kErrorDetectorAddress);
    send(ud, "BOGUS 1");
    send(ud, "FREQ?");  // another instrument's header
    send(ud, "syst:err?");
    EXPECT_EQ(receive(ud), "-113,\"Undefined header\"\n");
    send(ud, "*CLS;SYST:ERR?");
    EXPECT_EQ(receive(ud), "0,\"No error\"\n");
}

TEST_F(SimBenchTest, TheDriverChecksBoardAddressesTimeoutsAndDescriptors) {
    EXPECT_EQ(ibdev(1, 8, 0, T10s, 1, 0), -1);
    EXPECT_EQ(iberr, ENEB);
    EXPECT_EQ(ibdev(0, 31, 0, T10s, 1, 0), -1);
    EXPECT_EQ(iberr, EARG);
    EXPECT_EQ(ibdev(0, 8, 0x5F, T10s, 1, 0), -1);
    EXPECT_EQ(ibdev(0, 8, 0, 18, 1, 0), -1);
    EXPECT_EQ(ibdev(0, 8, 0x60, T10s, 1, 0), 16);
    EXPECT_EQ(open(9), 17);
    ibonl(16, 0);
    for (const int ud : {0, 16, 99, -1}) {
        ibclr(ud);
        EXPECT_EQ(ibsta, ERR) << ud;
        EXPECT_EQ(iberr, EDVR) << ud;
    }
    EXPECT_EQ(open(5), 16);  // the freed descriptor is used again
    ibonl(17, 1);            // online again: the descriptor stays
    EXPECT_TRUE(bench().is_open(17));
    // Arguments no driver should see.
    EXPECT_EQ(ibwrt(17, nullptr, 5), ERR);
    EXPECT_EQ(iberr, EARG);
    EXPECT_EQ(ibrd(17, nullptr, -1), ERR);
    EXPECT_EQ(failed_call_count(), 10);
}

TEST_F(SimBenchTest, NobodyListensAtAnEmptyAddress) {
    const int ud = open(3, T1s);
    EXPECT_EQ(ud, 16);  // opening does not look
    ibclr(ud);
    EXPECT_EQ(iberr, ENOL);
    send(ud, "*IDN?");
    EXPECT_EQ(iberr, ENOL);
    EXPECT_EQ(ibcnt, 0);
    receive(ud);
    EXPECT_EQ(iberr, EABO);
    EXPECT_DOUBLE_EQ(clock_.now(), 1.0);
}

TEST_F(SimBenchTest, FaultsHitTheirCallTheirAddressAndTheirCount) {
    const int scope = open(kScopeAddress);
    const int siggen = open(kSigGenAddress);
    bench().inject({GpibCall::Wrt, EABO, kScopeAddress, 1});
    send(siggen, "FREQ 1");
    EXPECT_EQ(ibsta & ERR, 0);
    send(scope, "TIMEBASE 1");  // a time-out waits its limit
    EXPECT_EQ(ibsta, ERR | TIMO | CMPL | CIC);
    EXPECT_DOUBLE_EQ(clock_.now(), 10.0);
    EXPECT_EQ(bench().instrument_at(kScopeAddress)->setting(), "1.0E-09");  // never arrived
    send(scope, "TIMEBASE 1");                                              // used up
    EXPECT_EQ(ibsta & ERR, 0);

    bench().inject({GpibCall::Rd, EDVR, std::nullopt, -1});
    send(scope, "*IDN?");
    send(siggen, "*IDN?");
    for (const int ud : {scope, siggen, scope}) {
        receive(ud);
        EXPECT_EQ(ibsta, ERR);
        EXPECT_EQ(iberr, EDVR);
    }
    bench().clear_faults();
    EXPECT_EQ(receive(scope), "KORVEL-SIM,SCOPE,SIM00009,1.0\n");

    bench().inject({GpibCall::Dev, 13, kSampAddress, 1});  // a code without a name
    EXPECT_EQ(open(kSampAddress), -1);
    EXPECT_EQ(iberr, 13);
    EXPECT_EQ(bench().log().back(), "ibdev(0, 8, 0, 13, 1, 0) = -1 ERR 13");
}

TEST_F(SimBenchTest, IberrKeepsTheLastFailureThroughLaterSuccesses) {
    const int ud = open(kSampAddress);
    ibdev(1, 8, 0, T10s, 1, 0);
    send(ud, "*RST");
    EXPECT_EQ(ibsta & ERR, 0);
    EXPECT_EQ(iberr, ENEB);
    EXPECT_EQ(ibcnt, 4);
}

TEST(GpibTimeouts, CodesFollowTheStandardLadder) {
    EXPECT_EQ(timeout_seconds(TNONE), 0.0);
    EXPECT_EQ(timeout_seconds(1), 10e-6);
    EXPECT_EQ(timeout_seconds(T1s), 1.0);
    EXPECT_EQ(timeout_seconds(T10s), 10.0);
    EXPECT_EQ(timeout_seconds(T1000s), 1000.0);
    EXPECT_EQ(timeout_seconds(18), 0.0);
    EXPECT_EQ(timeout_seconds(-1), 0.0);
}

TEST_F(SimBenchTest, TheEnvironmentNamesTheBackend) {
    EXPECT_EQ(parse_backend_name("sim"), BackendKind::Sim);
    EXPECT_EQ(parse_backend_name("linux-gpib"), BackendKind::LinuxGpib);
    EXPECT_EQ(parse_backend_name("SIM"), std::nullopt);
    unsetenv("KORVEL_GPIB_BACKEND");
    EXPECT_EQ(backend_kind_from_environment(), BackendKind::LinuxGpib);
    setenv("KORVEL_GPIB_BACKEND", "sim", 1);
    EXPECT_EQ(backend_kind_from_environment(), BackendKind::Sim);
    setenv("KORVEL_GPIB_BACKEND", "ni", 1);
    EXPECT_EQ(backend_kind_from_environment(), BackendKind::LinuxGpib);
    EXPECT_EQ(output,
              "korvel: unknown KORVEL_GPIB_BACKEND \"ni\" (expected \"linux-gpib\" or \"sim\"); "
              "using \"linux-gpib\"\n");
    unsetenv("KORVEL_GPIB_BACKEND");
}

}  // namespace
}  // namespace korvel::gpib::testing
