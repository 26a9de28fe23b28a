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
}

TEST(KorvelOptions, RemoteTakesAnOptionalPortAndBindImpliesRemote) {
    std::string error;
    const auto port = parse({"--remote", "0"}, &error);
    ASSERT_TRUE(port);
    EXPECT_EQ(port->remote_port, 0);
    const auto bind = parse({"--remote-bind", "0.0.0.0", "--remote", "6000"}, &error);
    ASSERT_TRUE(bind);
    EXPECT_TRUE(bind->remote);
    EXPECT_EQ(bind->remote_bind, "0.0.0.0");
    EXPECT_EQ(bind->remote_port, 6000);
}

TEST(KorvelOptions, BadPortsAndAMissingAddressAreRefused) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--remote", "65536"}, {"--remote", "50x"}, {"--remote", "1e3"}, {"--remote-bind"}}) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
    // A next argument that is not a number is not taken as the port.
    std::string error;
    EXPECT_FALSE(parse({"--remote", "--bogus"}, &error));
    EXPECT_EQ(error, "unknown option --bogus");
}

}  // namespace
