// What DNS-SD announces and when, without a daemon.
#include "remote/dns_sd.h"

#include <gtest/gtest.h>

namespace {

using namespace korvel::remote::dns_sd;

struct BindCase {
    const char* bind;
    bool announced;
    bool ipv6;
    const char* address;  // what is announced on; "" every interface
};

class AnnounceScope : public testing::TestWithParam<BindCase> {};

TEST_P(AnnounceScope, OnlyAddressesOtherMachinesCanReachAreAnnounced) {
    const BindCase& c = GetParam();
    std::string why;
    const auto scope = announce_scope(c.bind, &why);
    ASSERT_EQ(scope.has_value(), c.announced) << why;
    if (scope) {
        EXPECT_EQ(scope->ipv6, c.ipv6);
        EXPECT_EQ(scope->address, c.address);
    } else {
        EXPECT_FALSE(why.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Binds, AnnounceScope,
    testing::Values(BindCase{"127.0.0.1", false, false, ""},
                    BindCase{"127.8.9.1", false, false, ""},
                    BindCase{"localhost", false, false, ""}, BindCase{"::1", false, true, ""},
                    BindCase{"::ffff:127.0.0.1", false, true, ""},
                    BindCase{"0.0.0.0", true, false, ""}, BindCase{"::", true, true, ""},
                    BindCase{"192.0.2.2", true, false, "192.0.2.2"},
                    BindCase{"fe80::1", true, true, "fe80::1"},
                    BindCase{"192.0.2", false, false, ""}, BindCase{"", false, false, ""}));

// One step in an announcer's life: the serial *IDN? reports ("" for none: a name collision with
// the daemon's alternative instead), whether it publishes again, and under which name.
struct Step {
    const char* serial;
    const char* alternative;
    bool publishes;
    const char* name;
};

TEST(DnsSdAnnouncer, PublishesOncePerUnitKeepsItThroughUnplugAndTakesTheDaemonsRename) {
    const std::vector<std::vector<Step>> lives = {
        {{"1042", "", true, "KORVEL 1042"},
         {"1042", "", false, "KORVEL 1042"},
         {"0", "", false, "KORVEL 1042"},
         {"1042", "", false, "KORVEL 1042"},
         {"", "KORVEL 1042 #2", false, "KORVEL 1042 #2"},
         {"1042", "", false, "KORVEL 1042 #2"},
         {"77", "", true, "KORVEL 77"}},
        {{"0", "", true, "KORVEL 0"}, {"0", "", false, "KORVEL 0"}, {"5", "", true, "KORVEL 5"}},
        // DNS labels end at 63 bytes.
        {{"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "", true,
          "KORVEL AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}},
    };
    for (const auto& life : lives) {
        Announcer announcer(5025, true);
        for (const Step& s : life) {
            bool published = false;
            if (*s.serial != '\0')
                published = announcer.update({"MORLIDEX", "KORVEL", s.serial, "1.4.0"});
            else
                announcer.collided(s.alternative);
            EXPECT_EQ(published, s.publishes) << s.serial << s.alternative;
            EXPECT_EQ(announcer.entry()->name, s.name);
        }
    }
}

TEST(DnsSdEntry, TheRawSocketAndVxi11WhenServedWithTheIdentityAsTxt) {
    const korvel::remote::Identity id{"MORLIDEX", "KORVEL", "1042", "1.4.0"};
    const std::vector<std::string> txt = {"Manufacturer=MORLIDEX", "Model=KORVEL",
                                          "SerialNumber=1042", "FirmwareVersion=1.4.0"};
    for (const bool vxi11 : {true, false}) {
        std::vector<Service> services = {{"_scpi-raw._tcp", 5025}};
        if (vxi11) services.push_back({"_vxi-11._tcp", 111});
        EXPECT_EQ(entry(id, 5025, vxi11), (Entry{"KORVEL 1042", services, txt}));
    }
}

}  // namespace
