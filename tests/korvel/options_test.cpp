// The korvel program's command line, in particular the remote-control options.
#include <gtest/gtest.h>

#include "options.h"

namespace {

using korvel::gui::parse_options;

std::optional<korvel::gui::Options> parse(std::vector<std::string> args, std::string* error) {
    return parse_options(args, error);
}

TEST(KorvelOptions, RemoteIsOffByDefaultAndListensOnLoopbackPort5025) {
    std::string error;
    const auto none = parse({"--simulate"}, &error);
    ASSERT_TRUE(none);
    EXPECT_FALSE(none->remote);
    const auto plain = parse({"--remote", "--simulate"}, &error);
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain->remote);
    EXPECT_TRUE(plain->simulate);
    EXPECT_EQ(plain->remote_port, 5025);
    EXPECT_EQ(plain->remote_bind, "127.0.0.1");
    EXPECT_TRUE(plain->announce);
    EXPECT_FALSE(parse({"--remote", "--no-announce"}, &error)->announce);
}

TEST(KorvelOptions, RemoteTakesAnOptionalPortAndBindAndIdleLimitImplyRemote) {
    std::string error;
    const auto port = parse({"--remote", "0"}, &error);
    ASSERT_TRUE(port);
    EXPECT_EQ(port->remote_port, 0);
    const auto bind = parse({"--remote-bind", "0.0.0.0", "--remote", "6000"}, &error);
    ASSERT_TRUE(bind);
    EXPECT_TRUE(bind->remote);
    EXPECT_EQ(bind->remote_bind, "0.0.0.0");
    EXPECT_EQ(bind->remote_port, 6000);
    const auto files = parse({"--remote-files", "bench"}, &error);
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->remote);
    EXPECT_EQ(files->remote_files, "bench");
    const auto idle = parse({"--remote-idle", "86400"}, &error);
    EXPECT_TRUE(idle->remote);
    EXPECT_EQ(idle->remote_idle_seconds, 86400);
}

TEST(KorvelOptions, BadPortsIdleLimitsAndAMissingAddressAreRefused) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"--remote", "65536"},
                                                                  {"--remote", "50x"},
                                                                  {"--remote", "1e3"},
                                                                  {"--remote-bind"},
                                                                  {"--remote-files"}}) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    for (const char* idle : {"0", "86401", "1.5", "-5", "--simulate"})
        EXPECT_FALSE(parse({"--remote-idle", idle}, &error)) << idle;
    EXPECT_EQ(error, "--remote-idle needs whole seconds from 1 to 86400");
    // A next argument that is not a number is not taken as the port.
    EXPECT_FALSE(parse({"--remote", "--bogus"}, &error));
    EXPECT_EQ(error, "unknown option --bogus");
}

TEST(KorvelOptions, TheSoakTakesSecondsAndASeedAndRunsOnTheSimulatedUnitOnly) {
    std::string error;
    const auto soak =
        parse({"--simulate", "--soak", "3600", "--soak-seed", "18446744073709551615"}, &error);
    ASSERT_TRUE(soak) << error;
    EXPECT_EQ(*soak->soak_seconds, 3600.0);
    EXPECT_EQ(*soak->soak_seed, 18446744073709551615ull);
    EXPECT_FALSE(parse({"--simulate"}, &error)->soak_seconds);

    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--simulate", "--soak"},
                                               {"--simulate", "--soak", "0"},
                                               {"--simulate", "--soak", "-5"},
                                               {"--simulate", "--soak", "inf"},
                                               {"--simulate", "--soak", "1e308"},
                                               {"--simulate", "--soak", "1000000.5"},
                                               {"--simulate", "--soak", "10s"},
                                               {"--simulate", "--soak", "10", "--soak-seed", "-1"},
                                               {"--simulate", "--soak-seed", "4"},
                                               {"--soak", "10"}}) {
        error.clear();
        EXPECT_FALSE(parse(args, &error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(parse({"--soak", "10"}, &error));
    EXPECT_EQ(error, "--soak runs on the simulated unit only: add --simulate");
}

}  // namespace
