// korvel-gpib's command line read into a request or an answer, with no GPIB call made.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "../support/command_line_words.h"
#include "command_line.h"
#include "korvel_gpib.h"

namespace korvel_gpib {
namespace {

std::variant<Request, Answer> parse(std::vector<std::string> args) {
    const korvel::testing::CommandLineWords line("korvel-gpib", std::move(args));
    return parse_command_line(line.argc(), line.argv());
}

TEST(KorvelGpibCommandLine, ARequestHoldsTheCommandFaultsAndJoinedText) {
    const auto parsed = parse({"--simulate", "--sim-fail", "ibwrt:ENOL:scope", "--sim-fail",
                               "ibrd:6", "query", "scope", "DATA?", "NOW"});
    ASSERT_TRUE(std::holds_alternative<Request>(parsed));
    const Request& r = std::get<Request>(parsed);
    EXPECT_EQ(r.command, Command::Query);
    EXPECT_TRUE(r.simulate);
    EXPECT_EQ(r.instrument, "scope");
    EXPECT_EQ(r.text, "DATA? NOW");
    ASSERT_EQ(r.faults.size(), 2u);
    EXPECT_EQ(r.faults[0].call, korvel::gpib::GpibCall::Wrt);
    EXPECT_EQ(r.faults[0].address, 9);
    EXPECT_EQ(r.faults[1].error, 6);
    EXPECT_FALSE(r.faults[1].address.has_value());
    EXPECT_EQ(std::get<Request>(parse({"dismiss"})).command, Command::Dismiss);
}

TEST(KorvelGpibCommandLine, HelpAndRefusalsAreAnswersWithTheirStatus) {
    const auto help = parse({"--help"});
    ASSERT_TRUE(std::holds_alternative<Answer>(help));
    EXPECT_EQ(std::get<Answer>(help).status, kExitOk);
    EXPECT_NE(std::get<Answer>(help).out.find("Exit status:"), std::string::npos);

    for (const auto& args : {std::vector<std::string>{"write", "errdet", "X"},
                             {"--sim-fail", "ibwrt:100", "init"},
                             {"query", "scope"},
                             {}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto refused = parse(args);
        ASSERT_TRUE(std::holds_alternative<Answer>(refused));
        EXPECT_EQ(std::get<Answer>(refused).status, kExitUsage);
        EXPECT_EQ(std::get<Answer>(refused).err.rfind("korvel-gpib: ", 0), 0u);
    }
}

}  // namespace
}  // namespace korvel_gpib
