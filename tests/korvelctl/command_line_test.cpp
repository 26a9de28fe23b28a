// korvelctl's command line read into a request or an answer, with nothing done yet.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "../support/command_line_words.h"
#include "command_line.h"
#include "exit_codes.h"

namespace korvelctl {
namespace {

std::variant<Request, Answer> parse(std::vector<std::string> args) {
    const korvel::testing::CommandLineWords line("korvelctl", std::move(args));
    return parse_command_line(line.argc(), line.argv());
}

TEST(KorvelctlCommandLine, ARequestHoldsEverythingGivenAndNothingIsSetYet) {
    unsetenv("KORVEL_SIM_STATE");
    const auto set = parse({"--simulate", "--sim-state", "unit.json", "--trace", "bus.vcd", "set",
                            "divide", "4", "clock", "off"});
    ASSERT_TRUE(std::holds_alternative<Request>(set));
    const Request& r = std::get<Request>(set);
    EXPECT_EQ(r.command, Command::Set);
    EXPECT_TRUE(r.simulate);
    EXPECT_EQ(r.sim_state, "unit.json");
    EXPECT_EQ(r.trace, "bus.vcd");
    ASSERT_EQ(r.settings.size(), 2u);
    EXPECT_EQ(r.settings[0].kind, Setting::Kind::Divide);
    EXPECT_EQ(r.settings[1].number, 0);
    EXPECT_EQ(std::getenv("KORVEL_SIM_STATE"), nullptr);

    const auto mask = parse({"load-mask", "/no/such/mask.txt"});
    ASSERT_TRUE(std::holds_alternative<Request>(mask));
    EXPECT_EQ(std::get<Request>(mask).command, Command::LoadMask);
    EXPECT_EQ(std::get<Request>(mask).file, "/no/such/mask.txt");
    EXPECT_TRUE(std::get<Request>(parse({"status", "--json"})).json);
}

TEST(KorvelctlCommandLine, HelpAndRefusalsAreAnswersWithTheirStatus) {
    const auto help = parse({"--help"});
    ASSERT_TRUE(std::holds_alternative<Answer>(help));
    EXPECT_EQ(std::get<Answer>(help).status, kExitOk);
    EXPECT_NE(std::get<Answer>(help).out.find("Exit status:"), std::string::npos);
    EXPECT_EQ(std::get<Answer>(help).err, "");

    for (const auto& args : {std::vector<std::string>{"set", "duty", "-inf"}, {"lisst"}, {}}) {
        SCOPED_TRACE(testing::PrintToString(args));
        const auto refused = parse(args);
        ASSERT_TRUE(std::holds_alternative<Answer>(refused));
        const Answer& a = std::get<Answer>(refused);
        EXPECT_EQ(a.status, kExitUsage);
        EXPECT_EQ(a.out, "");
        EXPECT_EQ(a.err.rfind("korvelctl: ", 0), 0u) << a.err;
    }
}

}  // namespace
}  // namespace korvelctl
