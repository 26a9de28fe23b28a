// What DNS-SD announces and when, without a daemon.
#include "remote/dns_sd.h"

#include <gtest/gtest.h>

namespace {

using namespace korvel::remote::dns_sd;

TEST(DnsSdScope, OnlyAddressesOtherMachinesCanReachAreAnnounced) {
    // clang-format off
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"127.0.0.1", "no"}, {"127.8.9.1", "no"}, {"localhost", "no"}, {"::1", "no"},
        {"::ffff:127.0.0.1", "no"}, {"192.0.2", "no"}, {"", "no"}, {"0.0.0.0", "IPv4 "},
        {"::", "IPv6 "}, {"fe80::1", "IPv6 fe80::1"}, {"192.0.2.2", "IPv4 192.0.2.2"}};
    // clang-format on
    for (const auto& [bind, announced] : cases) {
        std::string why;
        const auto s = announce_scope(bind, &why);
        EXPECT_EQ(s ? (s->ipv6 ? "IPv6 " : "IPv4 ") + s->address : "no", announced) << bind;
        EXPECT_EQ(why.empty(), s.has_value()) << bind;
    }
}

TEST(DnsSdAnnouncer, PublishesOncePerUnitKeepsItThroughUnplugAndTakesTheDaemonsRename) {
    // Each life's steps: a serial *IDN? reports, or "#..." for a collision with that alternative
    // name; whether it publishes (again); under which name.
    const std::vector<std::vector<std::tuple<std::string, bool, std::string>>> lives = {
        {{"1042", true, "KORVEL 1042"},
         {"1042", false, "KORVEL 1042"},
         {"0", false, "KORVEL 1042"},
         {"#KORVEL 1042 #2", false, "KORVEL 1042 #2"},
         {"1042", false, "KORVEL 1042 #2"},
         {"77", true, "KORVEL 77"}},
        {{"0", true, "KORVEL 0"}, {"0", false, "KORVEL 0"}, {"5", true, "KORVEL 5"}},
        {{std::string(70, 'A'), true, "KORVEL " + std::string(56, 'A')}},  // 63-byte labels
    };
    for (const auto& life : lives) {
        Announcer announcer(5025, false);
        for (const auto& [event, publishes, name] : life) {
            bool published = false;
            if (event[0] == '#')
                announcer.collided(event.substr(1));
            else
                published = announcer.update({"MORLIDEX", "KORVEL", event, "1.4.0"});
            EXPECT_EQ(published, publishes) << event;
            EXPECT_EQ(announcer.entry()->name, name) << event;
        }
    }
}

TEST(DnsSdEntry, TheRawSocketAndVxi11WhenServedWithTheIdentityAsTxt) {
    const Entry e = entry({"MORLIDEX", "KORVEL", "1042", "1.4.0"}, 5025, true);
    EXPECT_EQ(e.services, (std::vector<Service>{{"_scpi-raw._tcp", 5025}, {"_vxi-11._tcp", 111}}));
    EXPECT_EQ(e.txt, (std::vector<std::string>{"Manufacturer=MORLIDEX", "Model=KORVEL",
                                               "SerialNumber=1042", "FirmwareVersion=1.4.0"}));
    EXPECT_EQ(entry({}, 5025, false).services.size(), 1u);
}

}  // namespace
