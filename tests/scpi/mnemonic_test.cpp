// Long and short forms, optional nodes and numeric suffixes of command headers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scpi/mnemonic.h"

namespace {

using korvel::scpi::header_matches;
using korvel::scpi::mnemonic_matches;

bool matches(const char* pattern, std::vector<std::string> nodes) {
    return header_matches(pattern, nodes);
}

TEST(Mnemonic, ShortOrLongFormButNothingInBetween) {
    EXPECT_EQ(korvel::scpi::short_form("AMPLitude"), "AMPL");
    EXPECT_TRUE(mnemonic_matches("AMPLitude", "AMPL"));
    EXPECT_TRUE(mnemonic_matches("AMPLitude", "AMPLITUDE"));
    EXPECT_FALSE(mnemonic_matches("AMPLitude", "AMPLI"));
    EXPECT_FALSE(mnemonic_matches("AMPLitude", "AMP"));
    EXPECT_TRUE(mnemonic_matches("EYE", "EYE"));
    EXPECT_TRUE(mnemonic_matches("PRBS31", "PRBS31"));
    EXPECT_FALSE(mnemonic_matches("PRBS31", "PRBS3"));
}

TEST(Mnemonic, OptionalNodesMayBeLeftOutAnywhere) {
    EXPECT_TRUE(matches("[SOURce:]AMPLitude", {"AMPL"}));
    EXPECT_TRUE(matches("[SOURce:]AMPLitude", {"SOURCE", "AMPLITUDE"}));
    EXPECT_FALSE(matches("[SOURce:]AMPLitude", {"SOUR"}));
    EXPECT_FALSE(matches("[SOURce:]AMPLitude", {"OUTP", "AMPL"}));
    EXPECT_TRUE(matches("SYSTem:ERRor[:NEXT]", {"SYST", "ERR"}));
    EXPECT_TRUE(matches("SYSTem:ERRor[:NEXT]", {"SYST", "ERR", "NEXT"}));
    EXPECT_FALSE(matches("SYSTem:ERRor[:NEXT]", {"SYST", "ERR", "NEXT", "NEXT"}));
    EXPECT_FALSE(matches("SYSTem:ERRor[:NEXT]", {"ERR"}));
}

TEST(Mnemonic, NumericSuffixOneMayBeLeftOutOthersMustMatch) {
    EXPECT_TRUE(matches("OUTPut:CLOCk1", {"OUTP", "CLOC1"}));
    EXPECT_TRUE(matches("OUTPut:CLOCk1", {"OUTPUT", "CLOCK"}));
    EXPECT_FALSE(matches("OUTPut:CLOCk1", {"OUTP", "CLOC2"}));
    EXPECT_FALSE(matches("TRIGger:MODE", {"TRIG", "MODE1"}));
}

}  // namespace
