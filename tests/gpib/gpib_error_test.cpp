// The failure report, character for character, and what it does besides printing.
#include <string>
#include <vector>

#include "gpib_fixture.h"

namespace korvel::gpib::testing {
namespace {

using GpibErrorTest = GpibTest;

struct ReportCase {
    int sta, err, cnt;
    const char* body;  // from the ibsta line to the ibcnt line
};

TEST_F(GpibErrorTest, ReportsStatusBitsErrorLineAndCount) {
    const std::vector<ReportCase> cases = {
        {0x8120, 2, 0,
         "ibsta = 0x8120  < ERR CMPL CIC >\niberr = 2 ENOL <No Listener>\nibcnt = 0\n"},
        {0xC120, 6, 0,
         "ibsta = 0xc120  < ERR TIMO CMPL CIC >\niberr = 6 EABO <Operation aborted>\n"
         "ibcnt = 0\n"},
        // Every bit: 0x0400 and 0x0200 have no name.
        {0xFFFF, 27, 1000,
         "ibsta = 0xffff  < ERR TIMO END SRQI RQS CMPL LOK REM CIC ATN TACS LACS DTAS DCAS >\n"
         "iberr = 27 ERST <Notification cancelled due to reset>\nibcnt = 1000\n"},
        // A code without a line: the ibcnt line follows on the same line.
        {0x8600, 8, 5, "ibsta = 0x8600  < ERR >\niberr = 8ibcnt = 5\n"},
        {0x8000, 0, -1,
         "ibsta = 0x8000  < ERR >\niberr = 0 EDVR <Driver error>\nibcnt = 4294967295\n"},
        {0x0000, 23, 0, "ibsta = 0x0  < >\niberr = 23 EHDL <Invalid Handle>\nibcnt = 0\n"},
        {0x2104, 22, 12,
         "ibsta = 0x2104  < END CMPL LACS >\niberr = 22 EARM <Ibnotify rearm error>\n"
         "ibcnt = 12\n"},
    };
    for (const ReportCase& c : cases) {
        output.clear();
        ibsta = c.sta;
        iberr = c.err;
        ibcnt = c.cnt;
        GpibError("ibwrt Error");
        EXPECT_EQ(output, std::string("ibwrt Error\n") + c.body + "\n" + kPrompt)
            << "ibsta 0x" << std::hex << c.sta;
    }
}

TEST_F(GpibErrorTest, EveryStandardCodeHasItsLineAndOthersNone) {
    const std::vector<std::pair<int, std::string>> lines = {
        {0, " EDVR <Driver error>"},
        {1, " ECIC <Not Controller-In-Charge>"},
        {2, " ENOL <No Listener>"},
        {3, " EADR <Address error>"},
        {4, " EARG <Invalid argument>"},
        {5, " ESAC <Not System Controller>"},
        {6, " EABO <Operation aborted>"},
        {7, " ENEB <No GPIB board>"},
        {10, " EOIP <Async I/O in progress>"},
        {11, " ECAP <No capability>"},
        {12, " EFSO <File system error>"},
        {14, " EBUS <Command error>"},
        {15, " ESTB <Status byte lost>"},
        {16, " ESRQ <SRQ stuck on>"},
        {20, " ETAB <Table Overflow>"},
        {21, " ELCK <Lock error>"},
        {22, " EARM <Ibnotify rearm error>"},
        {23, " EHDL <Invalid Handle>"},
        {26, " EWIP <Wait already in progress>"},
        {27, " ERST <Notification cancelled due to reset>"},
        {28, " EPWR <Power error>"},
    };
    for (int code = -1; code <= 40; ++code) {
        std::string expected = "iberr = " + std::to_string(code);
        for (const auto& [c, line] : lines)
            if (c == code) expected += line + "\n";
        output.clear();
        ibsta = ERR;
        iberr = code;
        ibcnt = 3;
        GpibError("m");
        EXPECT_NE(output.find(expected + "ibcnt = 3\n"), std::string::npos) << output;
    }
}

TEST_F(GpibErrorTest, TakesSampOfflinePausesOneSecondAndReadsOneCharacter) {
    GPIB_Init();
    bench().clear_log();
    input = "\nnext";
    ibsta = ERR | CMPL;
    iberr = ENOL;
    GpibError(nullptr);  // no message: an empty line
    EXPECT_EQ(output.substr(0, 1), "\n");
    EXPECT_TRUE(output.ends_with(kPrompt));
    EXPECT_EQ(take_log(), std::vector<std::string>{"ibonl(16, 0)"});
    EXPECT_FALSE(bench().is_open(samp_ud));
    EXPECT_TRUE(bench().is_open(scope_ud));
    EXPECT_DOUBLE_EQ(clock_.now(), 1.0);
    EXPECT_EQ(clock_.pause_count(), 1u);
    EXPECT_EQ(input, "next");  // one character taken: the Return
    // The status words now tell of that ibonl, not of the failure reported.
    EXPECT_EQ(ibsta & ERR, 0);
}

TEST_F(GpibErrorTest, EndOfInputCountsAsReturn) {
    ibsta = ERR;
    GpibError("ibrd Error");
    GpibError("ibrd Error");
    EXPECT_EQ(input_reads, 2);
    EXPECT_TRUE(output.ends_with(std::string(kPrompt) + "ibrd Error\n" +
                                 "ibsta = 0x8000  < ERR >\niberr = 0 EDVR <Driver error>\n" +
                                 "ibcnt = 0\n\n" + kPrompt));
}

TEST_F(GpibErrorTest, BoardZeroIsNotTakenOfflineWhileSampWasNeverOpened) {
    // samp_ud is still 0, the board's own descriptor.
    GPIB_Init_Scope();
    bench().clear_log();
    ibsta = ERR;
    GpibError("ibwrt Error");
    EXPECT_TRUE(take_log().empty());
    EXPECT_DOUBLE_EQ(clock_.now(), 1.0);
}

}  // namespace
}  // namespace korvel::gpib::testing
