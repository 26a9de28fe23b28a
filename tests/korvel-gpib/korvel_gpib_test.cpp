// korvel-gpib run in-process on the simulated bench: what each command prints, its exit status,
// and the --sim-fail option.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "korvel_gpib.h"
#include "sim_fail_option.h"

namespace korvel_gpib {
namespace {

using korvel::gpib::GpibCall;
using korvel::gpib::SimFault;

constexpr const char* kPrompt = "An HPIB error has occured.  Hit return to continue...";

struct Result {
    int status;
    std::string out, err;
};

Result run_cli(std::vector<std::string> args, const std::string& typed = "") {
    args.insert(args.begin(), "korvel-gpib");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in(typed);
    std::ostringstream out, err;
    const int status = run(static_cast<int>(argv.size()), argv.data(), in, out, err);
    return {status, out.str(), err.str()};
}

TEST(KorvelGpibCli, IdnPrintsTheSimulatedSampsIdentity) {
    const Result r = run_cli({"--simulate", "idn"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "KORVEL-SIM,SAMP,SIM00008,1.0\n\n");
    EXPECT_EQ(r.err, "");
}

TEST(KorvelGpibCli, CommandsRunTheirRoutinesQuietlyWhenNothingFails) {
    for (const std::vector<std::string>& command : {std::vector<std::string>{"init"},
                                                    {"dismiss"},
                                                    {"write", "siggen", "FREQ", "2.5E9"},
                                                    {"write", "scope", "*RST"}}) {
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), command.begin(), command.end());
        const Result r = run_cli(args);
        EXPECT_EQ(r.status, kExitOk) << command[0];
        EXPECT_EQ(r.out, "") << command[0];
        // Each takes its instruments offline again: a failing ibonl shows in its exit status.
        args.insert(args.begin() + 1, {"--sim-fail", "ibonl:EDVR"});
        EXPECT_EQ(run_cli(args).status, kExitCallFailed) << command[0];
    }
    EXPECT_EQ(run_cli({"--simulate", "query", "errdet", "THRESHOLD?"}).out, "0.000\n");
    EXPECT_EQ(run_cli({"--simulate", "query", "scope", "DATA?"}).out.size(), 1000u);
}

TEST(KorvelGpibCli, AFailedCallPrintsItsReportAndExitsWithOne) {
    // No listener on the scope: the write fails, the read after it times out, the reply is empty.
    const Result r =
        run_cli({"--simulate", "--sim-fail", "ibwrt:2:scope", "query", "scope", "TIMEBASE?"});
    EXPECT_EQ(r.status, kExitCallFailed);
    EXPECT_EQ(r.out, std::string("ibwrt Error\nibsta = 0x8120  < ERR CMPL CIC >\n") +
                         "iberr = 2 ENOL <No Listener>\nibcnt = 0\n\n" + kPrompt +
                         "ibrd Error\nibsta = 0xc120  < ERR TIMO CMPL CIC >\n" +
                         "iberr = 6 EABO <Operation aborted>\nibcnt = 0\n\n" + kPrompt + "\n");
    // A fault on another instrument leaves this one alone.
    EXPECT_EQ(run_cli({"--simulate", "--sim-fail", "ibwrt:ENOL:siggen", "idn"}).status, kExitOk);
}

TEST(KorvelGpibCli, AMissingGpibLibraryStopsTheCommandBeforeAnyCall) {
    const char* argv[] = {"korvel-gpib", "idn"};
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(run(2, argv, in, out, err, "/nonexistent/libgpib.so.0"), kExitCallFailed);
    EXPECT_EQ(out.str(), "");  // no call failed one by one, each with its report and pause
    EXPECT_TRUE(err.str().starts_with("korvel-gpib: The GPIB library /nonexistent/")) << err.str();
}

TEST(KorvelGpibCli, BadArgumentsExitWith64BeforeAnyCall) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"--simulate"},
             {"--simulate", "frobnicate"},
             {"--simulate", "write", "errdet", "X"},
             {"--simulate", "query", "siggen", "X"},
             {"--simulate", "query", "scope"},
             {"--simulate", "--sim-fail", "ibwrt", "idn"},
             {"--sim-fail", "ibwrt:2", "idn"},
         }) {
        const Result r = run_cli(args);
        EXPECT_EQ(r.status, kExitUsage) << testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
    EXPECT_EQ(run_cli({"--sim-fail", "ibwrt:2", "idn"}).err,
              "korvel-gpib: --sim-fail applies to the simulated bench only (add --simulate)\n");
    EXPECT_EQ(run_cli({"--help"}).status, kExitOk);
}

TEST(SimFailOption, ReadsCallErrorCodeAndInstrument) {
    const auto scope = parse_sim_fail("ibwrt:2:scope");
    ASSERT_TRUE(std::holds_alternative<SimFault>(scope));
    const SimFault f = std::get<SimFault>(scope);
    EXPECT_EQ(f.call, GpibCall::Wrt);
    EXPECT_EQ(f.error, 2);
    EXPECT_EQ(f.address, 9);
    EXPECT_LT(f.times, 0);

    const SimFault any = std::get<SimFault>(parse_sim_fail("ibrd:eabo"));
    EXPECT_EQ(any.call, GpibCall::Rd);
    EXPECT_EQ(any.error, 6);
    EXPECT_EQ(any.address, std::nullopt);
    EXPECT_EQ(std::get<SimFault>(parse_sim_fail("ibdev:0:samp")).address, 8);
    EXPECT_EQ(std::get<SimFault>(parse_sim_fail("ibonl:99:errdet")).address, 5);
    EXPECT_EQ(std::get<SimFault>(parse_sim_fail("ibclr:ENEB:siggen")).error, 7);
}

TEST(SimFailOption, SaysWhatIsWrong) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"ibwrt", "expected CALL:ERRCODE or CALL:ERRCODE:INSTRUMENT"},
        {"ibwrt:2:scope:x", "expected CALL:ERRCODE"},
        {"ibfoo:2", "unknown call \"ibfoo\""},
        {"IBWRT:2", "unknown call"},
        {"ibwrt:100", "bad error code \"100\""},
        {"ibwrt:-1", "bad error code"},
        {"ibwrt:2x", "bad error code"},
        {"ibwrt:", "bad error code"},
        {"ibwrt:2:dmm", "unknown instrument \"dmm\""},
    };
    for (const auto& [option, message] : cases) {
        const auto parsed = parse_sim_fail(option);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << option;
        const std::string& text = std::get<std::string>(parsed);
        EXPECT_TRUE(text.starts_with(std::string("--sim-fail ") + option + ": ")) << text;
        EXPECT_NE(text.find(message), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace korvel_gpib
