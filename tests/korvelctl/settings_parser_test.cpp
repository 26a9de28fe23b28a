// The words of `korvelctl set` become settings with the values the library is given.
#include <gtest/gtest.h>

#include "settings_parser.h"

namespace {

using korvelctl::parse_settings;
using korvelctl::Setting;

std::vector<Setting> parsed(const std::vector<std::string>& words) {
    auto result = parse_settings(words);
    if (auto* message = std::get_if<std::string>(&result)) ADD_FAILURE() << *message;
    return std::get<std::vector<Setting>>(result);
}

std::string refused(const std::vector<std::string>& words) {
    auto result = parse_settings(words);
    EXPECT_TRUE(std::holds_alternative<std::string>(result));
    return std::holds_alternative<std::string>(result) ? std::get<std::string>(result) : "";
}

TEST(SettingsParser, KeywordsAndNamesIgnoreCaseAndKeepTheirOrder) {
    const auto s = parsed({"PATTERN", "prbs7", "Divide", "256", "clock", "Off", "duty", "1.8",
                           "amplitude", "2.7", "pattern", "10"});
    ASSERT_EQ(s.size(), 6u);
    EXPECT_EQ(s[0].kind, Setting::Kind::Pattern);
    EXPECT_EQ(s[0].number, 1);
    EXPECT_EQ(s[1].number, 256);
    EXPECT_EQ(s[2].number, 0);
    EXPECT_EQ(s[3].volts, 1.8f);
    EXPECT_EQ(s[4].volts, 2.7f);
    EXPECT_EQ(s[5].number, 10);
}

TEST(SettingsParser, MessagesSayWhatIsWrongAndWhatIsAllowed) {
    EXPECT_NE(refused({"duty", "50"}).find("1.8 to 3.3 V (DAC volts, not percent)"),
              std::string::npos);
    EXPECT_NE(refused({"pattern", "Custom Data"}).find("cannot be selected"), std::string::npos);
    EXPECT_NE(refused({"pattern", "PRBS8"}).find("PRBS7, PRBS9"), std::string::npos);
    EXPECT_NE(refused({"divide", "1e3"}).find("not a whole number"), std::string::npos);
    EXPECT_NE(refused({"amplitude"}).find("a value is missing"), std::string::npos);
    EXPECT_NE(refused({"amplitude", "inf"}).find("not a number of volts"), std::string::npos);
}

}  // namespace
