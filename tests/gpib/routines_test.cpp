// The instrument routines' call sequences on the simulated bench, failures included.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gpib/backend.h"
#include "gpib_fixture.h"

namespace korvel::gpib::testing {
namespace {

using Log = std::vector<std::string>;
using RoutinesTest = GpibTest;

int count_of(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST_F(RoutinesTest, InitOpensAndClearsTheFourInOrder) {
    GPIB_Init();
    EXPECT_EQ(take_log(),
              (Log{"ibdev(0, 8, 0, 13, 1, 0) = 16", "ibclr(16)", "ibdev(0, 19, 0, 13, 1, 0) = 17",
                   "ibclr(17)", "ibdev(0, 9, 0, 13, 1, 0) = 18", "ibclr(18)",
                   "ibdev(0, 5, 0, 13, 1, 0) = 19", "ibclr(19)"}));
    EXPECT_EQ((std::vector<int>{samp_ud, siggen_ud, scope_ud, errdet_ud}),
              (std::vector<int>{16, 17, 18, 19}));
    EXPECT_EQ(output, "");
    EXPECT_EQ(failed_call_count(), 0);
}

TEST_F(RoutinesTest, DismissGoesOnAfterAFailure) {
    GPIB_Init();
    bench().clear_log();
    bench().inject({GpibCall::Onl, ECIC, kSigGenAddress, 1});
    GPIB_Dismiss();
    // The report after SigGen's failure takes Samp offline again, which is already offline.
    EXPECT_EQ(take_log(), (Log{"ibonl(16, 0)", "ibonl(17, 0) ERR ECIC", "ibonl(16, 0) ERR EDVR",
                               "ibonl(18, 0)", "ibonl(19, 0)"}));
    EXPECT_EQ(output, std::string("ibonl Error\nibsta = 0x8120  < ERR CMPL CIC >\n") +
                          "iberr = 1 ECIC <Not Controller-In-Charge>\nibcnt = 0\n\n" + kPrompt);
    EXPECT_TRUE(bench().is_open(siggen_ud));  // a failed ibonl leaves the descriptor open
    EXPECT_EQ(samp_ud, 16);                   // descriptors keep their values
}

TEST_F(RoutinesTest, AFailedOpenIsStillClearedAndBothAreReported) {
    GPIB_Init_Samp();
    bench().clear_log();
    bench().inject({GpibCall::Dev, ENEB, kSigGenAddress, -1});
    GPIB_Init_SigGen();
    EXPECT_EQ(take_log(), (Log{"ibdev(0, 19, 0, 13, 1, 0) = -1 ERR ENEB", "ibonl(16, 0)",
                               "ibclr(-1) ERR EDVR", "ibonl(16, 0) ERR EDVR"}));
    EXPECT_EQ(siggen_ud, -1);
    EXPECT_EQ(output, std::string("ibdev Error\nibsta = 0x8000  < ERR >\n") +
                          "iberr = 7 ENEB <No GPIB board>\nibcnt = 0\n\n" + kPrompt +
                          "ibclr Error\nibsta = 0x8000  < ERR >\n" +
                          "iberr = 0 EDVR <Driver error>\nibcnt = 0\n\n" + kPrompt);
    EXPECT_EQ(input_reads, 2);
    EXPECT_DOUBLE_EQ(clock_.now(), 2.0);
}

TEST_F(RoutinesTest, AQueryReadsEvenAfterAFailedWrite) {
    GPIB_Init_Scope();
    bench().clear_log();
    bench().inject({GpibCall::Wrt, ENOL, kScopeAddress, -1});
    std::memset(gpib_reply, 'x', kMaxReply);
    queryScope("TIMEBASE?");
    // Nothing was asked, so the read waits out the 10 s limit; each report pauses 1 s. Samp was
    // never opened, so the reports take nothing offline.
    EXPECT_EQ(take_log(),
              (Log{"ibwrt(16, \"TIMEBASE?\", 9) ERR ENOL", "ibrd(16, 1000) = 0 ERR EABO"}));
    EXPECT_DOUBLE_EQ(clock_.now(), 12.0);
    EXPECT_EQ(count_of(output, "ibwrt Error\nibsta = 0x8120  < ERR CMPL CIC >\n"), 1);
    EXPECT_EQ(count_of(output,
                       "ibrd Error\nibsta = 0xc120  < ERR TIMO CMPL CIC >\n"
                       "iberr = 6 EABO <Operation aborted>\n"),
              1);
    EXPECT_EQ(gpib_reply[0], '\0');
}

TEST_F(RoutinesTest, QueriesFillTheReplyUpToTheThousandByteCase) {
    GPIB_Init_Scope();
    GPIB_Init_ErrorDetector();
    bench().clear_log();
    queryScope("DATA?");
    EXPECT_EQ(take_log(), (Log{"ibwrt(16, \"DATA?\", 5)", "ibrd(16, 1000) = 1000"}));
    EXPECT_EQ(ibcnt, 1000);
    EXPECT_NE(ibsta & END, 0);
    EXPECT_EQ(std::strlen(gpib_reply), 1000u);
    EXPECT_EQ(std::string(gpib_reply, 5), "#3994");
    EXPECT_EQ(gpib_reply[999], '\n');
    // A shorter reply ends at its own length, not at the old one's.
    queryErrorDetector("threshold?");
    EXPECT_STREQ(gpib_reply, "0.000\n");
    EXPECT_EQ(output, "");
}

TEST_F(RoutinesTest, WritesSendTheTextWithoutItsTerminator) {
    GPIB_Init();
    bench().clear_log();
    writeSigGen("FREQ 2.5E9");
    writeScope("TIMEBASE 2E-9;*CLS");
    writeScope(nullptr);
    EXPECT_EQ(take_log(), (Log{"ibwrt(17, \"FREQ 2.5E9\", 10)",
                               "ibwrt(18, \"TIMEBASE 2E-9;*CLS\", 18)", "ibwrt(18, \"\", 0)"}));
    EXPECT_EQ(bench().instrument_at(kSigGenAddress)->setting(), "2.5E9");
    EXPECT_EQ(bench().instrument_at(kScopeAddress)->setting(), "2E-9");
}

TEST_F(RoutinesTest, IdentifyReadsAtMostAHundredBytesAndPrintsTheReply) {
    GPIB_Init_Samp();
    bench().clear_log();
    ID_Instrument_Samp();
    EXPECT_EQ(take_log(), (Log{"ibwrt(16, \"*IDN?\", 5)", "ibrd(16, 100) = 29"}));
    EXPECT_EQ(output, "KORVEL-SIM,SAMP,SIM00008,1.0\n\n");
}

TEST_F(RoutinesTest, AfterAReportedFailureSampIsOffline) {
    GPIB_Init();
    bench().inject({GpibCall::Wrt, ENOL, kScopeAddress, 1});
    writeScope("*RST");
    bench().clear_log();
    output.clear();
    ID_Instrument_Samp();
    EXPECT_EQ(take_log(), (Log{"ibwrt(16, \"*IDN?\", 5) ERR EDVR", "ibonl(16, 0) ERR EDVR",
                               "ibrd(16, 100) = 0 ERR EDVR", "ibonl(16, 0) ERR EDVR"}));
    EXPECT_EQ(count_of(output, "iberr = 0 EDVR <Driver error>\n"), 2);
    EXPECT_TRUE(output.ends_with(std::string(kPrompt) + "\n"));  // the empty reply's line
}

// A driver that answers every read with a failure and a byte count far beyond the buffer (as a
// driver may leave a system error code in the count).
class WildCountDriver final : public Backend {
  public:
    int dev(int, int, int, int, int, int, CallStatus& s) override {
        s = {CMPL, 0, 0};
        return 20;
    }
    CallStatus clr(int) override { return {CMPL, 0, 0}; }
    CallStatus onl(int, int) override { return {CMPL, 0, 5000}; }
    CallStatus wrt(int, const void*, long count) override {
        return {CMPL, 0, static_cast<int>(count)};
    }
    CallStatus rd(int, void* buffer, long count) override {
        std::memset(buffer, 'A', static_cast<std::size_t>(count));
        return {ERR, EDVR, 5000};
    }
};

TEST_F(RoutinesTest, TheTerminatorStaysInsideTheBytesAskedFor) {
    select_backend(std::make_unique<WildCountDriver>());
    GPIB_Init_Scope();
    queryScope("DATA?");
    EXPECT_EQ(std::strlen(gpib_reply), 1000u);
    EXPECT_NE(output.find("ibcnt = 5000\n"), std::string::npos);
    GPIB_Init_Samp();
    ID_Instrument_Samp();  // the report's own ibonl leaves 5000 in ibcnt too
    EXPECT_EQ(std::strlen(gpib_reply), 100u);
}

}  // namespace
}  // namespace korvel::gpib::testing
